// The options reader against any "opts.dat": whatever it accepts must survive a save and
// a reload unchanged, and every place that uses an option (menus, sliders, port and
// address fields, steering in a practice match, the mixer volumes) must take any value.
//
// Input: a length byte (below 200: a 40-byte file; else 0..55 bytes), the file, then
// digits typed into the port and address fields and mouse movement for the menus and
// a practice match.
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "input/key_buffer.h"
#include "input/mouse_state.h"
#include "platform/fake/recording_audio.h"
#include "platform/mixer_audio.h"
#include "platform/udp_address.h"
#include "sim/game.h"

namespace {

constexpr int kRecord = 40;

struct Options {
    uint32_t sensitivityBits;
    int port;
    std::string address;
    uint8_t highDetail;
    int effects, music;
    bool operator==(const Options&) const = default;
};

Options optionsOf(const Game& g) {
    Options o;
    std::memcpy(&o.sensitivityBits, &g.mouseSensitivity, 4);
    o.port = g.port;
    o.address = std::string(g.peerAddress, strnlen(g.peerAddress, sizeof g.peerAddress));
    o.highDetail = g.highDetail;
    o.effects = g.effectsVolume;
    o.music = g.musicVolume;
    return o;
}

uint32_t read32(const uint8_t* b) { return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24; }

// One frame of the menus with the pointer put at a 1024x768 menu position.
void clickAt(Game& g, int x, int y) {
    MouseState& mouse = MouseState::instance();
    mouse.deltaX = mouse.deltaY = 0;
    g.flow.pointerX = x + layout().shiftX;
    g.flow.pointerY = y + layout().shiftY;
    mouse.leftButton = 1;
    g.menuFrame();
    mouse.leftButton = 0;
    g.menuFrame();
}

// A digit key pressed for one frame and released for the next.
void typeDigit(Game& g, uint8_t choice) {
    KeyBuffer& keys = KeyBuffer::instance();
    keys.bytes[key::Digit1 + choice % 10] = 0x80;
    g.menuFrame();
    keys.bytes[key::Digit1 + choice % 10] = 0;
    g.menuFrame();
}

void tourMenus(Game& g, FuzzBytes& in) {
    g.flow.screen = MainMenu;
    g.flow.menuButtonWasDown = 0;
    g.flow.portKeyWasDown = g.flow.addressKeyWasDown = 0;

    clickAt(g, 490, 423);  // options: the markers follow the values read
    clickAt(g, 458, 473);  // back: saves them
    clickAt(g, 510, 315);  // create: the port digits
    clickAt(g, 510, 317);  // port field
    for (int i = 0, n = in.byte() % 5; i < n; ++i) typeDigit(g, in.byte());
    if (g.portDigitCursor >= 0) clickAt(g, 510, 317);
    clickAt(g, 480, 471);  // back
    clickAt(g, 505, 351);  // join: port digits and address characters
    clickAt(g, 530, 317);  // address field
    for (int i = 0, n = in.byte() % 16; i < n; ++i) typeDigit(g, in.byte());
    if (g.addressDigitCursor >= 0) clickAt(g, 530, 317);
    clickAt(g, 480, 478);  // back
    fuzzCheck(g.flow.screen == MainMenu, "back on the main menu", g.flow.screen);

    // The pointer's speed comes from the sensitivity read.
    MouseState& mouse = MouseState::instance();
    for (int i = 0; i < 4; ++i) {
        mouse.deltaX = in.signedByte() * 4;
        mouse.deltaY = in.signedByte() * 4;
        g.menuFrame();
        fuzzCheck(g.flow.pointerX >= 0 && g.flow.pointerX <= layout().pointerMaxX && g.flow.pointerY >= 0 &&
                      g.flow.pointerY <= layout().pointerMaxY,
                  "pointer on the screen", g.flow.pointerX, g.flow.pointerY);
    }
}

void practice(Game& g, FuzzBytes& in) {
    g.enterMatch(Practice);
    MouseState& mouse = MouseState::instance();
    for (int i = 0; i < 20 && !in.empty(); ++i) {
        mouse.deltaX = in.signedByte() * 8;
        mouse.deltaY = in.signedByte() * 8;
        g.matchFrame(1.0f / 60.0f);
        for (int p = 0; p < 12; ++p) {
            const int rod = rodOf(p);
            const int limit = slideLimit(rod);
            fuzzCheck(g.slide[p] >= 0 && g.slide[p] <= limit, "slide within its groove", p, g.slide[p]);
            fuzzCheck(g.angle[p] > -128 && g.angle[p] < 128, "angle within one turn", p, g.angle[p]);
        }
        fuzzCheck(finite2(g.puckPos) && finite2(g.puckVel), "puck finite", g.puckPos[0], g.puckPos[1]);
    }
    g.leaveMatch();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const InScratchFolder scratch;
    static RecordingAudio* audio = [] {
        auto* a = new RecordingAudio;
        installAudioSystem(a);
        return a;
    }();
    audio->calls.clear();
    std::memset(KeyBuffer::instance().bytes, 0, 256);

    FuzzBytes in(data, size);
    const uint8_t kind = in.byte();
    const size_t length = kind < 200 ? kRecord : kind - 200u;
    std::vector<uint8_t> file(length);
    in.copy(file.data(), length);
    writeScratchFile("opts.dat", file.data(), length);

    Game g;
    const Options before = optionsOf(g);
    const bool read = g.loadOptions();
    fuzzCheck(read == (length >= kRecord), "a record is read exactly when the file holds 40 bytes", double(length));
    fuzzCheck(strnlen(g.peerAddress, sizeof g.peerAddress) < sizeof g.peerAddress, "address terminated in its field");
    if (!read) {
        fuzzCheck(optionsOf(g) == before, "a refused file changes nothing");
    } else {
        fuzzCheck(g.port == static_cast<int>(read32(&file[4])), "port as stored");
        fuzzCheck(std::memcmp(&g.mouseSensitivity, &file[0], 4) == 0, "sensitivity as stored");
        fuzzCheck(std::strncmp(g.peerAddress, reinterpret_cast<const char*>(&file[8]), strlen(g.peerAddress)) == 0,
                  "address as stored");
    }

    // What was read is written back byte for byte in its meaningful fields.
    g.saveOptions();
    Game again;
    fuzzCheck(again.loadOptions(), "the saved file reads back");
    fuzzCheck(optionsOf(again) == optionsOf(g), "options survive save and reload");

    uint8_t address[4];
    parseDottedDecimal(g.peerAddress, address);

    g.soundOn = g.musicOn = 1;
    g.applyVolumes();
    const int effects = mixerVolume(g.effectsVolume), music = mixerVolume(g.musicVolume);
    fuzzCheck(effects >= 0 && effects <= 128 && music >= 0 && music <= 128, "mixer volumes saturate", effects, music);

    tourMenus(g, in);
    practice(g, in);
    return 0;
}
