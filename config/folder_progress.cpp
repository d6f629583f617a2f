#include "config/folder_progress.h"

#include "res/resource.h"

namespace {

const DWORD kQuietMs = 300;  // a folder done sooner shows no window
const UINT_PTR kPollTimer = 1;

// Held by the dialog's thread and by the worker; the last to let go frees
// it, so the worker may outlive a cancelled window.
struct FolderJob {
  std::wstring folder;
  bool subfolders = true;
  FolderProgress progress;
  FolderOutcome outcome = {kFolderCancelled, 0, 0, "", ""};
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  LONG holds = 2;

  ~FolderJob() {
    if (done) CloseHandle(done);
  }
  void Release() {
    if (InterlockedDecrement(&holds) == 0) delete this;
  }
  bool Done() const { return WaitForSingleObject(done, 0) == WAIT_OBJECT_0; }
};

DWORD WINAPI Run(void* context) {
  FolderJob* job = static_cast<FolderJob*>(context);
  job->outcome = MakeFolderCollection(job->folder.c_str(), job->subfolders, &job->progress);
  SetEvent(job->done);
  job->Release();
  return 0;
}

void ShowCounts(HWND dlg, const FolderJob& job) {
  const int folders = job.progress.folders, pictures = job.progress.pictures;
  const std::wstring text = std::to_wstring(pictures) + (pictures == 1 ? L" picture" : L" pictures") + L" in " +
                            std::to_wstring(folders) + (folders == 1 ? L" folder" : L" folders") + L" so far";
  SetDlgItemTextW(dlg, IDC_PROGRESS_COUNTS, text.c_str());
}

INT_PTR CALLBACK ProgressProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  FolderJob* job = reinterpret_cast<FolderJob*>(GetWindowLongPtrW(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      job = reinterpret_cast<FolderJob*>(lParam);
      SetWindowLongPtrW(dlg, DWLP_USER, lParam);
      SetDlgItemTextW(dlg, IDC_PROGRESS_FOLDER, (L"Looking for pictures in " + job->folder).c_str());
      ShowCounts(dlg, *job);
      SetTimer(dlg, kPollTimer, 100, nullptr);
      return TRUE;
    case WM_TIMER:
      if (job->Done()) EndDialog(dlg, IDOK);
      else ShowCounts(dlg, *job);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) != IDCANCEL) break;
      // Too late once the file is being written: the window waits for it.
      if (job->progress.Cancel()) EndDialog(dlg, IDCANCEL);
      else EnableWindow(GetDlgItem(dlg, IDCANCEL), FALSE);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

FolderOutcome MakeFolderCollectionShowingProgress(HWND owner, const std::wstring& folder, bool subfolders) {
  FolderJob* job = new FolderJob;
  job->folder = folder;
  job->subfolders = subfolders;
  HANDLE thread = job->done ? CreateThread(nullptr, 0, &Run, job, 0, nullptr) : nullptr;
  if (!thread) {
    // No thread: the work is done here, without a window.
    FolderOutcome outcome = MakeFolderCollection(folder.c_str(), subfolders, &job->progress);
    delete job;
    return outcome;
  }
  CloseHandle(thread);
  // As brief a wait as any click's work; after it the window answers.
  HCURSOR oldCursor = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  bool done = WaitForSingleObject(job->done, kQuietMs) == WAIT_OBJECT_0;
  SetCursor(oldCursor);
  if (!done)
    done = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FOLDER_PROGRESS), owner, &ProgressProc,
                           reinterpret_cast<LPARAM>(job)) == IDOK;
  FolderOutcome outcome = {kFolderCancelled, 0, 0, "", ""};
  if (done) outcome = job->outcome;
  job->Release();
  return outcome;
}
