// The generated pictures: they decode at the sizes the game draws them, keep black for
// what must be see-through, and put their drawn parts where the game's code expects them.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>

#include "asset_files.h"
#include "sim/game.h"

namespace {

TEST(AssetFiles, EveryFileOfTheListExistsAndIsNotEmpty) {
    ASSERT_EQ(allAssetNames().size(), 49u);
    for (const std::string& name : allAssetNames())
        EXPECT_GT(readBytes(assetPath(name)).size(), 0u) << name;
}

TEST(Pictures, DecodeWithTheRightFormatAndSize) {
    // Sizes the game draws 1:1; the mesh textures only need to decode.
    const std::map<std::string, std::pair<int, int>> exact{
        {"gfx\\menu01.jpg", {512, 512}},     {"gfx\\menu_main.jpg", {256, 256}},
        {"gfx\\menu_create.jpg", {256, 256}}, {"gfx\\menu_join.jpg", {256, 256}},
        {"gfx\\menu_options.jpg", {256, 256}}, {"gfx\\connind.bmp", {128, 128}},
        {"gfx\\menu_mouse.bmp", {32, 32}},   {"gfx\\menu_cursor.bmp", {32, 32}},
        {"gfx\\scores.bmp", {256, 256}},     {"gfx\\scoreind.bmp", {32, 32}},
        {"gfx\\cpu_easy.bmp", {128, 64}},   {"gfx\\cpu_normal.bmp", {128, 64}},
        {"gfx\\cpu_hard.bmp", {128, 64}},
        {"gfx\\menu03a.jpg", {256, 256}},    {"gfx\\menu03b.jpg", {256, 256}},
        {"gfx\\menu03c.jpg", {256, 256}},    {"gfx\\menu03d.jpg", {256, 256}},
        {"gfx\\menu03e.jpg", {256, 256}},    {"gfx\\menu03f.jpg", {256, 256}}};
    int pictures = 0;
    for (const std::string& name : allAssetNames()) {
        const bool jpeg = name.ends_with(".jpg"), bmp = name.ends_with(".bmp");
        if (!jpeg && !bmp) continue;
        ++pictures;
        const std::string bytes = readBytes(assetPath(name));
        ASSERT_GE(bytes.size(), 54u) << name;
        if (jpeg) {
            EXPECT_EQ(static_cast<uint8_t>(bytes[0]), 0xFF) << name;
            EXPECT_EQ(static_cast<uint8_t>(bytes[1]), 0xD8) << name;
        } else {
            EXPECT_EQ(bytes.substr(0, 2), "BM") << name;
            EXPECT_EQ(static_cast<uint8_t>(bytes[28]), 24) << name << ": 24 bits a pixel";
        }
        Picture p;
        ASSERT_TRUE(loadPicture(name, &p)) << name;
        auto it = exact.find(name);
        if (it != exact.end()) {
            EXPECT_EQ(p.w, it->second.first) << name;
            EXPECT_EQ(p.h, it->second.second) << name;
        }
    }
    EXPECT_EQ(pictures, 35);
}

// Pure black is transparent in a colour-keyed picture, so the art must not come near it.
TEST(Pictures, KeyedPicturesUseBlackOnlyWhereSeeThrough) {
    for (const char* name : {"gfx\\connind.bmp", "gfx\\menu_mouse.bmp", "gfx\\menu_cursor.bmp", "gfx\\scores.bmp",
                             "gfx\\scoreind.bmp", "gfx\\goal.bmp", "gfx\\cpu_easy.bmp", "gfx\\cpu_normal.bmp",
                             "gfx\\cpu_hard.bmp"}) {
        Picture p;
        ASSERT_TRUE(loadPicture(name, &p)) << name;
        int clear = 0, art = 0, nearBlack = 0;
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x) {
                if (p.black(x, y))
                    ++clear;
                else if (p.maxChannel(x, y) < 32)
                    ++nearBlack;
                else
                    ++art;
            }
        EXPECT_EQ(nearBlack, 0) << name;
        EXPECT_GT(clear, 0) << name;
        EXPECT_GT(art, 0) << name;
    }
}

