#include "saver/picture_rota.h"

#include <algorithm>

#include "saver/show_order.h"

RotaChoice ChoosePictures(int count, Shape screen, bool match, bool pair, const std::function<Shape(int)>& shapeOf) {
  if (count <= 0) return RotaChoice{-1, -1};
  count = std::min(count, kRotaWindow);
  // Each shape asked once at most, and only when needed: it costs a file read.
  Shape known[kRotaWindow];
  bool asked[kRotaWindow] = {};
  const auto shape = [&](int i) {
    if (!asked[i]) known[i] = shapeOf(i), asked[i] = true;
    return known[i];
  };
  RotaChoice choice;
  for (int i = 0; match && i < count; ++i) {
    const Shape s = shape(i);
    if (s == screen || s == Shape::kUnknown) {
      choice.first = i;
      break;
    }
  }
  if (pair && screen == Shape::kLandscape && shape(choice.first) == Shape::kPortrait && choice.first + 1 < count &&
      shape(choice.first + 1) == Shape::kPortrait)
    choice.second = choice.first + 1;
  return choice;
}

PictureRota::PictureRota(const SaverSettings& settings)
    : m_seed(settings.ShuffleSeed),
      m_bShuffle(settings.Shuffle != 0),
      m_nCount(settings.PictureCount) {
  // Shuffling, BeginShow has made the step that of the picture on screen, or 0 for a new round. One below 1
  // reads the round from its start; one past the end, as the round over, and the next begins: in order, as
  // NextPictureNumber does, from picture 1.
  m_step = std::max(m_bShuffle ? settings.ShuffleStep : settings.CurrentPicture, 0);
}

int PictureRota::Candidates(int* numbers) {
  const auto readOn = [this] {
    while (m_nLine < kRotaWindow && m_step < m_nCount) {
      ++m_step;
      m_line[m_nLine++] = Entry{m_bShuffle ? ShuffledPicture(m_seed, m_nCount, m_step) : m_step, m_seed, m_step};
    }
  };
  readOn();
  if (m_nLine == 0) {  // the round is over, every picture of it taken: the next begins
    if (m_bShuffle) m_seed = FollowingSeed(m_seed, m_nCount);
    m_step = 0;
    readOn();
  }
  for (int i = 0; i < m_nLine; ++i) numbers[i] = m_line[i].number;
  return m_nLine;
}

void PictureRota::Take(const RotaChoice& choice, SaverSettings* settings) {
  const bool first = choice.first >= 0 && choice.first < m_nLine;
  const bool second = choice.second >= 0 && choice.second < m_nLine && choice.second != choice.first;
  if (!first && !second) return;
  const Entry last = m_line[second ? choice.second : choice.first];
  int kept = 0;
  for (int i = 0; i < m_nLine; ++i)
    if (!(first && i == choice.first) && !(second && i == choice.second)) m_line[kept++] = m_line[i];
  m_nLine = kept;
  settings->CurrentPicture = last.number;
  if (m_bShuffle) settings->ShuffleSeed = last.seed, settings->ShuffleStep = last.step;
}
