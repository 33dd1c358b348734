// The intro picture, the arena background behind the menus (six tiles), and the
// indicator shown while a network match waits for the other player.
#include <string>

#include "assetgen.h"
#include "canvas.h"
#include "output.h"
#include "rng.h"
#include "text.h"

namespace {

const Color kNight = rgb(0x08142E), kDeep = rgb(0x1C4A8C);
const Color kFinBlue = rgb(0x0A3A8C), kSweBlue = rgb(0x0B5AA8), kSweYellow = rgb(0xFFCC10);

// Nordic-cross flags.
void flag(Canvas& c, float x, float y, float w, float h, const Color& field, const Color& cross) {
    c.rect(x, y, x + w, y + h, field);
    const float t = h * 0.22f, cx = x + w * 0.36f;
    c.rect(cx - t * 0.5f, y, cx + t * 0.5f, y + h, cross);
    c.rect(x, y + h * 0.5f - t * 0.5f, x + w, y + h * 0.5f + t * 0.5f, cross);
}

void snow(Canvas& c, uint32_t seed, int count, float maxR) {
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        const float x = rng.range(0, float(c.width())), y = rng.range(0, float(c.height()));
        const float r = rng.range(0.6f, maxR);
        c.circle(x, y, r, rgb(0xE8F2FF, rng.range(0.25f, 0.8f)));
    }
}

void stick(Canvas& c, float ax, float ay, float bx, float by, bool bladeLeft) {
    c.line(ax, ay, bx, by, 11, rgb(0x6A4420));
    c.line(ax, ay, bx, by, 8, rgb(0xD8A868));
    c.line(ax, ay, ax + (bx - ax) * 0.12f, ay + (by - ay) * 0.12f, 8.5f, rgb(0xF0F0F0));  // tape at the butt
    const float dir = bladeLeft ? -1.0f : 1.0f;
    c.line(bx, by, bx + dir * 46, by + 6, 14, rgb(0x1E2430));
    c.line(bx, by, bx + dir * 46, by + 6, 10, rgb(0x3A4250));
}

TextStyle titleStyle(float top, float bottom) {
    TextStyle s;
    s.fill = [top, bottom](float, float y) {
        const float t = clamp01((y - top) / (bottom - top));
        return t < 0.5f ? mix(rgb(0xFFFFFF), rgb(0xCFE8FF), t * 2) : mix(rgb(0xCFE8FF), rgb(0x6FA8E8), t * 2 - 1);
    };
    s.outline = rgb(0x0B2456);
    s.outlineWidth = 4;
    s.shadow = rgb(0x000814, 0.7f);
    s.shadowDx = 5, s.shadowDy = 6, s.shadowBlur = 3;
    return s;
}

Canvas introPicture() {
    const int n = 512;
    Canvas c(n, n, kNight);
    c.shade(0, 0, n, n, [&](float x, float y) {
        const float d = std::hypot((x - 256) / 300.0f, (y - 170) / 260.0f);
        return mix(kDeep, kNight, clamp01(d));
    });
    // Ice in the lower part, with a spotlight on it.
    c.shade(0, 330, n, n, [&](float x, float y) {
        const float t = (y - 330) / 182.0f;
        const float spot = std::max(0.0f, 1.0f - std::hypot((x - 256) / 230.0f, (y - 400) / 70.0f));
        Color ice = mix(rgb(0x9CC4E8), rgb(0xDCEBFA), t);
        ice = mix(ice, rgb(0xFFFFFF), spot * 0.6f);
        return ice;
    });
    c.rect(0, 326, n, 334, rgb(0xF0F4F8));  // the boards' top edge
    c.rect(0, 334, n, 346, rgb(0x1A3F7E));
    c.rect(0, 346, n, 352, rgb(0xFFCC10));
    c.line(256, 352, 256, n, 10, rgb(0xC8202A, 0.85f));  // centre line running away
    c.ring(256, 430, 60, 2.5f, rgb(0x1A3F9E, 0.8f));
    snow(c, 11, 160, 2.2f);

    // Crossed sticks and a puck.
    stick(c, 150, 205, 330, 395, false);
    stick(c, 362, 205, 182, 395, true);
    c.paintShape(206, 405, 306, 445, [&](float x, float y) { return (std::hypot((x - 256) / 48, (y - 425) / 16) - 1) * 16; },
                 [&](float, float) { return rgb(0x20222A); });
    c.paintShape(206, 395, 306, 435, [&](float x, float y) { return (std::hypot((x - 256) / 48, (y - 413) / 16) - 1) * 16; },
                 [&](float, float) { return rgb(0x3A3E4C); });
    c.rect(208, 413, 304, 425, rgb(0x20222A));

    TypeSetting ts = fitText("FROSTEL", TypeSetting{FontFace::Sans, 130}, 460, 110);
    const Mask title = renderText("FROSTEL", ts);
    paintText(c, title, 256 - title.inkWidth() * 0.5f, 60, titleStyle(60, 60 + title.inkHeight()));
    TypeSetting sub = fitText("TABLE HOCKEY", TypeSetting{FontFace::Sans, 30, 1, 6}, 330, 26);
    const Mask subtitle = renderText("TABLE HOCKEY", sub);
    TextStyle subStyle = solid(rgb(0xFFCC10));
    subStyle.outline = rgb(0x0B2456);
    subStyle.outlineWidth = 2;
    paintText(c, subtitle, 256 - subtitle.inkWidth() * 0.5f, 60 + title.inkHeight() + 18, subStyle);

    // Finland against Sweden.
    flag(c, 40, 462, 54, 34, rgb(0xF8F8F8), kFinBlue);
    flag(c, 418, 462, 54, 34, kSweBlue, kSweYellow);
    c.frame(40, 462, 94, 496, 1.5f, rgb(0x0B2456));
    c.frame(418, 462, 472, 496, 1.5f, rgb(0x0B2456));
    TypeSetting vs = fitText("FINLAND  -  SWEDEN", TypeSetting{FontFace::Sans, 22}, 300, 18);
    TextStyle vsStyle = solid(rgb(0x0B2456));
    paintTextIn(c, renderText("FINLAND  -  SWEDEN", vs), 100, 462, 412, 496, 1, vsStyle);
    return c;
}

