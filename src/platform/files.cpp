#include "platform/files.h"

std::string hostPath(const char* gameName) {
    std::string path = gameName ? gameName : "";
#ifndef _WIN32
    for (char& c : path)
        if (c == '\\') c = '/';
#endif
    return path;
}
