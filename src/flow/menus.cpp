// The four menu screens: pointer, items, the port and address fields, the options sliders.
#include <cstdlib>

#include "flow/screen_parts.h"
#include "input/key_buffer.h"
#include "input/mouse_state.h"
#include "sim/game.h"

namespace {

using namespace flow;

enum class Item {
    None,
    Create,
    Join,
    Practice,
    Options,
    Quit,
    PortField,
    Start,
    AddressField,
    Connect,
    Back,
    Music,
    Effects,
    Sensitivity,
    Detail,
};

// Bounds in 1024x768 menu coordinates; a hit needs left < x < right and top < y < bottom.
struct Region {
    int left, top, right, bottom;
    Item item;
};

constexpr Region kMainItems[] = {
    {428, 301, 597, 329, Item::Create},   {428, 337, 587, 365, Item::Join},
    {428, 373, 563, 401, Item::Practice}, {428, 409, 554, 437, Item::Options},
    {428, 459, 504, 487, Item::Quit},
};
constexpr Region kCreateItems[] = {
    {428, 308, 606, 327, Item::PortField},
    {428, 421, 516, 449, Item::Start},
    {428, 457, 544, 485, Item::Back},
};
constexpr Region kJoinItems[] = {
    {428, 308, 638, 327, Item::AddressField},
    {428, 330, 606, 348, Item::PortField},
    {428, 428, 516, 456, Item::Connect},
    {428, 464, 544, 492, Item::Back},
};
// The slider rows share the band 514 < x < 593; back lies left of it.
constexpr Region kOptionsItems[] = {
    {514, 311, 593, 327, Item::Music},       {514, 332, 593, 348, Item::Effects},
    {514, 353, 593, 369, Item::Sensitivity}, {514, 374, 593, 390, Item::Detail},
    {428, 459, 489, 488, Item::Back},
};

template <size_t N>
Item hit(const Region (&items)[N], int x, int y) {
    const int mx = menuX(x), my = menuY(y);
    for (const Region& r : items)
        if (r.left < mx && mx < r.right && r.top < my && my < r.bottom) return r.item;
    return Item::None;
}

Item itemAt(int screen, int x, int y) {
    switch (screen) {
        case MainMenu:
            return hit(kMainItems, x, y);
        case CreateMenu:
            return hit(kCreateItems, x, y);
        case JoinMenu:
            return hit(kJoinItems, x, y);
        case OptionsMenu:
            return hit(kOptionsItems, x, y);
        default:
            return Item::None;
    }
}

// The slider fraction under the pointer, 0 .. 0.999: 1/67 for each step right of x 520.
float sliderFraction(int pointerX) {
    float f = static_cast<float>(menuX(pointerX) - 520) * 0.014925373f;
    if (f < 0.0f) f = 0.0f;
    if (f >= 1.0f) f = 0.999f;
    return f;
}

int portDigit(int port, int k) {
    static constexpr int kPlace[4] = {1000, 100, 10, 1};
    return std::abs((port / kPlace[k]) % 10);
}

// Replaces decimal digit `cursor` (0 = thousands) of the port. Wide arithmetic: the port
// may come from a damaged options file.
int replacePortDigit(int port, int cursor, int d) {
    const long long p = port;
    long long r = p;
    switch (cursor) {
        case 0:
            r = p % 1000 + 1000LL * d;
            break;
        case 1:
            r = p % 100 + 100LL * (d + 10 * (p / 1000));
            break;
        case 2:
            r = p % 10 + 10LL * (d + 10 * (p / 100));
            break;
        case 3:
            r = d + 10 * (p / 10);
            break;
    }
    return static_cast<int>(r);
}

int fieldY(const Game& g) { return g.flow.screen == JoinMenu ? kJoinPortY : kCreatePortY; }

void placePortGlyph(Game& g, int k, int y) {
    Sprite& s = g.glyphSprites[k];
    resize(s, 14, 16);
    placeInMenu(s, static_cast<float>(kPortGlyphX + 16 * k), static_cast<float>(y));
}

void togglePortEditing(Game& g, int y) {
    if (g.portDigitCursor == -1) {
        g.portDigitCursor = 0;
        growPortGlyph(g, 0, y);
        for (int k = 1; k < kPortGlyphs; ++k) placePortGlyph(g, k, y);
    } else {
        g.portDigitCursor = -1;
        for (int k = 0; k < kPortGlyphs; ++k) placePortGlyph(g, k, y);
    }
}

void placeAddressGlyph(Game& g, int i) {
    Sprite& s = g.glyphSprites[kFirstAddressGlyph + i];
    resize(s, 10, 12);
    placeInMenu(s, static_cast<float>(kAddressGlyphX + 11 * i), static_cast<float>(kAddressGlyphY));
}

void toggleAddressEditing(Game& g) {
    if (g.addressDigitCursor == -1) {
        g.addressDigitCursor = 0;
        growAddressGlyph(g, 0);
        for (int i = 1; i < kAddressLength; ++i) placeAddressGlyph(g, i);
    } else {
        g.addressDigitCursor = -1;
        for (int i = 0; i < kAddressLength; ++i) placeAddressGlyph(g, i);
    }
}

// The digit keys 1..9, 0 in that order; a digit is taken only after a frame with none down.
// Once the field is full, further keys of the same frame are not taken.
template <typename TakeDigit>
bool readDigitKeys(const KeyBuffer& keys, bool wasDown, int& cursor, TakeDigit take) {
    bool anyDown = false;
    for (int k = key::Digit1; k <= key::Digit0; ++k) {
        if (!keys.isKeyDown(k)) continue;
        anyDown = true;
        if (!wasDown && cursor >= 0) take((k - 1) % 10);
    }
    return anyDown;
}

void typeAddress(Game& g) {
    if (g.addressDigitCursor < 0) return;
    int& cursor = g.addressDigitCursor;
    const bool anyDown = readDigitKeys(*g.keyboard, g.flow.addressKeyWasDown, cursor, [&](int d) {
        g.peerAddress[cursor] = static_cast<char>('0' + d);
        showCell(g.glyphSprites[kFirstAddressGlyph + cursor], d);
        placeAddressGlyph(g, cursor);
        ++cursor;
        if (cursor == 3 || cursor == 7 || cursor == 11) ++cursor;  // the dots are never edited
        if (cursor >= kAddressLength)
            cursor = -1;
        else
            growAddressGlyph(g, cursor);
    });
    g.flow.addressKeyWasDown = anyDown;
}

void typePort(Game& g) {
    if (g.portDigitCursor < 0) return;
    int& cursor = g.portDigitCursor;
    const int y = fieldY(g);
    const bool anyDown = readDigitKeys(*g.keyboard, g.flow.portKeyWasDown, cursor, [&](int d) {
        g.port = replacePortDigit(g.port, cursor, d);
        showCell(g.glyphSprites[cursor], d);
        placePortGlyph(g, cursor, y);
        ++cursor;
        if (cursor >= kPortGlyphs)
            cursor = -1;
        else
            growPortGlyph(g, cursor, y);
    });
    g.flow.portKeyWasDown = anyDown;
}

void switchPicture(Game& g, int from, int to) {
    g.menuPictures[from].visible = false;
    g.menuPictures[to].visible = true;
}

void hideGlyphs(Game& g, int count) {
    for (int i = 0; i < count; ++i) g.glyphSprites[i].visible = false;
}

}  // namespace

