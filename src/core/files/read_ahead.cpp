#include "files/read_ahead.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace marovi {

namespace {

// Chunk and headroom fill 4 MiB: two huge pages.
constexpr size_t ChunkSize = (size_t{4} << 20) - TReadAhead::MaxHeadroom;

// Reads up to n bytes at `offset`; fewer at the end of the file or on a read error (which the
// reader then reports as the file ending early).
size_t ReadAt(int fd, uint8_t* to, size_t n, uint64_t offset)
{
    size_t got = 0;
    while (got < n) {
        const ssize_t r = ::pread(fd, to + got, n - got, static_cast<off_t>(offset + got));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        got += static_cast<size_t>(r);
    }
    return got;
}

} // namespace

TReadAhead::TReadAhead(int fd, uint64_t size) : fd_(fd), size_(size)
{
    if (size_ == 0) return;
    chunk_ = static_cast<size_t>(std::min<uint64_t>(ChunkSize, size_));
    headroom_ = static_cast<size_t>(std::min<uint64_t>(MaxHeadroom, size_)); // a tail is never longer than the file
    buffers_[0] = TLargeBlock(headroom_ + chunk_, TLargeBlock::Now);
    buffers_[1] = TLargeBlock(headroom_ + chunk_, TLargeBlock::Now);
    Start();
}

TReadAhead::~TReadAhead()
{
    if (pending_.valid()) pending_.wait();
}

void TReadAhead::Start()
{
    const size_t n = static_cast<size_t>(std::min<uint64_t>(chunk_, size_ - offset_));
    uint8_t* to = static_cast<uint8_t*>(buffers_[filling_].data()) + headroom_;
    asked_[filling_] = n;
    pending_ = std::async(std::launch::async, [fd = fd_, to, n, at = offset_] { return ReadAt(fd, to, n, at); });
    offset_ += n;
}

std::span<const uint8_t> TReadAhead::Next(const uint8_t* tail, size_t tailSize)
{
    if (!pending_.valid() || short_) return {};
    const size_t got = pending_.get();
    // After a short chunk, later ones would join bytes that do not follow each other.
    short_ = got < asked_[filling_];
    uint8_t* chunk = static_cast<uint8_t*>(buffers_[filling_].data()) + headroom_;
    // The tail lies elsewhere (the other buffer, or the reader's own): copied before that
    // buffer is read into again.
    if (tailSize > 0) std::memcpy(chunk - tailSize, tail, tailSize);
    filling_ ^= 1;
    if (offset_ < size_ && !short_) Start();
    return {chunk - tailSize, tailSize + got};
}

} // namespace marovi
