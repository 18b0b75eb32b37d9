#include <Noctavi/IS/DocumentExtension.h>

#include <algorithm>

namespace IS {
namespace {

std::wstring LowerAscii(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; });
    return text;
}

// From the last '.' of the file name, the dot included; "" without one.
std::wstring ExtensionOf(const std::wstring& path)
{
    const std::size_t nameStart = path.find_last_of(L'/') + 1;
    const std::size_t dot = path.find_last_of(L'.');
    return dot == std::wstring::npos || dot < nameStart ? std::wstring() : path.substr(dot);
}

bool IsOtherSpelling(const std::wstring& wanted, const std::wstring& present)
{
    static const std::pair<const wchar_t*, const wchar_t*> spellings[] = {
        {L".tif", L".tiff"}, {L".tiff", L".tif"}, {L".jpeg", L".jpg"}, {L".jpg", L".jpeg"}};
    return std::any_of(std::begin(spellings), std::end(spellings),
                       [&](const auto& pair) { return wanted == pair.first && present == pair.second; });
}

} // namespace

std::wstring GetContentExtension(HTTP::Net::ContentKind kind)
{
    switch (kind) {
    case HTTP::Net::Jpeg: return L".jpeg";
    case HTTP::Net::Pdf: return L".pdf";
    case HTTP::Net::Tiff: return L".tif";
    case HTTP::Net::Xml: return L".xml";
    case HTTP::Net::Other: break;
    }
    return std::wstring();
}

bool AdjustExtension(std::wstring& path, const std::wstring& wanted)
{
    const std::wstring want = LowerAscii(wanted);
    const std::wstring present = LowerAscii(ExtensionOf(path));
    if (want.empty() || present == want || IsOtherSpelling(want, present))
        return false;
    path += wanted;
    return true;
}

} // namespace IS
