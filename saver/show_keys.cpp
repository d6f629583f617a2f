#include "saver/show_keys.h"

namespace {
// Virtual-key codes, so that the rule builds without the system's headers.
const unsigned kLeft = 0x25, kRight = 0x27, kSpace = 0x20, kP = 'P';
// Volume mute, down and up, then next and previous track, stop and play/pause.
const unsigned kFirstMediaKey = 0xAD, kLastMediaKey = 0xB3;
}  // namespace

KeyAction KeyActionFor(unsigned vk, bool keysOn) {
  if (!keysOn) return KeyAction::kEnd;
  if (vk == kRight) return KeyAction::kNext;
  if (vk == kLeft) return KeyAction::kBack;
  if (vk == kSpace || vk == kP) return KeyAction::kPause;
  if (vk >= kFirstMediaKey && vk <= kLastMediaKey) return KeyAction::kPass;
  return KeyAction::kEnd;
}
