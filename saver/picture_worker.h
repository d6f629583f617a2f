// The thread that makes pictures ready while the window shows another: it
// looks each up in the collection file, then reads and sizes it. The window
// orders a picture by value; the thread makes the newest order and posts
// `msg` with its generation to the window, which then takes the picture. An
// order replaced before it started is never made; a picture made for an
// order no longer the newest is dropped.
#pragma once

#include <windows.h>

#include "saver/prepared_picture.h"

class PictureWorker {
 public:
  PictureWorker();
  // Leaves the thread to finish, or to end with the process should it be
  // stuck in a read that never returns: nothing waits for it.
  ~PictureWorker();
  PictureWorker(const PictureWorker&) = delete;
  PictureWorker& operator=(const PictureWorker&) = delete;

  // Starts the thread at the first order. FALSE when it cannot run.
  BOOL Order(const PictureOrder& order, HWND notify, UINT msg);
  // The picture made for `generation` and whether it could be read, and
  // which of the order's candidates it took; FALSE when there is none (a
  // newer order, or taken already).
  BOOL Take(unsigned generation, PreparedPicture* picture, BOOL* ok, RotaChoice* choice = nullptr);

 private:
  struct Shared;
  static DWORD WINAPI Run(void* shared);
  Shared* m_pShared;
};
