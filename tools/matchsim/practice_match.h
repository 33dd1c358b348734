#pragma once
#include "match_result.h"
#include "options.h"

// One practice match on one Game, a computer on each team the levels name.
MatchResult playPracticeMatch(const Options& options, int index, uint64_t seed);
