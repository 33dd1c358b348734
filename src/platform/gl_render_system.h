#pragma once
// The OpenGL render system of the programs.
//
// The window handle given to createDevice is the SDL_Window* of the main window, created with
// SDL_WINDOW_OPENGL. The device draws into an off-screen back buffer of exactly the size and
// formats in PresentParams (a framebuffer object) and, on present, scales it letterboxed into
// whatever the window's drawable is. The window's own visual therefore never has to match the
// chosen colour and depth formats, and nothing has to be set before the window is created.
//
// How the format checks and device creation map onto OpenGL:
// - checkDeviceType and checkDepthStencilFormat try, on a hidden probe window with a context
//   (one per visual, kept until createDevice), to build a framebuffer with those formats; only a complete framebuffer with at least
//   the asked-for bits passes. There is no 15+1 depth-stencil format in GL; D15S1 is served by
//   the packed 24+8 format when the driver has it.
// - createDevice with hardware vertex processing first requires an accelerated visual
//   (SDL_GL_ACCELERATED_VISUAL 1) on a probe window; software vertex processing accepts any
//   renderer. Both then create the context on the main window.
// - A device made with PresentParams::windowed false puts the window full-screen on the desktop.
#include <cstdint>
#include <vector>

#include "platform/render_device.h"

// Null when SDL's video subsystem is not running or no OpenGL library can be loaded.
RenderSystem* createGlRenderSystem();

// Present waits out the display's refresh interval where vsync does not (Xvfb has none), so the
// game never spins. Benchmarks turn that off; the game never does. On by default.
void setPresentPacing(bool on);
// Benchmarks only: every triangle is culled after set-up, so a frame costs all but the
// rasterising and shading. Takes effect with the next change of render states. Off by default.
void setCullEverything(bool on);

// Read-back for pixel tests, rows top first, each pixel 0xFFRRGGBB. False for a device that is
// not an OpenGL one.
// The back buffer as drawn so far (between clear and present).
bool readGlBackBuffer(RenderDevice* device, int* width, int* height, std::vector<uint32_t>* pixels);
// The window's drawable as present would show it (letterboxed), without swapping.
bool readGlWindow(RenderDevice* device, int* width, int* height, std::vector<uint32_t>* pixels);
