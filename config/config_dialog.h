// The configuration dialog: the collection list with a live preview of the
// selected one, collections added from a folder or taken out, the two
// delays with their arrows, the options and, in a column of their own, how
// the show runs. It edits the settings record it is given in place; OK
// writes them with the catalogue's changes, and stays open, saying why, when
// they cannot be written.
#pragma once

#include <windows.h>

#include <string>

#include "framework/controls.h"
#include "framework/dialog.h"
#include "saver/picture_wnd.h"
#include "settings/catalogue_edits.h"

class ConfigDialog : public CDialog {
 public:
  // With an owner it is modal to that window (the screen-saver host's
  // Settings button passes one) and centred over it.
  ConfigDialog(HWND hWndOwner, SaverSettings* settings, const std::string& settingsFile);
  ~ConfigDialog() override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnOK() override;

 private:
  void OnSelChangeCollections();
  void OnAddFolder();
  void OnRemoveCollection();
  // The list's item whose collection file is `file`, or -1.
  int FindCollectionOfFile(const char* file) const;
  // The selected item (none: no collection) made current and shown now.
  void ShowSelection();
  void EnableRemove();

  SaverSettings& m_settings;
  std::string m_settingsFile;
  PictureWnd m_wndPreview;
  CBitmapButton m_btnMonitor;
  CListBox m_lbCollections;
  CSpinButtonCtrl m_spinStartDelay;
  CSpinButtonCtrl m_spinChangeDelay;
  CSpinButtonCtrl m_spinBlankAfter;
  CatalogueEdits m_catalogue;
};
