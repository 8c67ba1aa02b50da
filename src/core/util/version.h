#pragma once

namespace marovi {

// The program's version texts, as the about box and the grid files show them.
inline constexpr char ProgramVersionText[] = "1.6b";
inline constexpr char CoreVersionText[] = "V 1.20";

} // namespace marovi
