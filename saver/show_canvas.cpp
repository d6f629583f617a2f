#include "saver/show_canvas.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "picture/paint_geometry.h"
#include "picture/view_sample.h"
#include "text/utf.h"

namespace {

// The preview's one picture goes to and fro: there to the end of its path,
// back over the same time, and again.
DWORD Folded(DWORD elapsed, int lengthMs) {
  if (lengthMs <= 0) return 0;
  const DWORD round = elapsed % (2 * DWORD(lengthMs));
  return round > DWORD(lengthMs) ? 2 * DWORD(lengthMs) - round : round;
}

// Where a picture's view comes from in the picture made for it, which is
// `cxMade` x `cyMade` for a view drawn at `cxDrawn` x `cyDrawn`.
ViewSampling SamplingOf(const PanView& view, int cxMade, int cyMade, int cxDrawn, int cyDrawn) {
  const double stepX = double(cxMade) / (cxDrawn * view.zoom), stepY = double(cyMade) / (cyDrawn * view.zoom);
  // Each drawn pixel's centre, in the made picture's pixels from its first
  // pixel's centre.
  const double x0 = (view.x - 0.5 / view.zoom) * cxMade + stepX / 2 - 0.5;
  const double y0 = (view.y - 0.5 / view.zoom) * cyMade + stepY / 2 - 0.5;
  return {std::llround(x0 * 65536), std::llround(y0 * 65536), std::llround(stepX * 65536),
          std::llround(stepY * 65536)};
}

}  // namespace

ShowCanvas::ShowCanvas(BOOL preview)
    : m_bPreview(preview), m_hFont(nullptr), m_hOldFont(nullptr), m_rcScreens{}, m_nScreens(0), m_ptOrigin{0, 0}, m_nOutline(1), m_nNewest(0),
      m_bPaused(FALSE), m_dwPausedAt(0), m_bPauseMarks(FALSE) {}

void ShowCanvas::Create(HDC hdc, int dpi) {
  if (!m_frames.Create(hdc)) return;
  HDC dc = m_frames.Dc();
  // A draw that still scales (a run-length picture) drops whole pixels
  // rather than combining them, which would darken the picture.
  SetStretchBltMode(dc, COLORONCOLOR);
  // 18 pixels at 96 dpi, as many points on a denser screen; the words'
  // black edge 2 pixels so.
  if (dpi <= 0) dpi = GetDeviceCaps(hdc, LOGPIXELSY);
  const int height = -MulDiv(18, dpi, 96);
  m_nOutline = std::max(1, MulDiv(2, dpi, 96));
  m_hFont = CreateFontA(height, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                        DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "San Serif");
  m_hOldFont = SelectObject(dc, m_hFont);
  SetBkMode(dc, TRANSPARENT);
}

void ShowCanvas::Destroy() {
  if (m_frames.Dc() && m_hOldFont) SelectObject(m_frames.Dc(), m_hOldFont);
  if (m_hFont) DeleteObject(m_hFont);
  m_hFont = nullptr;
  m_hOldFont = nullptr;
  m_frames.Destroy();
  for (Layer& layer : m_layers) layer = Layer();
}

void ShowCanvas::SetScreens(const RECT* screens, int count) {
  m_nScreens = std::clamp(count, 0, int(kMaxScreens));
  std::copy(screens, screens + m_nScreens, m_rcScreens);
}

void ShowCanvas::SetOrigin(POINT origin) {
  m_ptOrigin = origin;
  m_frames.SetOrigin(origin);
}

int ShowCanvas::Slots(const Layer& layer, int screen, Slot* out) const {
  const RECT& s = m_rcScreens[screen];
  const PreparedPicture* partner = layer.picture.Partner();
  RECT ra, rb;
  if (partner && PairOnScreen(s, layer.picture.Size(), partner->Size(), layer.stretch, &ra, &rb)) {
    // Each one's words over its own half, from the screen's top to its bottom.
    out[0] = {&layer.picture, ra, {ra.left, s.top, ra.right, s.bottom}};
    out[1] = {partner, rb, {rb.left, s.top, rb.right, s.bottom}};
    return 2;
  }
  const SIZE size = layer.picture.Size();
  const PaintPlacement p = PlacePicture(s.right - s.left, s.bottom - s.top, size.cx, size.cy, layer.stretch);
  out[0] = {&layer.picture, {s.left + p.xDest, s.top + p.yDest, s.left + p.xDest + p.cxDest, s.top + p.yDest + p.cyDest}, s};
  return 1;
}

