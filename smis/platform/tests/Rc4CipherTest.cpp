#include "Rc4Cipher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> fromHex(const std::string& hex)
{
    std::vector<std::uint8_t> out;
    for (std::size_t n = 0; n + 1 < hex.size(); n += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(n, 2), nullptr, 16)));
    return out;
}

// Key stream of a key, taken by encrypting zero bytes, in chunks of the given
// size so that continuation across apply() calls is exercised too.
std::vector<std::uint8_t> keyStream(const std::vector<std::uint8_t>& key, std::size_t length,
                                    std::size_t chunk)
{
    Rc4Cipher cipher(key.data(), key.size());
    std::vector<std::uint8_t> out(length, 0);
    for (std::size_t at = 0; at < length; at += chunk)
        EXPECT_TRUE(cipher.apply(out.data() + at, std::min(chunk, length - at)));
    return out;
}

std::vector<std::uint8_t> slice(const std::vector<std::uint8_t>& v, std::size_t at, std::size_t n)
{
    return {v.begin() + static_cast<std::ptrdiff_t>(at), v.begin() + static_cast<std::ptrdiff_t>(at + n)};
}

}  // namespace

// Published key-stream vectors for RC4 (40-bit and 128-bit keys), at the start
// of the stream and at offsets 240 and 256.
TEST(Rc4Cipher, MatchesPublishedKeyStreams)
{
    const auto key40 = fromHex("0102030405");
    EXPECT_EQ(slice(keyStream(key40, 16, 16), 0, 16), fromHex("b2396305f03dc027ccc3524a0a1118a8"));

    const auto key128 = fromHex("0102030405060708090a0b0c0d0e0f10");
    for (std::size_t chunk : {1u, 7u, 272u})
    {
        SCOPED_TRACE(chunk);
        const auto stream = keyStream(key128, 272, chunk);
        EXPECT_EQ(slice(stream, 0, 16), fromHex("9ac7cc9a609d1ef7b2932899cde41b97"));
        EXPECT_EQ(slice(stream, 240, 16), fromHex("065902e4b620f6cc36c8589f66432f2b"));
        EXPECT_EQ(slice(stream, 256, 16), fromHex("d39d566bc6bce3010768151549f3873f"));
    }
}

TEST(Rc4Cipher, DecryptsWhatItEncryptedAndRefusesAnEmptyKey)
{
    const auto key = fromHex("0239516d272d4a0a1215f703cc4860dd");
    std::vector<std::uint8_t> data(300);
    for (std::size_t n = 0; n < data.size(); ++n)
        data[n] = static_cast<std::uint8_t>(n * 7);
    const auto plain = data;

    Rc4Cipher(key.data(), key.size()).apply(data.data(), data.size());
    EXPECT_NE(data, plain);
    Rc4Cipher(key.data(), key.size()).apply(data.data(), data.size());
    EXPECT_EQ(data, plain);

    Rc4Cipher empty(key.data(), 0);
    EXPECT_FALSE(empty.valid());
    EXPECT_FALSE(empty.apply(data.data(), data.size()));
    EXPECT_EQ(data, plain);
}
