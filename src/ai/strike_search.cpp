#include "ai/strike_search.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "ai/blade_geometry.h"
#include "sim/figure_shape.h"

namespace {

constexpr float kRestSpeed = 0.8f;     // a puck slower than this is struck where it lies
constexpr float kEvery = 0.1f;         // seconds between the places a moving puck is met
constexpr int kLookAhead = 25;         // and how many of them are looked at
constexpr int kPlacesPerFigure = 3;    // of those, the first a figure can be ready for
constexpr float kSlack = 0.1f;         // seconds spare on the way to a moving puck
constexpr float kTurnBack = 30.0f;     // steps of the blade's detour on the way
constexpr float kGoalZ = 88.0f;
constexpr float kBoardX = 56.55f;
constexpr float kNoProgress = 10.0f;   // units the puck must travel for a strike to count
constexpr float kNoProgressCost = 40.0f;
constexpr float kGoesNowhere = -70.0f; // at best, for such a strike: made only as a last resort
constexpr float kBudged = 1.0f;        // units below which the puck did not move at all
constexpr float kNudged = 0.3f;        // and a puck only this team reaches
constexpr float kDeadCost = 40.0f;     // a rest no blade of either team reaches
constexpr float kUntouched = -80.0f;   // a swing that never met the puck
constexpr float kBumped = -76.0f;      // -78.4 .. -74.4: a resting puck moved on the way
constexpr float kPostEdge = 11.5f;     // a puck further out than this meets the post as it goes in
constexpr float kGrazing = 30.0f;      // at best, for a goal that grazes it
constexpr float kBankCost = 0.12f;     // a straight line is surer than one off the boards
constexpr float kRamLine = 5.0f;       // a puck this near a groove lies in the body's path
constexpr int kRamRunUp = 8;           // slide steps a ram starts before the puck
constexpr float kRamClear = 1.0f;      // at the least this far beyond the body's touch
constexpr float kLeaning = 0.5f;       // room within which a puck leans on a figure
constexpr float kLeaningFirst = 2.0f;  // such pushes are always among those tried
constexpr int kChecks = 2;             // the best strikes on a moving puck tried again
constexpr float kSpeedDoubt = 0.05f;   // on a puck this much faster, and slower, than seen
constexpr float kAstrayCost = 40.0f;   // and given up as far as they then lose the puck

// How well a push along (px, pz) from `at` points at the goal `team` attacks: the cosine to
// the nearest of a few lines into the mouth, straight or off a side board.
float goalward(int team, Point2 at, float px, float pz) {
    const float goalZ = team == 0 ? kGoalZ : -kGoalZ;
    float score = -1.0f;
    for (float x : {-7.0f, 0.0f, 7.0f}) {
        for (int way = 0; way < 3; ++way) {
            const float tx = way == 0 ? x : way == 1 ? -2.0f * kBoardX - x : 2.0f * kBoardX - x;
            const float dx = tx - at.x, dz = goalZ - at.z;
            const float len = std::sqrt(dx * dx + dz * dz);
            score = std::max(score, (px * dx + pz * dz) / len - (way ? kBankCost : 0.0f));
        }
    }
    return score;
}

// The best line on goal any own blade has on a puck resting at `at`; -2 when none reaches,
// -1 behind the goal line, where no line leads into the mouth.
float shootingChance(const Game& game, int team, Point2 at) {
    float best = -2.0f;
    const bool behind = (team == 0 ? at.z : -at.z) > kGoalZ - 3.0f;
    for (int i = 6 * team; i < 6 * team + 6; ++i) {
        const int rod = rodOf(i);
        float nearest = 0.0f, farthest = 0.0f;
        bladeReach(i, nearest, farthest);
        for (int s = 0; s <= slideLimit(rod); s += 2) {
            const Point2 f = game.groovePoint(i, s);
            const Point2 rel{at.x - f.x, at.z - f.z};
            const float d = std::sqrt(rel.x * rel.x + rel.z * rel.z);
            if (d < nearest || d > farthest) continue;
            if (behind) return -1.0f;
            const float px = rel.z / d, pz = -rel.x / d;
            best = std::max(best, std::max(goalward(team, at, px, pz), goalward(team, at, -px, -pz)));
        }
    }
    return best;
}

// The ready angle, wound up behind the contact angle, on the figure's own side of the puck
// if that keeps the whole swing within -127..127 (as the datagram carries it): the way there
// then does not cross the puck, and the figure does not stand ready a whole turn off.
int readyAngleFor(int contact, int dir, int now) {
    const int span = strike::kWindup + strike::kFollow;
    const auto fits = [&](int ready) { return std::abs(ready) <= 127 && std::abs(ready + dir * span) <= 127; };
    const int below = contact + 127 * static_cast<int>(std::floor(static_cast<float>(now - contact) / 127.0f));
    const int ready = dir > 0 ? below + 127 - strike::kWindup : below + strike::kWindup;
    if (fits(ready)) return ready;
    int best = ready;  // none fits only for a contact far out of range
    for (int k = -2; k <= 2; ++k) {
        const int other = ready + 127 * k;
        if (fits(other) && (!fits(best) || std::abs(other - now) < std::abs(best - now))) best = other;
    }
    return best;
}

float turnSteps(int from, int to) {
    const int d = std::abs(to - from) % 127;
    return static_cast<float>(std::min(d, 127 - d));
}

}  // namespace

