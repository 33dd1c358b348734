#include "input/mouse_state.h"

MouseState& MouseState::instance() {
    static MouseState* state = new MouseState();  // never destroyed
    return *state;
}

void MouseState::moveX(int d) {
    x += d;
    deltaX = d;
    clamp();
}

void MouseState::moveY(int d) {
    y += d;
    deltaY = d;
    clamp();
}

void MouseState::clamp() {
    if (x < left) x = left;
    if (x > right - 1) x = right - 1;
    if (y < top) y = top;
    if (y > bottom - 1) y = bottom - 1;
}
