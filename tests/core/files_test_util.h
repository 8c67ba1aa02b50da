#pragma once
// Helpers of the file tests: scenarios, temporary files and hand-built little-endian bytes.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "model/model.h"
#include "model/simulation.h"
#include "model/step.h"
#include "util/error.h"

namespace files_test {

// The default scenario (10 species, 100 x 100 unless given, full start fill) after some steps.
inline marovi::Model Scenario(int steps, int side = 100, int seed = 4711)
{
    marovi::Model m;
    marovi::InitStartupModel(m, seed, side, side);
    m.RandomSeed = seed;
    marovi::NewSimulationModel(m, 0);
    for (int i = 0; i < steps; ++i) marovi::SimulationStep(m);
    return m;
}

// The message of the marovi::Error that f throws, or "(no error)".
template <class F>
std::string ErrorOf(F f)
{
    try {
        f();
    } catch (const marovi::Error& e) {
        return e.what();
    }
    return "(no error)";
}

// A fresh directory under the system's temporary directory, removed with its contents.
class TempDir {
public:
    TempDir()
    {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("marovi_files_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Little-endian bytes built by hand, independent of the program's own writer.
class Bytes {
public:
    explicit Bytes(size_t size = 0) : b_(size, '\0') {}
    Bytes& I32(size_t off, int32_t v)
    {
        Grow(off + 4);
        for (int i = 0; i < 4; ++i) b_[off + i] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
        return *this;
    }
    Bytes& F64(size_t off, double v)
    {
        uint64_t u;
        std::memcpy(&u, &v, 8);
        Grow(off + 8);
        for (int i = 0; i < 8; ++i) b_[off + i] = static_cast<char>((u >> (8 * i)) & 0xFF);
        return *this;
    }
    Bytes& U8(size_t off, uint8_t v)
    {
        Grow(off + 1);
        b_[off] = static_cast<char>(v);
        return *this;
    }
    Bytes& Text(size_t off, const std::string& s)
    {
        Grow(off + s.size());
        b_.replace(off, s.size(), s);
        return *this;
    }
    Bytes& Append(const std::string& s)
    {
        b_ += s;
        return *this;
    }
    size_t Size() const { return b_.size(); }
    const std::string& Str() const { return b_; }

private:
    void Grow(size_t n)
    {
        if (b_.size() < n) b_.resize(n, '\0');
    }
    std::string b_;
};

inline int32_t I32At(const std::string& b, size_t off)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(b[off + i])) << (8 * i);
    return static_cast<int32_t>(v);
}

inline double F64At(const std::string& b, size_t off)
{
    uint64_t u = 0;
    for (int i = 0; i < 8; ++i) u |= static_cast<uint64_t>(static_cast<uint8_t>(b[off + i])) << (8 * i);
    double v;
    std::memcpy(&v, &u, 8);
    return v;
}

} // namespace files_test