void ShowCanvas::Show(PreparedPicture* picture, const CanvasLook& look, int width, int height, DWORD now) {
  // Each layer keeps to its frame: without a new frame the screen keeps what it shows.
  if (!m_frames.Begin(width, height)) return;
  // The newest becomes the one faded over; the one before that is done with.
  m_nNewest = 1 - m_nNewest;
  Layer& layer = m_layers[m_nNewest];
  layer = Layer();
  if (picture) layer.picture = std::move(*picture);
  layer.title = look.title;
  layer.stretch = look.stretch;
  // A picture put up while the show is paused holds at its start.
  layer.start = m_bPaused ? m_dwPausedAt : now;
  layer.lengthMs = look.lengthMs;
  const bool drawn = !layer.picture.Empty();
  layer.moving = drawn && look.move && layer.picture.Zoomed();
  for (int i = 0; layer.moving && i < m_nScreens; ++i) {
    const RECT& s = m_rcScreens[i];
    Slot slots[2];
    const int n = Slots(layer, i, slots);
    for (int k = 0; k < n; ++k) {
      const SIZE size = slots[k].picture->Size();
      const RECT& d = slots[k].dest;
      layer.paths[i][k] = PlanPan(d.right - d.left, d.bottom - d.top, size.cx, size.cy, s.right - s.left,
                                  s.bottom - s.top, slots[k].picture->Place(), slots[k].picture->Focus(),
                                  look.lengthMs, !look.ease);
    }
  }
  // A picture that could not be made to move (a run-length one) stands still.
  if (!Draw(layer, layer.start, m_frames.Bits(), width, height)) layer.moving = false;
  m_frames.Show(look.fadeMs, now);
  // A still picture is in its frame for good: what it was made from goes,
  // and so does one faded over, which is never drawn again.
  if (!layer.moving) layer.picture = PreparedPicture();
  if (!m_layers[1 - m_nNewest].moving) m_layers[1 - m_nNewest] = Layer();
}

BOOL ShowCanvas::Hold(BOOL paused, int remainingMs, DWORD now) {
  if (paused == m_bPaused) return FALSE;
  m_bPaused = paused;
  if (paused) {
    m_dwPausedAt = now;
    return TRUE;
  }
  // Going on, each moving picture starts a new stretch of its path from the
  // view it held, to the same end, over the time the picture has left.
  for (Layer& layer : m_layers) {
    if (!layer.moving) continue;
    const DWORD held = m_dwPausedAt - layer.start;
    for (int i = 0; i < m_nScreens; ++i)
      for (PanPath& path : layer.paths[i]) path.from = ViewAt(path, int(held), layer.lengthMs);
    layer.start = now;
    layer.lengthMs = std::max(remainingMs, 1);
  }
  return TRUE;
}

BOOL ShowCanvas::Present(HDC hdc, DWORD now) {
  const DWORD at = m_bPaused ? m_dwPausedAt : now;
  const bool fading = m_frames.Fading(now);
  bool moving = false;
  for (int older = 0; older < 2; ++older) {
    const Layer& layer = m_layers[older ? 1 - m_nNewest : m_nNewest];
    if (!layer.moving || (older && !fading)) continue;
    int width = 0, height = 0;
    uint32_t* bits = m_frames.Select(older != 0, &width, &height);
    if (!bits) continue;
    Draw(layer, at, bits, width, height);
    moving = !m_bPaused;
  }
  const BOOL more = m_frames.Present(hdc, now);
  if (m_bPauseMarks) DrawPauseMarks(hdc);
  // Once faded out, a picture faded over is never drawn again.
  Layer& over = m_layers[1 - m_nNewest];
  if (!fading && !over.picture.Empty()) over = Layer();
  return more || moving;
}

BOOL ShowCanvas::Draw(const Layer& layer, DWORD now, uint32_t* bits, int width, int height) {
  HDC dc = m_frames.Dc();
  if (layer.picture.Empty()) return FALSE;
  // The preview never shows words. A pair's two have each their own.
  Words words[2];
  if (layer.title && !m_bPreview) {
    words[0] = Measure(layer.picture);
    if (layer.picture.Partner()) words[1] = Measure(*layer.picture.Partner());
  }
  // Words drawn over the black beside a moving picture are drawn again over
  // black, not over themselves.
  for (int i = 0; layer.moving && i < m_nScreens; ++i) {
    Slot slots[2];
    const int n = Slots(layer, i, slots);
    for (int k = 0; k < n; ++k)
      for (int line = 0; line < 2; ++line) {
        if (words[k].text[line].empty()) continue;
        RECT box = WordsBox(words[k], line, slots[k].area);
        InflateRect(&box, m_nOutline, m_nOutline);
        FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      }
  }
  GdiFlush();
  BOOL moved = FALSE;
  for (int i = 0; i < m_nScreens; ++i) {
    Slot slots[2];
    const int n = Slots(layer, i, slots);
    for (int k = 0; k < n; ++k) {
      const RECT& dest = slots[k].dest;
      if (layer.moving && Sample(layer, *slots[k].picture, layer.paths[i][k], dest, now, bits, width, height)) {
        moved = TRUE;
        continue;
      }
      const int cx = dest.right - dest.left, cy = dest.bottom - dest.top;
      const DibPicture& pic = slots[k].picture->DrawnAt(cx, cy);
      StretchDIBits(dc, dest.left, dest.top, cx, cy, 0, 0, pic.m_nWidth, pic.m_nHeight, pic.m_pBits, pic.m_pInfo,
                    pic.m_wUsage, SRCCOPY);
    }
    for (int k = 0; k < n; ++k) DrawWords(words[k], slots[k].area);
  }
  GdiFlush();  // what GDI drew is in the bits before they are read
  return moved;
}

