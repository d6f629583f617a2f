// Profile files (LUMARO.INI, collection files) read by our own code in every
// encoding people save them in, and written by it as the system's profile
// functions write them, in the encoding the file has: the code page while
// every name fits it, else UTF-16LE with its mark, which those functions
// then keep. Every text here is UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "text/ini_text.h"

const size_t kMaxProfileBytes = size_t(64) << 20;  // a larger file reads as empty
const size_t kMaxValueUnits = 254;                 // values are cut there

// Where a file name without a folder lives: the Windows folder, as the
// profile functions place it.
std::string ProfilePath(const char* file);

class Profile {
 public:
  explicit Profile(const char* file);
  // FALSE when the file exists and cannot be read, or is too large.
  bool Loaded() const { return m_loaded; }

  // The value, or `def`; cut at 254 characters, as the profile functions
  // read it into the record's buffers.
  std::string String(const char* section, const char* key, const char* def = "") const;
  // A number as the profile functions read one: a sign, an optional 0x,
  // 0o or 0b prefix and the digits that follow, wrapping on overflow.
  // `def` when the value is empty or missing.
  int Int(const char* section, const char* key, int def) const;
  const IniText& Text() const { return m_text; }

 private:
  bool m_loaded;
  IniText m_text;
};

// A value read as a number, as Profile::Int reads it.
int IniInt(const std::string& value, int def);

// The changes made in the file at `path`, in order, as
// WritePrivateProfileString makes each, and the file replaced whole at once
// (ReplaceNamedFile): all of them are written or none. A file not in the
// code page, or that must now hold a name outside it, is turned into
// UTF-16LE whole, keeping every section and key it had. FALSE when the file
// cannot be read or replaced (NamedFileError tells why).
bool WriteProfileValues(const std::string& path, const std::vector<IniChange>& changes);

// One change, in the file `file` names as ProfilePath places it.
bool WriteProfileValue(const char* file, const char* section, const char* key, const char* value);
