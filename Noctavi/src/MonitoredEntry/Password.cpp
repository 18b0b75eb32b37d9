#include <Noctavi/MonitoredEntry/Password.h>

#include <Noctavi/MonitoredEntry/InputChecks.h>
#include <Noctavi/MonitoredEntry/PasswordCodec.h>

#include <pelmo/exception.hpp>

namespace MonitoredEntry {

namespace {

const std::size_t kMaxLength = 28;

} // namespace

struct Password::Pimpl {
    std::vector<unsigned char> data;
};

Password::Password()
    : pimpl_(new Pimpl)
{
}

Password::Password(const std::wstring& text)
    : pimpl_(new Pimpl{PasswordCodec::Encrypt(text)})
{
}

const std::vector<unsigned char>& Password::GetData() const
{
    return pimpl_->data;
}

void Password::SetData(const std::vector<unsigned char>& data)
{
    pimpl_->data = data;
}

std::wstring Password::GetText() const
{
    // No bytes stand for the empty password; there is nothing to decipher.
    return pimpl_->data.empty() ? std::wstring() : PasswordCodec::Decrypt(pimpl_->data);
}

bool Password::IsValid() const
{
    const std::wstring text = GetText();
    return IsAsciiString(text) && HasNoControlCharacters(text) && text.size() <= kMaxLength;
}

bool Password::operator==(const Password& other) const
{
    if (GetData() == other.GetData())
        return true;
    try {
        return GetText() == other.GetText();
    } catch (const pelmo::exception&) {
        // Bytes that do not decipher stand for no text, and equal only themselves.
        return false;
    }
}

} // namespace MonitoredEntry
