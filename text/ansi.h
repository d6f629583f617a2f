// Text in the system's ANSI code page, the form older files and the narrow
// functions use. Windows converts with its own tables; the native build
// stands in Windows-1252, the code page of Western systems.
#pragma once

#include <string>

std::string AnsiToUtf8(const std::string& ansi);

// FALSE when some character has no exact form in the code page: a
// best-fit stand-in would name another file.
bool Utf8ToAnsi(const std::string& utf8, std::string* ansi);
