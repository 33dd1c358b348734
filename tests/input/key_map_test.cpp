#include <gtest/gtest.h>

#include <set>

#include "input/key_buffer.h"
#include "platform/key_map.h"

namespace {

// Host positions are USB HID usage ids.
constexpr int kHidA = 4, kHidQ = 20, kHidW = 26, kHid1 = 30, kHid0 = 39, kHidEscape = 41,
              kHidSpace = 44, kHidF1 = 58, kHidF10 = 67;

TEST(KeyMap, KeysTheGameReads) {
    EXPECT_EQ(keyCodeForScancode(kHidEscape), key::Escape);
    for (int d = 0; d < 9; ++d) EXPECT_EQ(keyCodeForScancode(kHid1 + d), key::Digit1 + d);
    EXPECT_EQ(keyCodeForScancode(kHid0), key::Digit0);
    EXPECT_EQ(keyCodeForScancode(kHidQ), key::Q);
    EXPECT_EQ(keyCodeForScancode(kHidW), key::W);
    EXPECT_EQ(keyCodeForScancode(kHidSpace), key::Space);
    EXPECT_EQ(keyCodeForScancode(kHidF10), key::F10);
    for (int f = 0; f < 10; ++f) EXPECT_EQ(keyCodeForScancode(kHidF1 + f), 0x3B + f);
}

TEST(KeyMap, CoversTheWholeKeyboardWithoutClashes) {
    size_t count = 0;
    const KeyMapping* table = keyMappings(&count);
    std::set<int> scancodes, codes;
    for (size_t i = 0; i < count; ++i) {
        EXPECT_GT(table[i].keyCode, 0);
        EXPECT_LT(table[i].keyCode, 256);
        EXPECT_TRUE(scancodes.insert(table[i].scancode).second) << "scancode " << table[i].scancode;
        EXPECT_TRUE(codes.insert(table[i].keyCode).second) << "key code " << table[i].keyCode;
        EXPECT_EQ(keyCodeForScancode(table[i].scancode), table[i].keyCode);
    }
    // Letters, digits, the main block, F1-F12, arrows, the six-key block and the keypad.
    for (int hid = kHidA; hid <= 0x63; ++hid) {
        if (hid == 0x32) continue;  // non-US #: the same key code as backslash
        EXPECT_NE(keyCodeForScancode(hid), 0) << "hid " << hid;
    }
    EXPECT_GE(count, 104u);
}

TEST(KeyMap, UnknownOrOutOfRangePositionsHaveNoCode) {
    EXPECT_EQ(keyCodeForScancode(0), 0);
    EXPECT_EQ(keyCodeForScancode(-1), 0);
    EXPECT_EQ(keyCodeForScancode(100000), 0);
}

}  // namespace
