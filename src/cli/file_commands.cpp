#include <CLI/CLI.hpp>

#include "commands.h"

namespace marovi::cli {

void AddFileCommands(CLI::App& /*app*/) {}

} // namespace marovi::cli
