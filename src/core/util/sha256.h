#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace marovi {

// SHA-256 (FIPS 180-4) of bytes fed in pieces; provenance files name their inputs by it.
class TSha256 {
public:
    TSha256();
    void Add(std::string_view bytes);
    // The digest as 64 lower-case hex digits; the object is spent afterwards.
    std::string HexDigest();

private:
    void Block(const uint8_t* p);
    std::array<uint32_t, 8> h_;
    std::array<uint8_t, 64> buf_{};
    size_t used_ = 0;
    uint64_t length_ = 0;
};

std::string Sha256Hex(std::string_view bytes);
// The digest of a file's bytes; marovi::Error when it can not be read.
std::string FileSha256Hex(const std::string& path);

} // namespace marovi
