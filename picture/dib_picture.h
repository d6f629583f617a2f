// One picture read from a BMP file, or a photo decoded by the system, held
// as a device-independent bitmap in one movable memory block that
// StretchDIBits can draw directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "platform/win.h"

// The smallest size a picture of (upright) `width` x `height` is drawn at,
// asked before a photo is decoded.
typedef SIZE (*SizeNeeded)(void* context, int width, int height);

struct PhotoMeta;

class DibPicture {
 public:
  DibPicture();
  // The holder owns its block: gone with it, handed on by a move (the moved
  // holder is left empty), never copied.
  ~DibPicture();
  DibPicture(DibPicture&& other) noexcept;
  DibPicture& operator=(DibPicture&& other) noexcept;
  DibPicture(const DibPicture&) = delete;
  DibPicture& operator=(const DibPicture&) = delete;

  // Reads the picture file at `path` into the holder; TRUE when the whole
  // picture was read. A BMP file our reader takes is read as it is, masked
  // 16- and 32-bit pixels widened to 32-bit ones: a failure before the old
  // block is released leaves the holder as it was; a later one leaves it
  // empty (both pointers null) or, for a file that ends inside its bits,
  // holding the partly read picture. Any other file (a BMP our reader
  // refuses included) is decoded by the system's imaging component as a
  // 32-bit picture turned upright, no larger than `needed` asks (whole
  // without it): a failure before its block is taken leaves the holder as
  // it was, a later one leaves it empty. A photo's own date, place and words
  // go to `meta` when it is given.
  BOOL Load(const char* path, SizeNeeded needed = nullptr, void* context = nullptr, PhotoMeta* meta = nullptr);

  // Remakes the held picture at `width` x `height` as a 32-bit picture
  // without a table, averaging what it shrinks and smoothing what it
  // enlarges, so drawing it is a 1:1 copy. TRUE at once when it already has
  // that size. A run-length picture, an empty holder or a lack of memory
  // give FALSE and leave the held picture as it was.
  BOOL Prepare(int width, int height);
  // The same made from `source` (which may be this holder), for a second
  // size of one picture; on success the holder's old picture is gone.
  BOOL PrepareFrom(const DibPicture& source, int width, int height);

  // Gives the block back; the holder is empty afterwards.
  void Release();

  // A 32-bit picture without a table, row by row from the top: its top row,
  // and the pixels from one row to the next (negative when the rows are
  // held bottom-up). Null for any other picture.
  const uint32_t* TopRow32(ptrdiff_t* stride) const;

  // Colour-table entries implied by a bit count: 2, 16, 256 for 1, 4, 8;
  // 0 for 24 and for the counts that draw without a table.
  static int ColorsFromBitCount(WORD bitCount);

  HGLOBAL m_hMem;
  BITMAPINFO* m_pInfo;
  BYTE* m_pBits;
  int m_nColors;
  int m_nWidth;
  int m_nHeight;
  WORD m_wUsage;
  unsigned m_bCoreHeader : 1;
  // The picture's own size as its file gives it, upright; the block may
  // hold it smaller (a photo decoded for a smaller screen, or prepared).
  SIZE m_sizeSource;

 private:
  // Hands the block and what describes it to `other`, which gives back its own.
  void MoveTo(DibPicture& other);
  BOOL LoadPhoto(FILE* file, const char* path, SizeNeeded needed, void* context, PhotoMeta* meta);
};
