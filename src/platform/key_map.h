#pragma once
// Host key positions to the key codes of the standard keyboard scan set that the
// game reads from the KeyBuffer. Host positions are USB HID usage ids (SDL scancodes).
#include <cstddef>

struct KeyMapping {
    int scancode;
    int keyCode;
};

// The whole table, one entry per mapped key.
const KeyMapping* keyMappings(size_t* count);
// 0 for a position without a key code.
int keyCodeForScancode(int scancode);