namespace flow {

void showPortGlyphs(Game& g, int y) {
    for (int k = 0; k < kPortGlyphs; ++k) {
        placePortGlyph(g, k, y);
        showCell(g.glyphSprites[k], portDigit(g.port, k));
        g.glyphSprites[k].visible = true;
    }
}

void showAddressGlyphs(Game& g) {
    for (int i = 0; i < kAddressLength; ++i) {
        const char c = g.peerAddress[i];
        placeAddressGlyph(g, i);
        showCell(g.glyphSprites[kFirstAddressGlyph + i], c >= '0' && c <= '9' ? c - '0' : 10);
        g.glyphSprites[kFirstAddressGlyph + i].visible = true;
    }
}

void growPortGlyph(Game& g, int cursor, int y) {
    Sprite& s = g.glyphSprites[cursor];
    resize(s, 18, 20);
    placeInMenu(s, static_cast<float>(kPortGlyphX - 2 + 16 * cursor), static_cast<float>(y - 2));
}

void growAddressGlyph(Game& g, int cursor) {
    Sprite& s = g.glyphSprites[kFirstAddressGlyph + cursor];
    resize(s, 14, 16);
    placeInMenu(s, static_cast<float>(kAddressGlyphX - 2 + 11 * cursor), static_cast<float>(kAddressGlyphY - 2));
}

void placeOptionMarkers(Game& g) {
    placeInMenu(g.optionMarkers[0], 504.0f + static_cast<float>(g.musicVolume) * 0.01f * 67.0f, 305.0f);
    placeInMenu(g.optionMarkers[1], 504.0f + static_cast<float>(g.effectsVolume) * 0.01f * 67.0f, 326.0f);
    placeInMenu(g.optionMarkers[2], 504.0f + g.mouseSensitivity * 0.5f * 67.0f, 347.0f);
    placeInMenu(g.optionMarkers[3], g.highDetail ? 567.0f : 508.0f, 368.0f);
}

}  // namespace flow

