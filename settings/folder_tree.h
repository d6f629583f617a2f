// A folder's files and, when asked, those of its subfolders, listed as
// Explorer shows them: hidden and system entries left out, junctions and
// symbolic links never followed (a link back up would never end), at most
// kMaxFolderDepth levels down. The listing may run on its own thread while
// another shows what it has found and may cancel it.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "settings/folder_collection.h"

enum { kMaxFolderDepth = 64 };

// An entry of a folder as the system lists it.
struct FolderEntry {
  std::wstring name;
  std::string utf8;  // the same name
  bool folder;
  bool hidden;  // hidden or system
  bool link;    // a junction or symbolic link
};

// The system's listing of one folder, without "." and "..". FALSE when
// the folder cannot be read.
typedef bool (*ListFolderFn)(const std::wstring& path, std::vector<FolderEntry>* entries);

// Counts for a progress window, and a cancel that is either in time, so
// that nothing is written, or too late, when the result is being written.
class FolderProgress {
 public:
  std::atomic<int> folders{0};
  std::atomic<int> pictures{0};

  // FALSE when too late: the result stands.
  bool Cancel() { return Settle(kCancelled); }
  bool Cancelled() const { return m_state == kCancelled; }
  // Called before the result is written: FALSE when cancelled first.
  bool Commit() { return Settle(kCommitted); }

 private:
  enum { kRunning, kCancelled, kCommitted };
  bool Settle(int state) {
    int running = kRunning;
    return m_state.compare_exchange_strong(running, state) || m_state == state;
  }
  std::atomic<int> m_state{kRunning};
};

// The files of `root` as one group, then, with `subfolders`, each
// subfolder's as a group of its own, depth first, the subfolders of every
// level in name order. Each file's utf8 is its path from `root`. A
// subfolder that cannot be read is left out; FALSE when `root` cannot be,
// or the listing was cancelled.
bool ListFolderTree(const std::wstring& root, bool subfolders, ListFolderFn list, FolderProgress* progress,
                    std::vector<std::vector<FolderFile>>* groups);
