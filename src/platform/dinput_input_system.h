#pragma once
// The input system on DirectInput 8: the system keyboard and mouse of this program's module.
#include "platform/input_system.h"

// Null when DirectInput8Create fails.
InputSystem* createDirectInputSystem();
