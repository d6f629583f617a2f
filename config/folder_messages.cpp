#include "config/folder_messages.h"

#include "settings/folder_collection.h"

namespace {

std::wstring Count(int n, const wchar_t* one, const wchar_t* many) {
  return std::to_wstring(n) + L" " + (n == 1 ? one : many);
}

std::wstring Widened(const char* ansi) {
  wchar_t wide[512];
  if (!MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, 512)) return L"";
  return wide;
}

// "3 pictures were left out: 2 whose names ..., 1 whose path ...".
std::wstring LeftOut(const FolderOutcome& outcome) {
  std::wstring text =
      Count(outcome.leftOutNames + outcome.leftOutLong, L"picture was", L"pictures were") + L" left out:";
  if (outcome.leftOutNames)
    text += L"\n- " + Count(outcome.leftOutNames, L"whose name holds", L"whose names hold") +
            L" characters that this system's ANSI code page cannot hold (rename them to use them)";
  if (outcome.leftOutLong)
    text += L"\n- " + Count(outcome.leftOutLong, L"whose path is", L"whose paths are") + L" longer than " +
            std::to_wstring(kMaxPicturePath) + L" characters";
  return text;
}

}  // namespace

void ReportFolderOutcome(HWND owner, const std::wstring& folder, const FolderOutcome& outcome, const char* listedName) {
  const std::wstring quoted = L"\"" + folder + L"\"";
  const std::wstring none = L"\n\nNo collection was made, and nothing was changed.";
  const std::wstring found =
      L"\n\n" + Count(outcome.pictures, L"picture in it was", L"pictures in it were") + L" left out.";
  const bool leftOut = outcome.leftOutNames + outcome.leftOutLong > 0;
  std::wstring text;
  UINT icon = MB_ICONEXCLAMATION;
  switch (outcome.result) {
    case kFolderWritten:
      if (!leftOut) return;
      text = L"The collection \"" + Widened(listedName) + L"\" holds " +
             Count(outcome.pictures, L"picture", L"pictures") + L" of " + quoted + L".\n\n" + LeftOut(outcome);
      icon = MB_ICONINFORMATION;
      break;
    case kFolderNoPictures:
      text = quoted + L" holds no pictures Lumaro can show: it shows BMP, JPEG, PNG, GIF and TIFF files." +
             (leftOut ? L"\n\n" + LeftOut(outcome) : L"") + none;
      break;
    case kFolderNotWritable:
      text = L"Lumaro cannot write its collection file " + Widened(kFolderCollectionFile) + L" into " + quoted +
             L". The folder or the file in it may be read-only, or you may not be allowed to change them." + found + none;
      break;
    case kFolderPathNotAnsi:
      text = L"The path " + quoted +
             L" holds characters that this system's ANSI code page cannot hold, and Lumaro names its files "
             L"through that code page. Rename the folder, or move the pictures into another one." +
             found + none;
      break;
    case kFolderPathTooLong:
      text = L"The path " + quoted + L" is longer than " + std::to_wstring(kMaxFolderPath) +
             L" characters, too long for Lumaro's settings. Move the pictures into a folder with a shorter path." +
             found + none;
      break;
    case kFolderNotReadable:
      text = L"Lumaro cannot read the folder " + quoted + L", or its collection file " +
             Widened(kFolderCollectionFile) + L" is too large to read." + none;
      break;
  }
  MessageBoxW(owner, text.c_str(), L"Lumaro", MB_OK | icon);
}
