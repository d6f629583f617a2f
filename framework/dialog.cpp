#include "framework/dialog.h"

#include <commctrl.h>

#include "framework/app_base.h"
#include "framework/ddx.h"

CDialog::CDialog(UINT idTemplate, HWND hWndOwner) : m_nIDTemplate(idTemplate), m_hWndOwner(hWndOwner) {}

CDialog::~CDialog() {}

INT_PTR CDialog::DoModal() {
  // Templates may hold up-down controls; their class must exist before the
  // dialog manager creates the controls.
  static bool s_bCommonControls = false;
  if (!s_bCommonControls) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    s_bCommonControls = true;
  }
  return DialogBoxParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_nIDTemplate),
                         m_hWndOwner, &CDialog::StaticDlgProc,
                         reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(int result) { ::EndDialog(m_hWnd, result); }

BOOL CDialog::UpdateData(BOOL save) {
  CDataExchange dx(this, save);
  DoDataExchange(&dx);
  return !dx.m_bFailed;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;  // the prompt has been shown; stay open
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM) {
  // Buttons, Enter and Escape all arrive as BN_CLICKED.
  if (HIWORD(wParam) != BN_CLICKED) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK:
      OnOK();
      return TRUE;
    case IDCANCEL:
      OnCancel();
      return TRUE;
  }
  return FALSE;
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      return OnCommand(wParam, lParam);
    case WM_DRAWITEM: {
      // Owner-drawn controls draw themselves.
      const DRAWITEMSTRUCT* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (dis && dis->CtlType != ODT_MENU && FromHandlePermanent(dis->hwndItem))
        return ::SendMessageW(dis->hwndItem, WM_REFLECT_DRAWITEM, 0, lParam);
      break;
    }
  }
  return FALSE;
}

INT_PTR CALLBACK CDialog::StaticDlgProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  CDialog* dlg = nullptr;
  if (msg == WM_INITDIALOG) {
    dlg = reinterpret_cast<CDialog*>(lParam);
    if (dlg) dlg->Attach(hWnd);
  } else {
    // Only dialogs run this procedure, so the attached object is one.
    dlg = static_cast<CDialog*>(FromHandlePermanent(hWnd));
  }
  if (!dlg) return FALSE;  // WM_SETFONT and the like, before WM_INITDIALOG

  INT_PTR result = FALSE;
  try {
    result = dlg->WindowProc(msg, wParam, lParam);
  } catch (...) {
    // The dialog's state is unknown: end it as cancelled, so nothing is saved.
    ::EndDialog(hWnd, IDCANCEL);
    result = FALSE;
  }
  if (msg == WM_NCDESTROY) {
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == dlg) app->m_pMainWnd = nullptr;
    dlg->Detach();
    dlg->PostNcDestroy();
  }
  return result;
}
