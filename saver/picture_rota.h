// Which pictures a monitor takes next when every monitor shows its own: the
// collection's order, in order or shuffled, read a few pictures ahead so that
// a portrait monitor can take a portrait and a landscape one a landscape, and
// two portraits can share a landscape monitor. Nothing is dropped: a picture
// passed over waits, first in line, for the next monitor that fits it, and
// every picture of a round is taken once.
#pragma once

#include <cstdint>
#include <functional>

#include "picture/picture_shape.h"
#include "settings/saver_settings.h"

const int kRotaWindow = 8;  // how far ahead a monitor looks for a picture of its shape

// What a monitor takes of the candidates: `first`, and `second` beside it
// (-1: alone).
struct RotaChoice {
  int first = 0;
  int second = -1;
};

// Chooses among `count` candidates (at most kRotaWindow are looked at; none:
// {-1, -1}), whose shapes `shapeOf(i)` gives, asked only of those the choice
// needs, for a monitor of shape `screen`:
// - with `match` (the monitors are of both shapes) the first candidate of
//   the monitor's shape, or of unknown shape, else the first of all;
// - with `pair`, on a landscape monitor, a portrait taken has the candidate
//   right after it beside it when that one is a portrait too.
RotaChoice ChoosePictures(int count, Shape screen, bool match, bool pair, const std::function<Shape(int)>& shapeOf);

class PictureRota {
 public:
  // The order goes on after the picture on screen, as `settings` hold it
  // once BeginShow has settled the shuffled round.
  explicit PictureRota(const SaverSettings& settings);

  // The pictures to choose among, into `numbers`: those passed over, oldest
  // first, then those the order gives next, up to kRotaWindow in all and
  // never past the round's end (a new round starts only when nothing of the
  // last is left). Returns how many: 0 only for an empty collection.
  int Candidates(int* numbers);
  // The candidates `choice` names (of the last Candidates) are shown: they
  // leave the line, and `settings` record the last of them as the picture on
  // screen, CurrentPicture and, shuffling, the round and its step where it
  // stands, so that a restart goes on after it.
  void Take(const RotaChoice& choice, SaverSettings* settings);

 private:
  struct Entry {
    int number;
    uint32_t seed;  // the shuffled round it comes from, and its step there
    int step;
  };
  Entry m_line[kRotaWindow];  // read from the order and not yet taken, in order
  int m_nLine = 0;
  // Where reading the order goes on: the step (or, in order, the picture
  // number) last read, of the round made from `m_seed`.
  uint32_t m_seed;
  int m_step;
  bool m_bShuffle;
  int m_nCount;
};
