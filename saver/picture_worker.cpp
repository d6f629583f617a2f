#include "saver/picture_worker.h"

#include <objbase.h>

#include <utility>

#include "saver/caption_maker.h"
#include "saver/caption_text.h"
#include "settings/collection.h"

// Held by the window's object and by the thread, each giving its hold back;
// the last frees it. So the thread may outlive the window, and the window
// never waits for the thread.
struct PictureWorker::Shared {
  Shared() : wake(CreateEventA(nullptr, FALSE, FALSE, nullptr)) { InitializeCriticalSection(&lock); }
  ~Shared() {
    DeleteCriticalSection(&lock);
    if (wake) CloseHandle(wake);
  }
  void Release() {
    if (InterlockedDecrement(&holds) == 0) delete this;
  }

  CRITICAL_SECTION lock;
  HANDLE wake;  // an order is waiting, or the window has gone
  LONG holds = 1;
  bool quit = false;
  bool ordered = false;
  PictureOrder order;  // the order waiting
  unsigned newest = 0;
  HWND notify = nullptr;
  UINT msg = 0;
  bool made = false;  // the picture made for `newest`, until taken
  BOOL madeOk = FALSE;
  PreparedPicture picture;
};

PictureWorker::PictureWorker() : m_pShared(nullptr) {}

PictureWorker::~PictureWorker() {
  if (!m_pShared) return;
  EnterCriticalSection(&m_pShared->lock);
  m_pShared->quit = true;
  m_pShared->ordered = m_pShared->made = false;
  m_pShared->picture = PreparedPicture();
  LeaveCriticalSection(&m_pShared->lock);
  SetEvent(m_pShared->wake);
  m_pShared->Release();
}

BOOL PictureWorker::Order(const PictureOrder& order, HWND notify, UINT msg) {
  if (!m_pShared) {
    Shared* shared = new Shared;
    if (!shared->wake) {
      delete shared;
      return FALSE;
    }
    shared->holds = 2;
    HANDLE thread = CreateThread(nullptr, 0, &PictureWorker::Run, shared, 0, nullptr);
    if (!thread) {
      delete shared;
      return FALSE;
    }
    CloseHandle(thread);
    m_pShared = shared;
  }
  EnterCriticalSection(&m_pShared->lock);
  m_pShared->order = order;
  m_pShared->ordered = true;
  m_pShared->newest = order.generation;
  m_pShared->notify = notify;
  m_pShared->msg = msg;
  m_pShared->made = false;
  m_pShared->picture = PreparedPicture();  // made for an older order
  LeaveCriticalSection(&m_pShared->lock);
  SetEvent(m_pShared->wake);
  return TRUE;
}

BOOL PictureWorker::Take(unsigned generation, PreparedPicture* picture, BOOL* ok) {
  if (!m_pShared) return FALSE;
  EnterCriticalSection(&m_pShared->lock);
  const BOOL taken = m_pShared->made && m_pShared->newest == generation;
  if (taken) {
    *picture = std::move(m_pShared->picture);
    *ok = m_pShared->madeOk;
    m_pShared->made = false;
  }
  LeaveCriticalSection(&m_pShared->lock);
  return taken;
}

DWORD WINAPI PictureWorker::Run(void* context) {
  Shared& shared = *static_cast<Shared*>(context);
  // The imaging component runs in this thread's own apartment.
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
  CollectionIndex index;  // the thread's own: the window's thread never reads the collection file
  CaptionMaker captions;
  for (;;) {
    WaitForSingleObject(shared.wake, INFINITE);
    EnterCriticalSection(&shared.lock);
    if (shared.quit) {
      LeaveCriticalSection(&shared.lock);
      break;
    }
    if (!shared.ordered) {
      LeaveCriticalSection(&shared.lock);
      continue;
    }
    PictureOrder order = std::move(shared.order);
    shared.ordered = false;
    LeaveCriticalSection(&shared.lock);

    if (order.reindex) index.Forget();
    index.Refresh(order.collection);
    // A path that is too long names no file: the order fails as a missing one.
    LookUpPicturePath(index, order.dir, order.number, &order.path);
    PreparedPicture picture;
    const BOOL ok = picture.Make(order);
    if (order.title) picture.SetTitle(ShownTitle(LookUpTitle(index, order.number), order.path, picture.Meta()));
    if (order.date || order.place) picture.SetCaption(captions.Line(picture.Meta(), order.date, order.place));

    EnterCriticalSection(&shared.lock);
    const bool wanted = !shared.quit && shared.newest == order.generation;
    if (wanted) {
      shared.picture = std::move(picture);
      shared.madeOk = ok;
      shared.made = true;
      PostMessageA(shared.notify, shared.msg, order.generation, 0);
    }
    LeaveCriticalSection(&shared.lock);
  }
  if (com) CoUninitialize();
  shared.Release();
  return 0;
}
