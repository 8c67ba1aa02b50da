#include "files/save_file.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "util/error.h"
#include "util/format.h"

namespace marovi {

namespace {

std::string Reason() { return std::strerror(errno); }

// A name beside the target that no other save of this or another process uses.
std::string TemporaryName(const std::string& path)
{
    static std::atomic<unsigned> counter{0};
    return Format("%s.~%d-%u", {path, static_cast<int>(::getpid()), counter.fetch_add(1)});
}

} // namespace

void SaveReplacing(const std::string& path, const std::function<void(TByteWriter&)>& write)
{
    const std::string temp = TemporaryName(path);
    std::FILE* f = std::fopen(temp.c_str(), "wbx");
    if (!f) throw Error(Format("could not save %s: %s", {path, Reason()}));
    std::string failure;
    try {
        TByteWriter w(f);
        write(w);
        if (!w.Flush() || std::fflush(f) != 0) failure = Reason();
    } catch (...) {
        std::fclose(f);
        std::remove(temp.c_str());
        throw;
    }
    if (std::fclose(f) != 0 && failure.empty()) failure = Reason();
    if (failure.empty() && std::rename(temp.c_str(), path.c_str()) != 0) failure = Reason();
    if (!failure.empty()) {
        std::remove(temp.c_str());
        throw Error(Format("could not save %s: %s", {path, failure}));
    }
}

} // namespace marovi
