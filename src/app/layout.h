#pragma once
// The one difference between the two programs: the screen they are laid out for.
// Each program links exactly one definition of layout().

struct Layout {
    int width, height;            // back buffer
    bool windowIsScreenSized;     // 1024x768: window as large as the screen
    int shiftX, shiftY;           // menu layout offset from the 1024x768 positions
    int pointerStartX, pointerStartY;
    int pointerMaxX, pointerMaxY; // inclusive
    int splashX, splashY, splashSize;
};

const Layout& layout();
