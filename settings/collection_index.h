// Where each numbered picture and title lies in a collection file, found in
// one reading of it: each look-up then reads one line. A file of 100,000
// pictures is neither parsed again for every picture nor held in memory;
// the index takes 8 bytes a picture and a title. Values read exactly as
// Profile reads them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "text/named_file.h"
#include "text/text_file.h"

class CollectionIndex {
 public:
  enum Section { kPictures, kTitles };

  // Up to date with the file at `path`: indexed again when it names
  // another file or the file has changed since. A file that cannot be read
  // indexes as empty.
  void Refresh(const std::string& path);
  // Indexed again at the next Refresh, whatever the file's stamp says: a
  // file written twice within the clock's tick keeps its stamp.
  void Forget() { m_indexed = false; }
  // [Properties] Count as Profile::Int reads it; 0 without one.
  int Count() const { return m_count; }
  // The value of the key that "%d" forms from `number` in the section, as
  // Profile::String reads it; empty when there is none. Only keys so formed
  // are indexed.
  std::string Value(Section section, int number) const;

 private:
  struct Entry {
    int number;
    uint32_t offset;  // of its line in the file
    bool operator<(const Entry& o) const { return number < o.number; }
  };
  bool Scan(bool ansi);

  std::string m_path;
  FileStamp m_stamp;
  bool m_indexed = false;
  TextEncoding m_encoding = TextEncoding::kAnsi;
  bool m_marked = false;
  int m_count = 0;
  std::vector<Entry> m_entries[2];
};
