#include <Noctavi/UI/Formatting.h>

#include <Noctavi/IS/User.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/MonitoredEntry/User.h>
#include <Noctavi/RSS/EventTime.h>
#include <Noctavi/Utility/LoadString.h>
#include <Noctavi/Utility/LrcCatalogue.h>
#include <Noctavi/Utility/TextConversion.h>

#include <boost/algorithm/string/split.hpp>
#include <boost/lexical_cast.hpp>
#include <boost/optional.hpp>

#include <string>

namespace UI {

namespace {

QString NameOr(const std::wstring& name, const std::wstring& fallback)
{
    return QString::fromStdWString(name.empty() ? fallback : name);
}

QString NameOr(const boost::optional<std::wstring>& name, const std::wstring& fallback)
{
    return NameOr(name.value_or(std::wstring()), fallback);
}

std::vector<int> ParseWidths(const std::wstring& text)
{
    std::vector<std::string> pieces;
    boost::algorithm::split(pieces, Utility::ToNarrow(text), [](char c) { return c == ','; });
    std::vector<int> widths;
    for (const std::string& piece : pieces) {
        if (!piece.empty())
            widths.push_back(boost::lexical_cast<int>(piece));
    }
    return widths;
}

} // namespace

QString FormatEventTime(const RSS::EventTime& time)
{
    const boost::optional<int> second = time.GetSecond();
    const QString minutes = QString::asprintf("%d/%02d/%02d %02d:%02d", time.GetYear(), time.GetMonth(),
                                              time.GetDay(), time.GetHour(), time.GetMinute());
    return second ? minutes + QString::asprintf(":%02d", *second) : minutes;
}

QString GetDisplayName(const MonitoredEntry::MFP& machine)
{
    return NameOr(machine.GetName(), machine.GetHost());
}

QString GetDisplayName(const MonitoredEntry::User& user)
{
    return NameOr(user.GetName(), user.GetID());
}

QString GetDisplayName(const IS::User& user)
{
    return QString::fromStdString(user.GetDisplayName().empty() ? user.GetUserName() : user.GetDisplayName());
}

std::vector<int> ParseWidthList(unsigned int stringId)
{
    try {
        return ParseWidths(LrcCatalogue::LoadString(stringId));
    } catch (const boost::bad_lexical_cast&) {
        return ParseWidths(LoadStringFromApp(stringId));
    }
}

} // namespace UI
