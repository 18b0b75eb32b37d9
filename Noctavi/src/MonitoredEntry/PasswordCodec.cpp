#include <Noctavi/MonitoredEntry/PasswordCodec.h>

#include <Noctavi/Utility/Utf16Conversion.h>

#include <codec/codec.hpp>
#include <pelmo/error_message.hpp>
#include <pelmo/fatal_error.hpp>

#include <new>

namespace MonitoredEntry {

namespace {

// The key every stored password is enciphered with; changing it makes every
// existing data file unreadable.
constexpr char kKey[] = "WEXDORMILA";
constexpr std::size_t kKeyLength = 10;
static_assert(sizeof kKey == kKeyLength + 1, "the key has exactly ten characters");

// The stored form is the cipher of the text's UTF-16LE code units, whatever
// the width of wchar_t, so that the bytes do not depend on the platform.
std::vector<unsigned char> ToUtf16LittleEndian(const std::wstring& text)
{
    const std::u16string units = Utility::ToUtf16(text);
    std::vector<unsigned char> bytes;
    bytes.reserve(units.size() * 2);
    for (char16_t unit : units) {
        bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
        bytes.push_back(static_cast<unsigned char>(unit >> 8));
    }
    return bytes;
}

// An odd trailing byte is no code unit and is dropped.
std::wstring FromUtf16LittleEndian(const codec::buffer& bytes)
{
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units += static_cast<char16_t>(bytes.data()[i] | (bytes.data()[i + 1] << 8));
    return Utility::FromUtf16(units);
}

void ThrowOnFailure(int code)
{
    switch (code) {
    case codec::result::success:
        return;
    case codec::result::out_of_memory:
        PELMO_THROW(std::bad_alloc());
    case codec::result::key_derivation_failed:
        PELMO_THROW(pelmo::fatal_error() << pelmo::error_message("md5 crypt failure."));
    default:
        PELMO_THROW(pelmo::fatal_error());
    }
}

} // namespace

std::vector<unsigned char> PasswordCodec::Encrypt(const std::wstring& plain)
{
    const std::vector<unsigned char> bytes = ToUtf16LittleEndian(plain);
    codec::buffer output;
    ThrowOnFailure(codec::encipher(bytes.data(), bytes.size(), kKey, kKeyLength, output));
    return std::vector<unsigned char>(output.begin(), output.end());
}

std::wstring PasswordCodec::Decrypt(const std::vector<unsigned char>& cipher)
{
    if (cipher.empty())
        return std::wstring();
    codec::buffer output;
    ThrowOnFailure(codec::decipher(cipher.data(), cipher.size(), kKey, kKeyLength, output));
    return FromUtf16LittleEndian(output);
}

} // namespace MonitoredEntry
