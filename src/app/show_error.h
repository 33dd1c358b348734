#pragma once
// The one way failures reach the player: a modal box titled "Error", and stderr.
#include <string>

bool showError(const std::string& text);  // always false

// Where the box goes. The program installs the platform message box; tests install a recorder.
using ErrorBox = void (*)(const char* caption, const char* text);
void setErrorBox(ErrorBox box);
