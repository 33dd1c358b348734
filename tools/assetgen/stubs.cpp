#include "assetgen.h"
void writeSounds(Output&) {}
void writeMusic(Output&) {}
