#include "match_result.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string format(const char* pattern, double a, double b = 0.0) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

}  // namespace

std::string describeMatch(const MatchResult& r) {
    std::string line = "match " + std::to_string(r.index) + " seed " + std::to_string(r.seed) + ": " +
                       std::to_string(r.score[0]) + ":" + std::to_string(r.score[1]);
    switch (r.ending) {
        case Ending::Finished: line += format(" finished at %.2f min", r.minutes); break;
        case Ending::Stall:
            line += format(" stall at %.2f min", r.minutes) + format(", puck at rest at (%.1f, %.1f)", r.puckAt[0], r.puckAt[1]);
            break;
        case Ending::Capped: line += format(" capped at %.2f min", r.minutes); break;
    }
    if (r.ending == Ending::Finished) line += r.leftTogether ? ", left" : ", did not leave";
    if (r.network) {
        if (r.ending == Ending::Finished && r.leftTogether) line += format(" together (joining %+.2f s)", r.leaveGap);
        line += ", joining shows " + std::to_string(r.joiningScore[0]) + ":" + std::to_string(r.joiningScore[1]);
        if (r.goalsLost) line += ", goals lost " + std::to_string(r.goalsLost);
        if (r.goalsTwice) line += ", goals counted twice " + std::to_string(r.goalsTwice);
        if (r.goalsOverruled) line += ", overruled by a touch " + std::to_string(r.goalsOverruled);
        if (r.disagreement()) line += ", DISAGREEMENT";
        line += ", datagrams " + std::to_string(r.link.sent) + " (dropped " + std::to_string(r.link.dropped) +
                ", held " + std::to_string(r.link.held) + ")";
    }
    return line;
}

void Summary::add(const MatchResult& r) {
    ++matches_;
    if (r.disagreement()) ++disagreements_;
    if (r.ending == Ending::Stall) ++stalls_;
    if (r.ending != Ending::Finished) return;
    ++finished_;
    if (r.leftTogether) ++leftTogether_;
    ++wins_[r.score[0] > r.score[1] ? 0 : 1];
    finishedMinutes_.push_back(r.minutes);
}

std::string Summary::line() const {
    double median = 0.0;
    if (!finishedMinutes_.empty()) {
        std::vector<double> m = finishedMinutes_;
        std::sort(m.begin(), m.end());
        const size_t n = m.size();
        median = n % 2 ? m[n / 2] : (m[n / 2 - 1] + m[n / 2]) / 2.0;
    }
    char text[200];
    std::snprintf(text, sizeof text,
                  "summary: matches %d, finished %d, disagreements %d, left together %d, wins %d:%d, "
                  "median minutes %.1f, stalls %d",
                  matches_, finished_, disagreements_, leftTogether_, wins_[0], wins_[1], median, stalls_);
    return text;
}
