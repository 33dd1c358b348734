#include "input/key_buffer.h"
#include "sim/game.h"

// Placeholder until the screen machine lands: runs until Esc.
bool Game::update(float) { return !keyboard->isKeyDown(key::Escape); }
