#pragma once
// What sets the levels apart, as it sets players apart: how late they see the puck, how
// fast their hand is, how true their aim and how many ways of striking they weigh.
#include "ai/computer_player.h"

struct LevelStyle {
    float reaction;     // seconds between seeing the puck and acting on it
    float handRate;     // steps a second, slide and turn alike (a person's best is 600)
    float slideSpread;  // slide steps either side of the chosen place the figure may stand
    int breadth;        // strikes weighed before choosing one
    float fastest;      // puck speed, units a second, beyond which it is let go by
};

inline const LevelStyle& levelStyle(ComputerLevel level) {
    static const LevelStyle easy{0.30f, 300.0f, 1.4f, 16, 20.0f};
    static const LevelStyle normal{0.16f, 450.0f, 0.8f, 28, 45.0f};
    static const LevelStyle hard{0.06f, 600.0f, 0.0f, 48, 1000.0f};
    switch (level) {
        case ComputerLevel::Easy: return easy;
        case ComputerLevel::Normal: return normal;
        default: return hard;
    }
}
