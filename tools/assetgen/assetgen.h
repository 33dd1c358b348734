#pragma once
// The generator's parts; each writes its files through the Output.
class Output;

void writeMeshes(Output& out);
void writeMenuPictures(Output& out);    // menus, font, pointer, marker
void writeTitlePictures(Output& out);   // intro, background tiles, connection indicator
void writeScorePictures(Output& out);   // score panel and marker
void writeTeamPictures(Output& out);    // figure textures and the puck
void writeRinkPictures(Output& out);    // rink and goal
void writeSounds(Output& out);
void writeMusic(Output& out);
