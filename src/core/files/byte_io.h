#pragma once
#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace marovi {

// Little-endian field access into one fixed-size record read from a file.
class TRecordIn {
public:
    TRecordIn(const uint8_t* bytes, size_t size) : p_(bytes), size_(size) {}
    size_t Size() const { return size_; }
    uint8_t U8(size_t off) const { return p_[off]; }
    int8_t I8(size_t off) const { return static_cast<int8_t>(p_[off]); }
    bool Bool(size_t off) const { return p_[off] != 0; }
    uint32_t U32(size_t off) const
    {
        return uint32_t{p_[off]} | uint32_t{p_[off + 1]} << 8 | uint32_t{p_[off + 2]} << 16 | uint32_t{p_[off + 3]} << 24;
    }
    int32_t I32(size_t off) const { return static_cast<int32_t>(U32(off)); }
    double F64(size_t off) const { return std::bit_cast<double>(uint64_t{U32(off)} | uint64_t{U32(off + 4)} << 32); }
    std::string_view Chars(size_t off, size_t n) const { return {reinterpret_cast<const char*>(p_ + off), n}; }
    // The n bytes from off as a record of their own (a run of equal records read at once).
    TRecordIn Sub(size_t off, size_t n) const { return {p_ + off, n}; }

private:
    const uint8_t* p_;
    size_t size_;
};

// Little-endian field stores at offsets into the bytes of a record of Derived.
template <class Derived>
class TFieldsOut {
public:
    void U8(size_t off, uint8_t v) { At(off)[0] = v; }
    void I8(size_t off, int8_t v) { At(off)[0] = static_cast<uint8_t>(v); }
    void Bool(size_t off, bool v) { At(off)[0] = v ? 1 : 0; }
    void U32(size_t off, uint32_t v)
    {
        for (int i = 0; i < 4; ++i) At(off)[i] = static_cast<uint8_t>(v >> (8 * i));
    }
    void I32(size_t off, int32_t v) { U32(off, static_cast<uint32_t>(v)); }
    void F64(size_t off, double v)
    {
        const uint64_t u = std::bit_cast<uint64_t>(v);
        U32(off, static_cast<uint32_t>(u));
        U32(off + 4, static_cast<uint32_t>(u >> 32));
    }
    void Chars(size_t off, std::string_view s) { std::memcpy(At(off), s.data(), s.size()); }

private:
    uint8_t* At(size_t off) { return static_cast<Derived*>(this)->Bytes() + off; }
};

// One fixed-size record being built for a file: zeroed, filled at offsets, then written whole.
template <size_t N>
class TRecordOut : public TFieldsOut<TRecordOut<N>> {
public:
    static constexpr size_t Size = N;
    uint8_t* Bytes() { return b_.data(); }
    const uint8_t* Data() const { return b_.data(); }

private:
    std::array<uint8_t, N> b_{};
};

// Records filled in place, in zeroed bytes that a TByteWriter has claimed.
class TRecordAt : public TFieldsOut<TRecordAt> {
public:
    explicit TRecordAt(uint8_t* bytes) : p_(bytes) {}
    uint8_t* Bytes() { return p_; }
    // The record n bytes further on.
    TRecordAt Next(size_t n) const { return TRecordAt(p_ + n); }

private:
    uint8_t* p_;
};

class TSafeFile;
class TReadAhead;

// Buffered output of a file's bytes, either appended to a string or written to a file.
class TByteWriter {
public:
    explicit TByteWriter(std::string& out) : text_(&out) {}
    explicit TByteWriter(TSafeFile& file) : file_(&file) {}
    TByteWriter(const TByteWriter&) = delete;
    TByteWriter& operator=(const TByteWriter&) = delete;
    ~TByteWriter() = default; // callers Flush(); a destructor must not throw

    void Write(const void* data, size_t n);
    template <size_t N>
    void Write(const TRecordOut<N>& r) { Write(r.Data(), N); }
    void Write(std::string_view s) { Write(s.data(), s.size()); }
    // The next n bytes of the output, zeroed, to be filled in place before any other call.
    uint8_t* Claim(size_t n);
    // Hands everything buffered to the string or the file (which throws when it fails).
    void Flush();

private:
    void Put(const uint8_t* p, size_t n);
    std::string* text_ = nullptr;
    TSafeFile* file_ = nullptr;
    std::vector<uint8_t> buf_;
};

// The bytes that write produces, in memory.
std::string BytesOf(const std::function<void(TByteWriter&)>& write);

// Bounded input of a file's bytes, from memory or from a file read ahead by chunks. Every read
// first checks that the bytes are there, so counts are checked against the file's size
// before anything is allocated for them.
class TByteReader {
public:
    // Throws "file %s not found" when the file cannot be opened.
    explicit TByteReader(const std::string& path);
    TByteReader(std::string_view bytes, std::string name);
    ~TByteReader();
    TByteReader(const TByteReader&) = delete;
    TByteReader& operator=(const TByteReader&) = delete;

    const std::string& Name() const { return name_; }
    uint64_t Size() const { return size_; }
    uint64_t Remaining() const { return size_ - pos_; }
    // Throws "<file>: the file ends before <what>" unless n more bytes are there.
    void Expect(uint64_t n, std::string_view what) const;
    // The next n bytes (valid until the next call); fails like Expect.
    TRecordIn Record(size_t n, std::string_view what);
    // Everything that is left, for text files.
    std::string_view Rest(std::string_view what);

private:
    void Refill(size_t n);

    std::string name_;
    int fd_ = -1;
    std::unique_ptr<TReadAhead> ahead_;
    uint64_t size_ = 0, pos_ = 0;
    const uint8_t* data_ = nullptr; // the bytes at hand: data_[bufPos_, bufEnd_)
    size_t bufPos_ = 0, bufEnd_ = 0;
    std::vector<uint8_t> spill_; // a record longer than the read-ahead's headroom, gathered
};

} // namespace marovi