bool Game::menuFrame() {
    if (keyboard->isKeyDown(key::Escape)) return false;

    // Pointer.
    const float speed = (mouseSensitivity + 1.0f) * 0.5f;
    flow.pointerX = clampInt(flow.pointerX + truncateClamped(static_cast<float>(mouse->deltaX) * speed, 60), 0,
                             layout().pointerMaxX);
    flow.pointerY = clampInt(flow.pointerY + truncateClamped(static_cast<float>(mouse->deltaY) * speed, 60), 0,
                             layout().pointerMaxY);
    pointerSprite->setPosition(static_cast<float>(flow.pointerX), static_cast<float>(flow.pointerY), 0.0f);

    // Click: a press, not a held button.
    const uint8_t button = mouse->leftButton ? 1 : 0;
    const Item item = button && !flow.menuButtonWasDown ? itemAt(flow.screen, flow.pointerX, flow.pointerY) : Item::None;
    flow.menuButtonWasDown = button;

    const int screen = flow.screen;
    switch (item) {
        case Item::None:
            break;
        case Item::Create:
            flow.screen = CreateMenu;
            portDigitCursor = -1;
            switchPicture(*this, kMainPicture, kCreatePicture);
            showPortGlyphs(*this, kCreatePortY);
            break;
        case Item::Join:
            flow.screen = JoinMenu;
            portDigitCursor = -1;
            addressDigitCursor = -1;
            switchPicture(*this, kMainPicture, kJoinPicture);
            showPortGlyphs(*this, kJoinPortY);
            showAddressGlyphs(*this);
            break;
        case Item::Practice:
            enterMatch(Practice);
            return true;
        case Item::Options:
            flow.screen = OptionsMenu;
            switchPicture(*this, kMainPicture, kOptionsPicture);
            placeOptionMarkers(*this);
            for (int i = 0; i < 4; ++i) optionMarkers[i].visible = true;
            break;
        case Item::Quit:
            return false;
        case Item::PortField:
            if (screen == CreateMenu || addressDigitCursor == -1) togglePortEditing(*this, fieldY(*this));
            break;
        case Item::AddressField:
            if (portDigitCursor == -1) toggleAddressEditing(*this);
            break;
        case Item::Start:
            if (portDigitCursor == -1) return enterMatch(Create);
            break;
        case Item::Connect:
            if (portDigitCursor == -1) return enterMatch(Join);
            break;
        case Item::Back:
            if (screen == OptionsMenu) {
                saveOptions();
                switchPicture(*this, kOptionsPicture, kMainPicture);
                for (int i = 0; i < 4; ++i) optionMarkers[i].visible = false;
            } else if (screen == CreateMenu) {
                switchPicture(*this, kCreatePicture, kMainPicture);
                hideGlyphs(*this, kPortGlyphs);
            } else {
                switchPicture(*this, kJoinPicture, kMainPicture);
                hideGlyphs(*this, kPortGlyphs + kAddressLength);
            }
            flow.screen = MainMenu;
            break;
        case Item::Music:
            musicVolume = static_cast<int>(sliderFraction(flow.pointerX) * 100.0f);
            placeOptionMarkers(*this);
            if (musicOn || soundOn) applyVolumes();
            break;
        case Item::Effects:
            effectsVolume = static_cast<int>(sliderFraction(flow.pointerX) * 100.0f);
            placeOptionMarkers(*this);
            if (musicOn || soundOn) {
                applyVolumes();
                if (soundOn) playSampleNow(sample::Fanfare);  // let the player hear the new level
            }
            break;
        case Item::Sensitivity:
            mouseSensitivity = (2.0f - 0.05f) * sliderFraction(flow.pointerX) + 0.05f;
            placeOptionMarkers(*this);
            break;
        case Item::Detail:
            highDetail = highDetail ? 0 : 1;
            placeOptionMarkers(*this);
            break;
    }

    if (flow.screen == JoinMenu) typeAddress(*this);
    if (flow.screen == CreateMenu || flow.screen == JoinMenu) typePort(*this);
    return true;
}
