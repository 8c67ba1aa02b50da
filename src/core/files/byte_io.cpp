#include "files/byte_io.h"

#include <algorithm>

#include <sys/stat.h>

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
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) throw Error(Format("file %s not found", {path}));
    // Only a regular file has a size to check counts against (a directory or a device does not).
    struct stat st{};
    if (::fstat(::fileno(file_), &st) != 0 || !S_ISREG(st.st_mode)) {
        std::fclose(file_);
        file_ = nullptr;
        throw Error(Format("%s: not a file that can be read", {path}));
    }
    size_ = static_cast<uint64_t>(st.st_size);
}

TByteReader::TByteReader(std::string_view bytes, std::string name)
    : name_(std::move(name)), memory_(bytes), size_(bytes.size())
{
}

TByteReader::~TByteReader()
{
    if (file_) std::fclose(file_);
}

void TByteReader::Expect(uint64_t n, std::string_view what) const
{
    if (n > Remaining()) throw Error(Format("%s: the file ends before %s", {name_, what}));
}

TRecordIn TByteReader::Record(size_t n, std::string_view what)
{
    Expect(n, what);
    if (!file_) {
        TRecordIn r(reinterpret_cast<const uint8_t*>(memory_.data()) + pos_, n);
        pos_ += n;
        return r;
    }
    if (bufEnd_ - bufPos_ < n) {
        // Keep the unread tail, then fill up from the file.
        std::copy(buf_.begin() + static_cast<std::ptrdiff_t>(bufPos_), buf_.begin() + static_cast<std::ptrdiff_t>(bufEnd_), buf_.begin());
        bufEnd_ -= bufPos_;
        bufPos_ = 0;
        // A small file needs no more buffer than its own size.
        const size_t want = std::max(n, static_cast<size_t>(std::min<uint64_t>(BufferSize, size_ - pos_)));
        if (buf_.size() < want) buf_.resize(want);
        const size_t ask = static_cast<size_t>(std::min<uint64_t>(want - bufEnd_, size_ - pos_ - bufEnd_));
        const size_t got = std::fread(buf_.data() + bufEnd_, 1, ask, file_);
        bufEnd_ += got;
        // The file shrank while it was read.
        if (bufEnd_ < n) throw Error(Format("%s: the file ends before %s", {name_, what}));
    }
    TRecordIn r(buf_.data() + bufPos_, n);
    bufPos_ += n;
    pos_ += n;
    return r;
}

std::string_view TByteReader::Rest(std::string_view what)
{
    const TRecordIn r = Record(static_cast<size_t>(Remaining()), what);
    return r.Chars(0, r.Size());
}

} // namespace marovi
