// What a picture window shows, composed frame by frame: the picture on each
// screen with its title, or black, faded in over the one before. A still
// picture is composed once; a moving one is sampled anew for every frame at
// the view its path gives for that moment, the picture it fades in over too.
// The window owns the canvas and hands it the pictures and the clock.
#pragma once

#include <windows.h>

#include <string>

#include "saver/pan_path.h"
#include "saver/prepared_picture.h"
#include "saver/screen_layout.h"
#include "saver/show_frames.h"

// How a picture is put up.
struct CanvasLook {
  int fadeMs = 0;      // it fades in over this long
  bool title = false;  // its title shows at the top of each screen, its caption at the bottom
  BOOL stretch = FALSE;
  bool move = false;   // it drifts, when it was made for it (PictureOrder::zoom)
  bool ease = false;   // the drift eases in and out: no fade hides its ends
  int lengthMs = 0;    // its whole time on screen, fades included
};

class ShowCanvas {
 public:
  // The preview moves to and fro for as long as it shows its one picture.
  explicit ShowCanvas(BOOL preview);
  ~ShowCanvas() { Destroy(); }
  ShowCanvas(const ShowCanvas&) = delete;
  ShowCanvas& operator=(const ShowCanvas&) = delete;

  // The drawing DC, compatible with the window's `hdc`, and the title font
  // sized for `dpi` dots per inch, or the DC's when that is 0.
  void Create(HDC hdc, int dpi = 0);
  void Destroy();
  // The screens (the canvas's coordinates) the next pictures are placed on,
  // and where on the window the canvas's top left corner lies.
  void SetScreens(const RECT* screens, int count);
  void SetOrigin(POINT origin);

  // Puts `picture` up from `now` (taken from it; null or empty: black), over
  // a frame of `width` x `height`.
  void Show(PreparedPicture* picture, const CanvasLook& look, int width, int height, DWORD now);
  // The motion holds while the show is paused, and goes on from where it
  // stood over the picture's remaining `remainingMs`. TRUE when that
  // changed: the frames stop, or start again.
  BOOL Hold(BOOL paused, int remainingMs, DWORD now);
  void SetPauseMarks(BOOL on) { m_bPauseMarks = on; }

  // Draws the frame due at `now` into `hdc`; TRUE while more are due (a
  // fade or a motion goes on).
  BOOL Present(HDC hdc, DWORD now);

 private:
  // A picture on screen and how it moves there.
  struct Layer {
    PreparedPicture picture;
    bool title = false;
    BOOL stretch = FALSE;
    bool moving = false;
    DWORD start = 0;  // its path's time 0
    int lengthMs = 0;
    PanPath paths[kMaxScreens][2] = {};  // each screen's, for the picture and the one beside it
  };
  // Where a picture of a layer goes on a screen, and the column its words
  // go in: the screen, or a pair's half of it.
  struct Slot {
    const PreparedPicture* picture;
    RECT dest, area;
  };
  // The layer's picture, or the two of its pair, on `screen`; how many.
  int Slots(const Layer& layer, int screen, Slot* out) const;
  // Draws `layer` as it stands at `now` into the frame selected in the DC,
  // whose pixels are `bits`, `width` pixels a row; FALSE when no screen
  // could show it moving.
  BOOL Draw(const Layer& layer, DWORD now, uint32_t* bits, int width, int height);
  BOOL Sample(const Layer& layer, const PreparedPicture& picture, const PanPath& path, const RECT& dest, DWORD now,
              uint32_t* bits, int width, int height);
  // A picture's title (line 0, at the top of each screen) and caption (line
  // 1, at the bottom), and the size each takes.
  struct Words {
    std::wstring text[2];
    SIZE size[2] = {};
  };
  Words Measure(const PreparedPicture& picture);
  // Where `line` goes in `area`, in the canvas's coordinates.
  RECT WordsBox(const Words& words, int line, const RECT& area) const;
  void DrawWords(const Words& words, const RECT& area);
  void DrawPauseMarks(HDC hdc);

  BOOL m_bPreview;
  ShowFrames m_frames;
  HFONT m_hFont;
  HGDIOBJ m_hOldFont;
  RECT m_rcScreens[kMaxScreens];
  int m_nScreens;
  POINT m_ptOrigin;
  int m_nOutline;  // the black edge around words, in pixels
  Layer m_layers[2];  // the newest and the one it fades in over
  int m_nNewest;
  BOOL m_bPaused;
  DWORD m_dwPausedAt;
  BOOL m_bPauseMarks;
};
