#include <Noctavi/MonitoredEntry/PasswordCodec.h>

#include <codec/codec.hpp>
#include <pelmo/error_message.hpp>
#include <pelmo/fatal_error.hpp>

#include <boost/exception/get_error_info.hpp>

#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace {

using MonitoredEntry::PasswordCodec;
using Bytes = std::vector<unsigned char>;

// What the codec library hands back for the stored bytes, before any text decoding.
Bytes DecipheredBytes(const Bytes& cipher)
{
    codec::buffer output;
    EXPECT_EQ(codec::decipher(cipher.data(), cipher.size(), "WEXDORMILA", 10, output), codec::result::success);
    return Bytes(output.begin(), output.end());
}

TEST(PasswordCodec, RoundTripsAsciiNonAsciiAndBeyondTheBasicPlane)
{
    for (const std::wstring& plain : {std::wstring(), std::wstring(L"abcdefghijklmnopqrstuvwxyz01"),
                                      std::wstring(L"Gr\u00FC\u00DFe \u65E5\u672C"),
                                      std::wstring(L"x\U0001F600y\U00010000\U0010FFFF")}) {
        const Bytes cipher = PasswordCodec::Encrypt(plain);
        EXPECT_FALSE(cipher.empty());
        EXPECT_EQ(PasswordCodec::Decrypt(cipher), plain);
    }
    EXPECT_EQ(PasswordCodec::Decrypt(Bytes()), L"");
}

TEST(PasswordCodec, PlainTextGoesInAsUtf16LittleEndian)
{
    EXPECT_EQ(DecipheredBytes(PasswordCodec::Encrypt(L"A\u00E9\U0001F600")),
              (Bytes{0x41, 0x00, 0xE9, 0x00, 0x3D, 0xD8, 0x00, 0xDE}));
    EXPECT_TRUE(DecipheredBytes(PasswordCodec::Encrypt(L"")).empty());
}

TEST(PasswordCodec, OutputIsDeterministicAndHidesThePassword)
{
    const std::wstring plain = L"password-password-password12";
    const Bytes cipher = PasswordCodec::Encrypt(plain);
    EXPECT_EQ(PasswordCodec::Encrypt(plain), cipher);
    EXPECT_NE(PasswordCodec::Encrypt(L"password-password-password13"), cipher);

    const Bytes narrow{'p', 'a', 's', 's'};
    const Bytes wide{'p', 0, 'a', 0, 's', 0, 's', 0};
    EXPECT_EQ(std::search(cipher.begin(), cipher.end(), narrow.begin(), narrow.end()), cipher.end());
    EXPECT_EQ(std::search(cipher.begin(), cipher.end(), wide.begin(), wide.end()), cipher.end());
}

TEST(PasswordCodec, DamagedBytesThrowFatalErrorWithoutMessage)
{
    const Bytes cipher = PasswordCodec::Encrypt(L"secret");
    Bytes truncated(cipher.begin(), cipher.end() - 3);
    Bytes flipped = cipher;
    flipped.back() ^= 0x01;
    const Bytes junk(1000, 0xAB);

    for (const Bytes& damaged : {truncated, flipped, junk, Bytes(1, 0)}) {
        try {
            PasswordCodec::Decrypt(damaged);
            ADD_FAILURE() << "no exception for " << damaged.size() << " bytes";
        } catch (const pelmo::fatal_error& e) {
            EXPECT_EQ(boost::get_error_info<pelmo::error_message>(e), nullptr);
        }
    }
}

TEST(PasswordCodec, KeyDerivationFailureCarriesItsMessage)
{
    // No digest can be fetched while the default properties ask for a provider that is not loaded.
    ASSERT_EQ(EVP_set_default_properties(nullptr, "fips=yes"), 1);
    std::string message;
    try {
        PasswordCodec::Encrypt(L"secret");
    } catch (const pelmo::fatal_error& e) {
        if (const std::string* info = boost::get_error_info<pelmo::error_message>(e))
            message = *info;
    }
    ASSERT_EQ(EVP_set_default_properties(nullptr, ""), 1);
    EXPECT_EQ(message, "md5 crypt failure.");
}

TEST(PasswordCodec, ManyThreadsAtOnceGiveTheSameResults)
{
    const std::wstring plain = L"shared \u00E9 password \U0001F600";
    const Bytes expected = PasswordCodec::Encrypt(plain);

    constexpr int kThreads = 8;
    std::vector<int> mismatches(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                const Bytes cipher = PasswordCodec::Encrypt(plain);
                if (cipher != expected || PasswordCodec::Decrypt(cipher) != plain)
                    ++mismatches[t];
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(std::count(mismatches.begin(), mismatches.end(), 0), kThreads);
}

} // namespace
