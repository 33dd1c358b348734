#pragma once
// The programs' icon as the bytes of an .ico file, or of one PNG.
#include <cstdint>
#include <string>
#include <vector>

std::vector<uint8_t> iconFile();
// SIZE x SIZE; a non-empty badge text (which needs loadFonts) is set in the lower right
// corner. Empty when the picture cannot be encoded.
std::vector<uint8_t> iconPng(int size, const std::string& badge);
