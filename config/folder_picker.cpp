// The picker's interface is declared for Vista and later only: this file
// alone asks for it. Where the system lacks it, creating it fails.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#undef NTDDI_VERSION
#define NTDDI_VERSION 0x06000000

#include "config/folder_picker.h"

#include <shobjidl.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {
// A string the shell allocated, given back when it goes.
class ShellString {
 public:
  ShellString() : m_p(nullptr) {}
  ~ShellString() { CoTaskMemFree(m_p); }
  ShellString(const ShellString&) = delete;
  ShellString& operator=(const ShellString&) = delete;
  PWSTR* operator&() { return &m_p; }
  PCWSTR get() const { return m_p; }

 private:
  PWSTR m_p;
};
const DWORD kSubfoldersBox = 1;
}  // namespace

bool PickFolder(HWND owner, std::wstring* folder, bool* subfolders) {
  ComPtr<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog))))
    return false;
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  // Only real folders: a library or a phone's storage has no path to list.
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  dialog->SetTitle(L"Add a folder of pictures");
  // Without the customisation interface the choice stays as it was.
  ComPtr<IFileDialogCustomize> customize;
  if (SUCCEEDED(dialog.As(&customize)))
    customize->AddCheckButton(kSubfoldersBox, L"Include &subfolders", *subfolders ? TRUE : FALSE);
  ComPtr<IShellItem> item;
  ShellString path;
  if (FAILED(dialog->Show(owner)) || FAILED(dialog->GetResult(&item)) ||
      FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path.get())
    return false;
  folder->assign(path.get());
  BOOL checked = *subfolders ? TRUE : FALSE;
  if (customize && SUCCEEDED(customize->GetCheckButtonState(kSubfoldersBox, &checked))) *subfolders = checked != FALSE;
  return true;
}
