// Changes to the catalogue (section Sets of LUMARO.INI) made in the dialog
// and held until OK, as every other change of the dialog is.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "text/ini_text.h"

class CatalogueEdits {
 public:
  // The catalogue of the settings file at `settingsFile`.
  explicit CatalogueEdits(std::string settingsFile) : m_settingsFile(std::move(settingsFile)) {}

  // A collection added under `name`, with its collection file.
  void Add(const char* name, const char* file);
  // A collection taken out of the list. Its files stay where they are.
  void Remove(const char* name);

  // The collection file `name` stands for with these changes: the one added
  // under it, else its Sets entry. Empty when there is none. `file` holds
  // at least kValueSize bytes.
  void FileOf(const char* name, char* file) const;

  // The changes to Sets, to write with the rest of the settings: entries
  // taken out first, then those added. They point into this object.
  std::vector<IniChange> Changes() const;

 private:
  struct Entry {
    std::string name;
    std::string file;
  };
  std::string m_settingsFile;
  std::vector<Entry> m_added;
  std::vector<std::string> m_removed;
};
