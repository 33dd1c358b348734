// The computer player's frame: see the puck a reaction time late, weigh strikes on a copy of
// the rink, stand the chosen figure ready at a hand's pace, swing, and watch the puck go.
#include "ai/computer_player.h"

#include <cmath>
#include <cstdlib>

#include "ai/approach.h"
#include "ai/level_style.h"
#include "sim/game.h"

namespace {

// Puck steps the search may take in one frame (a few microseconds each): as many as keep a
// frame within a couple of milliseconds at 60 frames a second, a few more in longer frames.
constexpr float kStepsPerSecond = 30000.0f;
constexpr int kFewestSteps = 500, kMostSteps = 1500;
constexpr float kWorthIt = -60.0f;     // a strike valued below this is not made
constexpr float kLastResort = -79.5f;  // unless the puck would lie for good: any that moves it
constexpr int kPatience = 10;          // searches in vain on a resting puck before that holds too
constexpr float kLookAgain = 0.15f;    // seconds before a fresh search when none was worth it
constexpr float kLate = 0.03f;         // seconds a timed swing may start late
constexpr float kMoved = 1.0f;         // units a resting puck may have moved since the search
constexpr float kLongestWay = 1.6f;    // seconds on the way to a resting puck before giving up
constexpr float kStuck = 0.4f;         // seconds without progress before giving a place up
constexpr float kLongestWatch = 3.0f;  // seconds a shot on goal is left to run at most
constexpr float kShortWatch = 0.5f;    // and any other
constexpr float kOthersStill = 3.0f;   // seconds without a move before the other team counts as still
constexpr float kOthersGone = 60.0f;   // and before it counts as one that stands still for good
constexpr float kStruck = 4.0f;        // units a second of fresh speed: someone else struck it
constexpr float kSwingSeen = 0.1f;     // seconds after a swing before its push is all seen

int clampInt(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

}  // namespace

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

ComputerPlayer::ComputerPlayer(int team, ComputerLevel level, uint32_t seed)
    : team_(team == 1 ? 1 : 0), level_(level), rng_(seed ? seed : 0x9e3779b9u) {}

float ComputerPlayer::unitNoise() {
    // xorshift32: the same seed gives the same match. -1..1.
    rng_ ^= rng_ << 13;
    rng_ ^= rng_ >> 17;
    rng_ ^= rng_ << 5;
    return 2.0f * static_cast<float>(rng_ >> 8) * (1.0f / 16777216.0f) - 1.0f;
}

PuckState ComputerPlayer::perceive(const Game& game, float& age) {
    const LevelStyle& style = levelStyle(level_);
    PuckState actual{{game.puckPos[0], game.puckPos[1]}, {game.puckVel[0], game.puckVel[1]}};
    // Across the network the other machine may run the puck: its motion is read from the
    // positions that arrive, as a person reads it from the screen.
    const bool network = game.flow.matchMode == Create || game.flow.matchMode == Join;
    if (network && game.puckOwner != team_ + 1) actual = remote_.read(now_, actual.pos);
    else remote_.reset();
    // During a goal pause the puck is as good as back on the centre spot.
    if (game.goalPause > 0.0f) actual = PuckState{{0.0f, 0.0f}, {0.0f, 0.0f}};
    sight_.see(now_, actual);
    return sight_.asOf(now_, style.reaction, age);
}

void ComputerPlayer::steer(Game& game, float dt) {
    if (level_ == ComputerLevel::Off) return;
    if (!(dt > 0.0f)) dt = 0.0f;
    const int first = 6 * team_;
    for (int i = first; i < first + 6; ++i) {
        game.slideDelta[i] = 0;
        game.angleDelta[i] = 0;
        game.targetSlide[i] = game.slide[i];
        game.targetAngle[i] = game.angle[i];
    }
    now_ += dt;
    // Whether the other team plays or keeps still: a team that keeps still is tried as it stands.
    const int other = 6 * (1 - team_);
    for (int i = 0; i < 6; ++i) {
        const bool moved = otherPoses_[2 * i] != game.slide[other + i] || otherPoses_[2 * i + 1] != game.angle[other + i];
        if (moved && now_ > dt) otherMovedAt_ = now_;  // the first frame only takes the poses in
        otherPoses_[2 * i] = game.slide[other + i];
        otherPoses_[2 * i + 1] = game.angle[other + i];
    }
    float age = 0.0f;
    const PuckState seen = perceive(game, age);
    const float speed = std::sqrt(seen.vel.x * seen.vel.x + seen.vel.z * seen.vel.z);
    if (phase_ == Phase::Watch) {
        // Until the puck has run its course as tried, or something else struck it.
        // The own strike is seen a reaction time late: no other strike is read into it.
        const bool settled = now_ - phaseSince_ > levelStyle(level_).reaction + kSwingSeen;
        if (now_ >= watchUntil_ || (settled && speed > lastSpeed_ + kStruck) || game.goalPause > 0.0f)
            phase_ = Phase::Look;
    }
    lastSpeed_ = speed;
    if (phase_ == Phase::Look) look(game, seen, age, dt);
    // An approach that ends ready swings in the same frame.
    if (phase_ == Phase::Approach) approach(game, seen, dt);
    else if (phase_ == Phase::Swing) swing(game, dt);
    walkGoalie(game, seen, dt);
}

void ComputerPlayer::look(const Game& game, const PuckState& seen, float age, float dt) {
    const LevelStyle& style = levelStyle(level_);
    if (!search_.running()) {
        if (now_ < lookAt_) return;
        // A puck faster than this player reads is let go by.
        if (seen.vel.x * seen.vel.x + seen.vel.z * seen.vel.z > style.fastest * style.fastest) return;
        search_.start(game, team_, seen, age, style.handRate, style.breadth, avoid_, now_ - otherMovedAt_ < kOthersStill, vain_);
        sightTime_ = now_ - age;
    }
    const int budget = clampInt(static_cast<int>(kStepsPerSecond * dt), kFewestSteps, kMostSteps);
    if (!search_.advance(game, dt, budget)) return;
    avoid_ = -1;
    // A resting puck that no one else would ever move, or that both playing teams have left
    // alone for a while (held between figures of both), is better moved a little than left:
    // a team that waits for the other to move first may wait for good. Against a team that
    // stands still, patience finds a better strike in the end.
    const bool othersPlay = now_ - otherMovedAt_ < kOthersGone;
    const bool lastResort = search_.onlyOurs() || (othersPlay && search_.atRest() && vain_ >= kPatience);
    if (!search_.found() || search_.bestValue() < (lastResort ? kLastResort : kWorthIt)) {
        lookAt_ = now_ + kLookAgain;
        ++vain_;
        return;
    }
    adopt(game);
}

void ComputerPlayer::adopt(const Game& game) {
    const LevelStyle& style = levelStyle(level_);
    vain_ = 0;
    plan_ = search_.best();
    // A moving puck is met only if the figure sets off when the trial had it set off.
    if (plan_.wait > 0.0f && now_ > sightTime_ + search_.hold()) {
        lookAt_ = now_;
        return;
    }
    // A less sure hand stands the figure a little off the place it chose.
    const int off = static_cast<int>(std::lround(unitNoise() * style.slideSpread));
    plan_.slide = clampInt(plan_.slide + off, 0, slideLimit(rodOf(plan_.player)));
    slideAxis_.reset();
    angleAxis_.reset();
    phase_ = Phase::Approach;
    phaseSince_ = stillSince_ = now_;
    lastSlide_ = game.slide[plan_.player];
    lastAngle_ = game.angle[plan_.player];
}

void ComputerPlayer::approach(Game& game, const PuckState& seen, float dt) {
    const int p = plan_.player;
    const bool timed = plan_.wait > 0.0f;
    const float swingAt = sightTime_ + plan_.wait;
    const bool ready = game.slide[p] == plan_.slide && atReadyAngle(plan_, game.angle[p]);
    const bool due = now_ + 0.5f * dt >= swingAt;
    if (timed && now_ > swingAt + kLate) {
        phase_ = Phase::Look;  // too late for a moving puck
        return command(game, game.slide[p], game.angle[p]);
    }
    if (ready && (!timed || due)) {
        if (game.goalPause > 0.0f) return command(game, game.slide[p], game.angle[p]);
        if (!timed && Game::distance2d(seen.pos.x, seen.pos.z, plan_.puckAt.x, plan_.puckAt.z) > kMoved) {
            phase_ = Phase::Look;  // the resting puck was moved
            return command(game, game.slide[p], game.angle[p]);
        }
        phase_ = Phase::Swing;
        swing_ = Swing(plan_, Pose{game.slide[p], game.angle[p]});
        lastSlide_ = game.slide[p];
        lastAngle_ = game.angle[p];
        return swing(game, dt);
    }
    // Held while the trial had the figure still (reaction and thought), or waiting ready.
    if (ready || (timed && now_ + 0.5f * dt < sightTime_ + search_.hold())) {
        stillSince_ = now_;
        return command(game, game.slide[p], game.angle[p]);
    }
    if (game.slide[p] != lastSlide_ || game.angle[p] != lastAngle_) stillSince_ = now_;
    // Blocked on the way, or longer on it than any trial allows.
    if (now_ - stillSince_ > kStuck || now_ - phaseSince_ > kLongestWay) {
        avoid_ = p;  // blocked on the way: another figure next time
        phase_ = Phase::Look;
        return command(game, game.slide[p], game.angle[p]);
    }
    const Pose to = approachStep(game, plan_, slideAxis_, angleAxis_, plan_.approachRate, dt);
    command(game, to.slide, to.angle);
}

void ComputerPlayer::swing(Game& game, float dt) {
    const int p = plan_.player;
    // The figure fell short of last frame's target: it met the puck.
    const Pose now{game.slide[p], game.angle[p]};
    const bool touched = now.slide != lastSlide_ || now.angle != lastAngle_;
    if (swing_.over(now, touched, dt)) {
        phase_ = Phase::Watch;
        phaseSince_ = now_;
        // A shot on goal is watched in; any other only until it is worth a fresh look.
        const TrialOutcome& tried = search_.bestOutcome();
        watchUntil_ = now_ + std::fmin(tried.time, tried.goal ? kLongestWatch : kShortWatch);
        return command(game, game.slide[p], game.angle[p]);
    }
    const Pose to = swing_.next(now, dt);
    command(game, to.slide, to.angle);
}

void ComputerPlayer::command(Game& game, int slide, int angle) {
    const int p = plan_.player;
    game.targetSlide[p] = clampInt(slide, 0, slideLimit(rodOf(p)));
    game.targetAngle[p] = angle;
    game.slideDelta[p] = game.targetSlide[p] - game.slide[p];
    game.angleDelta[p] = game.targetAngle[p] - game.angle[p];
    lastSlide_ = game.targetSlide[p];
    lastAngle_ = game.targetAngle[p];
}

void ComputerPlayer::walkGoalie(Game& game, const PuckState& puck, float dt) {
    const int g = 6 * team_;
    // A goalie that struck walks again once the computer looks afresh: its stale plan would
    // hold it for good wherever no strike is found, even with the puck before its feet.
    if (plan_.player == g && phase_ != Phase::Look) {
        goalie_.reset();
        return;
    }
    game.targetSlide[g] = goalie_.step(game, team_, puck.pos, dt);
    // Still the selected figure: its deltas say what was commanded, as the mouse steering's do.
    if (plan_.player == g) game.slideDelta[g] = game.targetSlide[g] - game.slide[g];
}
