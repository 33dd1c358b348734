#include <gtest/gtest.h>

#include "platform/files.h"

// Slashes where the host wants them; Windows opens the game's names as they are.
TEST(HostPath, BackslashNamesOpenAsHostPaths) {
#ifdef _WIN32
    EXPECT_EQ(hostPath("gfx\\menu01.jpg"), "gfx\\menu01.jpg");
#else
    EXPECT_EQ(hostPath("gfx\\menu01.jpg"), "gfx/menu01.jpg");
#endif
    EXPECT_EQ(hostPath("hrink2.x"), "hrink2.x");
    EXPECT_EQ(hostPath(nullptr), "");
}
