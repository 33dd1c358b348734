#pragma once
// The programs' icon as the bytes of an .ico file.
#include <cstdint>
#include <vector>

std::vector<uint8_t> iconFile();
