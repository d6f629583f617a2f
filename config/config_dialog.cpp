#include "config/config_dialog.h"

#include <algorithm>
#include <string>

#include "config/folder_messages.h"
#include "config/save_messages.h"
#include "config/folder_picker.h"
#include "config/folder_progress.h"
#include "framework/ddx.h"
#include "res/resource.h"
#include "settings/collection.h"
#include "settings/folder_collection.h"
#include "settings/folder_files.h"
#include "settings/saver_settings.h"
#include "text/utf.h"

ConfigDialog::ConfigDialog(HWND hWndOwner, SaverSettings* settings, const std::string& settingsFile)
    : CDialog(IDD_CONFIG, hWndOwner),
      m_settings(*settings),
      m_settingsFile(settingsFile),
      m_wndPreview(TRUE, settings, settingsFile),
      m_catalogue(settingsFile) {}

ConfigDialog::~ConfigDialog() {}

void ConfigDialog::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_COLLECTIONS, m_lbCollections);
  DDX_Control(pDX, IDC_START_DELAY_SPIN, m_spinStartDelay);
  DDX_Control(pDX, IDC_CHANGE_DELAY_SPIN, m_spinChangeDelay);
  DDX_Control(pDX, IDC_BLANK_AFTER_SPIN, m_spinBlankAfter);
  DDX_Text(pDX, IDC_START_DELAY, m_settings.StartDelay);
  DDX_Text(pDX, IDC_CHANGE_DELAY, m_settings.ChangeDelay);
  DDX_Check(pDX, IDC_FULL_SCREEN, m_settings.FullScreen);
  DDX_Check(pDX, IDC_UPDATE_WALLPAPER, m_settings.UpdateWallpaper);
  DDX_Check(pDX, IDC_SHOW_TITLE, m_settings.ShowTitle);
  DDX_Check(pDX, IDC_FADE, m_settings.Fade);
  DDX_Check(pDX, IDC_SHUFFLE, m_settings.Shuffle);
  DDX_Check(pDX, IDC_KEYS, m_settings.Keys);
  DDX_Check(pDX, IDC_PAN_ZOOM, m_settings.PanZoom);
  DDX_Check(pDX, IDC_SHOW_DATE, m_settings.ShowDate);
  DDX_Check(pDX, IDC_SHOW_PLACE, m_settings.ShowPlace);
  DDX_Check(pDX, IDC_EACH_MONITOR, m_settings.EachMonitor);
  DDX_Check(pDX, IDC_PAIR_PORTRAITS, m_settings.PairPortraits);
  DDX_Text(pDX, IDC_BLANK_AFTER, m_settings.BlankAfter, 0, kBlankAfterMax);
}

namespace {
// Where the preview lies in the monitor picture (tools/gen_resources.py) at
// 96 dpi, where the template puts it: over the black screen, whose last row
// shows below it. At other sizes the picture is stretched around it.
const RECT kPreviewInMonitor = {15, 16, 168, 128};

void AddCollection(const char* name, void* context) {
  static_cast<CListBox*>(context)->AddString(name);
}

struct TakenNames {
  const CListBox* list;
  const CatalogueEdits* catalogue;
};

// Names match as the catalogue's keys do, without regard to case. An entry
// the list had no room for is in Sets all the same: it must not be written over.
bool NameTaken(const char* name, void* context) {
  const TakenNames* taken = static_cast<const TakenNames*>(context);
  if (taken->list->FindStringExact(-1, name) != LB_ERR) return true;
  char file[kValueSize];
  taken->catalogue->FileOf(name, file);
  return file[0] != '\0';
}
}  // namespace

BOOL ConfigDialog::OnInitDialog() {
  CDialog::OnInitDialog();

  // The preview covers the hidden placeholder, which lies over the screen
  // of the monitor picture.
  RECT rect = {0, 0, 0, 0};
  GetWindowRect(GetDlgItem(IDC_PREVIEW_AREA), &rect);
  POINT topLeft = {rect.left, rect.top};
  POINT bottomRight = {rect.right, rect.bottom};
  ScreenToClient(m_hWnd, &topLeft);
  ScreenToClient(m_hWnd, &bottomRight);
  rect = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
  m_wndPreview.Create(0, WS_CHILD | WS_VISIBLE, rect, m_hWnd);
  // A new child goes below its siblings, where the monitor button would
  // take the preview's mouse input and cursor.
  SetWindowPos(m_wndPreview.m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  m_btnMonitor.SubclassDlgItem(IDC_MONITOR, this);
  m_btnMonitor.LoadBitmaps(IDB_MONITOR, 0, 0, 0);
  m_btnMonitor.PinPart(kPreviewInMonitor, m_wndPreview.m_hWnd);

  m_spinStartDelay.SetRange(0, 60);
  m_spinStartDelay.SetBase(10);
  m_spinStartDelay.SetPos(m_settings.StartDelay);
  m_spinChangeDelay.SetRange(0, 3600);
  m_spinChangeDelay.SetBase(10);
  m_spinChangeDelay.SetPos(m_settings.ChangeDelay);
  // Loading keeps BlankAfter in this range, so the field shows the record.
  m_spinBlankAfter.SetRange(0, kBlankAfterMax);
  m_spinBlankAfter.SetBase(10);
  m_spinBlankAfter.SetPos(m_settings.BlankAfter);
  // Setting a position beyond the arrows' range writes the clamped value
  // into the field, and OK would then save it in place of the stored one:
  // a typed 90 minutes would come back as 60. The fields show the record.
  SetDlgItemInt(m_hWnd, IDC_START_DELAY, static_cast<UINT>(m_settings.StartDelay), TRUE);
  SetDlgItemInt(m_hWnd, IDC_CHANGE_DELAY, static_cast<UINT>(m_settings.ChangeDelay), TRUE);

  // The list sorts itself.
  ListCollections(m_settingsFile, &AddCollection, &m_lbCollections);

  // Only an item equal to the current name counts: a prefix search would
  // show "Abcdef" as current when "Abc" is. Nothing is selected through
  // the notification, so the record keeps its collection.
  int current = m_lbCollections.FindStringExact(-1, m_settings.CurrentSet);
  if (current != LB_ERR) m_lbCollections.SetCurSel(current);
  EnableRemove();

  CenterWindow();
  return TRUE;
}

BOOL ConfigDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == IDC_COLLECTIONS && HIWORD(wParam) == LBN_SELCHANGE) {
    OnSelChangeCollections();
    return TRUE;
  }
  if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_ADD_FOLDER) {
    OnAddFolder();
    return TRUE;
  }
  if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_REMOVE_COLLECTION) {
    OnRemoveCollection();
    return TRUE;
  }
  if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_PAN_ZOOM) {
    // The preview moves, or stands still, at once; OK still reads the box
    // into the record, and Exit writes nothing.
    m_settings.PanZoom = IsDlgButtonChecked(m_hWnd, IDC_PAN_ZOOM) == BST_CHECKED;
    m_wndPreview.ShowCurrentAgain();
    return TRUE;
  }
  return CDialog::OnCommand(wParam, lParam);
}