void StrikeSearch::start(const Game& game, int team, const PuckState& puck, float age, float rate, int breadth,
                         int avoid, bool othersWalk, int round) {
    team_ = team;
    othersWalk_ = othersWalk;
    puck_ = puck;
    hold_ = age + kSearchLag;
    count_ = next_ = checks_ = 0;
    running_ = true;
    best_ = Strike{};
    bestValue_ = -1.0e9f;
    const bool atRest = puck.vel.x * puck.vel.x + puck.vel.z * puck.vel.z < kRestSpeed * kRestSpeed;
    atRest_ = atRest;
    onlyOurs_ = atRest && !bladeReaches(game, 1 - team, puck.pos);
    // Let by, such a puck would lie there for good: it is met with a blade's tip as well.
    const Point2 bound = puckRestsAt(puck);
    deadAhead_ = !atRest && !bladeReaches(game, team, bound) && !bladeReaches(game, 1 - team, bound);
    // Left there, it lies for good: the very edge of a tip is the one thing that moves it.
    pastTips_ = onlyOurs_ && !bladeReaches(game, team, puck.pos, bladeTipReach) &&
                !bladeReaches(game, 1 - team, puck.pos, bladeTipReach);
    Point2 places[kLookAhead];
    const int known = atRest ? 1 : puckTimeline(game, puck, kEvery, kLookAhead, places);
    if (atRest) places[0] = puck.pos;
    // Where the puck passes out of every blade's sure reach it is met with a tip as well:
    // along the goal line, beyond the goalie's sure reach, it may drift on to where no
    // blade touches it at all.
    bool unsure[kLookAhead] = {};
    for (int k = 0; !atRest && k < known; ++k)
        unsure[k] = !bladeReaches(game, team, places[k]) && !bladeReaches(game, 1 - team, places[k]);
    for (int i = 6 * team; i < 6 * team + 6; ++i) {
        if (i == avoid) continue;
        int used = 0;
        for (int k = 0; k < known && used < kPlacesPerFigure; ++k) {
            const int before = count_;
            const float wait = atRest ? 0.0f : kEvery * static_cast<float>(k + 1);
            consider(game, i, places[k], wait, age, rate, unsure[k]);
            if (rodOf(i) != 0) considerRam(game, i, places[k], wait, age, rate);
            if (count_ > before) ++used;
        }
    }
    // A figure the resting puck leans on can only push it from where it stands.
    for (int i = 6 * team; atRest && i < 6 * team + 6; ++i) {
        if (!poseTouchesPuck(game, i, game.slide[i], game.angle[i], puck.pos, kLeaning)) continue;
        for (int k = 0; k < 4 && count_ < kMostCandidates; ++k) {
            Strike st;
            st.player = i;
            st.slide = game.slide[i];
            st.readyAngle = game.angle[i];
            st.ram = k < 2 ? (k == 0 ? 1 : -1) : 0;
            st.dir = k < 2 ? 0 : (k == 2 ? 1 : -1);
            // The turn stays within -127..127, as the datagram carries it.
            if (std::abs(st.readyAngle + st.dir * (strike::kWindup + strike::kFollow)) > 127) continue;
            st.rate = st.approachRate = rate;
            st.puckAt = puck.pos;
            candidates_[count_++] = {st, 0.0f, kLeaningFirst};
        }
    }
    // The likeliest first; only `breadth` of them are tried.
    std::stable_sort(candidates_, candidates_ + count_,
                     [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
    // After a search in vain, the next likeliest ones, round after round.
    const int skip = count_ > breadth ? breadth * round % count_ : 0;
    if (skip > 0) std::rotate(candidates_, candidates_ + skip, candidates_ + count_);
    count_ = std::min(count_, breadth);
    // A softer strike of the best lines, for a puck at rest: one that stays within reach.
    for (int k = 0, n = count_; atRest && k < n / 2 && count_ < kMostCandidates; ++k) {
        candidates_[count_] = candidates_[k];
        candidates_[count_++].strike.rate *= 0.4f;
    }
}

void StrikeSearch::consider(const Game& game, int player, Point2 at, float wait, float age, float rate, bool tip) {
    const int rod = rodOf(player);
    float nearest = 0.0f, farthest = 0.0f;
    bladeReach(player, nearest, farthest);
    // Only the tip may reach a puck that lies in no one else's way: better than leaving it.
    if (onlyOurs_ || deadAhead_ || tip) farthest = bladeTipReach(player);
    if (pastTips_) farthest = bladeTouchReach(player);
    const int limit = slideLimit(rod);
    const int stride = rod == 0 || pastTips_ ? 1 : 2;
    for (int k = 0; k < limit + stride; k += stride) {
        const int s = std::min(k, limit);  // the groove's far end too
        const Point2 f = game.groovePoint(player, s);
        const Point2 rel{at.x - f.x, at.z - f.z};
        const float d = std::sqrt(rel.x * rel.x + rel.z * rel.z);
        if (d < nearest || d > farthest) continue;
        float contact = 0.0f;
        if (!bladeAngleFor(player, rel, contact)) continue;
        // Only the edge of the tip touches: the swing must stop on the one step that does, and
        // in frames of any length one or other of a few windups brings it there.
        const int touch = pastTips_ ? bladeTouchStep(game, player, s, at, contact) : static_cast<int>(std::lround(contact));
        for (int k = 0; k < (pastTips_ ? 6 : 2); ++k) {
            const int dir = k % 2 ? 1 : -1;
            const int longer = k / 2 == 2 ? -1 : k / 2;  // windup steps more: 0, 1, -1
            if (count_ >= kMostCandidates) return;
            Strike st;
            st.player = player;
            st.slide = s;
            st.dir = dir;
            st.rate = st.approachRate = rate;
            st.wait = wait;
            st.puckAt = at;
            st.readyAngle = readyAngleFor(touch, dir, game.angle[player]) - dir * longer;
            if (std::abs(st.readyAngle) > 127) continue;
            // Near the puck the blade is first turned back, out of its way.
            const Point2 now = game.groovePoint(player, game.slide[player]);
            const bool near = Game::distance2d(now.x, now.z, at.x, at.z) < 30.0f;
            const float turn = turnSteps(game.angle[player], st.readyAngle) + (near ? 2.0f * kTurnBack : 0.0f);
            const float travel = std::max(static_cast<float>(std::abs(s - game.slide[player])), turn) / rate;
            if (wait > 0.0f && travel + age + kSearchLag + kSlack > wait) continue;
            // A raised angle pushes a point at rel toward (rel.z, -rel.x).
            const float px = static_cast<float>(dir) * rel.z / d, pz = -static_cast<float>(dir) * rel.x / d;
            const float score = goalward(team_, at, px, pz);
            candidates_[count_++] = {st, travel, score - 0.1f * travel - (rod == 0 ? 0.1f : 0.0f)};
        }
    }
}

void StrikeSearch::considerRam(const Game& game, int player, Point2 at, float wait, float age, float rate) {
    const int limit = slideLimit(rodOf(player));
    int closest = 0;
    float closestD = 1.0e9f;
    for (int s = 0; s <= limit; ++s) {
        const Point2 f = game.groovePoint(player, s);
        const float d = Game::distance2d(f.x, f.z, at.x, at.z);
        if (d < closestD) {
            closestD = d;
            closest = s;
        }
    }
    if (closestD > kRamLine) return;
    const auto bodyNear = [&](int slide) {
        const Point2 f = game.groovePoint(player, slide);
        return Game::distance2d(f.x, f.z, at.x, at.z) < kBodyContact + kRamClear;
    };
    for (int ram = -1; ram <= 1; ram += 2) {
        if (count_ >= kMostCandidates) return;
        Strike st;
        st.player = player;
        st.ram = ram;
        st.dir = 0;
        st.slide = std::max(0, std::min(limit, closest - ram * kRamRunUp));
        // Where a groove's steps are short the run-up would start in the puck, and the way
        // there is barred: it starts where the body stands clear of it.
        while (st.slide > 0 && st.slide < limit && bodyNear(st.slide)) st.slide -= ram;
        if (st.slide == closest || bodyNear(st.slide)) continue;  // no room to run up
        st.rate = st.approachRate = rate;
        st.wait = wait;
        st.puckAt = at;
        // The blade turned away from the puck, out of the body's way.
        const Point2 f = game.groovePoint(player, st.slide);
        float toward = 0.0f;
        if (!bladeAngleFor(player, Point2{at.x - f.x, at.z - f.z}, toward)) continue;
        st.readyAngle = static_cast<int>(std::lround(toward)) + 63;
        if (st.readyAngle > 127) st.readyAngle -= 127;
        const float travel =
            std::max(static_cast<float>(std::abs(st.slide - game.slide[player])), turnSteps(game.angle[player], st.readyAngle)) / rate;
        if (wait > 0.0f && travel + age + StrikeSearch::kSearchLag + kSlack > wait) continue;
        // The body pushes along the groove.
        const Point2 a = game.groovePoint(player, closest - (closest > 0 ? 1 : 0));
        const Point2 b = game.groovePoint(player, closest + (closest < limit ? 1 : 0));
        const float len = Game::distance2d(a.x, a.z, b.x, b.z);
        if (len <= 0.0f) continue;
        const float px = static_cast<float>(ram) * (b.x - a.x) / len, pz = static_cast<float>(ram) * (b.z - a.z) / len;
        candidates_[count_++] = {st, travel, goalward(team_, at, px, pz) - 0.1f * travel};
    }
}

float StrikeSearch::value(const Game& game, const TrialOutcome& o, float travel) const {
    const int side = team_ + 1;
    if (o.goal && o.goal != side) return -100.0f;
    const float ahead = std::min(team_ == 0 ? o.rest.z : -o.rest.z, 80.0f);  // -120 .. 80
    // A puck that only glances off the figure standing ready is luck, not a strike. But a
    // resting puck bumped on the way to the ready pose does move, and one that would lie
    // for good is better bumped than left (the computer makes it only then).
    if (!o.touched) {
        const bool bumped = atRest_ && Game::distance2d(o.rest.x, o.rest.z, puck_.pos.x, puck_.pos.z) > kBudged;
        return bumped ? kBumped + 0.02f * ahead : kUntouched;
    }
    // A goal past the edge of a post is luck: in other frame times the same strike meets
    // the post, and a puck that runs on along the goal line stops where no blade reaches.
    if (o.goal == side) return std::min(100.0f - 4.0f * (o.time + travel), std::fabs(o.rest.x) > kPostEdge ? kGrazing : 100.0f);
    // A puck that stops where no own blade reaches is the other team's, or a stall.
    const float chance = shootingChance(game, team_, o.rest);
    // A strike that leaves the puck where it was only starts the same strike over.
    const float moved = Game::distance2d(o.rest.x, o.rest.z, o.met.x, o.met.z);
    // Made again and again, it would hold the match up for good. But a puck that no one else
    // would ever move is better nudged: in short frames a blade leaning on it pushes it little.
    if (moved < (onlyOurs_ ? kNudged : kBudged)) return kUntouched;
    const float stays = moved < kNoProgress ? kNoProgressCost : 0.0f;
    // Worst of all, where no blade at all reaches: the puck would lie there for good.
    const bool theirs = bladeReaches(game, 1 - team_, o.rest);
    const float dead = chance > -2.0f || theirs ? 0.0f : kDeadCost;
    const float v = 0.08f * ahead + (chance > -2.0f ? 15.0f + 20.0f * chance : -25.0f) - 2.0f * travel - stays - dead;
    return moved < kNoProgress ? std::min(v, kGoesNowhere) : v;
}

bool StrikeSearch::advance(const Game& game, float dt, int stepBudget) {
    if (!running_) return false;
    while (stepBudget > 0 && next_ < count_) {
        Candidate& c = candidates_[next_++];
        c.outcome = trialStrike(game, c.strike, puck_, hold_, dt, othersWalk_);
        stepBudget -= c.outcome.steps;
        c.value = value(game, c.outcome, c.travel);
    }
    if (next_ < count_) return false;
    while (stepBudget > 0 && checks_ < kChecks)
        if (!checkNext(game, dt, stepBudget)) checks_ = kChecks;
    if (checks_ < kChecks) return false;
    for (int i = 0; i < count_; ++i) {
        if (candidates_[i].value <= bestValue_) continue;
        bestValue_ = candidates_[i].value;
        best_ = candidates_[i].strike;
        bestOutcome_ = candidates_[i].outcome;
    }
    running_ = false;
    return true;
}

bool StrikeSearch::lost(const Game& game, const TrialOutcome& o) const {
    if (o.goal) return o.goal != team_ + 1;
    return shootingChance(game, team_, o.rest) <= -2.0f && !bladeReaches(game, 1 - team_, o.rest);
}

// A puck met seconds ahead is met a little off where it was foreseen: its speed is read
// only so well, across the network worse. The best strike on a moving puck is tried again
// on one a little faster and one a little slower; one that then loses the puck (to a rest
// no blade reaches, or into the own goal) is worth that much less, and the next best is
// tried so in turn.
bool StrikeSearch::checkNext(const Game& game, float dt, int& stepBudget) {
    Candidate* best = nullptr;
    for (int i = 0; i < count_; ++i)
        if (!best || candidates_[i].value > best->value) best = &candidates_[i];
    if (!best || best->checked || best->strike.wait <= 0.0f || best->value < kGoesNowhere) return false;
    best->checked = true;
    ++checks_;
    int astray = 0;
    for (float doubt : {1.0f + kSpeedDoubt, 1.0f - kSpeedDoubt}) {
        const PuckState off{puck_.pos, {puck_.vel.x * doubt, puck_.vel.z * doubt}};
        const TrialOutcome o = trialStrike(game, best->strike, off, hold_, dt, othersWalk_);
        stepBudget -= o.steps;
        if (lost(game, o)) ++astray;
    }
    best->value -= kAstrayCost * 0.5f * static_cast<float>(astray);
    return true;
}
