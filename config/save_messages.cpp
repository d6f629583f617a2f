#include "config/save_messages.h"

#include <string>

#include "text/utf.h"

namespace {
// The system's own words for `error`, without the line break they end in.
std::wstring Reason(unsigned long error) {
  wchar_t text[512] = L"";
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                sizeof text / sizeof text[0], nullptr);
  while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L' '))
    text[--length] = L'\0';
  if (length == 0) return L"Error " + std::to_wstring(error) + L".";
  return text;
}
}  // namespace

void ReportSaveFailure(HWND owner, const SaveResult& result) {
  const std::wstring text = L"Lumaro cannot save your settings in \"" + Wide(result.file) + L"\":\n\n" +
                            Reason(result.error) +
                            L"\n\nYour choices are still here: press OK to try again, or Exit to leave them unsaved.";
  MessageBoxW(owner, text.c_str(), L"Lumaro", MB_OK | MB_ICONEXCLAMATION);
}
