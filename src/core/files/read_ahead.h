#pragma once
#include <cstddef>
#include <cstdint>
#include <future>
#include <span>

#include "util/large_block.h"

namespace marovi {

// Reads a file by chunks on a helper thread, one chunk ahead of its reader, so that reading
// (a copy out of the page cache, a third of loading a large grid file) overlaps the parsing
// of the chunk before. Two buffers are filled in turn; each keeps room before its chunk for
// the unread end of the chunk before, so that a record never straddles two buffers.
class TReadAhead {
public:
    // Room for the tail before each chunk: longer than any record but text, which the reader
    // gathers on its own; never more than the file.
    static constexpr size_t MaxHeadroom = size_t{64} << 10;

    // Starts reading the first chunk of the open file fd (which stays the caller's) of `size`
    // bytes.
    TReadAhead(int fd, uint64_t size);
    ~TReadAhead(); // waits for the read in flight
    TReadAhead(const TReadAhead&) = delete;
    TReadAhead& operator=(const TReadAhead&) = delete;

    size_t Headroom() const { return headroom_; }

    // A copy of `tail` (at most Headroom() bytes, from the chunk handed out before or anywhere
    // else) followed by the next chunk, valid until the next call; empty, and `tail` not
    // copied, once every chunk has been handed out. A chunk comes short when the file shrank
    // or could not be read, and is then the last.
    std::span<const uint8_t> Next(const uint8_t* tail, size_t tailSize);

private:
    void Start();

    int fd_;
    uint64_t size_;
    uint64_t offset_ = 0; // of the next chunk to read
    size_t chunk_ = 0;
    size_t headroom_ = 0;
    TLargeBlock buffers_[2];
    int filling_ = 0; // the buffer of the read in flight
    size_t asked_[2] = {0, 0};
    bool short_ = false;
    std::future<size_t> pending_;
};

} // namespace marovi
