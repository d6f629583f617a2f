// DibPicture::LoadPhoto: any picture file our BMP reader does not take,
// decoded by the Windows Imaging Component (JPEG, PNG, GIF, TIFF, the BMPs
// ours refuses and whatever else the system has) into the holder as a
// bottom-up 32-bit picture, upright, and no larger than the screens need.
// The decoder's rows are shrunk by our own resampler, a band at a time, not
// by the component's scaler, which under Wine only picks pixels. COM is the
// calling thread's, initialised once.
#include <windows.h>

#include <wincodec.h>
#include <wrl/client.h>

#include <cstdlib>
#include <cstring>
#include <utility>

#include "picture/dib_picture.h"
#include "picture/orient_pixels.h"
#include "picture/photo_file.h"
#include "picture/resample.h"
#include "text/utf.h"

using Microsoft::WRL::ComPtr;

namespace {

// A malloc'd buffer given back when it goes.
class Buffer {
 public:
  explicit Buffer(size_t bytes) : m_p(malloc(bytes)) {}
  ~Buffer() { free(m_p); }
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;
  uint32_t* Pixels() const { return static_cast<uint32_t*>(m_p); }

 private:
  void* m_p;
};

// The frame's rows for the resampler, fetched from the decoder a band at a
// time: asked for whole, some decoders copy their whole frame first.
struct BandReader {
  IWICBitmapSource* source;
  UINT width, height, channels;
  uint8_t* band;  // kBandRows rows
  UINT first, rows;  // the rows the band holds
  bool ok;
};

const UINT kBandRows = 16;

const uint8_t* ReadBandRow(void* context, int row, uint8_t* scratch) {
  BandReader& r = *static_cast<BandReader*>(context);
  const size_t rowBytes = (size_t(r.width) * r.channels + 3) & ~size_t(3);
  if (UINT(row) < r.first || UINT(row) >= r.first + r.rows) {
    r.first = UINT(row);
    r.rows = r.height - r.first < kBandRows ? r.height - r.first : kBandRows;
    const WICRect band = {0, INT(r.first), INT(r.width), INT(r.rows)};
    r.ok = r.ok && SUCCEEDED(r.source->CopyPixels(&band, UINT(rowBytes), UINT(rowBytes * r.rows),
                                                  r.band));
  }
  if (!r.ok) return static_cast<const uint8_t*>(memset(scratch, 0, size_t(r.width) * r.channels));
  return static_cast<const uint8_t*>(
      memcpy(scratch, r.band + size_t(row - r.first) * rowBytes, size_t(r.width) * r.channels));
}

}  // namespace

BOOL DibPicture::LoadPhoto(FILE* file, const char* path, SizeNeeded needed, void* context, PhotoMeta* meta) {
  // The size the header claims is checked before the system's decoder sees
  // it: some decoders take memory for the whole frame as the file opens.
  PhotoFacts facts = ReadPhotoFacts(file);
  if (meta) *meta = std::move(facts.meta);
  if (facts.sized && !PhotoSizeAllowed(facts.width, facts.height)) return FALSE;
  const int orientation = facts.orientation;

  const std::wstring widePath = Wide(path);
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  UINT frameWidth = 0, frameHeight = 0;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
      FAILED(factory->CreateDecoderFromFilename(widePath.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                &decoder)) ||
      FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&frameWidth, &frameHeight)))
    return FALSE;
  // Again as the decoder sees it, for the formats whose headers we do not read.
  if (!PhotoSizeAllowed(frameWidth, frameHeight)) return FALSE;

  const bool swaps = SwapsSides(orientation);
  const int uprightWidth = int(swaps ? frameHeight : frameWidth), uprightHeight = int(swaps ? frameWidth : frameHeight);
  const SIZE wanted = needed ? needed(context, uprightWidth, uprightHeight) : SIZE{uprightWidth, uprightHeight};
  const SIZE upright = DecodeSize(uprightWidth, uprightHeight, wanted);
  const UINT width = UINT(swaps ? upright.cy : upright.cx), height = UINT(swaps ? upright.cx : upright.cy);
  // Rows the resampler reads as they come (what JPEG decoders give), or else
  // converted to premultiplied BGRA: the picture composited over black.
  ComPtr<IWICBitmapSource> pixels = frame;
  WICPixelFormatGUID format = {};
  frame->GetPixelFormat(&format);
  const UINT channels = format == GUID_WICPixelFormat24bppBGR ? 3 : 4;
  if (format != GUID_WICPixelFormat24bppBGR && format != GUID_WICPixelFormat32bppBGR) {
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
      return FALSE;
    pixels = converter;
  }

  const size_t imageBytes = size_t(width) * height * 4;
  Release();  // the old picture goes before the new one takes its memory
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + imageBytes);
  BYTE* block = mem ? static_cast<BYTE*>(GlobalLock(mem)) : nullptr;
  if (!block) {
    if (mem) GlobalFree(mem);
    return FALSE;
  }
  uint32_t* bits = reinterpret_cast<uint32_t*>(block + sizeof(BITMAPINFOHEADER));
  // Shrunk top-down, in the frame's own orientation, then turned upright
  // into the bottom-up block.
  Buffer band(size_t(kBandRows) * frameWidth * 4), shrunk(imageBytes);
  BandReader reader = {pixels.Get(), frameWidth, frameHeight, channels, reinterpret_cast<uint8_t*>(band.Pixels()),
                       0, 0, true};
  const bool read = band.Pixels() && shrunk.Pixels() &&
                    ResamplePixels(int(frameWidth), int(frameHeight), int(channels), &ReadBandRow, &reader, shrunk.Pixels(),
                                   int(width), int(height)) &&
                    reader.ok;
  if (!read) {
    GlobalUnlock(mem);
    GlobalFree(mem);
    return FALSE;
  }
  OrientPixels(shrunk.Pixels(), int(width), int(height), orientation, bits);

  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = upright.cx;
  header.biHeight = upright.cy;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  header.biSizeImage = DWORD(imageBytes);
  memcpy(block, &header, sizeof header);
  m_hMem = mem;
  m_pInfo = reinterpret_cast<BITMAPINFO*>(block);
  m_pBits = reinterpret_cast<BYTE*>(bits);
  m_nWidth = upright.cx;
  m_nHeight = upright.cy;
  m_wUsage = DIB_RGB_COLORS;
  m_sizeSource = SIZE{uprightWidth, uprightHeight};
  return TRUE;
}
