#include <Noctavi/HTTP/TagNames.h>

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

} // namespace

const char* const* TagNames::Get()
{
    return names;
}

int TagNames::Lookup(std::string_view name)
{
    for (int i = 0; i < Count; ++i) {
        if (name == names[i])
            return i;
    }
    return Count;
}

} // namespace HTTP::XML
