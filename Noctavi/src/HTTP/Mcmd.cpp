#include <Noctavi/HTTP/Mcmd.h>

#include <Noctavi/HTTP/TagNames.h>
#include <Noctavi/System/SystemError.h>

#include <pelmo/exception.hpp>

namespace HTTP {

Mcmd::Mcmd()
    : document_(transport::document::create(XML::TagNames::Get()))
{
    if (!document_)
        PELMO_THROW(::SystemError());
}

} // namespace HTTP
