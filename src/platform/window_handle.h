#pragma once
// Opaque handle of the main window; only the platform layer looks inside.
using WindowHandle = void*;
