// Collections made from a folder: which files are pictures, their order and titles, a folder tree listed, an
// earlier collection file brought up to date, the text written and read back, catalogue names and the
// catalogue's changes; a collection file looked up through its index.
#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "settings/catalogue_edits.h"
#include "settings/collection.h"
#include "settings/folder_collection.h"
#include "settings/folder_tree.h"
#include "settings/local_collection.h"
#include "settings/name_order.h"
#include "settings/picture_path.h"
#include "settings/profile.h"
#include "unit/settings_fixture.h"

namespace {

FolderFile File(const std::string& name) { return {std::wstring(name.begin(), name.end()), name}; }

TEST(FolderCollection, PicturesByExtensionInExplorersOrder) {
  const std::vector<FolderFile> files = {
      File("IMG_10.jpg"), File("notes.txt"), File("img_2.JPG"), File("IMG_100.gif"), File("IMG_1.png"),
      File("Zebra.Tiff"), File("apple.TIF"), File("10cats.bmp"), File("2cats.BMP"), File("st2ring.jpeg"),
      File("string.jpe"), File("old.DIB"), File("COLLECTION.INI"), File("a.jpg.txt"), File("jpg"), File("b.pn"),
      File("c.jpgx"), File("noext"), File("d.")};
  EXPECT_EQ("2cats.BMP=2cats|10cats.bmp=10cats|apple.TIF=apple|IMG_1.png=IMG_1|img_2.JPG=img_2|IMG_10.jpg=IMG_10|"
            "IMG_100.gif=IMG_100|old.DIB=old|st2ring.jpeg=st2ring|string.jpe=string|Zebra.Tiff=Zebra|",
            Listed(PlanFolderCollection(3, {files}, {}, false).pictures));
  EXPECT_FALSE(IsPictureName(L"x.jp\u011d")) << "an extension outside ASCII";
  // Each pair both ways round.
  const struct { const wchar_t *a, *b; int order; } pairs[] = {
      {L"IMG_2", L"IMG_10", -1}, {L"a9x", L"a10x", -1}, {L"a12", L"a13", -1}, {L"a19b", L"a19c", -1}, {L"a", L"B", -1},
      {L"abc", L"abcd", -1}, {L"a", L"a5", -1}, {L"st2ring", L"string", -1}, {L"", L"a", -1}, {L"img_2", L"IMG_2", 0}, {L"x1B", L"X1b", 0}};
  for (const auto& p : pairs) {
    auto sign = [](int n) { return (n > 0) - (n < 0); };
    EXPECT_EQ(p.order, sign(CompareNamesLogically(p.a, p.b))) << std::string(p.a, p.a + wcslen(p.a));
    EXPECT_EQ(-p.order, sign(CompareNamesLogically(p.b, p.a))) << std::string(p.a, p.a + wcslen(p.a));
  }
}

TEST(FolderCollection, CatalogueNames) {
  const std::pair<std::string, std::string> names[] = {
      {"C:\\Users\\me\\Pictures\\", "Pictures"}, {"C:\\Photos\\Holiday 2024", "Holiday 2024"}, {"C:\\a=b=c", "a-b-c"},
      {"C:\\;x", "_x"}, {"D:\\[x]", "_x]"}, {"C:\\", "C:"}, {"C:\\  spaced \\", "spaced"}, {"", "Pictures"},
      {"C:\\" + std::string(300, 'n'), std::string(255, 'n')}, {"relative/unix", "unix"}};
  for (const auto& [folder, name] : names) EXPECT_EQ(name, CollectionNameFor(folder)) << folder;

  const std::vector<std::string> taken = {"photos", "Photos (2)", std::string(255, 'x')};
  auto isTaken = [](const char* name, void* context) {
    for (const std::string& t : *static_cast<const std::vector<std::string>*>(context))
      if (lstrcmpiA(t.c_str(), name) == 0) return true;
    return false;
  };
  const std::pair<std::string, std::string> unique[] = {
      {"Photos", "Photos (3)"}, {"Sea", "Sea"}, {std::string(255, 'x'), std::string(251, 'x') + " (2)"}};
  for (const auto& [base, name] : unique)
    EXPECT_EQ(name, UniqueCollectionName(base, isTaken, const_cast<std::vector<std::string>*>(&taken))) << base;
}

// A full path stands as it is; every other form is joined to the collection's folder, as older versions join it.
TEST(FolderCollection, PicturePaths) {
  const std::pair<const char*, const char*> paths[] = {
      {"a.jpg", "D:\\C\\a.jpg"}, {"s/a.jpg", "D:\\C\\s/a.jpg"}, {"..\\a.jpg", "D:\\C\\..\\a.jpg"},
      {"A:\\a.jpg", "A:\\a.jpg"}, {"z:/p/a.jpg", "z:/p/a.jpg"}, {"\\\\nas\\a.jpg", "\\\\nas\\a.jpg"}, {"//nas/a.jpg", "//nas/a.jpg"},
      {"C:a.jpg", "D:\\C\\C:a.jpg"}, {"\\a.jpg", "D:\\C\\\\a.jpg"}, {"/a.jpg", "D:\\C\\/a.jpg"}, {"1:\\a.jpg", "D:\\C\\1:\\a.jpg"}};
  for (const auto& [entry, path] : paths) EXPECT_EQ(path, PicturePathFor("D:\\C", entry)) << entry;
}

class FolderFiles : public Settings {};

// A folder that cannot be written gets its file in the local collections folder: the one made for it before,
// else its own name, fit for a file name, unique among others' files and short enough for the place.
TEST_F(FolderFiles, LocalCollectionNames) {
  const std::vector<LocalCollection> files = {{"2024.ini", "\\\\nas\\photos\\2024"}, {"2024 (2).INI", "D:\\P\\2024"},
                                              {"Holiday.INI", "E:\\Holiday"}, {"Mine.INI", ""}};
  const struct { const char* folder; size_t dir; const char* name; bool before; } cases[] = {
      {"\\\\NAS\\Photos\\2024", 245, "2024.ini", true}, {"D:\\P\\2024", 40, "2024 (2).INI", true},
      {"C:\\2024", 40, "2024 (3).INI", false}, {"C:\\Holiday", 40, "Holiday (2).INI", false}, {"C:\\Mine", 40, "Mine (2).INI", false},
      {"D:\\", 40, "D_.INI", false}, {"C:\\S a", 240, "S a.INI", false}, {"C:\\S a", 241, "", false}};
  for (const auto& c : cases) {
    bool before = !c.before;
    EXPECT_EQ(c.name, LocalCollectionFileName(c.folder, files, c.dir, &before)) << c.folder;
    EXPECT_EQ(c.before, before) << c.folder;
  }
  bool before = false;
  EXPECT_EQ(std::string(209, 'n') + ".INI", LocalCollectionFileName("C:\\" + std::string(300, 'n'), files, 40, &before));
  WriteFile(m_dir.Path("L.INI"), CollectionText({{"\\\\nas\\a.jpg", "A"}}, "\\\\nas"));
  EXPECT_EQ("\\\\nas", FolderOfCollection(m_dir.Path("L.INI").c_str()));
}

// What is written reads back, through the slideshow's own lookups and as an earlier collection.
TEST_F(FolderFiles, TheTextReadsBack) {
  const std::vector<CollectionEntry> pictures = {
      {"one.jpg", "Eve"}, {" lead.png", " lead"}, {"'q'.gif", "'q'"}, {"a=b.bmp", "''"}, {"x.tif", ""}};
  const std::string file = m_dir.Path("COLLECTION.INI"), text = CollectionText(pictures);
  EXPECT_EQ("[Properties]\r\nCount=5\r\n\r\n[Pictures]\r\n1=one.jpg\r\n2=\" lead.png\"\r\n3='q'.gif\r\n4=a=b.bmp\r\n"
            "5=x.tif\r\n\r\n[Titles]\r\n1=Eve\r\n2=\" lead\"\r\n3=\"'q'\"\r\n4=\"''\"\r\n", text);
  WriteFile(file, text);
  SET(CurrentSet, "F"), WriteFile(m_file, "[Sets]\r\nF=" + file + "\r\n");
  ResolveCurrentCollection(m_file, &settings);
  EXPECT_EQ(5, settings.PictureCount);
  for (size_t i = 0; i < pictures.size(); ++i) {
    std::string path;
    PathOf(int(i + 1), &path);
    EXPECT_EQ(m_dir.dir + "\\" + pictures[i].file + "|" + pictures[i].title, path + "|" + LookUpTitle(m_index, int(i + 1)));
  }
  std::vector<CollectionEntry> read;
  ASSERT_TRUE(ReadCollectionEntries(file.c_str(), &read));
  EXPECT_EQ(Listed(pictures), Listed(read));
  // More than the first reading buffer holds.
  const std::vector<CollectionEntry> many(6000, {"IMG_1234.jpg", "A title"});
  WriteFile(file, CollectionText(many));
  ASSERT_TRUE(ReadCollectionEntries(file.c_str(), &read));
  EXPECT_EQ(Listed(many), Listed(read));
}

// Only what the slideshow would read counts: keys 1 to Count as "%d" forms them, the first of a repeat.
TEST_F(FolderFiles, AnEarlierCollectionAsTheSlideshowReadsIt) {
  const std::string file = m_dir.Path("C.INI");
  const std::pair<std::string, std::string> cases[] = {
      {"[Properties]\r\nCount=10\r\n[Pictures]\r\n01=zero.jpg\r\n3=c.jpg\r\n1=a.jpg\r\n11=over.jpg\r\nx=x.jpg\r\n-1=minus.jpg\r\n"
       "1=again.jpg\r\n2=\r\n4 = \"d.jpg\" \r\n10=ten.jpg\r\n[Titles]\r\n1=A\r\n3=\"  C\"\r\n4=\"\"\r\n9=nine\r\n",
       "a.jpg=A|c.jpg=  C|d.jpg=|ten.jpg=|"},
      {"[Properties]\r\nCount=123456789\r\n[Pictures]\r\n9999999999=ten.jpg\r\n123456789=nine.jpg\r\n", "nine.jpg=|"},
      {"[Pictures]\r\n1=a.jpg\r\n", ""}, {"[Properties]\r\nCount=-3\r\n[Pictures]\r\n1=a.jpg\r\n", ""},
      {"[Properties]\r\nCount=1\r\n[Pictures]\r\n1=a.jpg\r\n2=b.jpg\r\n", "a.jpg=|"}};
  for (const auto& [text, entries] : cases) {
    WriteFile(file, text);
    std::vector<CollectionEntry> read = {{"stale", ""}};
    EXPECT_TRUE(ReadCollectionEntries(file.c_str(), &read));
    EXPECT_EQ(entries, Listed(read)) << text;
  }
}

// Added and removed collections reach Sets only when written; files are never touched.
TEST_F(FolderFiles, CatalogueChanges) {
  WriteFile(m_file, "[Sets]\r\nA=C:\\A.INI\r\nB=C:\\B.INI\r\n");
  CatalogueEdits edits(m_file);
  edits.Remove("a"), edits.Add("C", "C:\\C.INI"), edits.Add("D", "C:\\D.INI"), edits.Remove("d");
  edits.Remove("B"), edits.Add("B", "C:\\NEW\\B.INI");
  std::string files;
  for (const char* name : {"A", "B", "C", "D", "E"}) {
    char file[kValueSize] = "junk";
    edits.FileOf(name, file);
    files += file + std::string("|");
  }
  EXPECT_EQ("|C:\\NEW\\B.INI|C:\\C.INI|||", files);
  EXPECT_EQ((std::vector<std::string>{"A", "B"}), Catalogue()) << "nothing written before the changes";
  ASSERT_TRUE(SaveSettings(m_file, settings, edits.Changes(), "").ok);
  EXPECT_EQ((std::vector<std::string>{"C", "B"}), Catalogue()) << "B removed, then added again";
  EXPECT_EQ("C:\\NEW\\B.INI", Profile(m_file.c_str()).String("Sets", "B"));
}


// A tree as a listing function sees it: folder path to entries, "D" a folder, "H" hidden, "L" a link.
std::map<std::wstring, std::vector<FolderEntry>> theTree;
bool ListFake(const std::wstring& path, std::vector<FolderEntry>* entries) {
  const auto at = theTree.find(path);
  if (at == theTree.end()) return false;
  *entries = at->second;
  return true;
}
void Put(const std::string& path, const std::string& flags = "") {
  const size_t slash = path.rfind('\\');
  const std::string name = path.substr(slash + 1);
  theTree[std::wstring(path.begin(), path.begin() + slash)].push_back(
      {std::wstring(name.begin(), name.end()), name, flags.find('D') != std::string::npos,
       flags.find('H') != std::string::npos, flags.find('L') != std::string::npos});
  if (flags.find('D') != std::string::npos) theTree[std::wstring(path.begin(), path.end())];
}

std::string Planned(bool subfolders, const std::vector<CollectionEntry>& previous = {}, FolderProgress* progress = nullptr,
                    const std::string& prefix = "") {
  FolderProgress own;
  std::vector<std::vector<FolderFile>> groups;
  if (!ListFolderTree(L"R", subfolders, &ListFake, progress ? progress : &own, &groups)) return "failed";
  return Listed(PlanFolderCollection(1, groups, previous, subfolders, prefix).pictures);
}

// Own pictures first, then each subfolder's depth first in name order; hidden folders, links, unreadable
// folders and levels past 64 left out; an update keeps what is still there and entries it could not find.
TEST(FolderCollection, FolderTree) {
  theTree.clear();
  theTree[L"R"];
  for (const char* path : {"R\\b.jpg", "R\\10 later", "R\\2 sooner", "R\\2 sooner\\x.png", "R\\2 sooner\\deep",
                           "R\\2 sooner\\deep\\y.gif", "R\\a.JPG", "R\\10 later\\z.tif", "R\\gone"})
    Put(path, strchr(path, '.') ? "" : "D");
  Put("R\\.hidden", "DH"), Put("R\\.hidden\\h.jpg"), Put("R\\link", "DL"), Put("R\\link\\l.jpg"), Put("R\\sys.jpg", "H");
  Put("R\\x", "D"), Put("R\\x\\1.bmp"), Put("R\\X", "D"), Put("R\\X\\2.bmp");  // names equal but for case
  theTree.erase(L"R\\gone");  // listed, but cannot be read
  FolderProgress progress;
  EXPECT_EQ("a.JPG=a|b.jpg=b|2 sooner\\x.png=x|2 sooner\\deep\\y.gif=y|10 later\\z.tif=z|X\\2.bmp=2|x\\1.bmp=1|",
            Planned(true, {}, &progress));
  EXPECT_EQ(6, progress.folders.load());
  EXPECT_EQ(7, progress.pictures.load());
  EXPECT_EQ("a.JPG=a|b.jpg=b|", Planned(false));
  const std::vector<CollectionEntry> previous = {{"10 LATER/Z.TIF", "Zed"}, {"2 sooner\\old.jpg", "Old"}, {"..\\up.jpg", "Up"},
                                                 {"C:\\x.jpg", "X"}, {"b.jpg", "Bee"}, {"B.JPG", "Twice"}, {"x\\\\1.bmp", "Two"}};
  EXPECT_EQ("10 LATER/Z.TIF=Zed|..\\up.jpg=Up|C:\\x.jpg=X|b.jpg=Bee|x\\\\1.bmp=Two|a.JPG=a|2 sooner\\x.png=x|"
            "2 sooner\\deep\\y.gif=y|X\\2.bmp=2|x\\1.bmp=1|", Planned(true, previous));
  EXPECT_EQ("10 LATER/Z.TIF=Zed|2 sooner\\old.jpg=Old|..\\up.jpg=Up|C:\\x.jpg=X|b.jpg=Bee|x\\\\1.bmp=Two|a.JPG=a|",
            Planned(false, previous));
  // Kept away from the folder: full paths matched whatever their case and slashes; one elsewhere, or relative, stays.
  const std::vector<CollectionEntry> full = {{"r/10 LATER/Z.TIF", "Zed"}, {"R\\old.jpg", "Old"}, {"R\\..\\up.jpg", "Up"},
                                             {"b.jpg", "Rel"}, {"R\\b.jpg", "Bee"}};
  EXPECT_EQ("r/10 LATER/Z.TIF=Zed|R\\..\\up.jpg=Up|b.jpg=Rel|R\\b.jpg=Bee|R\\a.JPG=a|R\\2 sooner\\x.png=x|"
            "R\\2 sooner\\deep\\y.gif=y|R\\X\\2.bmp=2|R\\x\\1.bmp=1|", Planned(true, full, nullptr, "R\\"));

  std::string deep = "R";
  theTree.clear();
  for (int level = 0; level <= kMaxFolderDepth + 1; ++level) Put(deep + "\\p.jpg"), Put(deep += "\\d", "D");
  const std::string listed = Planned(true);
  auto levels = [](int n) { std::string path = "|"; while (n--) path += "d\\"; return path + "p.jpg="; };
  EXPECT_NE(std::string::npos, listed.find(levels(kMaxFolderDepth)));
  EXPECT_EQ(std::string::npos, listed.find(levels(kMaxFolderDepth + 1)));
  theTree.erase(L"R");
  EXPECT_EQ("failed", Planned(true)) << "the folder itself unreadable";
}

TEST(FolderCollection, CancelBeforeTheWrite) {
  theTree.clear();
  Put("R\\a.jpg");
  FolderProgress cancelled, committed;
  EXPECT_TRUE(cancelled.Cancel());
  EXPECT_EQ("failed", Planned(true, {}, &cancelled));
  EXPECT_FALSE(cancelled.Commit());
  EXPECT_TRUE(committed.Commit());
  EXPECT_FALSE(committed.Cancel()) << "too late once writing";
}

// A file changed since it was indexed is indexed anew. (That the index reads every key as the profile reader
// does, in every encoding and line ending, the fuzz target over the INI corpus checks.)
TEST_F(FolderFiles, IndexFollowsTheFile) {
  const std::string file = m_dir.Path("C.INI");
  SET(CollectionFile, file), SET(CollectionDir, m_dir.dir);
  WriteFile(file, "[Properties]\r\nCount=1\r\n[Pictures]\r\n1=a.jpg\r\n");
  std::string path;
  PathOf(1, &path);
  WriteFile(file, "[Properties]\r\nCount=1\r\n[Pictures]\r\n1=longer.jpg\r\n");
  PathOf(1, &path);
  EXPECT_EQ(m_dir.dir + "\\longer.jpg", path);
}

}  // namespace
