#pragma once
// What one match came to, its line in the output and the summary of many.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/fake/loop_link.h"

enum class Ending { Finished, Stall, Capped };

struct MatchResult {
    int index = 0;
    uint64_t seed = 0;
    bool network = false;
    Ending ending = Ending::Capped;
    double minutes = 0.0;      // game time to the tenth goal, the stall's end or the cap
    int score[2] = {0, 0};     // as the creating machine (or the one practice game) has it
    bool leftTogether = false; // every machine left by itself after the tenth goal
    float puckAt[2] = {0.0f, 0.0f};  // where the puck was at the end (x, z)
    // Network matches only.
    int joiningScore[2] = {0, 0};  // as the joining machine showed it last
    double leaveGap = 0.0;         // seconds from the creating machine leaving to the joining one
    int goalsLost = 0, goalsTwice = 0;
    int goalsOverruled = 0;  // found on the joining copy after a creating-machine touch took it back
    LinkCounts link;

    bool disagreement() const {
        return network && (joiningScore[0] != score[0] || joiningScore[1] != score[1] || goalsLost > 0 ||
                           goalsTwice > 0);
    }
};

std::string describeMatch(const MatchResult& result);

class Summary {
public:
    void add(const MatchResult& result);
    // summary: matches 200, finished 200, disagreements 0, left together 200, wins 131:69,
    // median minutes 3.9, stalls 0
    std::string line() const;

private:
    int matches_ = 0, finished_ = 0, disagreements_ = 0, leftTogether_ = 0, stalls_ = 0;
    int wins_[2] = {0, 0};
    std::vector<double> finishedMinutes_;
};
