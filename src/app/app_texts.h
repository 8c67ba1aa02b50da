#pragma once
#include <QString>
#include <string>

namespace marovi::app {

inline constexpr char ProgramVersion[] = "1.6b";
inline constexpr char CoreVersion[] = "V 1.20";
inline constexpr char FormatLetter = 'J';

// The main window's caption after start-up, on activation and after a save or load.
QString StartCaption();
QString ActiveCaption(const std::string& fileName);
QString FileCaption(const std::string& fileName);

} // namespace marovi::app
