#pragma once
// The computer players of one Game, seated by team; none where the level is off.
#include <cstdint>
#include <memory>

#include "ai/computer_player.h"
#include "rng.h"
#include "sim/game.h"

class Computers {
public:
    // teams: which teams of this game may get one (a network machine seats only its own).
    Computers(Game& game, const ComputerLevel levels[2], uint64_t matchSeed, const bool teams[2]) {
        for (int team = 0; team < 2; ++team) {
            if (!teams[team] || levels[team] == ComputerLevel::Off) continue;
            players_[team] = std::make_unique<ComputerPlayer>(
                team, levels[team], static_cast<uint32_t>(deriveSeed(matchSeed, 10 + team)));
            game.computers[team] = players_[team].get();
        }
    }

private:
    std::unique_ptr<ComputerPlayer> players_[2];
};
