// What a key does to a running show. With the keys off, or in a preview,
// every key ends it as any input does; with them on, the arrows step through
// the pictures, Space and P pause, and the media and volume keys are left to
// the system.
#pragma once

enum class KeyAction { kEnd, kNext, kBack, kPause, kPass };

// `vk` is the key's virtual-key code (WM_KEYDOWN's wParam).
KeyAction KeyActionFor(unsigned vk, bool keysOn);