// The arena behind the menus, 768x512; the menu picture covers (256..512, 128..384).
Canvas arenaPicture() {
    const int w = 768, h = 512;
    Canvas c(w, h, kNight);
    // Roof and upper stands.
    c.shade(0, 0, w, h, [&](float, float y) { return mix(rgb(0x050B1C), rgb(0x15284C), clamp01(y / 300)); });
    // Crowd: rows of small heads and shirts in both teams' colours.
    Rng rng(303);
    const Color shirts[6] = {rgb(0xF4F6FA), rgb(0x0A3A8C), rgb(0xFFCC10), rgb(0x0B5AA8), rgb(0xC8D0DC), rgb(0x8A1C24)};
    for (float y = 150; y < 318; y += 7) {
        const float fade = 0.45f + 0.55f * (y - 150) / 168;
        for (float x = 2; x < w; x += 7) {
            const float jx = x + rng.range(-1.5f, 1.5f), jy = y + rng.range(-1.5f, 1.5f);
            const Color shirt = shirts[rng.next() % 6];
            c.rect(jx - 2.6f, jy, jx + 2.6f, jy + 5, scaled(shirt, fade * 0.8f), 1.5f);
            c.circle(jx, jy - 1.5f, 1.9f, scaled(rgb(0xE8C0A0), fade * 0.8f));
        }
    }
    // A railing in front of the stands, then the boards with advertising panels.
    c.rect(0, 318, w, 322, rgb(0x8090A8));
    c.verticalGradient(0, 322, w, 350, rgb(0xF4F6F8), rgb(0xD0D8E0));
    const char* ads[6] = {"FROSTEL", "SUOMI", "SVERIGE", "FROSTEL", "ICE", "HOCKEY"};
    const Color adColour[6] = {rgb(0x1A3F7E), rgb(0x0A3A8C), rgb(0x0B5AA8), rgb(0xC8202A), rgb(0x1A3F7E), rgb(0x0B5AA8)};
    for (int i = 0; i < 6; ++i) {
        const float x0 = 8 + i * 128.0f;
        c.rect(x0, 325, x0 + 112, 347, adColour[i], 2);
        TypeSetting ts = fitText(ads[i], TypeSetting{FontFace::Sans, 16}, 100, 14);
        paintTextIn(c, renderText(ads[i], ts), x0, 325, x0 + 112, 347, 1, solid(rgb(0xFFFFFF)));
    }
    c.rect(0, 347, w, 352, rgb(0xFFCC10));
    // Ice running towards the viewer, with its lines in perspective.
    c.shade(0, 352, w, h, [&](float x, float y) {
        const float t = (y - 352) / 160.0f;
        const float glow = std::max(0.0f, 1.0f - std::hypot((x - 384) / 420.0f, (y - 420) / 120.0f));
        return mix(mix(rgb(0xA8C8E8), rgb(0xE4EEF8), t), rgb(0xFFFFFF), glow * 0.5f);
    });
    c.polygon({378, 352, 390, 352, 420, 512, 348, 512}, rgb(0xC8202A, 0.85f));
    c.polygon({140, 352, 150, 352, 20, 512, -10, 512}, rgb(0x1A3F9E, 0.8f));
    c.polygon({618, 352, 628, 352, 778, 512, 748, 512}, rgb(0x1A3F9E, 0.8f));
    c.paintShape(200, 380, 568, 512,
                 [&](float x, float y) { return (std::fabs(std::hypot((x - 384) / 180, (y - 450) / 55) - 1) - 0.012f) * 60; },
                 [&](float, float) { return rgb(0x1A3F9E, 0.8f); });

    // Light beams from the roof.
    for (int k = 0; k < 5; ++k) {
        const float topX = 80 + k * 152.0f, spread = 70;
        c.shade(0, 0, w, 352, [&](float x, float y) {
            const float t = y / 352;
            const float half = 8 + spread * t;
            const float centre = topX + (384 - topX) * 0.35f * t;
            const float a = clamp01(1 - std::fabs(x - centre) / half) * 0.10f * (1 - 0.5f * t);
            return rgb(0xCFE4FF, a);
        });
        c.circle(topX, 6, 7, rgb(0xFFFFF0));
    }
    // Team banners hanging from the roof, at the sides the menus leave free.
    flag(c, 40, 40, 120, 76, rgb(0xF8F8F8), kFinBlue);
    flag(c, 608, 40, 120, 76, kSweBlue, kSweYellow);
    c.frame(40, 40, 160, 116, 2, rgb(0x8EC2F4));
    c.frame(608, 40, 728, 116, 2, rgb(0x8EC2F4));
    TypeSetting ts = fitText("FROSTEL", TypeSetting{FontFace::Sans, 90}, 400, 84);
    const Mask title = renderText("FROSTEL", ts);
    TextStyle style = titleStyle(22, 22 + title.inkHeight());
    style.outlineWidth = 3;
    paintText(c, title, 384 - title.inkWidth() * 0.5f, 22, style);
    snow(c, 19, 90, 1.6f);
    return c;
}