TEST(Pictures, PointerTipAndMarkersAreWhereTheGameAimsThem) {
    Picture mouse, marker, ring;
    ASSERT_TRUE(loadPicture("gfx\\menu_mouse.bmp", &mouse));
    ASSERT_TRUE(loadPicture("gfx\\menu_cursor.bmp", &marker));
    ASSERT_TRUE(loadPicture("gfx\\scoreind.bmp", &ring));
    // The pointer's hot spot is its top-left pixel.
    EXPECT_FALSE(mouse.black(0, 0));
    EXPECT_TRUE(mouse.black(31, 0));
    EXPECT_TRUE(mouse.black(31, 31));
    // Both rings are centred in their squares and see-through in the middle.
    for (const Picture* p : {&marker, &ring}) {
        EXPECT_TRUE(p->black(15, 15) && p->black(16, 16));
        double sx = 0, sy = 0, n = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (!p->black(x, y)) sx += x, sy += y, ++n;
        ASSERT_GT(n, 0);
        EXPECT_NEAR(sx / n, 15.5, 0.5);
        EXPECT_NEAR(sy / n, 15.5, 0.5);
    }
}

TEST(Pictures, ScorePanelShowsEveryNumberWhereItsMarkerGoes) {
    Picture p;
    ASSERT_TRUE(loadPicture("gfx\\scores.bmp", &p));
    for (int side = 0; side < 2; ++side)
        for (int s = 0; s < 10; ++s) {
            const int cx = 55 + 18 * s, cy = side == 0 ? 16 : 40;
            int ink = 0;
            for (int y = cy - 6; y <= cy + 6; ++y)
                for (int x = cx - 4; x <= cx + 4; ++x)
                    if (p.luminance(x, y) > 180) ++ink;
            EXPECT_GT(ink, 6) << "side " << side + 1 << " number " << s;
            // The number's own marker square lies on the panel.
            EXPECT_FALSE(p.black(cx, cy - 12)) << "side " << side + 1 << " number " << s;
        }
    // Between the numbers the panel is dark but not black; far outside it is see-through.
    EXPECT_LT(p.luminance(64, 22), 90);
    EXPECT_FALSE(p.black(64, 22));
    EXPECT_TRUE(p.black(128, 128));
    EXPECT_TRUE(p.black(250, 10));
}

TEST(Pictures, FontHoldsElevenGlyphsAcrossItsTopRow) {
    Picture p;
    ASSERT_TRUE(loadPicture("gfx\\menu_font.bmp", &p));
    const double cellW = p.w * 0.09091, cellH = p.h * 0.12;
    std::vector<std::vector<int>> cells;
    for (int c = 0; c < 11; ++c) {
        const int x0 = static_cast<int>(std::ceil(c * cellW)), x1 = static_cast<int>(std::floor((c + 1) * cellW));
        const int y1 = static_cast<int>(std::floor(cellH));
        std::vector<int> lum;
        int ink = 0, lowInk = 0;
        for (int y = 0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                lum.push_back(p.luminance(x, y) > 128);
                if (p.luminance(x, y) > 128) {
                    ++ink;
                    if (y > y1 / 2) ++lowInk;
                }
            }
        EXPECT_GT(ink, 4) << "cell " << c;
        // Light on dark: the cell corner is the dark background.
        EXPECT_LT(p.luminance(x0 + 1, 1), 60) << "cell " << c;
        if (c == 10) {
            EXPECT_EQ(lowInk, ink) << "the dot sits on the baseline";
        }
        cells.push_back(lum);
    }
    for (int a = 0; a < 11; ++a)
        for (int b = a + 1; b < 11; ++b) EXPECT_NE(cells[a], cells[b]) << "cells " << a << " and " << b;
}

// Menu items as the menus test them on screen, less the picture's place (384, 256).
struct Item {
    const char* picture;
    int left, right, top, bottom;
};

