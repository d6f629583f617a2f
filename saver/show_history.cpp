#include "saver/show_history.h"

void ShowHistory::Add(int number) {
  if (m_count < kSize) {
    m_numbers[(m_first + m_count++) % kSize] = number;
  } else {
    m_numbers[m_first] = number;  // the oldest makes room
    m_first = (m_first + 1) % kSize;
  }
  m_at = m_count - 1;
}

bool ShowHistory::Back(int* number) {
  if (m_at <= 0) return false;
  *number = At(--m_at);
  return true;
}

bool ShowHistory::Forward(int* number) {
  if (m_at + 1 >= m_count) return false;
  *number = At(++m_at);
  return true;
}
