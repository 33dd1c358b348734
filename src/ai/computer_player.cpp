// The computer player's frame: see the puck a reaction time late, pick the figure and the
// place to strike from, walk the goalie, and move the steered figure at a hand's pace.
#include "ai/computer_player.h"

#include <cmath>
#include <cstdlib>

#include "ai/level_style.h"
#include "sim/game.h"

namespace {

using namespace strike;

constexpr float kAway = 60.0f;        // steps the blade is kept from the puck on the way
constexpr float kShotQuality = 0.85f; // cosine between push and aim worth a swing
constexpr int kRamRunUp = 8;           // slide steps taken before a puck on the groove
constexpr int kRamThrough = 14;        // and driven on past it
constexpr float kLeaving = 15.0f;      // units a second away from the blade
constexpr float kWatch = 10.0f;        // seconds a struck puck is left to run
constexpr float kWatchSpeed = 6.0f;    // while it runs faster than this
constexpr float kTrialSpeed = 6.0f;   // a puck slower than this is worth trying strikes on
constexpr float kTrialEvery = 0.25f;   // seconds between trials on a moving puck
constexpr float kScoring = 50.0f;      // a trial value this high is a goal
constexpr float kKeepScoring = 1.5f;   // seconds such a strike is kept without a fresh trial
constexpr int kTrialsPerFrame = 2;     // strikes tried on the copy each frame
constexpr float kBrush = 1.0f;         // room kept from the puck outside a swing
constexpr float kReplanEvery = 0.05f; // seconds between fresh looks at the play

// The angle within -127..127 nearest `from` that turns the figure as `steps` does.
int nearestAngle(int from, float steps) {
    int a = static_cast<int>(std::lround(steps));
    a %= 127;
    int best = a;
    for (int k = -2; k <= 2; ++k) {
        const int c = a + 127 * k;
        if (c < -127 || c > 127) continue;
        if (std::abs(c - from) < std::abs(best - from) || best < -127 || best > 127) best = c;
    }
    return best;
}

// The angle that turns the figure as `steps` does, reached from `from` the way that does
// not sweep the blade across `avoid` (both in steps); -127..127 where it can.
int turnAround(int from, float steps, float avoid) {
    const auto wrap = [](float a) {
        a = std::fmod(a, 127.0f);
        if (a > 63.5f) a -= 127.0f;
        if (a < -63.5f) a += 127.0f;
        return a;
    };
    float delta = wrap(steps - static_cast<float>(from));
    const float c = wrap(avoid - static_cast<float>(from));
    if (c * delta > 0.0f && std::fabs(c) < std::fabs(delta)) delta -= std::copysign(127.0f, delta);
    int to = from + static_cast<int>(std::lround(delta));
    if (to > 127) to -= 127;
    if (to < -127) to += 127;
    return to;
}

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
    : team_(team == 1 ? 1 : 0), level_(level), rng_(seed ? seed : 0x9e3779b9u) {
    noise_ = aimNoise();
}

float ComputerPlayer::aimNoise() {
    // xorshift32: the same seed gives the same match.
    rng_ ^= rng_ << 13;
    rng_ ^= rng_ >> 17;
    rng_ ^= rng_ << 5;
    const float unit = static_cast<float>(rng_ >> 8) * (1.0f / 16777216.0f);  // 0..1
    return (2.0f * unit - 1.0f) * levelStyle(level_).aimSpread;
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
    const LevelStyle& style = levelStyle(level_);
    now_ += dt;
    lastDt_ = dt;
    sinceTrial_ += dt;
    // During a goal pause the puck is as good as back on the centre spot.
    PuckState actual{{game.puckPos[0], game.puckPos[1]}, {game.puckVel[0], game.puckVel[1]}};
    if (game.goalPause > 0.0f) actual = PuckState{{0.0f, 0.0f}, {0.0f, 0.0f}};
    sight_.see(now_, actual);
    float age = 0.0f;
    const PuckState seen = sight_.asOf(now_, style.reaction, age);
    // Where the puck is now, as far as this player can tell.
    const PuckState now = style.anticipation > 0.0f ? forecastPuck(seen, age) : seen;

    sinceReplan_ += dt;
    if (sinceReplan_ >= kReplanEvery || plan_.player < 0) {
        sinceReplan_ = 0.0f;
        replan(game, style.anticipation > 0.0f ? forecastPuck(now, style.anticipation) : now);
    }
    goalMap_.build(game, team_, dt, style.handRate);
    if (search_.advance(game, dt, style.handRate, &goalMap_, kTrialsPerFrame)) {
        trialPlan_ = search_.best();
        trialValue_ = search_.bestValue();
        trialAt_ = search_.puckAt();
    }
    walkGoalie(game, now, dt);
    // After a strike the skaters stand and watch the puck go, out of its way as tried.
    const float speed2 = game.puckVel[0] * game.puckVel[0] + game.puckVel[1] * game.puckVel[1];
    watch_ = watch_ > dt && speed2 > kWatchSpeed * kWatchSpeed && game.goalPause <= 0.0f ? watch_ - dt : 0.0f;
    if (watch_ <= 0.0f) driveSkater(game, now, dt);
}

void ComputerPlayer::replan(const Game& game, PuckState puck) {
    const LevelStyle& style = levelStyle(level_);
    const Point2 aim = openGoalPoint(game, team_, puck.pos);
    const float aimAngle = std::atan2(aim.z - puck.pos.z, aim.x - puck.pos.x) + noise_;
    const int first = 6 * team_;
    ShotPlan best;
    float bestCost = 1.0e9f;
    for (int i = first; i < first + 6; ++i) {
        const ShotPlan plan = planShot(game, i, puck.pos, aimAngle);
        if (plan.quality < 0.0f) continue;
        float cost = static_cast<float>(std::abs(plan.slide - game.slide[i])) / style.handRate +
                     (1.0f - plan.quality) * 1.5f;
        if (rodOf(i) == 0) cost += 0.2f;          // the goalie is wanted in goal
        if (i == plan_.player) cost -= 0.15f;     // no dithering between two figures
        if (cost < bestCost) {
            bestCost = cost;
            best = plan;
        }
    }
    // A slow puck is weighed strike by strike on a copy of the rink, a few strikes a frame.
    const bool slow = puck.vel.x * puck.vel.x + puck.vel.z * puck.vel.z < kTrialSpeed * kTrialSpeed;
    if (best.player >= 0 && slow && game.goalPause <= 0.0f) {
        const bool moved = Game::distance2d(puck.pos.x, puck.pos.z, trialAt_.x, trialAt_.z) > 1.0f;
        // A strike found to score is kept while it is being lined up.
        const bool keep = trialValue_ > kScoring && sinceTrial_ < kKeepScoring;
        const bool stale = trialPlan_.player < 0 || (moved && !keep);
        if (!search_.running() && stale && sinceTrial_ >= kTrialEvery) {
            search_.start(team_, puck, aimAngle);
            sinceTrial_ = 0.0f;
        }
        if (trialPlan_.player >= 0) best = trialPlan_;
    } else {
        trialPlan_.player = -1;
        search_.stop();
    }
    if (best.player < 0) {
        // Out of every blade's reach: stand the nearest figure in the puck's way.
        float nearest = 1.0e9f;
        for (int i = first + 1; i < first + 6; ++i) {
            for (int s = 0; s <= slideLimit(rodOf(i)); s += 2) {
                const Point2 f = game.groovePoint(i, s);
                const float d = Game::distance2d(f.x, f.z, puck.pos.x, puck.pos.z);
                if (d < nearest) {
                    nearest = d;
                    best.player = i;
                    best.slide = s;
                }
            }
        }
        const Point2 f = game.groovePoint(best.player, best.slide);
        const Point2 rel{puck.pos.x - f.x, puck.pos.z - f.z};
        if (!bladeAngleFor(best.player, rel, best.contactAngle))
            best.contactAngle = static_cast<float>(game.angle[best.player]);
        best.quality = -1.0f;
    }
    if (best.player != plan_.player) {
        swinging_ = false;
        linedUp_ = 0.0f;
        slideAxis_.reset();
        angleAxis_.reset();
    }
    if (!swinging_) plan_ = best;
}

void ComputerPlayer::driveSkater(Game& game, PuckState now, float dt) {
    const int p = plan_.player;
    if (p < 0) return;
    const LevelStyle& style = levelStyle(level_);
    const int rod = rodOf(p);
    const Point2 f = game.groovePoint(p, game.slide[p]);
    const Point2 rel{now.pos.x - f.x, now.pos.z - f.z};
    const float reach = std::sqrt(rel.x * rel.x + rel.z * rel.z);
    const float dir = static_cast<float>(plan_.dir);
    // The figure fell short of last frame's targets: it met the puck.
    const bool touched = p == lastPlayer_ && (game.slide[p] != lastSlide_ || game.angle[p] != lastAngle_);

    int wantSlide = plan_.slide;
    float wantAngle = plan_.contactAngle;
    float contactNow = plan_.contactAngle;
    const bool puckNear = reach < 18.0f && bladeAngleFor(p, rel, contactNow);
    if (swinging_ && plan_.ram) {
        // Driven on through the puck; the body keeps pushing while they touch.
        swingTime_ += dt;
        wantSlide = plan_.slide + kRamThrough;
        wantAngle = static_cast<float>(game.angle[p]);
        if (swingTime_ > kSwingTime || game.slide[p] >= clampInt(wantSlide, 0, slideLimit(rod))) {
            swinging_ = false;
            sinceReplan_ = 1.0e9f;
            trialAt_ = Point2{1.0e9f, 1.0e9f};
            trialValue_ = 0.0f;
        }
    } else if (plan_.ram) {
        wantSlide = plan_.slide - kRamRunUp;
        wantAngle = static_cast<float>(game.angle[p]);
        if (std::abs(game.slide[p] - wantSlide) <= 2 || game.slide[p] == 0) {
            if (game.goalPause <= 0.0f) {
                swinging_ = true;
                swingTime_ = 0.0f;
                wantSlide = plan_.slide + kRamThrough;
            }
        }
    } else if (swinging_) {
        swingTime_ += dt;
        wantSlide = game.slide[p];
        wantAngle = plan_.contactAngle + dir * kFollow;
        if (touched) touchTime_ += dt;
        if (touchTime_ > kPushTime || swingTime_ > kSwingTime ||
            nearestAngle(game.angle[p], wantAngle) == game.angle[p]) {
            swinging_ = false;
            if (touchTime_ > 0.0f) watch_ = kWatch;
            wantAngle = static_cast<float>(game.angle[p]);
            noise_ = aimNoise();
            sinceReplan_ = 1.0e9f;
            trialAt_ = Point2{1.0e9f, 1.0e9f};
            trialValue_ = 0.0f;  // a fresh look after every shot
        }
    } else if (plan_.quality >= 0.0f) {
        const bool inPlace = std::abs(game.slide[p] - plan_.slide) <= 2;
        if (!inPlace) {
            // On the way, the blade turned away from the puck, so as not to drag it along.
            wantAngle = plan_.contactAngle - dir * kAway;
            const float off = std::fabs(static_cast<float>(game.angle[p]) - std::round(wantAngle));
            if (puckNear && std::fmod(off, 127.0f) > 12.0f && std::fmod(off, 127.0f) < 115.0f)
                wantSlide = game.slide[p];
            linedUp_ = 0.0f;
        } else {
            wantAngle = plan_.contactAngle - dir * kWindup;
            linedUp_ += dt;
            const float gap = bladeGap(p, game.angle[p], plan_.dir, rel);
            const bool inZone = gap > -3.0f && gap < kWindup + 8.0f && reach < (rod == 0 ? 11.0f : 14.5f);
            // No swing at a puck that is not in play.
            // A puck running away from the blade has just been struck: let it go.
            const bool leaving = (rel.x * now.vel.x + rel.z * now.vel.z) > kLeaving * reach;
            // A tried strike is made exactly as it was tried.
            const bool asTried = !plan_.tried || (game.slide[p] == plan_.slide &&
                                                  game.angle[p] == nearestAngle(game.angle[p], wantAngle));
            if (inZone && asTried && !leaving && game.goalPause <= 0.0f && (plan_.quality > kShotQuality || linedUp_ > style.patience)) {
                swinging_ = true;
                swingTime_ = 0.0f;
                touchTime_ = 0.0f;
                wantAngle = plan_.contactAngle + dir * kFollow;
            }
        }
    }

    const float rate = style.handRate;
    const int slideGoal = clampInt(wantSlide, 0, slideLimit(rod));
    // Never turn the blade through the puck except in a swing.
    const int angleGoal = swinging_ || !puckNear ? nearestAngle(game.angle[p], wantAngle)
                                                 : turnAround(game.angle[p], wantAngle, contactNow);
    int toSlide = slideAxis_.step(game.slide[p], slideGoal, rate, dt);
    int toAngle = angleAxis_.step(game.angle[p], angleGoal, rate, dt);
    if (!swinging_ && game.goalPause <= 0.0f) {
        // Only a swing may touch the puck: a figure that brushes it on the way drags it off.
        const Point2 at{game.puckPos[0], game.puckPos[1]};
        const auto clear = [&](int s, int a) { return !poseTouchesPuck(game, p, s, a, at, kBrush); };
        if (!clear(toSlide, toAngle)) {
            if (clear(game.slide[p], toAngle)) toSlide = game.slide[p];
            else if (clear(toSlide, game.angle[p])) toAngle = game.angle[p];
            else toSlide = game.slide[p], toAngle = game.angle[p];
        }
    }
    game.targetSlide[p] = toSlide;
    game.targetAngle[p] = toAngle;
    game.slideDelta[p] = game.targetSlide[p] - game.slide[p];
    game.angleDelta[p] = game.targetAngle[p] - game.angle[p];
    lastPlayer_ = p;
    lastSlide_ = game.targetSlide[p];
    lastAngle_ = game.targetAngle[p];
}

void ComputerPlayer::walkGoalie(Game& game, PuckState puck, float dt) {
    const int g = 6 * team_;
    if (plan_.player == g) {
        goalieAxis_.reset();
        return;
    }
    // Across the mouth with the puck while it is in the own half; back to the middle otherwise.
    const bool ownHalf = team_ == 0 ? puck.pos.z < 0.0f : puck.pos.z > 0.0f;
    float x = ownHalf ? puck.pos.x : 0.0f;
    x = x < -15.0f ? -15.0f : x > 15.0f ? 15.0f : x;
    const float t = (team_ == 0 ? x + 15.0f : 15.0f - x) / 30.0f;
    const int want = clampInt(static_cast<int>(std::lround(t * 50.0f)), 0, slideLimit(0));
    game.targetSlide[g] = goalieAxis_.step(game.slide[g], want, kComputerGoalieWalkRate, dt);
}
