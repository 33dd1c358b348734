#include "platform/input_system.h"

namespace {
InputSystemFactory g_factory = nullptr;
}

void setInputSystemFactory(InputSystemFactory factory) { g_factory = factory; }

InputSystem* createInputSystem() { return g_factory ? g_factory() : nullptr; }
