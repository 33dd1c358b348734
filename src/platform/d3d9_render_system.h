#pragma once
// The Direct3D 9 render system of the Windows programs: thin calls on IDirect3D9 and
// IDirect3DDevice9. The window handle given to createDevice is the HWND of the main window,
// the device's focus window. Buffers and textures are made in the pool asked for (the game
// asks for the managed one), so they survive a reset. Locked texture levels hold texels in the
// format's own layout (platform/pixel_format.h). One departure from plain calls: Direct3D 9
// puts pixel centres on whole coordinates, so the device hands Direct3D every projection
// shifted by half a pixel; then texels land on pixels as they do on the OpenGL device.
// A lost device skips clears and draws until it is reset. Deleting the device releases the
// buffers and textures it made (they stay, empty), so Direct3D destroys it there and then.
#include <cstdint>
#include <vector>

#include "platform/render_device.h"

// Null when Direct3DCreate9 fails.
RenderSystem* createD3d9RenderSystem();

// Present waits for the display's refresh, and where the driver does not (Wine on a display
// without vertical retrace) the device waits out the rest of the interval itself, so the game
// never spins. Benchmarks turn that off (and devices made then present immediately); the game
// never does. On by default.
void setD3d9PresentPacing(bool on);

// Read-back for pixel tests, rows top first, each pixel 0xFFRRGGBB: the frame as drawn so far,
// or after present the frame presented. A discarded back buffer holds nothing defined after
// present, so the first call makes the device copy each frame out before presenting it (a
// read-back per frame: tests only); read once before drawing the frames to be checked.
// False for a device that is not a Direct3D 9 one.
bool readD3d9BackBuffer(RenderDevice* device, int* width, int* height, std::vector<uint32_t>* pixels);

// Tests only: tells the focus window that the program was switched away from (active false)
// or back to, as Alt+Tab does; a full-screen device is lost, then wants a reset.
void switchD3d9Focus(WindowHandle window, bool active);
