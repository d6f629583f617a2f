#include "saver/settings_writer.h"

#include <utility>

#include "settings/collection.h"

// Held by the window's object and by the thread, each giving its hold back;
// the last frees it, so the thread may outlive the window.
struct SettingsWriter::Shared {
  Shared() : wake(CreateEventA(nullptr, FALSE, FALSE, nullptr)), written(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    InitializeCriticalSection(&lock);
  }
  ~Shared() {
    DeleteCriticalSection(&lock);
    if (wake) CloseHandle(wake);
    if (written) CloseHandle(written);
  }
  void Release() {
    if (InterlockedDecrement(&holds) == 0) delete this;
  }

  CRITICAL_SECTION lock;
  HANDLE wake;     // a write is waiting, or the window has gone
  HANDLE written;  // a write has been made
  LONG holds = 2;
  std::string file;
  bool quit = false;
  bool placeWaiting = false;
  SaverSettings place;
  bool lastWaiting = false;
  SaverSettings last;  // every key, as the show ends
  unsigned asked = 0;  // writes asked for, and those made
  unsigned made = 0;
};

SettingsWriter::SettingsWriter(std::string settingsFile) : m_settingsFile(std::move(settingsFile)), m_pShared(nullptr) {}

SettingsWriter::~SettingsWriter() {
  if (!m_pShared) return;
  EnterCriticalSection(&m_pShared->lock);
  m_pShared->quit = true;
  LeaveCriticalSection(&m_pShared->lock);
  SetEvent(m_pShared->wake);
  m_pShared->Release();
}

BOOL SettingsWriter::Started() {
  if (m_pShared) return TRUE;
  Shared* shared = new Shared;
  shared->file = m_settingsFile;
  HANDLE thread = shared->wake && shared->written
                      ? CreateThread(nullptr, 0, &SettingsWriter::Run, shared, 0, nullptr)
                      : nullptr;
  if (!thread) {
    delete shared;
    return FALSE;
  }
  CloseHandle(thread);
  m_pShared = shared;
  return TRUE;
}

BOOL SettingsWriter::SavePlace(const SaverSettings& settings) {
  if (!Started()) return FALSE;
  EnterCriticalSection(&m_pShared->lock);
  if (!m_pShared->placeWaiting) ++m_pShared->asked;
  m_pShared->place = settings;
  m_pShared->placeWaiting = true;
  LeaveCriticalSection(&m_pShared->lock);
  SetEvent(m_pShared->wake);
  return TRUE;
}

void SettingsWriter::Finish(const SaverSettings* settings, DWORD ms) {
  if (settings ? !Started() : !m_pShared) return;
  EnterCriticalSection(&m_pShared->lock);
  if (settings) {
    m_pShared->last = *settings;
    m_pShared->lastWaiting = true;
    ++m_pShared->asked;
  }
  LeaveCriticalSection(&m_pShared->lock);
  SetEvent(m_pShared->wake);
  const DWORD start = GetTickCount();
  for (;;) {
    EnterCriticalSection(&m_pShared->lock);
    const bool all = m_pShared->made == m_pShared->asked;
    LeaveCriticalSection(&m_pShared->lock);
    const DWORD spent = GetTickCount() - start;
    if (all || spent >= ms || WaitForSingleObject(m_pShared->written, ms - spent) == WAIT_TIMEOUT) return;
  }
}

DWORD WINAPI SettingsWriter::Run(void* context) {
  Shared& shared = *static_cast<Shared*>(context);
  CollectionIndex index;  // for the wallpaper's path, read here rather than by the window
  for (;;) {
    WaitForSingleObject(shared.wake, INFINITE);
    EnterCriticalSection(&shared.lock);
    const bool quit = shared.quit, place = shared.placeWaiting, last = shared.lastWaiting;
    const SaverSettings placed = shared.place, ending = shared.last;
    shared.placeWaiting = shared.lastWaiting = false;
    LeaveCriticalSection(&shared.lock);
    if (quit) break;
    if (place) SavePicturePlace(shared.file, placed);
    if (last) SaveSettings(shared.file, ending, {}, WallpaperPath(ending, &index));
    EnterCriticalSection(&shared.lock);
    shared.made += unsigned(place) + unsigned(last);
    LeaveCriticalSection(&shared.lock);
    SetEvent(shared.written);
  }
  shared.Release();
  return 0;
}
