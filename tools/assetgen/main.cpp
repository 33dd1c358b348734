// assetgen OUTPUT_DIR: writes every mesh, picture, sound and the music the game loads.
// assetgen --icon FILE: writes the Windows programs' icon.
// assetgen --icon-png SIZE FILE [BADGE]: writes the desktop icon as a PNG.
// The output depends on nothing but this program and the system font files.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "assetgen.h"
#include "icon.h"
#include "output.h"
#include "text.h"

namespace {
int writeFile(const char* path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    file.close();
    if (bytes.empty() || !file) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

int writeIconPng(const std::string& size, const char* path, const std::string& badge) {
    const int n = std::atoi(size.c_str());
    if (n < 16 || n > 1024) {
        std::fprintf(stderr, "assetgen: icon size %s is not 16 to 1024\n", size.c_str());
        return 2;
    }
    std::string error;
    if (!badge.empty() && !loadFonts(&error)) {
        std::fprintf(stderr, "assetgen: %s\n", error.c_str());
        return 1;
    }
    return writeFile(path, iconPng(n, badge));
}
}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--icon") return writeFile(argv[2], iconFile());
    if ((argc == 4 || argc == 5) && std::string(argv[1]) == "--icon-png")
        return writeIconPng(argv[2], argv[3], argc == 5 ? argv[4] : "");
    if (argc != 2) {
        std::fprintf(stderr, "usage: assetgen OUTPUT_DIR | assetgen --icon FILE | "
                             "assetgen --icon-png SIZE FILE [BADGE]\n");
        return 2;
    }
    std::string error;
    if (!loadFonts(&error)) {
        std::fprintf(stderr, "assetgen: %s\n", error.c_str());
        return 1;
    }
    // A folder that cannot be made ends the run at once, before any work.
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(argv[1]) / "gfx", ec);
    if (ec) {
        std::fprintf(stderr, "assetgen: cannot make %s/gfx: %s\n", argv[1], ec.message().c_str());
        return 1;
    }
    Output out(argv[1]);
    writeMeshes(out);
    writeMenuPictures(out);
    writeTitlePictures(out);
    writeScorePictures(out);
    writeTeamPictures(out);
    writeRinkPictures(out);
    writeSounds(out);
    writeMusic(out);
    for (const std::string& e : out.errors()) std::fprintf(stderr, "assetgen: %s\n", e.c_str());
    if (!out.ok()) return 1;
    std::printf("assetgen: %zu files written to %s\n", out.written().size(), argv[1]);
    return 0;
}
