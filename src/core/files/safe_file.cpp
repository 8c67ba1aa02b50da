#include "files/safe_file.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

#include "util/error.h"

namespace marovi {
namespace {

// Unique among the threads and processes that may save beside the same target.
std::string TempNameFor(const std::string& path)
{
    static std::atomic<unsigned> counter{0};
    return path + ".~" + std::to_string(::getpid()) + "_" + std::to_string(counter.fetch_add(1)) + ".tmp";
}

} // namespace

TSafeFile::TSafeFile(std::string path) : path_(std::move(path)), temp_(TempNameFor(path_))
{
    file_ = std::fopen(temp_.c_str(), "wb");
    if (!file_) throw Error("can not write " + path_ + ": " + std::strerror(errno));
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
}

TSafeFile::~TSafeFile() { Discard(); }

void TSafeFile::Fail(const char* what)
{
    const std::string reason = std::strerror(errno);
    Discard();
    throw Error(std::string(what) + " " + path_ + ": " + reason);
}

void TSafeFile::Write(std::string_view bytes)
{
    if (!file_) throw Error("can not write " + path_ + ": the file is closed");
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Fail("can not write");
}

void TSafeFile::WriteLine(std::string_view line)
{
    Write(line);
    Write("\r\n");
}

void TSafeFile::Commit()
{
    if (!file_) throw Error("can not write " + path_ + ": the file is closed");
    const bool flushed = std::fflush(file_) == 0 && !std::ferror(file_);
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || !closed) Fail("can not write");
    std::error_code ec;
    std::filesystem::rename(temp_, path_, ec);
    if (ec) {
        errno = ec.value();
        Fail("can not replace");
    }
    temp_.clear();
}

void TSafeFile::Discard()
{
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (!temp_.empty()) {
        std::error_code ec;
        std::filesystem::remove(temp_, ec);
        temp_.clear();
    }
}

void WriteTextLines(const std::string& path, const std::vector<std::string>& lines)
{
    TSafeFile file(path);
    for (const std::string& line : lines) file.WriteLine(line);
    file.Commit();
}

} // namespace marovi
