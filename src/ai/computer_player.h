#pragma once
// A computer player. It plays by a person's rules: it reads the puck and the figures as
// drawn, and moves only its own team's figures through their targets, one skater at a
// time plus the goalie, no faster than the mouse steering could.
#include <cstdint>

class Game;

enum class ComputerLevel : int { Off = 0, Easy = 1, Normal = 2, Hard = 3 };

// The next level in the in-game cycle: off, easy, normal, hard, off.
ComputerLevel nextComputerLevel(ComputerLevel level);
const char* computerLevelName(ComputerLevel level);  // "off", "easy", "normal", "hard"

class ComputerPlayer {
public:
    ComputerPlayer(int team, ComputerLevel level, uint32_t seed);

    int team() const { return team_; }
    ComputerLevel level() const { return level_; }

    // One frame: sets targetSlide and targetAngle of the own team's figures (and their
    // slide and angle deltas). Deterministic for a given seed and sequence of dt.
    void steer(Game& game, float dt);

private:
    int team_;
    ComputerLevel level_;
    uint32_t rng_;
};
