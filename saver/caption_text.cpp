#include "saver/caption_text.h"

#include "settings/folder_collection.h"

namespace {
std::string Joined(const std::string& a, const char* between, const std::string& b) {
  if (a.empty()) return b;
  return b.empty() ? a : a + between + b;
}
}  // namespace

std::string ShownTitle(const std::string& listed, const std::string& path, const PhotoMeta& meta) {
  if (!listed.empty() && listed != TitleFromName(path)) return listed;
  const std::string& own = meta.title.empty() ? meta.description : meta.title;
  return own.empty() ? listed : own;
}

std::string PlaceText(const std::string& place, const std::string& country) { return Joined(place, ", ", country); }

std::string CaptionLine(const std::string& date, const std::string& place) {
  return Joined(date, " \xC2\xB7 ", place);
}
