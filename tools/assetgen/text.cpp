#include "text.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

#include <stb/stb_truetype.h>

namespace {

struct LoadedFont {
    std::vector<unsigned char> bytes;
    stbtt_fontinfo info{};
};

LoadedFont gFonts[3];

const char* const kFontFiles[3] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf",
};

}  // namespace

bool loadFonts(std::string* error) {
    for (int i = 0; i < 3; ++i) {
        if (!gFonts[i].bytes.empty()) continue;
        std::ifstream in(kFontFiles[i], std::ios::binary);
        if (!in) {
            *error = std::string("cannot read font ") + kFontFiles[i];
            return false;
        }
        gFonts[i].bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!stbtt_InitFont(&gFonts[i].info, gFonts[i].bytes.data(),
                            stbtt_GetFontOffsetForIndex(gFonts[i].bytes.data(), 0))) {
            *error = std::string("not a usable font: ") + kFontFiles[i];
            gFonts[i].bytes.clear();
            return false;
        }
    }
    return true;
}

void Mask::findInk() {
    inkX0 = w, inkY0 = h, inkX1 = 0, inkY1 = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (a[y * w + x] > 0.02f) {
                inkX0 = std::min(inkX0, x), inkY0 = std::min(inkY0, y);
                inkX1 = std::max(inkX1, x + 1), inkY1 = std::max(inkY1, y + 1);
            }
    if (inkX1 <= inkX0) inkX0 = inkY0 = inkX1 = inkY1 = 0;
}

Mask Mask::dilated(float radius) const {
    Mask out = *this;
    const int r = static_cast<int>(std::ceil(radius)) + 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float best = 0;
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    const float v = at(x + dx, y + dy);
                    if (v <= best) continue;
                    const float k = clamp01(radius + 0.5f - std::sqrt(float(dx * dx + dy * dy)));
                    best = std::max(best, v * k);
                }
            out.a[y * w + x] = best;
        }
    return out;
}

Mask Mask::blurred(int radius) const {
    Mask out = *this;
    if (radius <= 0) return out;
    std::vector<float> tmp(a.size());
    const float norm = 1.0f / (2 * radius + 1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float s = 0;
            for (int d = -radius; d <= radius; ++d) s += at(x + d, y);
            tmp[y * w + x] = s * norm;
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float s = 0;
            for (int d = -radius; d <= radius; ++d) {
                const int yy = y + d;
                if (yy >= 0 && yy < h) s += tmp[yy * w + x];
            }
            out.a[y * w + x] = s * norm;
        }
    return out;
}

Mask renderText(const std::string& text, const TypeSetting& ts) {
    const stbtt_fontinfo& f = gFonts[static_cast<int>(ts.face)].info;
    const float scaleY = stbtt_ScaleForPixelHeight(&f, ts.pixelHeight);
    const float scaleX = scaleY * ts.xScale;
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&f, &ascent, &descent, &gap);

    // Pen positions first, to size the mask.
    std::vector<float> penX;
    float pen = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const int cp = static_cast<unsigned char>(text[i]);
        penX.push_back(pen);
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(&f, cp, &advance, &bearing);
        pen += advance * scaleX + ts.tracking;
        if (i + 1 < text.size())
            pen += scaleX * stbtt_GetCodepointKernAdvance(&f, cp, static_cast<unsigned char>(text[i + 1]));
    }
    const int m = ts.margin;
    const float baseline = m + ascent * scaleY;
    Mask out;
    out.w = static_cast<int>(std::ceil(pen)) + 2 * m + 2;
    out.h = static_cast<int>(std::ceil((ascent - descent) * scaleY)) + 2 * m + 2;
    out.a.assign(static_cast<size_t>(out.w) * out.h, 0.0f);

    for (size_t i = 0; i < text.size(); ++i) {
        const int cp = static_cast<unsigned char>(text[i]);
        const float x = m + penX[i];
        const float shiftX = x - std::floor(x), shiftY = baseline - std::floor(baseline);
        int x0, y0, x1, y1;
        stbtt_GetCodepointBitmapBoxSubpixel(&f, cp, scaleX, scaleY, shiftX, shiftY, &x0, &y0, &x1, &y1);
        const int gw = x1 - x0, gh = y1 - y0;
        if (gw <= 0 || gh <= 0) continue;
        std::vector<unsigned char> glyph(static_cast<size_t>(gw) * gh);
        stbtt_MakeCodepointBitmapSubpixel(&f, glyph.data(), gw, gh, gw, scaleX, scaleY, shiftX, shiftY, cp);
        const int ox = static_cast<int>(std::floor(x)) + x0, oy = static_cast<int>(std::floor(baseline)) + y0;
        for (int y = 0; y < gh; ++y)
            for (int xx = 0; xx < gw; ++xx) {
                const int tx = ox + xx, ty = oy + y;
                if (tx < 0 || ty < 0 || tx >= out.w || ty >= out.h) continue;
                float& dst = out.a[ty * out.w + tx];
                dst = std::min(1.0f, dst + glyph[y * gw + xx] / 255.0f);
            }
    }
    out.findInk();
    return out;
}

TextStyle solid(const Color& c) {
    TextStyle s;
    s.fill = [c](float, float) { return c; };
    return s;
}

void paintText(Canvas& canvas, const Mask& mask, float x, float y, const TextStyle& style) {
    // Whole-pixel placement keeps the glyph edges as the rasteriser made them.
    const int ox = static_cast<int>(std::lround(x)) - mask.inkX0;
    const int oy = static_cast<int>(std::lround(y)) - mask.inkY0;
    auto paintMask = [&](const Mask& m, int dx, int dy, const std::function<Color(float, float)>& colour) {
        for (int j = 0; j < m.h; ++j)
            for (int i = 0; i < m.w; ++i) {
                const float k = m.a[j * m.w + i];
                const int tx = ox + i + dx, ty = oy + j + dy;
                if (k <= 0 || tx < 0 || ty < 0 || tx >= canvas.width() || ty >= canvas.height()) continue;
                canvas.blend(tx, ty, colour(tx + 0.5f, ty + 0.5f), k);
            }
    };
    const bool hasOutline = style.outline.a > 0 && style.outlineWidth > 0;
    if (style.shadow.a > 0) {
        const Mask base = hasOutline ? mask.dilated(style.outlineWidth) : mask;
        const Color sc = style.shadow;
        paintMask(base.blurred(style.shadowBlur), style.shadowDx, style.shadowDy,
                  [sc](float, float) { return sc; });
    }
    if (hasOutline) {
        const Color oc = style.outline;
        paintMask(mask.dilated(style.outlineWidth), 0, 0, [oc](float, float) { return oc; });
    }
    paintMask(mask, 0, 0, style.fill);
}

void paintTextIn(Canvas& canvas, const Mask& mask, float x0, float y0, float x1, float y1, int align,
                 const TextStyle& style, float padding) {
    float x = x0 + padding;
    if (align == 1) x = (x0 + x1 - mask.inkWidth()) * 0.5f;
    if (align == 2) x = x1 - padding - mask.inkWidth();
    const float y = (y0 + y1 - mask.inkHeight()) * 0.5f;
    paintText(canvas, mask, x, y, style);
}

TypeSetting fitText(const std::string& text, TypeSetting ts, float w, float h) {
    while (ts.pixelHeight > 6) {
        const Mask m = renderText(text, ts);
        if (m.inkWidth() <= w && m.inkHeight() <= h) break;
        ts.pixelHeight -= 0.5f;
    }
    return ts;
}
