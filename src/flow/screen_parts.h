#pragma once
// Small pieces the screen code shares: sprite placement in menu coordinates
// (laid out for 1024x768 and moved by the build's shift) and showing groups.
#include <cmath>

#include "app/layout.h"
#include "graphics/sprite.h"

class Game;

namespace flow {

// Menu picture indexes.
constexpr int kIntroPicture = 0, kMainPicture = 2, kCreatePicture = 3, kJoinPicture = 4, kOptionsPicture = 5,
              kConnectionIndicator = 6, kFirstTile = 10, kTileCount = 6;
// Glyph sprites: 0..3 the port digits, 4..18 the address characters.
constexpr int kPortGlyphs = 4, kFirstAddressGlyph = 4, kAddressLength = 15;
constexpr int kPortGlyphX = 484, kCreatePortY = 309, kJoinPortY = 331;
constexpr int kAddressGlyphX = 468, kAddressGlyphY = 312;

// Scaled mouse counts truncated toward zero and clamped to +-limit. Clamped before the
// conversion: a wild sensitivity from the options file must not overflow the int.
inline int truncateClamped(float v, int limit) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<float>(limit)) return limit;
    if (v <= -static_cast<float>(limit)) return -limit;
    return static_cast<int>(v);
}

inline int clampInt(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// The menus are laid out for 1024x768; the build's layout moves them by its shift. Screen
// positions go to menu coordinates with menuX and menuY, and back with placeInMenu.
inline int menuX(int screenX) { return screenX - layout().shiftX; }
inline int menuY(int screenY) { return screenY - layout().shiftY; }

// Moves a sprite to a place given in 1024x768 menu coordinates.
inline void placeInMenu(Sprite& s, float x, float y) {
    s.setPosition(x + static_cast<float>(layout().shiftX), y + static_cast<float>(layout().shiftY), 0.0f);
}

inline void resize(Sprite& s, float w, float h) {
    s.width = w;
    s.height = h;
}

// Shows font cell 0..9 (digits) or 10 (the dot).
inline void showCell(Sprite& s, int cell) { s.cellOffset = TexCoord{static_cast<float>(cell) * 0.09091f, 0.0f}; }

void showTiles(Game& g, bool visible);
void showPortGlyphs(Game& g, int y);        // the four digits of the port, none edited
void showAddressGlyphs(Game& g);            // the fifteen characters of the address, none edited
void growPortGlyph(Game& g, int cursor, int y);
void growAddressGlyph(Game& g, int cursor);
void placeOptionMarkers(Game& g);

}  // namespace flow
