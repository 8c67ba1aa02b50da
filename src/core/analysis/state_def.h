#pragma once

namespace marovi {

constexpr int StateCount = 4;  // states 1..4
constexpr int GuildCount = 5;  // guilds 0..4

struct TStateCriterion {
    bool consider = false;
    double min = 0.0;
    double max = 0.0;
};

// The state definition table: Criteria[k-1][g] is guild g's criterion of state k.
struct TStateDef {
    TStateCriterion Criteria[StateCount][GuildCount];
};

} // namespace marovi
