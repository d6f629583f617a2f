// Dialog data exchange: moves values between a dialog's controls and the
// variables they edit. A failed step shows why, puts the focus on the
// control at fault and turns every later step of the same exchange into a
// no-op; the steps before it keep their effect.
#pragma once

#include <windows.h>

#include <climits>

class CDialog;
class CWnd;

class CDataExchange {
 public:
  CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate);

  // The dialog's control `id`; null when the dialog has none.
  HWND PrepareCtrl(int id) const;
  // Marks the exchange failed and gives `hCtrl` the focus, its whole text
  // selected when it is an edit field.
  void Fail(HWND hCtrl, BOOL bEdit);

  BOOL m_bSaveAndValidate;  // TRUE: controls to variables
  CDialog* m_pDlgWnd;
  BOOL m_bFailed;
};

// Attaches `control` to the dialog's control `id` on the first exchange.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
// An edit field holding a decimal integer, from `min` to `max`: text that is
// no number, or a number outside, is refused with a prompt saying which, and
// `value` keeps its own.
void DDX_Text(CDataExchange* pDX, int id, int& value, int min = INT_MIN, int max = INT_MAX);
// A check box: 1 ticked, 0 clear. A value outside 0..2 is reset to 0 at load.
void DDX_Check(CDataExchange* pDX, int id, int& value);
