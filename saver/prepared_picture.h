// A picture made ready to show: read or decoded, then made at each size the
// screens draw it at, so that drawing it is a plain copy. Made on the worker
// thread from an order that holds everything it needs by value.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "picture/dib_picture.h"
#include "picture/photo_meta.h"
#include "saver/pan_path.h"
#include "saver/picture_rota.h"
#include "saver/screen_layout.h"

struct PictureOrder {
  std::string path;           // the picture's file, once looked up
  RECT screens[kMaxScreens];  // the window's screens, in its client coordinates
  int screenCount;
  BOOL stretch;
  unsigned generation;
  bool zoom = false;  // made to move: larger, by ZoomedSize, and its detail found
  bool date = false;  // its line at the bottom tells when it was taken
  bool place = false; // and where
  // What the worker looks up first: picture `number` of the collection file
  // at `collection` (none when empty), whose pictures lie in `dir`, with its
  // title when asked. With `reindex` the file is read anew whatever its
  // stamp says: it may have been written again within the clock's tick.
  std::string collection = std::string();
  std::string dir = std::string();
  int number = 0;
  bool title = false;
  bool reindex = false;
  // When the screens take turns the worker chooses the picture itself: among
  // `candidates`, with ChoosePictures, for screens of shape `shape`; else
  // `number` with `partner` (when not 0) beside it, a pair shown again.
  int candidates[kRotaWindow] = {};
  int candidateCount = 0;
  Shape shape = Shape::kUnknown;
  bool match = false;  // the screens are of both shapes: each looks ahead for its own
  bool pair = false;   // two portraits in a row may share these screens
  int partner = 0;
};

class PreparedPicture {
 public:
  PreparedPicture();

  // Reads the picture at the order's path and makes it at every size its
  // screens draw it at; FALSE, and empty, when it cannot be read. A size
  // that cannot be made is drawn scaled from the picture as loaded.
  BOOL Make(const PictureOrder& order);

  BOOL Empty() const { return !m_picture.m_pBits; }
  // The size placements are worked out from: the picture's own, upright.
  SIZE Size() const { return m_size; }
  // The picture made at `width` x `height`, or else the one loaded.
  const DibPicture& DrawnAt(int width, int height) const;
  // Made to move (PictureOrder::zoom): at each size its ZoomedSize.
  bool Zoomed() const { return m_bZoomed; }
  // Its number in the collection, and where its detail lies.
  int Place() const { return m_nPlace; }
  PanFocus Focus() const { return m_focus; }
  // What the photo itself says of its date, place and words.
  const PhotoMeta& Meta() const { return m_meta; }
  // Its title, shown at the top, and its line of when and where, shown at
  // the bottom (UTF-8); set by whoever looked them up.
  const std::string& Title() const { return m_title; }
  void SetTitle(std::string title) { m_title = std::move(title); }
  const std::string& Caption() const { return m_caption; }
  void SetCaption(std::string caption) { m_caption = std::move(caption); }
  // The portrait shown at its right, the two as a pair (PlacePair), or null.
  const PreparedPicture* Partner() const { return m_pPartner.get(); }
  void SetPartner(PreparedPicture partner) { m_pPartner = std::make_unique<PreparedPicture>(std::move(partner)); }

 private:
  DibPicture m_picture;
  DibPicture m_aSized[kMaxScreens - 1];
  SIZE m_size;
  PhotoMeta m_meta;
  std::string m_title;
  std::string m_caption;
  bool m_bZoomed = false;
  int m_nPlace = 0;
  PanFocus m_focus = {0.5, 0.5};
  std::unique_ptr<PreparedPicture> m_pPartner;
};
