#include <gtest/gtest.h>

#include <filesystem>

#include "files/byte_io.h"
#include "files_test_util.h"
#include "test_support.h"

namespace {

using namespace marovi;

// A file of 9.5 MB of bytes that differ from their neighbours: three read-ahead chunks and a
// part.
struct TPatternFile {
    TPatternFile() : bytes(9'500'000, '\0')
    {
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
        files_test::WriteAll(path, bytes);
    }
    files_test::TempDir dir;
    const std::string path = dir.File("pattern");
    std::string bytes;
};

// Records of every size up to a full cell's individuals straddle the chunks' ends; a record
// longer than a chunk and the rest at once are gathered. Every byte comes back in order.
TEST(ByteReader, RecordsAcrossReadAheadChunksComeBackInOrder)
{
    const TPatternFile file;
    const std::string& path = file.path;
    const std::string& bytes = file.bytes;
    TByteReader r(path);
    size_t pos = 0;
    auto expect = [&](const TRecordIn& rec) {
        ASSERT_EQ(rec.Chars(0, rec.Size()), std::string_view(bytes).substr(pos, rec.Size())) << "at " << pos;
        pos += rec.Size();
    };
    for (size_t n = 1; pos < 5'000'000; n = (n * 37 + 11) % 3300 + 1) expect(r.Record(n, "a record"));
    expect(r.Record(4'200'000, "a long record"));
    for (int i = 0; i < 100; ++i) expect(r.Record(20, "a cell"));
    const std::string_view rest = r.Rest("its end");
    EXPECT_EQ(rest, std::string_view(bytes).substr(pos));
    EXPECT_EQ(test::ErrorText([&] { r.Record(1, "more"); }), path + ": the file ends before more");
}

// A file cut short while it is read ends with the bytes it still had, never with bytes of a
// later part.
TEST(ByteReader, FileCutShortWhileReadEndsEarly)
{
    const TPatternFile file;
    const std::string& path = file.path;
    const std::string& bytes = file.bytes;
    TByteReader r(path);
    std::filesystem::resize_file(path, 5'000'000);
    size_t pos = 0;
    const std::string error = test::ErrorText([&] {
        for (;;) {
            const TRecordIn rec = r.Record(3000, "a cell");
            ASSERT_EQ(rec.Chars(0, 3000), std::string_view(bytes).substr(pos, 3000));
            pos += 3000;
        }
    });
    EXPECT_EQ(error, path + ": the file ends before a cell");
    EXPECT_EQ(pos, 4'998'000u);
}

} // namespace
