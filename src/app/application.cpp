#include "app/application.h"

#include "app/frame_timer.h"
#include "graphics/graphics_device.h"
#include "input/input_devices.h"
#include "sim/game.h"

namespace {
constexpr float kMaxStep = 0.1f;
}

Application::Application()
    : graphics(new GraphicsDevice()), input(new InputDevices()), timer(new FrameTimer()), game(new Game()) {}

Application::~Application() {
    delete graphics;
    delete input;
    delete timer;
    delete game;
}

bool Application::init(WindowHandle window) {
    // Both builds pass 1024x768; the 640x480 device picks its own size.
    if (!graphics->init(window, 1024, 768)) return false;
    if (!input->init(window)) return false;
    // Started before the load, so the first frame's step covers it and is cut to the limit.
    timer->init();
    return game->load(window);
}

bool Application::frame(WindowHandle) {
    float dt = timer->tick(kMaxStep);
    input->pollKeyboard();
    input->pollMouse();
    if (!game->update(dt)) return false;  // ending: nothing more is drawn
    if (graphics->renderScene()) game->onDeviceReset();
    return true;
}
