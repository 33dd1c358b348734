#pragma once
// Owns the four long-lived parts of the program and fixes the order of one frame.
#include "platform/window_handle.h"

class GraphicsDevice;
class InputDevices;
class FrameTimer;
class Game;

class Application {
public:
    Application();   // creates the parts; touches no device
    ~Application();  // graphics, input, timer, game; copes with a failed init
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Graphics, input, timer, game load; stops at the first failure.
    bool init(WindowHandle window);
    // One frame: tick, poll, update, render. False asks the program to end.
    bool frame(WindowHandle window);

    GraphicsDevice* graphics;
    InputDevices* input;
    FrameTimer* timer;
    Game* game;
};
