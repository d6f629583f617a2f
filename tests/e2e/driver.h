// Helpers for the end-to-end drivers: start lumaro.scr under Wine, find its
// windows, read the screen, send input, and prepare settings files.
#pragma once
