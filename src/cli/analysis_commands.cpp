#include <CLI/CLI.hpp>

#include "commands.h"

namespace marovi::cli {

void AddAnalysisCommands(CLI::App& /*app*/) {}

} // namespace marovi::cli
