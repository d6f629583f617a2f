#include "saver/prepared_picture.h"

#include "picture/detail_focus.h"

namespace {
SIZE LargestOnScreens(void* context, int width, int height) {
  const PictureOrder& order = *static_cast<const PictureOrder*>(context);
  return LargestDrawnSize(order.screens, order.screenCount, width, height, order.stretch, order.zoom);
}
}  // namespace

PreparedPicture::PreparedPicture() { m_size.cx = m_size.cy = 0; }

BOOL PreparedPicture::Make(const PictureOrder& order) {
  *this = PreparedPicture();  // whatever it held goes
  PictureOrder bounded = order;  // a count beyond the array is never read
  if (bounded.screenCount < 0 || bounded.screenCount > kMaxScreens) bounded.screenCount = 0;
  if (order.path.empty() ||
      !m_picture.Load(order.path.c_str(), &LargestOnScreens, &bounded, &m_meta)) {
    m_picture.Release();
    m_meta = PhotoMeta();
    return FALSE;
  }
  m_size = m_picture.m_sizeSource;
  // The other sizes are made from the picture as loaded, which is remade last.
  SIZE sizes[kMaxScreens];
  const int n = DrawnSizes(bounded.screens, bounded.screenCount, m_size.cx, m_size.cy, bounded.stretch, sizes, order.zoom);
  for (int i = 1; i < n; ++i) m_aSized[i - 1].PrepareFrom(m_picture, sizes[i].cx, sizes[i].cy);
  if (n > 0) m_picture.Prepare(sizes[0].cx, sizes[0].cy);
  m_nPlace = order.number;
  m_bZoomed = order.zoom;
  // The detail is looked for in the picture as made.
  ptrdiff_t stride = 0;
  const uint32_t* top = order.zoom ? m_picture.TopRow32(&stride) : nullptr;
  if (top) {
    const DetailPoint detail = FindDetail(top, m_picture.m_nWidth, m_picture.m_nHeight, stride);
    m_focus = {detail.x, detail.y};
  }
  return TRUE;
}

const DibPicture& PreparedPicture::DrawnAt(int width, int height) const {
  for (const DibPicture& sized : m_aSized)
    if (sized.m_pBits && sized.m_nWidth == width && sized.m_nHeight == height) return sized;
  return m_picture;
}
