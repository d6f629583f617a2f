// Whole photo libraries: a folder tree listed, a large collection file looked up line by line exactly as the
// profile reader reads it, and shuffled rounds that go on across restarts.
#include <gtest/gtest.h>

#include <map>
#include <numeric>
#include <string>
#include <vector>

#include "saver/show_order.h"
#include "settings/collection.h"
#include "settings/collection_index.h"
#include "settings/folder_tree.h"
#include "settings/profile.h"
#include "unit/settings_fixture.h"

namespace {

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

std::string Planned(bool subfolders, const std::vector<CollectionEntry>& previous = {}, FolderProgress* progress = nullptr) {
  FolderProgress own;
  std::vector<std::vector<FolderFile>> groups;
  if (!ListFolderTree(L"R", subfolders, &ListFake, progress ? progress : &own, &groups)) return "failed";
  std::string text;
  for (const CollectionEntry& p : PlanFolderCollection(1, groups, previous, subfolders).pictures) text += p.file + "=" + p.title + "|";
  return text;
}

// Own pictures first, then each subfolder's depth first in name order; hidden folders, links, unreadable
// folders and levels past 64 left out; an update keeps what is still there and entries it could not find.
TEST(PhotoLibrary, FolderTree) {
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

TEST(PhotoLibrary, CancelBeforeTheWrite) {
  theTree.clear();
  Put("R\\a.jpg");
  FolderProgress cancelled, committed;
  EXPECT_TRUE(cancelled.Cancel());
  EXPECT_EQ("failed", Planned(true, {}, &cancelled));
  EXPECT_FALSE(cancelled.Commit());
  EXPECT_TRUE(committed.Commit());
  EXPECT_FALSE(committed.Cancel()) << "too late once writing";
}

class LibraryFiles : public Settings {};

// Every look-up through the index reads what the profile reader reads, whatever the file holds; a file
// changed since is indexed anew.
TEST_F(LibraryFiles, IndexReadsAsTheProfileReader) {
  const std::string file = m_dir.Path("C.INI");
  // A line longer than a piece read; a CR ending the first piece, its LF starting the next.
  const std::string longLine(70000, 'v'), atEdge = "1=" + std::string(65521, 'e') + "\r\n2=after\r\n";
  const char utf16[] = "\xFF\xFE[\0P\0i\0c\0t\0u\0r\0e\0s\0]\0\r\0\n\0" "1\0=\0\xA9\x03\r\0\n\0" "2\0=\0x\0!";
  const std::string texts[] = {
      "[Properties]\r\nCount=0x10\r\n5=five\r\nCount=3\r\n[pictures]\r\n 1 = \" one \"\r\n2\r\n01=zero\r\n-1=minus\r\n1a=x\r\n"
      "+0=plus\r\n0=nought\r\n1=again\r\n12=twelve\r\n2147483648=over\r\n-2147483648=least\r\n2147483647=most\r\n"
      "[Titles]\r\n1=T\\none\r\n[Pictures]\r\n3=later section\r\n[Properties]\r\nCount=2\r\n",
      "[Pictures]\r1=cr only\r2='q'\n[Titles]\n10=ten\n[Properties]\nCount=\n",
      "[Pictures]\r\n1=" + longLine + "\r\n2=x\r\n3=\xCE\xA9\r\n",                  // UTF-8 without a signature
      "[Pictures]\r\n1=\xCE\xA9\r\n2=Caf\xE9\r\n",                                   // one line not UTF-8: the code page
      "[Pictures]\r\n1=\x80\r\n",
      "\xEF\xBB\xBF[Pictures]\r\n1=\xCE\xA9\xFF\r\n[Properties]\r\nCount=7\r\n",   // signed UTF-8, a bad byte
      std::string(utf16, sizeof utf16 - 1),  // an odd byte at the end
      "[Pictures]\r\n" + atEdge, "[Pictures]\r\n1=a\r\n[Properties]\r\nCount=1\r\n" + std::string(66000, ' ') + "\r\n"};
  for (const std::string& text : texts) {
    WriteFile(file, text);
    CollectionIndex index;
    index.Refresh(file);
    const Profile profile(file.c_str());
    EXPECT_EQ(profile.Int("Properties", "Count", 0), index.Count()) << text.substr(0, 40);
    for (const char* key : {"1", "2", "3", "10", "12", "0", "-1", "2147483647", "-2147483648"}) {
      EXPECT_EQ(profile.String("Pictures", key), index.Value(CollectionIndex::kPictures, key)) << key << " in " << text.substr(0, 40);
      EXPECT_EQ(profile.String("Titles", key), index.Value(CollectionIndex::kTitles, key)) << key << " in " << text.substr(0, 40);
    }
  }
  // Through the slideshow's own look-ups, the file written again in between.
  SET(CollectionFile, file), SET(CollectionDir, m_dir.dir);
  WriteFile(file, "[Properties]\r\nCount=1\r\n[Pictures]\r\n1=a.jpg\r\n");
  std::string path;
  LookUpPicturePath("1", &path);
  WriteFile(file, "[Properties]\r\nCount=1\r\n[Pictures]\r\n1=longer.jpg\r\n");
  LookUpPicturePath("1", &path);
  EXPECT_EQ(m_dir.dir + "\\longer.jpg", path);
}

// Rounds of every size are permutations; one round follows another without a repeat at the seam; a changed
// Count or collection starts a new round; shuffle off goes on in order, and on again goes on with the round.
TEST(PhotoLibrary, ShuffledRounds) {
  for (int count : {1, 2, 3, 100000})
    for (uint32_t seed : {0u, 7u, 0xDEADBEEFu}) {
      std::vector<bool> seen(count + 1, false);
      for (int step = 1; step <= count; ++step) {
        const int p = ShuffledPicture(seed, count, step);
        ASSERT_TRUE(p >= 1 && p <= count && !seen[p]) << count << " " << seed << " step " << step;
        seen[p] = true;
      }
    }
  EXPECT_NE(ShuffledPicture(1, 50, 1) * 100 + ShuffledPicture(1, 50, 2), ShuffledPicture(2, 50, 1) * 100 + ShuffledPicture(2, 50, 2));

  SaverSettings s;
  for (int count : {1, 2, 3}) {
    s.Shuffle = 1, s.PictureCount = count, s.CurrentPicture = count;
    snprintf(s.CurrentSet, sizeof s.CurrentSet, "A");
    BeginShow(&s, 5);
    std::vector<int> shown = {s.CurrentPicture};
    for (int i = 0; i < 10 * count; ++i) TurnToNextPicture(&s), shown.push_back(s.CurrentPicture);
    for (size_t i = 0; count > 1 && i + 1 < shown.size(); ++i) EXPECT_NE(shown[i], shown[i + 1]) << "no picture twice in a row";
    for (size_t r = 1; r + count <= shown.size(); r += count)
      EXPECT_EQ(count * (count + 1) / 2, std::accumulate(&shown[r], &shown[r] + count, 0)) << count << ": round from " << r;
  }
  const struct {
    const char* name;
    void (*change)(SaverSettings*);
    bool sameRound;
  } changes[] = {{"nothing", [](SaverSettings*) {}, true},
                 {"Count changed", [](SaverSettings* t) { t->PictureCount = 4; }, false},
                 {"another collection", [](SaverSettings* t) { snprintf(t->CurrentSet, sizeof t->CurrentSet, "B"); }, false},
                 {"another picture on screen", [](SaverSettings* t) { t->CurrentPicture = t->CurrentPicture % 3 + 1; }, false},
                 {"shuffle off and on", [](SaverSettings* t) { t->Shuffle = 0, t->Shuffle = 1; }, true},
                 {"shown in order meanwhile", [](SaverSettings* t) { t->Shuffle = 0, TurnToNextPicture(t), t->Shuffle = 1; }, false}};
  for (const auto& c : changes) {
    SaverSettings t = s;
    c.change(&t);
    const SaverSettings before = t;
    BeginShow(&t, 99);
    EXPECT_EQ(c.sameRound, t.ShuffleSeed == before.ShuffleSeed && t.ShuffleStep == before.ShuffleStep) << c.name;
    if (!c.sameRound) {
      EXPECT_NE(t.CurrentPicture, NextPicture(t)) << c.name << ": a new round starts elsewhere";
    }
  }
  s.Shuffle = 0;
  EXPECT_EQ(s.CurrentPicture % 3 + 1, NextPicture(s)) << "in order from the picture on screen";
}

// A 50-picture round ended and started again after every step, through LUMARO.INI: the same round.
TEST_F(LibraryFiles, RestartsGoOnWithTheRound) {
  std::string pictures;
  for (int i = 1; i <= 50; ++i) pictures += std::to_string(i) + "=p.jpg\r\n";
  WriteFile(m_sea, "[Properties]\r\nCount=50\r\n[Pictures]\r\n" + pictures);
  WriteFile(m_file, "[Main]\r\nShuffle=1\r\n[ScreenSaver]\r\nCurrentSet=Sea\r\nCurrentPicture=50\r\n[Sets]\r\nSea=" + m_sea + "\r\n");
  LoadSettings();
  BeginShow(&theSettings, 1234);
  SaverSettings straight = theSettings;
  for (int step = 0; step < 120; ++step) {
    TurnToNextPicture(&straight);
    TurnToNextPicture(&theSettings);
    SavePicturePlace();
    theSettings = SaverSettings{};
    LoadSettings();
    BeginShow(&theSettings, uint32_t(step));
    ASSERT_EQ(straight.CurrentPicture, theSettings.CurrentPicture) << "step " << step;
    ASSERT_EQ(NextPicture(straight), NextPicture(theSettings)) << "step " << step;
  }
}

}  // namespace
