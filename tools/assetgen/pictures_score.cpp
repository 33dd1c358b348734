// The score panel (top-left of the match screen) and the ring that marks each side's score.
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

}  // namespace

void writeScorePictures(Output& out) {
    out.keyedBmp("gfx\\scores.bmp", scorePanel());
    out.keyedBmp("gfx\\scoreind.bmp", scoreMarker());
}
