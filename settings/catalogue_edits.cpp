#include "settings/catalogue_edits.h"

#include <algorithm>
#include <cstdio>

#include "settings/profile.h"
#include "settings/saver_settings.h"
#include "text/utf.h"

namespace {
// Keys of an INI file match without regard to case.
bool SameName(const std::string& a, const char* b) { return SameTextIgnoringCase(a, b); }
}  // namespace

void CatalogueEdits::Add(const char* name, const char* file) { m_added.push_back({name, file}); }

void CatalogueEdits::Remove(const char* name) {
  const auto added =
      std::find_if(m_added.begin(), m_added.end(), [name](const Entry& e) { return SameName(e.name, name); });
  if (added != m_added.end()) {
    m_added.erase(added);  // added in this run, so Sets never held it
    return;
  }
  m_removed.push_back(name);
}

void CatalogueEdits::FileOf(const char* name, char* file) const {
  for (const Entry& e : m_added)
    if (SameName(e.name, name)) {
      snprintf(file, kValueSize, "%s", e.file.c_str());
      return;
    }
  for (const std::string& removed : m_removed)
    if (SameName(removed, name)) {
      file[0] = '\0';
      return;
    }
  snprintf(file, kValueSize, "%s", Profile(m_settingsFile.c_str()).String("Sets", name).c_str());
}

std::vector<IniChange> CatalogueEdits::Changes() const {
  std::vector<IniChange> changes;
  for (const std::string& removed : m_removed) changes.push_back({"Sets", removed.c_str(), nullptr});
  for (const Entry& e : m_added) changes.push_back({"Sets", e.name.c_str(), e.file.c_str()});
  return changes;
}
