#include "saver/mouse_rule.h"

BOOL MouseMoveCloses(POINT* last, int x, int y) {
  if (last->x == -1 && last->y == -1) {
    // The first report only says where the mouse rests.
    last->x = x;
    last->y = y;
    return FALSE;
  }
  return (x != last->x || y != last->y) ? TRUE : FALSE;
}
