// The digest that provenance files give for every input.
#include <gtest/gtest.h>

#include <string>

#include "util/sha256.h"

TEST(Sha256, KnownDigestsAcrossBlockBoundaries)
{
    using marovi::Sha256Hex;
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the length no longer fits the first block.
    EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    // Fed in pieces that straddle blocks.
    marovi::TSha256 pieces;
    for (int i = 0; i < 10; ++i) pieces.Add(std::string(100, 'a'));
    EXPECT_EQ(pieces.HexDigest(), "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3");
}
