#include <codec/codec.hpp>

#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kKey[] = "TESTKEYABC";
constexpr std::size_t kKeyLength = 10;

using Bytes = std::vector<unsigned char>;

Bytes ToBytes(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

Bytes Encipher(const Bytes& plain, const char* key = kKey)
{
    codec::buffer output;
    EXPECT_EQ(codec::encipher(plain.data(), plain.size(), key, std::strlen(key), output), codec::result::success);
    return Bytes(output.begin(), output.end());
}

int Decipher(const Bytes& cipher, Bytes& plain, const char* key = kKey)
{
    codec::buffer output;
    const int code = codec::decipher(cipher.data(), cipher.size(), key, std::strlen(key), output);
    plain.assign(output.begin(), output.end());
    return code;
}

TEST(Codec, RoundTripsEveryLengthAroundTheBlockSize)
{
    for (std::size_t length = 0; length <= 48; ++length) {
        Bytes plain(length);
        for (std::size_t i = 0; i < length; ++i)
            plain[i] = static_cast<unsigned char>(i * 37 + 1);
        const Bytes cipher = Encipher(plain);
        // Whole blocks, always one more than the plain text needs.
        EXPECT_EQ(cipher.size(), (length / 16 + 1) * 16) << length;
        Bytes back;
        ASSERT_EQ(Decipher(cipher, back), codec::result::success) << length;
        EXPECT_EQ(back, plain) << length;
    }
}

TEST(Codec, OutputIsDeterministicKeyedAndHidesThePlainText)
{
    const Bytes plain = ToBytes("secret-password-secret-password");
    const Bytes cipher = Encipher(plain);
    EXPECT_EQ(Encipher(plain), cipher);
    EXPECT_NE(Encipher(plain, "OTHERKEYXY"), cipher);
    EXPECT_EQ(std::search(cipher.begin(), cipher.end(), plain.begin(), plain.begin() + 6), cipher.end());

    Bytes back;
    const int code = Decipher(cipher, back, "OTHERKEYXY");
    EXPECT_TRUE(code == codec::result::failure || back != plain);
}

TEST(Codec, DamagedInputGivesAnErrorCodeAndNoBytes)
{
    const Bytes cipher = Encipher(ToBytes("password"));
    Bytes truncated(cipher.begin(), cipher.end() - 1);
    Bytes lastByteFlipped = cipher;
    lastByteFlipped.back() ^= 0x5a;
    const Bytes oneByte(1, 0x42);
    const Bytes twoBlocksOfZeros(32, 0);

    for (const Bytes& damaged : {truncated, lastByteFlipped, oneByte, twoBlocksOfZeros, Bytes()}) {
        codec::buffer output;
        EXPECT_EQ(codec::decipher(damaged.data(), damaged.size(), kKey, kKeyLength, output),
                  codec::result::failure)
            << damaged.size();
        EXPECT_TRUE(output.empty());
        EXPECT_EQ(output.data(), nullptr);
    }
}

TEST(Codec, InvalidArgumentsAreRefusedAndEmptyThePreviousOutput)
{
    const Bytes plain = ToBytes("abcd");
    codec::buffer output;
    ASSERT_EQ(codec::encipher(plain.data(), plain.size(), kKey, kKeyLength, output), codec::result::success);
    EXPECT_EQ(codec::encipher(nullptr, 4, kKey, kKeyLength, output), codec::result::failure);
    EXPECT_TRUE(output.empty());
    EXPECT_EQ(codec::encipher(plain.data(), plain.size(), nullptr, kKeyLength, output), codec::result::failure);
    EXPECT_EQ(codec::decipher(nullptr, 16, kKey, kKeyLength, output), codec::result::failure);
}

// With the default properties asking for a provider that is not loaded, no
// digest can be fetched, which is how a key derivation failure shows.
TEST(Codec, KeyDerivationFailureHasItsOwnCode)
{
    ASSERT_EQ(EVP_set_default_properties(nullptr, "fips=yes"), 1);
    const Bytes plain = ToBytes("abc");
    codec::buffer output;
    const int encipherCode = codec::encipher(plain.data(), plain.size(), kKey, kKeyLength, output);
    const int decipherCode = codec::decipher(plain.data(), plain.size(), kKey, kKeyLength, output);
    ASSERT_EQ(EVP_set_default_properties(nullptr, ""), 1);

    EXPECT_EQ(encipherCode, codec::result::key_derivation_failed);
    EXPECT_EQ(decipherCode, codec::result::key_derivation_failed);
    EXPECT_TRUE(output.empty());
}

} // namespace