// Two machines and the signal between them: shown while the other player has not answered.
Canvas waitingPicture() {
    Canvas c(128, 128);
    // The top rows stay see-through: the score panel ends just below them.
    c.verticalGradient(4, 10, 124, 122, rgb(0x1E3C70), rgb(0x102448), 9);
    c.frame(4, 10, 124, 122, 2, rgb(0x8EC2F4), 9);
    auto screen = [&](float x) {
        c.rect(x, 28, x + 30, 50, rgb(0xC8D8EC), 3);
        c.rect(x + 3, 31, x + 27, 47, rgb(0x3C78C8), 1.5f);
        c.rect(x + 12, 50, x + 18, 56, rgb(0xC8D8EC));
        c.rect(x + 6, 56, x + 24, 59, rgb(0xC8D8EC), 1);
    };
    screen(12);
    screen(86);
    for (int k = 0; k < 5; ++k) c.circle(48 + k * 8.0f, 40, 2.4f, k == 2 ? rgb(0xFFCC10) : rgb(0x8EC2F4));
    TypeSetting ts = fitText("WAITING FOR", TypeSetting{FontFace::Sans, 14}, 108, 14);
    TextStyle style = solid(rgb(0xF4F8FF));
    paintTextIn(c, renderText("WAITING FOR", ts), 4, 70, 124, 86, 1, style);
    paintTextIn(c, renderText("THE OTHER", ts), 4, 86, 124, 100, 1, style);
    paintTextIn(c, renderText("PLAYER", ts), 4, 100, 124, 116, 1, solid(rgb(0xFFCC10)));
    return c;
}

}  // namespace

void writeTitlePictures(Output& out) {
    out.jpeg("gfx\\menu01.jpg", introPicture(), 92);
    const Canvas arena = arenaPicture();
    const char* names[6] = {"gfx\\menu03a.jpg", "gfx\\menu03b.jpg", "gfx\\menu03c.jpg",
                            "gfx\\menu03d.jpg", "gfx\\menu03e.jpg", "gfx\\menu03f.jpg"};
    for (int i = 0; i < 6; ++i) out.jpeg(names[i], arena.crop((i % 3) * 256, (i / 3) * 256, 256, 256), 92);
    out.keyedBmp("gfx\\connind.bmp", waitingPicture());
}
