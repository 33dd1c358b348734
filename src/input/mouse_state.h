#pragma once
#include <cstdint>

// Process-wide: pointer position kept inside bounds, raw movement of the last poll, buttons.
class MouseState {
public:
    static MouseState& instance();

    void moveX(int d);
    void moveY(int d);

    int x = 0, y = 0;
    int deltaX = 0, deltaY = 0;
    int left = 0, top = 0, right = 1024, bottom = 768;
    uint8_t leftButton = 0, rightButton = 0;

private:
    void clamp();
};