TEST(Pictures, MenuLabelsSitInsideTheirItems) {
    const Item items[] = {
        {"gfx\\menu_main.jpg", 428, 597, 301, 329},   {"gfx\\menu_main.jpg", 428, 587, 337, 365},
        {"gfx\\menu_main.jpg", 428, 563, 373, 401},   {"gfx\\menu_main.jpg", 428, 554, 409, 437},
        {"gfx\\menu_main.jpg", 428, 504, 459, 487},   {"gfx\\menu_create.jpg", 428, 606, 308, 327},
        {"gfx\\menu_create.jpg", 428, 516, 421, 449}, {"gfx\\menu_create.jpg", 428, 544, 457, 485},
        {"gfx\\menu_join.jpg", 428, 638, 308, 327},   {"gfx\\menu_join.jpg", 428, 606, 330, 348},
        {"gfx\\menu_join.jpg", 428, 516, 428, 456},   {"gfx\\menu_join.jpg", 428, 544, 464, 492},
        {"gfx\\menu_options.jpg", 428, 489, 459, 488}};
    for (const Item& it : items) {
        Picture p;
        ASSERT_TRUE(loadPicture(it.picture, &p));
        int label = 0, nearby = 0;
        for (int y = it.top - 256 + 1; y < it.bottom - 256; ++y)
            for (int x = it.left - 384 + 1; x < it.right - 384; ++x)
                if (p.luminance(x, y) > 200) ++label;
        // Nothing label-bright just below the item: the text is not spilling out.
        for (int x = it.left - 384 + 1; x < it.right - 384; ++x)
            if (p.luminance(x, it.bottom - 256 + 2) > 200) ++nearby;
        EXPECT_GT(label, 20) << it.picture << " item at y " << it.top;
        EXPECT_EQ(nearby, 0) << it.picture << " item at y " << it.top;
    }
}

TEST(Pictures, FieldBoxesMatchTheFontWhereTheGlyphsGo) {
    Picture font, create, join;
    ASSERT_TRUE(loadPicture("gfx\\menu_font.bmp", &font));
    ASSERT_TRUE(loadPicture("gfx\\menu_create.jpg", &create));
    ASSERT_TRUE(loadPicture("gfx\\menu_join.jpg", &join));
    const uint8_t* bg = font.at(1, 1);
    auto expectField = [&](const Picture& p, int x, int y, const char* what) {
        const uint8_t* c = p.at(x - 384, y - 256);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(c[k], bg[k], 12) << what << " at " << x << "," << y;
    };
    // Port glyphs 14x16 at x = 484 + 16k; address glyphs 10x12 at x = 468 + 11i, y = 312.
    for (int k = 0; k < 4; ++k) {
        expectField(create, 484 + 16 * k + 7, 309 + 8, "create port");
        expectField(join, 484 + 16 * k + 7, 331 + 8, "join port");
    }
    for (int i = 0; i < 15; ++i) expectField(join, 468 + 11 * i + 5, 312 + 6, "join address");
}

TEST(Pictures, OptionSlidersRunUnderTheMarkers) {
    Picture p;
    ASSERT_TRUE(loadPicture("gfx\\menu_options.jpg", &p));
    // Markers sit at x = 504 + 67 f with their 32x32 square, so a track from 520 to 587
    // passes through their centres, at the marker's y + 16.
    for (int markerY : {305, 326, 347}) {
        const int y = markerY + 16 - 256;
        for (int x = 520; x <= 587; x += 6) {
            const uint8_t* c = p.at(x - 384, y);
            EXPECT_GT(c[2], 120) << "track at " << x << "," << markerY;
        }
        // Beyond the track's ends the panel is dark again.
        EXPECT_LT(p.luminance(600 - 384, y), 80);
    }
    // The detail stops at the two marker places.
    for (int x : {508 + 16, 567 + 16}) EXPECT_GT(p.luminance(x - 384, 368 + 16 - 256), 100);
}

// The six tiles are one picture cut in six: neighbouring edges continue each other.
TEST(Pictures, BackgroundTilesJoinSeamlessly) {
    const char* names[6] = {"gfx\\menu03a.jpg", "gfx\\menu03b.jpg", "gfx\\menu03c.jpg",
                            "gfx\\menu03d.jpg", "gfx\\menu03e.jpg", "gfx\\menu03f.jpg"};
    Picture t[6];
    for (int i = 0; i < 6; ++i) ASSERT_TRUE(loadPicture(names[i], &t[i]));
    auto seam = [](const Picture& a, const Picture& b, bool across) {
        double d = 0, inside = 0;
        for (int k = 0; k < 256; ++k) {
            if (across) {
                d += std::abs(a.luminance(255, k) - b.luminance(0, k));
                inside += std::abs(a.luminance(254, k) - a.luminance(255, k));
            } else {
                d += std::abs(a.luminance(k, 255) - b.luminance(k, 0));
                inside += std::abs(a.luminance(k, 254) - a.luminance(k, 255));
            }
        }
        return std::make_pair(d / 256, inside / 256);
    };
    const std::pair<int, int> joins[] = {{0, 1}, {1, 2}, {3, 4}, {4, 5}};
    for (auto [a, b] : joins) {
        auto [d, inside] = seam(t[a], t[b], true);
        EXPECT_LT(d, inside + 12) << names[a] << " | " << names[b];
    }
    for (int i = 0; i < 3; ++i) {
        auto [d, inside] = seam(t[i], t[i + 3], false);
        EXPECT_LT(d, inside + 12) << names[i] << " over " << names[i + 3];
    }
}

