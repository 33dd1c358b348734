#pragma once
// The real device the draw-path test runs on: OpenGL through SDL on Linux, Direct3D 9 on
// a Win32 window under Windows (Wine). One test source, one build per platform.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/render_device.h"
#include "platform/window_system.h"

struct DrawBackend {
    const char* name;
    // The window system of the programs; null, with `reason`, when it cannot start.
    WindowSystem* (*startWindows)(std::string* reason);
    RenderSystemFactory renderSystem;
    void (*setPresentPacing)(bool on);
    // The frame as drawn, rows top first, 0xFFRRGGBB.
    bool (*readBackBuffer)(RenderDevice* device, int* width, int* height, std::vector<uint32_t>* pixels);
    // What the window shows after present; null where the frame read is already that.
    bool (*readWindow)(RenderDevice* device, int* width, int* height, std::vector<uint32_t>* pixels);
    // Switches the program away from the screen (active false) and back, as Alt+Tab does;
    // null where the device is never lost.
    void (*switchFocus)(WindowHandle window, bool active);
    // The process's resident bytes and the count of its threads (Direct3D's worker among them);
    // null where not looked at.
    size_t (*residentBytes)();
    int (*threadCount)();
};

const DrawBackend& drawBackend();
