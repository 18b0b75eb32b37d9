#include <Noctavi/Utility/LoadString.h>

#include <Noctavi/System/SystemError.h>
#include <Noctavi/Utility/BuiltInStrings.h>
#include <Noctavi/Utility/TextConversion.h>

#include <pelmo/exception.hpp>

#include <algorithm>
#include <cerrno>

std::wstring LoadStringFromApp(unsigned int id)
{
    const Utility::BuiltInString* begin = Utility::kBuiltInStrings;
    const Utility::BuiltInString* end = begin + Utility::kBuiltInStringCount;
    const Utility::BuiltInString* found = std::lower_bound(
        begin, end, id, [](const Utility::BuiltInString& entry, unsigned int wanted) { return entry.id < wanted; });
    if (found == end || found->id != id)
        PELMO_THROW(SystemError(ENOENT));
    return Utility::ToWide(found->text);
}
