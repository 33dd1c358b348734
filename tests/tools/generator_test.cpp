// The generator itself: the same bytes on every run, and a failure it cannot hide.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "asset_files.h"
#include "support/test_support.h"

namespace {

int runGenerator(const std::string& args) {
    const std::string cmd = std::string("\"") + FROSTEL_ASSETGEN + "\" " + args + " >/dev/null 2>&1";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Generator, WritesTheSameBytesOnEveryRun) {
    ScratchDir dir;
    ASSERT_EQ(runGenerator(dir.path() + "/first"), 0);
    ASSERT_EQ(runGenerator(dir.path() + "/second"), 0);
    size_t files = 0;
    for (const std::string& name : allAssetNames()) {
        std::string rel = name;
        std::replace(rel.begin(), rel.end(), '\\', '/');
        const std::string first = readBytes(dir.path() + "/first/" + rel);
        ASSERT_FALSE(first.empty()) << name;
        EXPECT_EQ(first, readBytes(dir.path() + "/second/" + rel)) << name;
        // The build's own copy came from the same program.
        EXPECT_EQ(first, readBytes(assetPath(name))) << name;
        ++files;
    }
    EXPECT_EQ(files, 49u);
    // Nothing else is left behind, not even a half-written file.
    size_t written = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path() + "/first"))
        if (e.is_regular_file()) ++written;
    EXPECT_EQ(written, 49u);
}

TEST(Generator, ReportsFailureWhenItCannotWrite) {
    ScratchDir dir;
    dir.write("blocker", "a file where a folder should be");
    EXPECT_NE(runGenerator(dir.path() + "/blocker/out"), 0);
    EXPECT_NE(runGenerator(""), 0);
}

}  // namespace
