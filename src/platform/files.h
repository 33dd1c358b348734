#pragma once
// Game file names use backslashes ("gfx\menu01.jpg"); the host may want slashes.
#include <string>

std::string hostPath(const char* gameName);
