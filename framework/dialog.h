// Modal dialogs built from a dialog template. The dialog procedure attaches
// the object at WM_INITDIALOG and routes every later message to WindowProc;
// a message WindowProc leaves unhandled (FALSE) gets the dialog manager's
// default processing.
#pragma once

#include <windows.h>

#include "framework/wnd.h"

class CDataExchange;

// WM_DRAWITEM as reflected by a dialog to the owner-drawn control's own
// object; lParam is the DRAWITEMSTRUCT.
enum : UINT { WM_REFLECT_DRAWITEM = WM_USER + 0x1C00 + WM_DRAWITEM };

class CDialog : public CWnd {
 public:
  // The owner may be null, or another program's window.
  CDialog(UINT idTemplate, HWND hWndOwner);
  ~CDialog() override;

  // Creates the dialog, runs its modal loop and returns the code given to
  // EndDialog, or -1 when the dialog could not be created.
  virtual INT_PTR DoModal();
  void EndDialog(int result);

  // Runs DoDataExchange: from the controls into the variables when `save`
  // is TRUE, the other way when FALSE. FALSE when a step failed.
  BOOL UpdateData(BOOL save = TRUE);

 protected:
  // The base loads the controls from the variables; TRUE leaves the
  // initial focus to the system.
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* pDX);
  // WM_COMMAND. TRUE when handled; the base handles OK and Cancel.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

  // Dialog procedure semantics: TRUE handled, FALSE default processing.
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  static INT_PTR CALLBACK StaticDlgProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

  UINT m_nIDTemplate;
  HWND m_hWndOwner;
};
