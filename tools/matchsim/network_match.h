#pragma once
#include "match_result.h"
#include "options.h"

// One network match: a creating and a joining Game, each with the computer on its own
// team, through the real exchanges over a lossy in-memory link, each on its own frame times.
MatchResult playNetworkMatch(const Options& options, int index, uint64_t seed);
