#include "asset_files.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include <stb/stb_image.h>

std::string assetPath(const std::string& gameName) {
    std::string s = gameName;
    std::replace(s.begin(), s.end(), '\\', '/');
    return std::string(FROSTEL_RUN_DIR) + "/" + s;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool loadPicture(const std::string& gameName, Picture* out) {
    const std::string bytes = readBytes(assetPath(gameName));
    int w = 0, h = 0, n = 0;
    unsigned char* data = stbi_load_from_memory(reinterpret_cast<const unsigned char*>(bytes.data()),
                                                static_cast<int>(bytes.size()), &w, &h, &n, 3);
    if (!data) return false;
    out->w = w, out->h = h;
    out->rgb.assign(data, data + static_cast<size_t>(w) * h * 3);
    stbi_image_free(data);
    return true;
}

const std::vector<std::string>& allAssetNames() {
    static const std::vector<std::string> names{
        "tune.mp3",           "sound2.wav",         "sound3.wav",         "sound4.wav",
        "sound5.wav",         "fanfaari.wav",       "fanfaari2.wav",      "gfx\\goalie_fin.jpg",
        "gfx\\player_fin_2.jpg", "gfx\\player_fin_3.jpg", "gfx\\player_fin_4.jpg", "gfx\\player_fin_5.jpg",
        "gfx\\player_fin_6.jpg", "hgoalie_h.x",      "hplayer_h.x",        "gfx\\goalie_swe.jpg",
        "gfx\\player_swe_2.jpg", "gfx\\player_swe_3.jpg", "gfx\\player_swe_4.jpg", "gfx\\player_swe_5.jpg",
        "gfx\\player_swe_6.jpg", "hgoalie_l.x",      "hplayer_l.x",        "gfx\\puck.jpg",
        "hockey2.x",          "gfx\\rink.jpg",      "hrink2.x",           "gfx\\goal.bmp",
        "hgoal2.x",           "gfx\\menu01.jpg",    "gfx\\menu03a.jpg",   "gfx\\menu03b.jpg",
        "gfx\\menu03c.jpg",   "gfx\\menu03d.jpg",   "gfx\\menu03e.jpg",   "gfx\\menu03f.jpg",
        "gfx\\menu_main.jpg", "gfx\\menu_create.jpg", "gfx\\menu_join.jpg", "gfx\\menu_options.jpg",
        "gfx\\connind.bmp",   "gfx\\menu_mouse.bmp", "gfx\\menu_cursor.bmp", "gfx\\menu_font.bmp",
        "gfx\\scores.bmp",    "gfx\\scoreind.bmp",  "gfx\\cpu_easy.bmp",   "gfx\\cpu_normal.bmp",
        "gfx\\cpu_hard.bmp"};
    return names;
}
