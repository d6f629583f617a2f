#include "config/folder_messages.h"

#include "settings/folder_collection.h"
#include "text/utf.h"

namespace {

std::wstring Count(int n, const wchar_t* one, const wchar_t* many) {
  return std::to_wstring(n) + L" " + (n == 1 ? one : many);
}

// "2 pictures were left out: their paths are longer than 255 characters".
std::wstring LeftOut(const FolderOutcome& outcome) {
  return Count(outcome.leftOutLong, L"picture was", L"pictures were") + L" left out:\n- " +
         Count(outcome.leftOutLong, L"whose path is", L"whose paths are") + L" longer than " +
         std::to_wstring(kMaxPicturePath) + L" characters";
}

}  // namespace

void ReportFolderOutcome(HWND owner, const std::wstring& folder, const FolderOutcome& outcome, const char* listedName) {
  const std::wstring quoted = L"\"" + folder + L"\"";
  const std::wstring none = L"\n\nNo collection was made, and nothing was changed.";
  const std::wstring found =
      L"\n\n" + Count(outcome.pictures, L"picture in it was", L"pictures in it were") + L" left out.";
  const bool leftOut = outcome.leftOutLong > 0;
  std::wstring text;
  UINT icon = MB_ICONEXCLAMATION;
  switch (outcome.result) {
    case kFolderCancelled:
      return;
    case kFolderWritten:
      if (!leftOut) return;
      text = L"The collection \"" + Wide(listedName) + L"\" holds " +
             Count(outcome.pictures, L"picture", L"pictures") + L" of " + quoted + L".\n\n" + LeftOut(outcome);
      icon = MB_ICONINFORMATION;
      break;
    case kFolderNoPictures:
      text = quoted + L" holds no pictures Lumaro can show: it shows BMP, JPEG, PNG, GIF and TIFF files." +
             (leftOut ? L"\n\n" + LeftOut(outcome) : L"") + none;
      break;
    case kFolderNotWritable:
      text = L"Lumaro cannot write its collection file " + Wide(kFolderCollectionFile) + L" into " + quoted +
             L". The folder or the file in it may be read-only, or you may not be allowed to change them." + found + none;
      break;
    case kFolderPathTooLong:
      text = L"The path " + quoted + L" is longer than " + std::to_wstring(kMaxFolderPath) +
             L" characters, too long for Lumaro's settings. Move the pictures into a folder with a shorter path." +
             found + none;
      break;
    case kFolderNotReadable:
      text = L"Lumaro cannot read the folder " + quoted + L", or its collection file " +
             Wide(kFolderCollectionFile) + L" is too large to read." + none;
      break;
  }
  MessageBoxW(owner, text.c_str(), L"Lumaro", MB_OK | icon);
}
