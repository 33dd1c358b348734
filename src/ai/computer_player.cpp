// Placeholder: stands still until the real player lands.
#include "ai/computer_player.h"

#include "sim/game.h"

ComputerLevel nextComputerLevel(ComputerLevel level) {
    return static_cast<ComputerLevel>((static_cast<int>(level) + 1) % 4);
}

const char* computerLevelName(ComputerLevel level) {
    switch (level) {
        case ComputerLevel::Easy: return "easy";
        case ComputerLevel::Normal: return "normal";
        case ComputerLevel::Hard: return "hard";
        default: return "off";
    }
}

ComputerPlayer::ComputerPlayer(int team, ComputerLevel level, uint32_t seed) : team_(team), level_(level), rng_(seed) {}

void ComputerPlayer::steer(Game& game, float) {
    for (int i = 6 * team_; i < 6 * team_ + 6; ++i) {
        game.slideDelta[i] = 0;
        game.angleDelta[i] = 0;
    }
}