BOOL ShowCanvas::Sample(const Layer& layer, const PreparedPicture& picture, const PanPath& path, const RECT& dest,
                        DWORD now, uint32_t* bits, int width, int height) {
  const int cx = dest.right - dest.left, cy = dest.bottom - dest.top;
  const SIZE made = ZoomedSize(cx, cy);
  const DibPicture& pic = picture.DrawnAt(made.cx, made.cy);
  // Only a picture made for the motion moves; any other stands still.
  ptrdiff_t stride = 0;
  const uint32_t* top = pic.TopRow32(&stride);
  if (!top || pic.m_nWidth != made.cx || pic.m_nHeight != made.cy) return FALSE;
  if (dest.left < 0 || dest.top < 0 || dest.right > width || dest.bottom > height) return FALSE;
  const DWORD elapsed = now - layer.start;
  const PanView view = ViewAt(path, int(m_bPreview ? Folded(elapsed, layer.lengthMs) : std::min<DWORD>(elapsed, INT_MAX)),
                              layer.lengthMs);
  SampleView(top, made.cx, made.cy, stride, bits + size_t(dest.top) * width + dest.left, cx, cy, width,
             SamplingOf(view, made.cx, made.cy, cx, cy));
  return TRUE;
}

ShowCanvas::Words ShowCanvas::Measure(const PreparedPicture& picture) {
  Words words;
  words.text[0] = Wide(picture.Title());
  words.text[1] = Wide(picture.Caption());
  for (int line = 0; line < 2; ++line) {
    RECT measured = {0, 0, 0, 0};
    if (!words.text[line].empty())
      DrawTextW(m_frames.Dc(), words.text[line].c_str(), int(words.text[line].size()), &measured,
                DT_CALCRECT | DT_CENTER | DT_VCENTER);
    words.size[line] = {measured.right - measured.left, measured.bottom - measured.top};
  }
  return words;
}

RECT ShowCanvas::WordsBox(const Words& words, int line, const RECT& s) const {
  // The title at the top edge, the caption as far above the bottom as its
  // outline reaches.
  RECT box = PlaceTitle(s.right - s.left, s.bottom - s.top, words.size[line].cx, words.size[line].cy);
  if (line == 1) OffsetRect(&box, 0, std::max(0L, s.bottom - s.top - box.bottom - m_nOutline));
  OffsetRect(&box, s.left, s.top);
  return box;
}

void ShowCanvas::DrawWords(const Words& words, const RECT& area) {
  // White edged in black, so that it reads on snow as on a night sky.
  HDC dc = m_frames.Dc();
  for (int line = 0; line < 2; ++line) {
    const std::wstring& text = words.text[line];
    if (text.empty()) continue;
    const RECT box = WordsBox(words, line, area);
    SetTextColor(dc, RGB(0, 0, 0));
    for (int dy = -m_nOutline; dy <= m_nOutline; dy += m_nOutline)
      for (int dx = -m_nOutline; dx <= m_nOutline; dx += m_nOutline) {
        RECT edge = box;
        OffsetRect(&edge, dx, dy);
        if (dx || dy) DrawTextW(dc, text.c_str(), int(text.size()), &edge, DT_CENTER | DT_VCENTER);
      }
    SetTextColor(dc, RGB(255, 255, 255));
    RECT inside = box;
    DrawTextW(dc, text.c_str(), int(text.size()), &inside, DT_CENTER | DT_VCENTER);
  }
}

void ShowCanvas::DrawPauseMarks(HDC hdc) {
  // Two white bars edged in black, at the top right of each screen, so that
  // they show on a light picture as on a dark one.
  for (int i = 0; i < m_nScreens; ++i) {
    RECT s = m_rcScreens[i];
    OffsetRect(&s, m_ptOrigin.x, m_ptOrigin.y);
    const int height = (s.bottom - s.top) / 12 + 8, width = height / 3, margin = height / 2;
    for (int bar = 0; bar < 2; ++bar) {
      const int right = s.right - margin - bar * (width + width * 2 / 3);
      RECT r = {right - width, s.top + margin, right, s.top + margin + height};
      RECT edge = r;
      InflateRect(&edge, 2, 2);
      FillRect(hdc, &edge, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      FillRect(hdc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
  }
}
