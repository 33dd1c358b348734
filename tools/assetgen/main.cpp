// assetgen OUTPUT_DIR: writes every mesh, picture, sound and the music the game loads.
// assetgen --icon FILE: writes the Windows programs' icon.
// The output depends on nothing but this program and the system font files.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "assetgen.h"
#include "icon.h"
#include "output.h"
#include "text.h"

namespace {
int writeIcon(const char* path) {
    const std::vector<uint8_t> bytes = iconFile();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path);
        return 1;
    }
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--icon") return writeIcon(argv[2]);
    if (argc != 2) {
        std::fprintf(stderr, "usage: assetgen OUTPUT_DIR | assetgen --icon FILE\n");
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
