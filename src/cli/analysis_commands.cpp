// The analysis commands: each loads a saved simulation and prints what an analysis window shows.
#include <CLI/CLI.hpp>

#include "analysis_common.h"
#include "commands.h"

namespace marovi::cli {

void AddAnalysisCommands(CLI::App& app)
{
    AddClusterCommand(app);
    AddCommunityCommands(app);
    AddOutputCommands(app);
}

} // namespace marovi::cli
