#include <gtest/gtest.h>

#include "platform/files.h"

TEST(HostPath, BackslashNamesOpenAsSlashPaths) {
    EXPECT_EQ(hostPath("gfx\\menu01.jpg"), "gfx/menu01.jpg");
    EXPECT_EQ(hostPath("hrink2.x"), "hrink2.x");
    EXPECT_EQ(hostPath(nullptr), "");
}
