#include "saver/picture_worker.h"

#include <objbase.h>

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "saver/caption_maker.h"
#include "saver/caption_text.h"
#include "settings/collection.h"

namespace {

// The shapes of the pictures looked at, by number: a picture passed over is
// looked at again at every change until it is taken.
class ShapeCache {
 public:
  PictureShape Of(const CollectionIndex& index, const std::string& dir, int number) {
    const auto found = m_shapes.find(number);
    if (found != m_shapes.end()) return found->second;
    std::string path;
    LookUpPicturePath(index, dir, number, &path);
    const PictureShape shape = path.empty() ? PictureShape{Shape::kUnknown, {0, 0}} : ReadPictureShape(path.c_str());
    if (m_shapes.size() >= 4096) m_shapes.clear();  // a bound, not a policy: it fills again as it goes
    return m_shapes[number] = shape;
  }
  void Forget() { m_shapes.clear(); }

 private:
  std::unordered_map<int, PictureShape> m_shapes;
};

// Picture `number` of the order's collection, its title and caption.
BOOL MakeOne(const CollectionIndex& index, CaptionMaker& captions, PictureOrder order, int number,
             PreparedPicture* picture) {
  order.number = number;
  // A path that is too long names no file: the order fails as a missing one.
  LookUpPicturePath(index, order.dir, number, &order.path);
  const BOOL ok = picture->Make(order);
  if (order.title) picture->SetTitle(ShownTitle(LookUpTitle(index, number), order.path, picture->Meta()));
  if (order.date || order.place) picture->SetCaption(captions.Line(picture->Meta(), order.date, order.place));
  return ok;
}

// Where the two of a pair go on each of the order's screens; FALSE when
// either size is unknown.
BOOL PlaceHalves(const PictureOrder& order, SIZE a, SIZE b, PictureOrder* left, PictureOrder* right) {
  *left = *right = order;
  left->stretch = right->stretch = TRUE;  // each made at exactly its half's size
  for (int i = 0; i < order.screenCount && i < kMaxScreens; ++i)
    if (!PairOnScreen(order.screens[i], a, b, order.stretch, &left->screens[i], &right->screens[i])) return FALSE;
  return TRUE;
}

}  // namespace

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
  RotaChoice madeChoice;
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

BOOL PictureWorker::Take(unsigned generation, PreparedPicture* picture, BOOL* ok, RotaChoice* choice) {
  if (!m_pShared) return FALSE;
  EnterCriticalSection(&m_pShared->lock);
  const BOOL taken = m_pShared->made && m_pShared->newest == generation;
  if (taken) {
    *picture = std::move(m_pShared->picture);
    *ok = m_pShared->madeOk;
    if (choice) *choice = m_pShared->madeChoice;
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
  ShapeCache shapes;
  std::string collection;
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
    if (order.reindex || order.collection != collection) shapes.Forget();
    collection = order.collection;
    index.Refresh(order.collection);
    RotaChoice choice;
    int number = order.number, partner = order.partner;
    if (order.candidateCount > 0) {
      const int count = std::min(order.candidateCount, int(kRotaWindow));
      choice = ChoosePictures(count, order.shape, order.match, order.pair, [&](int i) {
        return shapes.Of(index, order.dir, order.candidates[i]).shape;
      });
      number = order.candidates[std::clamp(choice.first, 0, count - 1)];
      partner = choice.second >= 0 && choice.second < count ? order.candidates[choice.second] : 0;
    }
    PreparedPicture picture;
    PictureOrder left, right;
    BOOL ok = FALSE;
    if (partner && PlaceHalves(order, shapes.Of(index, order.dir, number).size,
                               shapes.Of(index, order.dir, partner).size, &left, &right)) {
      // A pair shows whole or not at all: when the second cannot be read,
      // the first is made again for the screens alone. Both count as shown.
      PreparedPicture beside;
      ok = MakeOne(index, captions, left, number, &picture);
      if (ok && MakeOne(index, captions, right, partner, &beside)) {
        picture.SetPartner(std::move(beside));
      } else if (ok) {
        ok = MakeOne(index, captions, order, number, &picture);
      }
    } else {
      ok = MakeOne(index, captions, order, number, &picture);
    }

    EnterCriticalSection(&shared.lock);
    const bool wanted = !shared.quit && shared.newest == order.generation;
    if (wanted) {
      shared.picture = std::move(picture);
      shared.madeOk = ok;
      shared.madeChoice = choice;
      shared.made = true;
      PostMessageA(shared.notify, shared.msg, order.generation, 0);
    }
    LeaveCriticalSection(&shared.lock);
  }
  if (com) CoUninitialize();
  shared.Release();
  return 0;
}
