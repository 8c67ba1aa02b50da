#include "files/byte_io.h"

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/read_ahead.h"
#include "files/safe_file.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {

namespace {
constexpr size_t BufferSize = 1 << 18;
}

void TByteWriter::Write(const void* data, size_t n)
{
    const auto* p = static_cast<const uint8_t*>(data);
    if (buf_.capacity() == 0) buf_.reserve(BufferSize);
    if (buf_.size() + n > BufferSize) Flush();
    if (n > BufferSize)
        Put(p, n);
    else
        buf_.insert(buf_.end(), p, p + n);
}

uint8_t* TByteWriter::Claim(size_t n)
{
    if (buf_.capacity() == 0) buf_.reserve(BufferSize);
    if (buf_.size() + n > BufferSize) Flush();
    const size_t at = buf_.size();
    buf_.resize(at + n);
    return buf_.data() + at;
}

void TByteWriter::Put(const uint8_t* p, size_t n)
{
    const std::string_view bytes(reinterpret_cast<const char*>(p), n);
    if (text_)
        text_->append(bytes);
    else
        file_->Write(bytes);
}

void TByteWriter::Flush()
{
    Put(buf_.data(), buf_.size());
    buf_.clear();
}

std::string BytesOf(const std::function<void(TByteWriter&)>& write)
{
    std::string out;
    TByteWriter w(out);
    write(w);
    w.Flush();
    return out;
}

TByteReader::TByteReader(const std::string& path) : name_(path)
{
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw Error(Format("file %s not found", {path}));
    // Only a regular file has a size to check counts against (a directory or a device does not).
    struct stat st{};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        throw Error(Format("%s: not a file that can be read", {path}));
    }
    size_ = static_cast<uint64_t>(st.st_size);
    try {
        ahead_ = std::make_unique<TReadAhead>(fd_, size_);
    } catch (...) {
        ::close(fd_);
        throw;
    }
}

TByteReader::TByteReader(std::string_view bytes, std::string name)
    : name_(std::move(name)), size_(bytes.size()), data_(reinterpret_cast<const uint8_t*>(bytes.data())),
      bufEnd_(bytes.size())
{
}

TByteReader::~TByteReader()
{
    ahead_.reset(); // its read in flight ends first
    if (fd_ >= 0) ::close(fd_);
}

void TByteReader::Expect(uint64_t n, std::string_view what) const
{
    if (n > Remaining()) throw Error(Format("%s: the file ends before %s", {name_, what}));
}

TRecordIn TByteReader::Record(size_t n, std::string_view what)
{
    Expect(n, what);
    if (bufEnd_ - bufPos_ < n) {
        Refill(n);
        // The file shrank while it was read.
        if (bufEnd_ - bufPos_ < n) throw Error(Format("%s: the file ends before %s", {name_, what}));
    }
    TRecordIn r(data_ + bufPos_, n);
    bufPos_ += n;
    pos_ += n;
    return r;
}

void TByteReader::Refill(size_t n)
{
    if (!ahead_) return; // bytes in memory are all at hand
    const size_t tail = bufEnd_ - bufPos_;
    if (tail <= ahead_->Headroom()) {
        const std::span<const uint8_t> next = ahead_->Next(data_ + bufPos_, tail);
        if (next.empty()) return;
        data_ = next.data();
        bufPos_ = 0;
        bufEnd_ = next.size();
        if (bufEnd_ >= n) return;
    }
    // Longer than a chunk's headroom takes (text files read whole): gathered in a buffer of its own.
    if (data_ == spill_.data())
        spill_.erase(spill_.begin(), spill_.begin() + static_cast<std::ptrdiff_t>(bufPos_));
    else
        spill_.assign(data_ + bufPos_, data_ + bufEnd_);
    while (spill_.size() < n) {
        const std::span<const uint8_t> next = ahead_->Next(nullptr, 0);
        if (next.empty()) break;
        spill_.insert(spill_.end(), next.begin(), next.end());
    }
    data_ = spill_.data();
    bufPos_ = 0;
    bufEnd_ = spill_.size();
}

std::string_view TByteReader::Rest(std::string_view what)
{
    const TRecordIn r = Record(static_cast<size_t>(Remaining()), what);
    return r.Chars(0, r.Size());
}

} // namespace marovi
