#include <Noctavi/HTTP/TagNames.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

namespace HTTP::XML {
namespace {

// Constant data: nothing to fill at run time, so no thread can see it half made.
constexpr const char* names[TagNames::Count + 1] = {
    "A",        "CATEGORY",   "CHANNEL",   "COMMAND",        "COUNT",    "DESCRIPTION", "DETAILS",
    "DISPLAYNAME", "ENCLOSURE", "FEEDATOM", "FEEDRSS",       "GENERATOR", "GUESTLOGIN", "GUID",
    "IMG",      "ITEM",       "LANGUAGE",  "LASTBUILDDATE",  "LINK",     "LISTENPORT",  "MACHINENAME",
    "MFPID",    "PARAM",      "PASSWORD",  "PUBDATE",        "REQUEST",  "RESPONSE",    "RESULT",
    "SECURITYPOLICY", "TABLE", "TBODY",    "TD",             "TITLE",    "TR",          "USER",
    "USERGROUP", "USERID",    "USERNAME",  nullptr,
};

template <std::size_t... I>
constexpr std::array<std::string_view, sizeof...(I)> Views(std::index_sequence<I...>)
{
    return {{std::string_view(names[I])...}};
}

// The names with their lengths, so that a lookup runs no strlen per entry.
constexpr std::array<std::string_view, TagNames::Count> views = Views(std::make_index_sequence<TagNames::Count>());

} // namespace

const char* const* TagNames::Get()
{
    return names;
}

int TagNames::Lookup(std::string_view name)
{
    return static_cast<int>(std::find(views.begin(), views.end(), name) - views.begin());
}

} // namespace HTTP::XML
