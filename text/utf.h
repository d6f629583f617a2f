// UTF-8, the form every name and text takes inside the program, and UTF-16,
// the form Windows' wide functions take. char16_t holds UTF-16 on every
// build (wchar_t is 4 bytes natively), so the portable code uses it.
#pragma once

#include <cstddef>
#include <string>

// Well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool IsUtf8(const char* text, size_t size);

// Ill-formed UTF-8, and unpaired surrogates, become U+FFFD.
std::u16string Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const char16_t* text, size_t size);
inline std::string Utf16ToUtf8(const std::u16string& text) { return Utf16ToUtf8(text.data(), text.size()); }

// Lengths and limits count UTF-16 units, as Windows counts characters.
size_t Utf16Length(const std::string& text);
// At most `units` units, never cutting a character in two.
std::string CutToUnits(const std::string& text, size_t units);

// Equal without regard to case, as Windows matches INI keys: ASCII, Latin-1,
// Latin Extended-A, Greek and Cyrillic letters fold to their capitals.
bool SameTextIgnoringCase(const std::string& a, const std::string& b);

#ifdef _WIN32
// At the wide functions' door.
std::wstring Wide(const std::string& utf8);
std::string Narrow(const wchar_t* wide);
#endif
