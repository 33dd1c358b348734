#pragma once
// The search for the best strike: strikes lined up from where the puck is (or will be when a
// figure can stand ready), the likeliest few tried on a copy of the rink, a share of them a
// frame, so that no frame of the game waits for the whole search.
#include "ai/shot_trial.h"

class StrikeSearch {
public:
    // Seconds a search may take, a frame's slack included: a moving puck is planned for
    // a figure that sets off this long after the search began.
    static constexpr float kSearchLag = 0.4f;
    static constexpr int kMostCandidates = 96;

    // A fresh search for `team` on the puck as sighted `age` seconds ago, striking at `rate`
    // steps a second; `breadth` strikes are tried at most. `avoid`: a figure not to use.
    // `othersWalk`: the other team is seen to move, its goalie with the puck. `round`: how
    // many searches before this one found nothing worth making; each tries further strikes.
    void start(const Game& game, int team, const PuckState& puck, float age, float rate, int breadth, int avoid,
               bool othersWalk, int round);
    void stop() { running_ = false; }
    bool running() const { return running_; }
    // Tries strikes until `stepBudget` puck steps are spent; true on the frame it ends.
    bool advance(const Game& game, float dt, int stepBudget);

    bool found() const { return best_.player >= 0; }
    const Strike& best() const { return best_; }
    float bestValue() const { return bestValue_; }
    const TrialOutcome& bestOutcome() const { return bestOutcome_; }
    const PuckState& puck() const { return puck_; }
    bool atRest() const { return atRest_; }
    // The puck rests where no blade of the other team reaches: left alone, it stays there.
    bool onlyOurs() const { return onlyOurs_; }
    float hold() const { return hold_; }  // seconds after the sighting the figure sets off

private:
    struct Candidate {
        Strike strike;
        float travel;  // seconds to stand ready
        float score;   // how well it points at the goal, before any trial
        float value = 0.0f;  // once tried
        TrialOutcome outcome{};
        bool checked = false;
    };
    // `tip`: the blade's tip may meet it too.
    void consider(const Game& game, int player, Point2 at, float wait, float age, float rate, bool tip);
    void considerRam(const Game& game, int player, Point2 at, float wait, float age, float rate);
    float value(const Game& game, const TrialOutcome& o, float travel) const;
    bool lost(const Game& game, const TrialOutcome& o) const;
    bool checkNext(const Game& game, float dt, int& stepBudget);

    int team_ = 0;
    PuckState puck_{};
    float hold_ = 0.0f;
    bool othersWalk_ = false;
    bool atRest_ = false, onlyOurs_ = false;
    bool deadAhead_ = false;  // moving, and bound for a rest no blade reaches
    bool pastTips_ = false;   // at rest beyond every tip but for its very edge
    Candidate candidates_[kMostCandidates];
    int count_ = 0, next_ = 0, checks_ = 0;
    bool running_ = false;
    Strike best_;
    float bestValue_ = 0.0f;
    TrialOutcome bestOutcome_;
};
