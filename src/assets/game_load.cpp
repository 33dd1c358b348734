#include "sim/game.h"

// Placeholder until asset loading lands.
bool Game::load(WindowHandle) { return true; }
void Game::onDeviceReset() {}
