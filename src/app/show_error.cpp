#include "app/show_error.h"

#include <cstdio>

namespace {
ErrorBox g_box = nullptr;
}

void setErrorBox(ErrorBox box) { g_box = box; }

bool showError(const std::string& text) {
    // stderr too, so a player without a display still learns why the program ended
    std::fprintf(stderr, "Error: %s\n", text.c_str());
    if (g_box) g_box("Error", text.c_str());
    return false;
}
