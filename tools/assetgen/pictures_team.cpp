// Team textures for the figures (one per rod and team) and the puck.
#include <string>

#include "assetgen.h"
#include "canvas.h"
#include "figure_layout.h"
#include "output.h"
#include "text.h"

using namespace figure;

namespace {

struct Team {
    const char* code;     // "fin", "swe"
    const char* letters;  // on the chest
    Color jersey, trim, trim2, pants, helmet, glove, number, numberEdge, sock, pad, padTrim;
};

const Team kFinland{"fin", "FIN", rgb(0xF4F6FA), rgb(0x0A3A8C), rgb(0x6F9BD8), rgb(0x14275A), rgb(0xF2F4F8),
                    rgb(0x0A3A8C), rgb(0x0A3A8C), rgb(0xFFFFFF), rgb(0xF4F6FA), rgb(0xF2F2F2), rgb(0x0A3A8C)};
const Team kSweden{"swe", "SWE", rgb(0xFFCC10), rgb(0x0B4FA0), rgb(0xFFFFFF), rgb(0x0B3C80), rgb(0x0B4FA0),
                   rgb(0x0B4FA0), rgb(0x0B4FA0), rgb(0xFFE680), rgb(0xFFCC10), rgb(0xFFCC10), rgb(0x0B4FA0)};

constexpr Color kSkin{0.93f, 0.76f, 0.62f, 1};

// Paints a region, f(s, t) with s, t in [0, 1] across and down the region.
template <class F>
void region(Canvas& c, const PixelRect& r, F f) {
    c.shade(r.x0, r.y0, r.x1, r.y1, [&](float x, float y) {
        return f((x - r.x0) / (r.x1 - r.x0), (y - r.y0) / (r.y1 - r.y0));
    });
}

// Soft fabric shading, so flat colours do not look painted on.
Color cloth(const Color& c, float x, float y, uint32_t seed) {
    const float n = fbm(x * 0.09f, y * 0.09f, seed, 3);
    return scaled(c, 0.93f + 0.12f * n);
}

void drawNumber(Canvas& c, const std::string& text, float cx, float cy, float height, const Team& team,
                float xScale) {
    TypeSetting ts;
    ts.pixelHeight = height * 1.35f;
    ts.xScale = xScale;
    const Mask m = renderText(text, ts);
    TextStyle style = solid(team.number);
    style.outline = team.numberEdge;
    style.outlineWidth = std::max(1.0f, height * 0.08f);
    paintText(c, m, cx - m.inkWidth() * 0.5f, cy - m.inkHeight() * 0.5f, style);
}

Canvas figureTexture(const Team& t, int number, bool goalie) {
    Canvas c(kTextureSize, kTextureSize, rgb(0x808080));
    const uint32_t seed = (t.code[0] == 'f' ? 100u : 200u) + static_cast<uint32_t>(number);

    // Jersey: shoulder yoke in the trim colour, two hem stripes, number front and back.
    region(c, kJersey, [&](float s, float tt) {
        Color base = t.jersey;
        if (tt < 0.3f) base = t.trim;
        if (tt >= 0.3f && tt < 0.34f) base = t.trim2;
        if ((tt > 0.8f && tt < 0.85f) || (tt > 0.89f && tt < 0.94f)) base = t.trim;
        if (tt >= 0.85f && tt <= 0.89f) base = t.trim2;
        (void)s;
        return cloth(base, s * 128, tt * 80, seed);
    });
    const std::string num = std::to_string(number);
    const float jx0 = static_cast<float>(kJersey.x0), jy0 = static_cast<float>(kJersey.y0);
    const float jw = static_cast<float>(kJersey.x1 - kJersey.x0), jh = static_cast<float>(kJersey.y1 - kJersey.y0);
    drawNumber(c, num, jx0 + jw * kBackU, jy0 + jh * 0.57f, jh * 0.34f, t, 0.62f);
    drawNumber(c, num, jx0 + jw * kFrontU, jy0 + jh * 0.64f, jh * 0.2f, t, 0.62f);
    {
        TypeSetting ts;
        ts.pixelHeight = jh * 0.13f;
        ts.xScale = 0.7f;
        const Mask m = renderText(t.letters, ts);
        paintText(c, m, jx0 + jw * kFrontU - m.inkWidth() * 0.5f, jy0 + jh * 0.4f, solid(t.trim));
    }

    // Sleeves: yoke colour at the shoulder, elbow stripes, cuff.
    region(c, kSleeve, [&](float s, float tt) {
        Color base = t.jersey;
        if (tt < 0.18f) base = t.trim;
        if ((tt > 0.55f && tt < 0.62f) || (tt > 0.7f && tt < 0.77f)) base = t.trim;
        if (tt >= 0.62f && tt <= 0.7f) base = t.trim2;
        if (tt > 0.9f) base = t.trim;
        return cloth(base, s * 64, tt * 64, seed + 1);
    });
    region(c, kGlove, [&](float s, float tt) {
        Color base = t.glove;
        if (tt > 0.35f && tt < 0.5f) base = mix(t.glove, rgb(0xFFFFFF), 0.7f);
        return cloth(base, s * 64, tt * 32, seed + 2);
    });

    // Pants with a belt and side stripes.
    region(c, kPants, [&](float s, float tt) {
        Color base = t.pants;
        const float side = std::min(std::fabs(s - 0.0f), std::min(std::fabs(s - 0.5f), std::fabs(s - 1.0f)));
        if (side < 0.035f) base = t.trim2;
        if (tt < 0.12f) base = scaled(t.pants, 0.7f);
        return cloth(base, s * 128, tt * 32, seed + 3);
    });

    // Legs: the pants reach the knee, then socks with stripes, the boot at the ankle.
    region(c, kLeg, [&](float s, float tt) {
        Color base = t.sock;
        if (tt < 0.3f) base = t.pants;
        if ((tt > 0.45f && tt < 0.52f) || (tt > 0.6f && tt < 0.67f)) base = t.trim;
        if (tt > 0.88f) base = rgb(0x3A3A44);
        return cloth(base, s * 64, tt * 64, seed + 4);
    });
    region(c, kSkate, [&](float s, float tt) {
        Color base = rgb(0x34343C);
        if (tt > 0.75f) base = rgb(0xC8CDD6);  // steel
        if (tt > 0.2f && tt < 0.3f) base = t.trim;
        return cloth(base, s * 64, tt * 32, seed + 5);
    });

    // Head: helmet in the team colour; a face at the front (a mask for the goalie).
    region(c, kHead, [&](float s, float tt) {
        const float ds = std::fabs(s - kFrontU);
        Color base = t.helmet;
        const bool face = tt > 0.42f && tt < kHeadChinV + 0.02f && ds < 0.16f;
        if (!goalie) {
            if (face) base = kSkin;
            if (tt > kHeadChinV) base = kSkin;  // neck
            // Helmet stripe over the top.
            if (tt < 0.42f && (ds < 0.025f || std::fabs(s - kBackU) < 0.025f)) base = t.trim;
        } else {
            if (tt > kHeadChinV) base = kSkin;
            if (face) base = rgb(0xF0F0F0);
        }
        if (tt > 0.38f && tt < 0.42f) base = scaled(base, 0.85f);
        return cloth(base, s * 128, tt * 64, seed + 6);
    });
    {
        // Eyes and mouth (skater) or the mask's cage and eye holes (goalie).
        const float fx = kHead.x0 + (kHead.x1 - kHead.x0) * kFrontU;
        const float hy = static_cast<float>(kHead.y0), hh = static_cast<float>(kHead.y1 - kHead.y0);
        if (!goalie) {
            c.circle(fx - 5.5f, hy + hh * 0.55f, 2.0f, rgb(0x2A2030));
            c.circle(fx + 5.5f, hy + hh * 0.55f, 2.0f, rgb(0x2A2030));
            c.line(fx - 4, hy + hh * 0.72f, fx + 4, hy + hh * 0.72f, 1.6f, rgb(0x8A4A40));
            c.rect(fx - 16, hy + hh * 0.4f, fx + 16, hy + hh * 0.46f, t.trim);  // visor rim
        } else {
            c.rect(fx - 13, hy + hh * 0.5f, fx + 13, hy + hh * 0.62f, rgb(0x303038), 2);
            for (int k = -3; k <= 3; ++k)
                c.line(fx + k * 3.5f, hy + hh * 0.48f, fx + k * 3.5f, hy + hh * 0.84f, 1.1f, rgb(0xB8BCC6));
            c.line(fx - 14, hy + hh * 0.7f, fx + 14, hy + hh * 0.7f, 1.1f, rgb(0xB8BCC6));
            // Team colours painted on the sides of the mask.
            c.rect(fx - 20, hy + hh * 0.46f, fx - 15, hy + hh * 0.8f, t.trim, 1);
            c.rect(fx + 15, hy + hh * 0.46f, fx + 20, hy + hh * 0.8f, t.trim, 1);
        }
    }

    // Base: the disc the rod turns, in the trim colour with a light rim.
    region(c, kBase, [&](float s, float tt) {
        Color base = t.trim;
        if (tt > 0.42f && tt < 0.5f) base = t.trim2;
        if (tt > 0.55f && tt < 0.7f) base = mix(t.jersey, rgb(0xFFFFFF), 0.3f);
        if (tt >= 0.7f) base = scaled(t.trim, 0.8f);
        return cloth(base, s * 128, tt * 32, seed + 7);
    });

    // Stick: wooden shaft with black tape at the heel and white tape at the butt.
    region(c, kShaft, [&](float s, float tt) {
        Color base = mix(rgb(0xC89A5A), rgb(0xE0BC80), 0.5f + 0.5f * std::sin(s * 40.0f + tt * 6.0f));
        if (tt < 0.08f) base = rgb(0x2E2E36);
        if (tt > 0.9f) base = rgb(0xF0F0F0);
        return base;
    });
    region(c, kBlade, [&](float s, float tt) {
        Color base = rgb(0x34343E);
        if (std::fmod(s * 10.0f + tt * 2.0f, 1.0f) < 0.12f) base = rgb(0x52525E);  // tape wraps
        return base;
    });

    // Goalie gear: pads with knee rolls, blocker and glove.
    region(c, kPad, [&](float s, float tt) {
        Color base = t.pad;
        if ((tt > 0.28f && tt < 0.36f) || (tt > 0.6f && tt < 0.68f)) base = t.padTrim;
        if (std::fabs(s - kFrontU) < 0.04f) base = t.padTrim;
        if (tt > 0.93f) base = scaled(t.pad, 0.75f);
        return cloth(base, s * 128, tt * 80, seed + 8);
    });
    region(c, kGear, [&](float s, float tt) {
        Color base = t.glove;
        if (s > 0.15f && s < 0.85f && tt > 0.15f && tt < 0.85f) base = t.pad;
        if (std::fabs(tt - 0.5f) < 0.06f) base = t.trim;
        return cloth(base, s * 64, tt * 64, seed + 9);
    });
    region(c, kSpare, [&](float, float) { return t.jersey; });
    return c;
}

Canvas puckTexture() {
    // Top of the puck fills the picture's inscribed circle; the corners are the rubber rim.
    const int n = 128;
    Canvas c(n, n, rgb(0x1C1C22));
    c.shade(0, 0, n, n, [&](float x, float y) {
        const float g = fbm(x * 0.2f, y * 0.2f, 77, 3);
        return scaled(rgb(0x24242C), 0.85f + 0.3f * g);
    });
    c.ring(64, 64, 58, 1.5f, rgb(0x50505C));
    c.ring(64, 64, 44, 5.0f, rgb(0x2F6FC0));
    // A snowflake in the middle.
    for (int k = 0; k < 6; ++k) {
        const float a = k * 1.0471976f;
        const float ex = 64 + 30 * std::cos(a), ey = 64 + 30 * std::sin(a);
        c.line(64, 64, ex, ey, 3.0f, rgb(0xE8F0FF));
        for (int side = -1; side <= 1; side += 2) {
            const float bx = 64 + 18 * std::cos(a), by = 64 + 18 * std::sin(a);
            const float b2 = a + side * 0.7f;
            c.line(bx, by, bx + 9 * std::cos(b2), by + 9 * std::sin(b2), 2.2f, rgb(0xE8F0FF));
        }
    }
    c.circle(64, 64, 5, rgb(0x2F6FC0));
    return c;
}

}  // namespace

void writeTeamPictures(Output& out) {
    for (const Team* t : {&kFinland, &kSweden}) {
        out.jpeg(std::string("gfx\\goalie_") + t->code + ".jpg", figureTexture(*t, 1, true), 90);
        for (int rod = 2; rod <= 6; ++rod)
            out.jpeg(std::string("gfx\\player_") + t->code + "_" + std::to_string(rod) + ".jpg",
                     figureTexture(*t, rod, false), 90);
    }
    out.jpeg("gfx\\puck.jpg", puckTexture(), 90);
}
