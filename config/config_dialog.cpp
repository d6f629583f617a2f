#include "config/config_dialog.h"

#include "framework/ddx.h"
#include "res/resource.h"
#include "settings/collection.h"
#include "settings/saver_settings.h"

ConfigDialog::ConfigDialog(HWND hWndOwner) : CDialog(IDD_CONFIG, hWndOwner), m_wndPreview(TRUE) {}

ConfigDialog::~ConfigDialog() {}

void ConfigDialog::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_COLLECTIONS, m_lbCollections);
  DDX_Control(pDX, IDC_START_DELAY_SPIN, m_spinStartDelay);
  DDX_Control(pDX, IDC_CHANGE_DELAY_SPIN, m_spinChangeDelay);
  DDX_Text(pDX, IDC_START_DELAY, theSettings.StartDelay);
  DDX_Text(pDX, IDC_CHANGE_DELAY, theSettings.ChangeDelay);
  DDX_Check(pDX, IDC_FULL_SCREEN, theSettings.FullScreen);
  DDX_Check(pDX, IDC_UPDATE_WALLPAPER, theSettings.UpdateWallpaper);
  DDX_Check(pDX, IDC_SHOW_TITLE, theSettings.ShowTitle);
}

namespace {
void AddCollection(const char* name, void* context) {
  static_cast<CListBox*>(context)->AddString(name);
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

  m_spinStartDelay.SetRange(0, 60);
  m_spinStartDelay.SetBase(10);
  m_spinStartDelay.SetPos(theSettings.StartDelay);
  m_spinChangeDelay.SetRange(0, 3600);
  m_spinChangeDelay.SetBase(10);
  m_spinChangeDelay.SetPos(theSettings.ChangeDelay);
  // Setting a position beyond the arrows' range writes the clamped value
  // into the field, and OK would then save it in place of the stored one:
  // a typed 90 minutes would come back as 60. The fields show the record.
  SetDlgItemInt(m_hWnd, IDC_START_DELAY, static_cast<UINT>(theSettings.StartDelay), TRUE);
  SetDlgItemInt(m_hWnd, IDC_CHANGE_DELAY, static_cast<UINT>(theSettings.ChangeDelay), TRUE);

  // The list sorts itself.
  ListCollections(&AddCollection, &m_lbCollections);

  // Only an item equal to the current name counts: a prefix search would
  // show "Abcdef" as current when "Abc" is. Nothing is selected through
  // the notification, so the record keeps its collection.
  int current = m_lbCollections.FindStringExact(-1, theSettings.CurrentSet);
  if (current != LB_ERR) m_lbCollections.SetCurSel(current);

  CenterWindow();
  return TRUE;
}

BOOL ConfigDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == IDC_COLLECTIONS && HIWORD(wParam) == LBN_SELCHANGE) {
    OnSelChangeCollections();
    return TRUE;
  }
  return CDialog::OnCommand(wParam, lParam);
}

void ConfigDialog::OnSelChangeCollections() {
  int index = m_lbCollections.GetCurSel();
  if (index < 0) return;
  char name[kNameSize];
  if (!m_lbCollections.GetText(index, name, sizeof name)) return;
  // The preview notices the new name at its next tick.
  SelectCollection(name);
}
