// Changes to the catalogue (section Sets of LUMARO.INI) made in the dialog
// and held until OK, as every other change of the dialog is.
#pragma once

#include <string>
#include <vector>

class CatalogueEdits {
 public:
  // A collection added under `name`, with its collection file.
  void Add(const char* name, const char* file);
  // A collection taken out of the list. Its files stay where they are.
  void Remove(const char* name);

  // The collection file `name` stands for with these changes: the one added
  // under it, else its Sets entry. Empty when there is none. `file` holds
  // at least kValueSize bytes.
  void FileOf(const char* name, char* file) const;

  // Writes the changes to Sets: entries taken out first, then those added.
  void Apply() const;

 private:
  struct Entry {
    std::string name;
    std::string file;
  };
  std::vector<Entry> m_added;
  std::vector<std::string> m_removed;
};
