// The dialog's integer fields: what text counts as a number.
#pragma once

#include "platform/win.h"

enum { kIntFieldChars = 31 };  // characters of a field that are looked at

// Blanks or tabs, an optional sign, decimal digits, blanks or tabs, nothing
// more. TRUE with the value stored; FALSE leaves `value` untouched.
BOOL ParseDialogInt(const char* text, int* value);
