#pragma once
// What sets the levels apart, as it sets players apart: how late they see the puck, how
// fast their hand is, how true their aim and how far ahead they read the play.
#include "ai/computer_player.h"

struct LevelStyle {
    float reaction;      // seconds between seeing the puck and acting on it
    float handRate;      // steps a second, slide and turn alike (a person's best is 600)
    float aimSpread;     // radians either side of the chosen line
    float anticipation;  // seconds of puck motion read ahead
    float patience;      // seconds a shot is lined up before it is taken anyway
};

inline const LevelStyle& levelStyle(ComputerLevel level) {
    static const LevelStyle easy{0.30f, 300.0f, 0.22f, 0.0f, 0.5f};
    static const LevelStyle normal{0.16f, 450.0f, 0.10f, 0.25f, 0.9f};
    static const LevelStyle hard{0.06f, 600.0f, 0.03f, 0.6f, 1.4f};
    switch (level) {
        case ComputerLevel::Easy: return easy;
        case ComputerLevel::Normal: return normal;
        default: return hard;
    }
}
