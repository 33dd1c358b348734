#pragma once
// Text set with a TrueType font into coverage masks, and painted onto canvases.
#include <functional>
#include <string>
#include <vector>

#include "canvas.h"

// Coverage in [0, 1] with a margin around the ink.
struct Mask {
    int w = 0, h = 0;
    std::vector<float> a;
    // Tight ink box inside the mask.
    int inkX0 = 0, inkY0 = 0, inkX1 = 0, inkY1 = 0;

    float at(int x, int y) const { return (x < 0 || y < 0 || x >= w || y >= h) ? 0.0f : a[y * w + x]; }
    int inkWidth() const { return inkX1 - inkX0; }
    int inkHeight() const { return inkY1 - inkY0; }
    Mask dilated(float radius) const;
    Mask blurred(int radius) const;
    void findInk();
};

enum class FontFace { Sans, Mono, Serif };

// The fonts are read from the system's DejaVu files once; false when a file is missing.
bool loadFonts(std::string* error);

struct TypeSetting {
    FontFace face = FontFace::Sans;
    float pixelHeight = 16;  // the font's ascent-to-descent height
    float xScale = 1;        // horizontal squeeze or stretch
    float tracking = 0;      // extra pixels between letters
    int margin = 4;
};

Mask renderText(const std::string& text, const TypeSetting& ts);

struct TextStyle {
    std::function<Color(float x, float y)> fill;  // colour at canvas pixel centre
    Color outline{0, 0, 0, 0};                    // alpha 0: none
    float outlineWidth = 0;
    Color shadow{0, 0, 0, 0};  // alpha 0: none
    int shadowDx = 2, shadowDy = 2, shadowBlur = 1;
};

TextStyle solid(const Color& c);

// Paints the mask with its ink box's top-left at (x, y).
void paintText(Canvas& canvas, const Mask& mask, float x, float y, const TextStyle& style);

// The ink box placed inside a rectangle: align 0 left, 1 centre, 2 right; always centred vertically.
void paintTextIn(Canvas& canvas, const Mask& mask, float x0, float y0, float x1, float y1, int align,
                 const TextStyle& style, float padding = 0);

// Largest pixel height (down to a floor) whose ink fits in w x h.
TypeSetting fitText(const std::string& text, TypeSetting ts, float w, float h);
