#include "runner.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "files/grid_file.h"
#include "files/status_list.h"
#include "model/model.h"
#include "util/error.h"
#include "util/format.h"

namespace fs = std::filesystem;

namespace marovi::cli {

TTempDir::TTempDir()
{
    std::string pattern = (fs::temp_directory_path() / "marovi-cli-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw Error("can not create a temporary directory in " + fs::temp_directory_path().string());
    path_ = pattern;
}

TTempDir::~TTempDir()
{
    std::error_code ec;
    fs::remove_all(path_, ec);
}

TProgressLine::TProgressLine() : enabled_(::isatty(STDERR_FILENO) == 1) {}

void TProgressLine::Show(const std::string& text, bool force)
{
    if (!enabled_) return;
    const long long now = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now().time_since_epoch()).count();
    if (!force && now - lastMs_ < 200) return;
    lastMs_ = now;
    std::fprintf(stderr, "\r%-60s", text.c_str());
    std::fflush(stderr);
    shown_ = true;
}

void TProgressLine::Finish()
{
    if (!shown_) return;
    std::fprintf(stderr, "\r%60s\r", "");
    std::fflush(stderr);
    shown_ = false;
}

Model LoadSimulationFile(const std::string& path)
{
    Model m;
    try {
        LoadGridFile(m, path);
    } catch (const Error& e) {
        const std::string message = e.what();
        if (message.find(path) != std::string::npos) throw;
        throw Error(path + ": " + message);
    }
    m.FileName = path;
    return m;
}

void CheckWritable(const std::string& path)
{
    const fs::path p(path);
    if (p.filename().empty()) throw Error("can not write " + path + ": no file name");
    const fs::path dir = p.parent_path().empty() ? fs::path(".") : p.parent_path();
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) throw Error("can not write " + path + ": the directory " + dir.string() + " does not exist");
    if (fs::is_directory(p, ec)) throw Error("can not write " + path + ": it is a directory");
}

void SaveRunOutputs(const Model& m, const std::string& out, const TStatusList* list)
{
    if (!list) {
        SaveGridFile(m, out);
        return;
    }
    // The grid file waits under a temporary name until its companion is written.
    const std::string part = out + ".~" + std::to_string(::getpid()) + ".part";
    try {
        SaveGridFile(m, part);
        list->SaveCompanion(CompanionFileName(out));
        std::error_code ec;
        fs::rename(part, out, ec);
        if (ec) throw Error("can not replace " + out + ": " + ec.message());
    } catch (...) {
        std::error_code ec;
        fs::remove(part, ec);
        throw;
    }
}

std::string ReplicateName(const std::string& out, int number)
{
    fs::path p(out);
    p.replace_extension();
    return p.string() + Format("_%3.3d.mgf", {number});
}

} // namespace marovi::cli
