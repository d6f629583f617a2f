// What the dialog tells the user when the settings cannot be saved.
#pragma once

#include <windows.h>

#include "settings/saver_settings.h"

// Names the file and the system's reason, and what the user may do next.
void ReportSaveFailure(HWND owner, const SaveResult& result);
