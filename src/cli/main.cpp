// marovi-cli: the headless runner and analysis front end of MAROVI.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <string>

#include "commands.h"
#include "provenance.h"
#include "util/error.h"

int main(int argc, char** argv)
{
    marovi::cli::RememberCommandLine(argc, argv);
    CLI::App app{"MAROVI headless runner and analysis front end"};
    app.require_subcommand(1);
    marovi::cli::AddFileCommands(app);
    marovi::cli::AddAnalysisCommands(app);
    marovi::cli::AddSweepCommands(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    } catch (const std::exception& e) {
        // Messages made for a message box break their lines with CR alone.
        std::string message = e.what();
        std::replace(message.begin(), message.end(), '\r', '\n');
        std::cerr << "marovi-cli: " << message << "\n";
        return 1;
    }
    return 0;
}