void ConfigDialog::OnOK() {
  if (!UpdateData(TRUE)) return;  // the prompt has been shown; stay open
  CollectionIndex index;
  const std::string wallpaper = m_settings.UpdateWallpaper != 0 ? WallpaperPath(m_settings, &index) : std::string();
  const SaveResult saved = SaveSettings(m_settingsFile, m_settings, m_catalogue.Changes(), wallpaper);
  if (!saved.ok) {
    // The choices stay in the dialog: the user may mend the file and press
    // OK again, or leave with Exit.
    ReportSaveFailure(m_hWnd, saved);
    return;
  }
  EndDialog(IDOK);
}

void ConfigDialog::OnSelChangeCollections() {
  int index = m_lbCollections.GetCurSel();
  if (index < 0) return;
  char name[kNameSize];
  if (!m_lbCollections.GetText(index, name, sizeof name)) return;
  EnableRemove();
  if (strcmp(name, m_settings.CurrentSet) == 0) return;
  // The preview notices the new name at its next tick.
  char file[kValueSize];
  m_catalogue.FileOf(name, file);
  UseCollection(&m_settings, name, file);
}

void ConfigDialog::OnAddFolder() {
  std::wstring folder;
  bool subfolders = m_settings.Subfolders != 0;
  if (!PickFolder(m_hWnd, &folder, &subfolders)) return;
  // The picker's next opening offers the same; OK keeps it.
  m_settings.Subfolders = subfolders ? 1 : 0;
  const FolderOutcome outcome = MakeFolderCollectionShowingProgress(m_hWnd, folder, subfolders);

  std::string name;
  if (outcome.result == kFolderWritten) {
    // A folder listed already keeps its name; its file is up to date now.
    int index = FindCollectionOfFile(outcome.collectionFile.c_str());
    if (index < 0) {
      TakenNames taken = {&m_lbCollections, &m_catalogue};
      name = UniqueCollectionName(outcome.name, &NameTaken, &taken);
      m_catalogue.Add(name.c_str(), outcome.collectionFile.c_str());
      index = m_lbCollections.AddString(name.c_str());
    }
    m_lbCollections.SetCurSel(index);
    char listed[kNameSize];
    if (m_lbCollections.GetText(index, listed, sizeof listed)) name = listed;
    ShowSelection();
  }
  ReportFolderOutcome(m_hWnd, folder, outcome, name.c_str());
}

void ConfigDialog::OnRemoveCollection() {
  const int index = m_lbCollections.GetCurSel();
  char name[kNameSize];
  if (index < 0 || !m_lbCollections.GetText(index, name, sizeof name)) return;
  m_catalogue.Remove(name);
  m_lbCollections.DeleteString(index);
  // The next item takes its place; after the last, the one before.
  const int count = m_lbCollections.GetCount();
  if (count > 0) m_lbCollections.SetCurSel(std::min(index, count - 1));
  ShowSelection();
}

int ConfigDialog::FindCollectionOfFile(const char* file) const {
  const int count = m_lbCollections.GetCount();
  for (int i = 0; i < count; ++i) {
    char name[kNameSize], listed[kValueSize];
    if (!m_lbCollections.GetText(i, name, sizeof name)) continue;
    m_catalogue.FileOf(name, listed);
    if (SameTextIgnoringCase(listed, file)) return i;
  }
  return -1;
}

void ConfigDialog::ShowSelection() {
  char name[kNameSize] = "", file[kValueSize] = "";
  const int index = m_lbCollections.GetCurSel();
  if (index >= 0 && m_lbCollections.GetText(index, name, sizeof name)) m_catalogue.FileOf(name, file);
  UseCollection(&m_settings, name, file);
  m_wndPreview.ShowCurrentAgain();
  EnableRemove();
}

void ConfigDialog::EnableRemove() {
  HWND remove = GetDlgItem(IDC_REMOVE_COLLECTION);
  const BOOL enable = m_lbCollections.GetCurSel() >= 0;
  // A disabled button cannot keep the focus: it moves on to Add folder.
  if (!enable && GetFocus() == remove)
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(IDC_ADD_FOLDER)), TRUE);
  EnableWindow(remove, enable);
}
