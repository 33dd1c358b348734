#include "assetgen.h"
void writeMenuPictures(Output&) {}
void writeTitlePictures(Output&) {}
void writeScorePictures(Output&) {}
void writeTeamPictures(Output&) {}
void writeRinkPictures(Output&) {}
void writeSounds(Output&) {}
void writeMusic(Output&) {}
