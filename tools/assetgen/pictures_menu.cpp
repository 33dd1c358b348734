// The four menu pictures, the digit font for their text fields, the pointer and the
// option marker. Menu pictures are 256x256 and shown at screen (384, 256); every item
// rectangle below is the screen rectangle the menus test, less (384, 256).
#include <string>
#include <vector>

#include "assetgen.h"
#include "canvas.h"
#include "output.h"
#include "rng.h"
#include "text.h"

namespace {

constexpr int kMenuSize = 256;
// The field boxes and the font cells share this background, so typed digits sit seamlessly.
constexpr Color kFieldBg{14 / 255.0f, 24 / 255.0f, 46 / 255.0f, 1};
constexpr Color kDigit{236 / 255.0f, 244 / 255.0f, 1.0f, 1};
const Color kPanelTop = rgb(0x17305E), kPanelBottom = rgb(0x0B1A38);
const Color kEdge = rgb(0x8EC2F4);
const Color kButtonTop = rgb(0x2C62B0), kButtonBottom = rgb(0x1A3F7E);
const Color kLabel = rgb(0xF4F8FF);
const Color kHint = rgb(0x9FB8D8);

struct Rect {
    float x0, y0, x1, y1;
};
// A screen rectangle (exclusive bounds) moved into picture coordinates.
Rect item(float left, float right, float top, float bottom) {
    return {left - 384, top - 256, right - 384, bottom - 256};
}

Canvas menuBase(const std::string& title) {
    Canvas c(kMenuSize, kMenuSize, kPanelBottom);
    c.shade(0, 0, kMenuSize, kMenuSize, [&](float x, float y) {
        const float n = fbm(x * 0.03f, y * 0.03f, 31, 4);
        Color col = mix(kPanelTop, kPanelBottom, y / kMenuSize);
        return scaled(col, 0.9f + 0.25f * n);
    });
    // Frost creeping in from the corners.
    Rng rng(title.size() * 17u + 5u);
    for (int i = 0; i < 70; ++i) {
        const float cx = rng.unit() < 0.5f ? rng.range(0, 40) : rng.range(216, 256);
        const float cy = rng.unit() < 0.5f ? rng.range(0, 40) : rng.range(216, 256);
        const float a = rng.range(0, 6.2831853f), len = rng.range(4, 14);
        c.line(cx, cy, cx + len * std::cos(a), cy + len * std::sin(a), 1.0f, rgb(0xCFE6FF, 0.25f));
    }
    c.frame(1, 1, kMenuSize - 1, kMenuSize - 1, 2.0f, kEdge, 10);
    c.frame(5, 5, kMenuSize - 5, kMenuSize - 5, 1.0f, rgb(0x4E7FC0), 7);
    TypeSetting ts = fitText(title, TypeSetting{FontFace::Sans, 24}, 200, 22);
    const Mask m = renderText(title, ts);
    TextStyle style;
    style.fill = [](float, float y) { return mix(rgb(0xFFFFFF), rgb(0xA8D4FF), clamp01((y - 10) / 22)); };
    style.outline = rgb(0x0E2A5C);
    style.outlineWidth = 1.5f;
    paintTextIn(c, m, 0, 9, kMenuSize, 35, 1, style);
    c.line(30, 39, kMenuSize - 30, 39, 1.0f, rgb(0x6FA4E0, 0.8f));
    return c;
}

// One size for the labels of a screen: the largest that fits every button.
float labelHeight(const std::vector<std::pair<std::string, Rect>>& items) {
    float best = 20;
    for (const auto& [text, r] : items) {
        const TypeSetting s = fitText(text, TypeSetting{FontFace::Sans, 20}, r.x1 - r.x0 - 14, r.y1 - r.y0 - 12);
        best = std::min(best, s.pixelHeight);
    }
    return best;
}

void button(Canvas& c, const Rect& r, const std::string& label, float height) {
    // One pixel inside the exclusive bounds, so the drawn button is all clickable.
    const float x0 = r.x0 + 1, y0 = r.y0 + 1, x1 = r.x1, y1 = r.y1;
    c.verticalGradient(x0, y0, x1, y1, kButtonTop, kButtonBottom, 5);
    c.frame(x0, y0, x1, y1, 1.2f, kEdge, 5);
    c.line(x0 + 5, y0 + 2.5f, x1 - 5, y0 + 2.5f, 1.0f, rgb(0xFFFFFF, 0.35f));
    TypeSetting ts{FontFace::Sans, height};
    const Mask m = renderText(label, ts);
    TextStyle style = solid(kLabel);
    style.shadow = rgb(0x061228, 0.8f);
    style.shadowDx = 1, style.shadowDy = 1, style.shadowBlur = 0;
    paintTextIn(c, m, x0, y0, x1, y1, 1, style);
}

// A screen's buttons, their labels all at one size.
void buttons(Canvas& c, const std::vector<std::pair<std::string, Rect>>& items) {
    const float h = labelHeight(items);
    for (const auto& [text, r] : items) button(c, r, text, h);
}

void smallText(Canvas& c, const std::string& text, float x0, float y0, float x1, float y1, int align,
               const Color& colour, float height = 11, float xScale = 1) {
    TypeSetting ts{FontFace::Sans, height};
    ts.xScale = xScale;
    ts = fitText(text, ts, x1 - x0, y1 - y0);
    paintTextIn(c, renderText(text, ts), x0, y0, x1, y1, align, solid(colour));
}

// A text field: a framed box round the glyph cells the menus draw, and its label.
void field(Canvas& c, const Rect& row, const Rect& box, const std::string& label) {
    c.verticalGradient(row.x0 + 1, row.y0 - 1, row.x1, row.y1 + 1, rgb(0x234E8E, 0.8f), rgb(0x17386C, 0.8f), 4);
    c.rect(box.x0, box.y0, box.x1, box.y1, kFieldBg, 2);
    c.frame(box.x0, box.y0, box.x1, box.y1, 1.0f, kEdge, 2);
    TypeSetting ts{FontFace::Sans, 13};
    ts.xScale = label.size() > 5 ? 0.78f : 1.0f;
    ts = fitText(label, ts, box.x0 - row.x0 - 6, row.y1 - row.y0 - 4);
    TextStyle style = solid(kLabel);
    paintTextIn(c, renderText(label, ts), row.x0 + 1, row.y0, box.x0 - 2, row.y1, 0, style, 3);
}

Canvas mainMenu() {
    Canvas c = menuBase("MAIN MENU");
    const std::vector<std::pair<std::string, Rect>> items{
        {"CREATE GAME", item(428, 597, 301, 329)}, {"JOIN GAME", item(428, 587, 337, 365)},
        {"PRACTICE", item(428, 563, 373, 401)},    {"OPTIONS", item(428, 554, 409, 437)},
        {"QUIT", item(428, 504, 459, 487)}};
    buttons(c, items);
    return c;
}

// Port glyphs: 14x16 at x = 484 + 16k (k = 0..3), y = the row's glyph top, on screen.
Rect portBox(float glyphTop) { return item(484 - 3, 484 + 48 + 14 + 3, glyphTop - 3, glyphTop + 16 + 3); }

Canvas createMenu() {
    Canvas c = menuBase("CREATE GAME");
    field(c, item(428, 606, 308, 327), portBox(309), "PORT");
    smallText(c, "CLICK THE BOX, TYPE 4 DIGITS", 30, 84, 226, 96, 1, kHint, 10);
    smallText(c, "THE OTHER PLAYER JOINS", 30, 104, 226, 116, 1, kHint, 10);
    smallText(c, "WITH YOUR ADDRESS AND PORT", 30, 118, 226, 130, 1, kHint, 10);
    const std::vector<std::pair<std::string, Rect>> items{{"START", item(428, 516, 421, 449)},
                                                          {"BACK", item(428, 544, 457, 485)}};
    buttons(c, items);
    return c;
}

Canvas joinMenu() {
    Canvas c = menuBase("JOIN GAME");
    // Address glyphs: 10x12 at x = 468 + 11i (i = 0..14), y = 312.
    field(c, item(428, 638, 308, 327), item(468 - 3, 468 + 154 + 10 + 3, 312 - 3, 312 + 12 + 3), "IP");
    field(c, item(428, 606, 330, 348), portBox(331), "PORT");
    smallText(c, "CLICK A BOX, TYPE THE DIGITS", 30, 108, 226, 120, 1, kHint, 10);
    smallText(c, "OF THE CREATOR'S MACHINE", 30, 122, 226, 134, 1, kHint, 10);
    const std::vector<std::pair<std::string, Rect>> items{{"CONNECT", item(428, 516, 428, 456)},
                                                          {"BACK", item(428, 544, 464, 492)}};
    buttons(c, items);
    return c;
}

Canvas optionsMenu() {
    Canvas c = menuBase("OPTIONS");
    // Slider tracks run from screen x 520 to 587 (picture 136..203) through the markers' centres.
    const float trackX0 = 520 - 384, trackX1 = 587 - 384;
    struct Row {
        const char* label;
        float top, bottom, markerY;  // screen
    };
    const Row rows[4] = {{"MUSIC", 311, 327, 305}, {"EFFECTS", 332, 348, 326}, {"MOUSE", 353, 369, 347},
                         {"DETAIL", 374, 390, 368}};
    for (int i = 0; i < 4; ++i) {
        const Row& r = rows[i];
        const float cy = r.markerY + 16 - 256;
        smallText(c, r.label, 14, r.top - 256 - 1, 113, r.bottom - 256 + 3, 2, kLabel, 13);
        if (i < 3) {
            c.rect(trackX0 - 2, cy - 2.5f, trackX1 + 2, cy + 2.5f, rgb(0x0A1530), 2.5f);
            c.verticalGradient(trackX0 - 1, cy - 1.5f, trackX1 + 1, cy + 1.5f, rgb(0x6FB0F0), rgb(0x2E6AB8), 1.5f);
            for (int k = 0; k <= 4; ++k) {
                const float x = trackX0 + (trackX1 - trackX0) * k / 4;
                c.line(x, cy + 4, x, cy + 7, 1.0f, kHint);
            }
        } else {
            // Two stops: low detail at screen x 508 + 16, high detail at 567 + 16.
            const float lowX = 508 + 16 - 384, highX = 567 + 16 - 384;
            c.rect(lowX, cy - 1.5f, highX, cy + 1.5f, rgb(0x2E6AB8), 1.5f);
            c.circle(lowX, cy, 4, rgb(0x6FB0F0));
            c.circle(highX, cy, 4, rgb(0x6FB0F0));
            smallText(c, "LOW", lowX - 16, cy + 17, lowX + 16, cy + 27, 1, kLabel, 10);
            smallText(c, "HIGH", highX - 16, cy + 17, highX + 16, cy + 27, 1, kLabel, 10);
        }
    }
    smallText(c, "CLICK ON A ROW TO SET IT", 30, 178, 226, 190, 1, kHint, 10);
    const std::vector<std::pair<std::string, Rect>> items{{"BACK", item(428, 489, 459, 488)}};
    buttons(c, items);
    return c;
}

// menu_font.bmp: 11 cells (0-9, then the dot) across the top 12 % of the picture. Each
// glyph shows at 14x16 on screen from a cell of 256/11 x 30.72 texels, so the digits
// are drawn narrower than usual to look right after that squeeze.
Canvas fontPicture() {
    const int n = 256;
    Canvas c(n, n, kFieldBg);
    const float cellW = n / 11.0f, cellH = n * 0.12f;
    TypeSetting ts{FontFace::Sans, 28};
    ts.xScale = 0.87f;
    ts = fitText("0", ts, cellW - 8, cellH - 9);
    const Mask zero = renderText("0", ts);
    const float digitTop = (cellH - zero.inkHeight()) * 0.5f;
    for (int cell = 0; cell < 11; ++cell) {
        const std::string ch = cell < 10 ? std::string(1, char('0' + cell)) : std::string(".");
        const Mask m = renderText(ch, ts);
        const float cx = cellW * (cell + 0.5f);
        // Digits share the top of the line; the dot sits on its baseline.
        const float y = cell < 10 ? digitTop : digitTop + zero.inkHeight() - m.inkHeight();
        paintText(c, m, cx - m.inkWidth() * 0.5f, y, solid(kDigit));
    }
    return c;
}

// Arrow pointer, its tip on the top-left pixel.
Canvas pointerPicture() {
    Canvas c(32, 32);
    const std::vector<float> arrow{0.2f, -0.6f, 0.2f, 23.0f, 5.8f, 17.5f, 10.2f, 27.0f, 14.6f, 25.0f,
                                   10.4f, 15.8f, 17.5f, 15.8f};
    c.paintShape(-1, -1, 19, 28, [&](float x, float y) { return sdPolygon(x, y, arrow); },
                 [&](float, float) { return rgb(0x1E3C82); });
    // Lighter inside, one and a half pixels in from the edge.
    c.paintShape(-1, -1, 19, 28, [&](float x, float y) { return sdPolygon(x, y, arrow) + 1.6f; },
                 [&](float, float y) { return mix(rgb(0xFFFFFF), rgb(0xB4D8FF), clamp01(y / 26)); });
    return c;
}

// Option marker: a gold ring, see-through in the middle, centred in its square.
Canvas markerPicture() { return ringMarker(11.0f, 0.7f, rgb(0xB97A10), rgb(0xFFC83C), rgb(0xFFF0B0)); }

}  // namespace

void writeMenuPictures(Output& out) {
    out.jpeg("gfx\\menu_main.jpg", mainMenu(), 93);
    out.jpeg("gfx\\menu_create.jpg", createMenu(), 93);
    out.jpeg("gfx\\menu_join.jpg", joinMenu(), 93);
    out.jpeg("gfx\\menu_options.jpg", optionsMenu(), 93);
    out.bmp("gfx\\menu_font.bmp", fontPicture());
    out.keyedBmp("gfx\\menu_mouse.bmp", pointerPicture());
    out.keyedBmp("gfx\\menu_cursor.bmp", markerPicture());
}
