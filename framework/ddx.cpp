#include "framework/ddx.h"

#include <cstdio>

#include "framework/int_parse.h"
#include "framework/dialog.h"

namespace {
const char kPromptTitle[] = "Lumaro";
const char kParseIntPrompt[] = "Please enter an integer.";
}  // namespace

CDataExchange::CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_bFailed(FALSE) {}

HWND CDataExchange::PrepareCtrl(int id) const { return m_pDlgWnd->GetDlgItem(id); }

void CDataExchange::Fail(HWND hCtrl, BOOL bEdit) {
  m_bFailed = TRUE;
  if (!hCtrl) return;
  SetFocus(hCtrl);
  if (bEdit) SendMessageA(hCtrl, EM_SETSEL, 0, -1);
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
  if (pDX->m_bFailed || control.m_hWnd) return;
  control.SubclassDlgItem(static_cast<UINT>(id), pDX->m_pDlgWnd);
}

void DDX_Text(CDataExchange* pDX, int id, int& value, int min, int max) {
  if (pDX->m_bFailed) return;
  HWND hCtrl = pDX->PrepareCtrl(id);
  if (!pDX->m_bSaveAndValidate) {
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    SetWindowTextA(hCtrl, text);
    return;
  }
  char text[kIntFieldChars + 1] = "";
  GetWindowTextA(hCtrl, text, sizeof text);
  int typed = 0;
  char prompt[64];
  if (!ParseDialogInt(text, &typed)) {
    snprintf(prompt, sizeof prompt, "%s", kParseIntPrompt);
  } else if (typed < min || typed > max) {
    snprintf(prompt, sizeof prompt, "Please enter an integer from %d to %d.", min, max);
  } else {
    value = typed;
    return;
  }
  MessageBoxA(pDX->m_pDlgWnd->m_hWnd, prompt, kPromptTitle, MB_ICONEXCLAMATION | MB_OK);
  pDX->Fail(hCtrl, TRUE);
}

void DDX_Check(CDataExchange* pDX, int id, int& value) {
  if (pDX->m_bFailed) return;
  HWND hCtrl = pDX->PrepareCtrl(id);
  if (!pDX->m_bSaveAndValidate) {
    if (value < 0 || value > 2) value = 0;
    SendMessageA(hCtrl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    return;
  }
  value = SendMessageA(hCtrl, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}
