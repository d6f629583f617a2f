// The pictures a run has put up, newest last, the last 100 of them, and how
// far going back has got: a step forward goes through them again before the
// show takes a new picture.
#pragma once

class ShowHistory {
 public:
  // A new picture's turn: it becomes the newest, and the one reached.
  void Add(int number);
  // Moves to the picture before the one reached, or after it, and gives its
  // number; false, and no move, at the oldest or the newest.
  bool Back(int* number);
  bool Forward(int* number);
  // The picture after the one reached, without moving; 0 at the newest.
  int Ahead() const { return m_at + 1 < m_count ? At(m_at + 1) : 0; }

 private:
  enum { kSize = 100 };
  int At(int i) const { return m_numbers[(m_first + i) % kSize]; }

  int m_numbers[kSize] = {};  // a ring: the oldest at m_first
  int m_first = 0;
  int m_count = 0;
  int m_at = -1;              // 0 the oldest, m_count - 1 the newest
};