// The rink picture lies on the ice with x = -60 at its left edge and z = +120 at its top.
TEST(Pictures, RinkGroovesLieOnEveryRodsPath) {
    Picture p;
    ASSERT_TRUE(loadPicture("gfx\\rink.jpg", &p));
    Game game;
    const int slideMax[6] = {50, 127, 90, 90, 90, 127};
    auto pixel = [&](float x, float z, int* px, int* py) {
        *px = static_cast<int>((x + 60) / 120 * p.w);
        *py = static_cast<int>((120 - z) / 240 * p.h);
    };
    for (int player = 0; player < 12; ++player)
        for (int slide = 0; slide <= slideMax[player % 6]; ++slide) {
            const Point2 g = game.groovePoint(player, slide);
            int x, y;
            pixel(g.x, g.z, &x, &y);
            ASSERT_TRUE(x >= 0 && y >= 0 && x < p.w && y < p.h);
            EXPECT_LT(p.luminance(x, y), 110) << "player " << player << " slide " << slide;
        }
    // Open ice between the grooves stays light.
    for (auto [x, z] : {std::pair{15.0f, 45.0f}, {-15.0f, -45.0f}, {-10.0f, 100.0f}, {10.0f, -100.0f}}) {
        int px, py;
        pixel(x, z, &px, &py);
        EXPECT_GT(p.luminance(px, py), 180) << x << "," << z;
    }
}

TEST(Pictures, TeamTexturesWearTheirColoursAndTheirOwnNumbers) {
    // The jersey band (rows 30..60 of the 256 texture, left half) is white for Finland and
    // yellow for Sweden.
    auto jersey = [](const Picture& p) {
        double r = 0, g = 0, b = 0, n = 0;
        for (int y = 30; y < 60; ++y)
            for (int x = 0; x < 128; ++x) r += p.at(x, y)[0], g += p.at(x, y)[1], b += p.at(x, y)[2], ++n;
        return std::array<double, 3>{r / n, g / n, b / n};
    };
    std::vector<Picture> fin, swe;
    for (const char* team : {"fin", "swe"})
        for (int rod = 1; rod <= 6; ++rod) {
            const std::string name = rod == 1 ? std::string("gfx\\goalie_") + team + ".jpg"
                                              : std::string("gfx\\player_") + team + "_" + std::to_string(rod) + ".jpg";
            Picture p;
            ASSERT_TRUE(loadPicture(name, &p)) << name;
            const auto c = jersey(p);
            if (team[0] == 'f') {
                EXPECT_GT(c[2], 170) << name;  // white and blue
                fin.push_back(p);
            } else {
                EXPECT_GT(c[0], 170) << name;  // yellow
                EXPECT_LT(c[2], c[0] - 60) << name;
                swe.push_back(p);
            }
        }
    for (const auto* team : {&fin, &swe})
        for (size_t a = 1; a < team->size(); ++a)
            for (size_t b = a + 1; b < team->size(); ++b)
                EXPECT_NE((*team)[a].rgb, (*team)[b].rgb) << "rods " << a + 1 << " and " << b + 1;
}

TEST(Pictures, GoalNetHasSeeThroughHolesInARedFrame) {
    Picture p;
    ASSERT_TRUE(loadPicture("gfx\\goal.bmp", &p));
    int red = 0;
    for (int x = 0; x < p.w; ++x)
        if (p.at(x, 16)[0] > 150 && p.at(x, 16)[1] < 90) ++red;
    EXPECT_GT(red, p.w * 9 / 10);
    int holes = 0, strings = 0;
    for (int y = 40; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            if (p.black(x, y)) ++holes;
            else if (p.luminance(x, y) > 200) ++strings;
        }
    EXPECT_GT(holes, strings);
    EXPECT_GT(strings, (p.h - 40) * p.w / 10);
}

}  // namespace
