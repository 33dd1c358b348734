// The score panel (top-left of the match screen), the ring that marks each side's score,
// and the computer's level badges.
#include <string>

#include "assetgen.h"
#include "canvas.h"
#include "output.h"
#include "text.h"

namespace {

// Side 1's numbers are centred on (55 + 18 s, 16), side 2's on (55 + 18 s, 40): a 32x32
// marker with its left edge at 39 + 18 s and top at 0 or 24 frames number s.
constexpr float kFirstX = 55, kStepX = 18, kRowY[2] = {16, 40};

Canvas scorePanel() {
    Canvas c(256, 256);
    // Dark but never pure black: black is what the key makes see-through.
    c.verticalGradient(1, 1, 237, 56, rgb(0x243C6E), rgb(0x142446), 7);
    c.frame(1, 1, 237, 56, 1.5f, rgb(0x8EC2F4), 7);
    c.line(6, 28, 232, 28, 1.0f, rgb(0x4E7FC0));
    const char* labels[2] = {"FIN", "SWE"};
    const Color chip[2] = {rgb(0xF4F6FA), rgb(0xFFCC10)};
    const Color chipText[2] = {rgb(0x0A3A8C), rgb(0x0B4FA0)};
    for (int side = 0; side < 2; ++side) {
        const float cy = kRowY[side];
        c.rect(5, cy - 8, 36, cy + 8, chip[side], 3);
        TypeSetting ts = fitText(labels[side], TypeSetting{FontFace::Sans, 13}, 27, 12);
        paintTextIn(c, renderText(labels[side], ts), 5, cy - 8, 36, cy + 8, 1, solid(chipText[side]));
        for (int s = 0; s < 10; ++s) {
            const float cx = kFirstX + kStepX * s;
            c.rect(cx - 7.5f, cy - 9, cx + 7.5f, cy + 9, rgb(0x0E1A36), 2.5f);
            const std::string digit(1, char('0' + s));
            TypeSetting ds = fitText("0", TypeSetting{FontFace::Sans, 17}, 11, 13);
            const Mask m = renderText(digit, ds);
            TextStyle style = solid(rgb(0xF0F6FF));
            paintText(c, m, cx - m.inkWidth() * 0.5f, cy - m.inkHeight() * 0.5f, style);
        }
    }
    return c;
}

// A red ring that frames one number; its middle shows the number through.
Canvas scoreMarker() { return ringMarker(12.5f, 0.6f, rgb(0xA81C10), rgb(0xFF5A30), rgb(0xFFC0A0)); }

// The computer's badge beside the panel: "CPU" over its level, in the panel's colours, the
// level told apart by its plate too (green, amber, red).
Canvas computerBadge(const char* level, Color plate, Color plateDark) {
    Canvas c(128, 64);
    c.verticalGradient(1, 1, 118, 56, plate, plateDark, 7);
    c.frame(1, 1, 118, 56, 1.5f, rgb(0xF0F6FF), 7);
    TypeSetting small = fitText("CPU", TypeSetting{FontFace::Sans, 14}, 60, 14);
    paintTextIn(c, renderText("CPU", small), 4, 4, 115, 20, 1, solid(rgb(0xF0F6FF)));
    TypeSetting big = fitText(level, TypeSetting{FontFace::Sans, 24}, 104, 26);
    TextStyle style = solid(rgb(0xFFFFFF));
    style.shadow = rgb(0x383838);
    paintTextIn(c, renderText(level, big), 4, 22, 115, 52, 1, style);
    return c;
}

}  // namespace

void writeScorePictures(Output& out) {
    out.keyedBmp("gfx\\scores.bmp", scorePanel());
    out.keyedBmp("gfx\\scoreind.bmp", scoreMarker());
    out.keyedBmp("gfx\\cpu_easy.bmp", computerBadge("EASY", rgb(0x2E8A3E), rgb(0x17502A)));
    out.keyedBmp("gfx\\cpu_normal.bmp", computerBadge("NORMAL", rgb(0xC07A10), rgb(0x7A4A08)));
    out.keyedBmp("gfx\\cpu_hard.bmp", computerBadge("HARD", rgb(0xB8241A), rgb(0x6E120C)));
}
