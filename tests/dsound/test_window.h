#pragma once
#include "platform/window_handle.h"

// A hidden window for SetCooperativeLevel, made on first use.
WindowHandle testWindow();
