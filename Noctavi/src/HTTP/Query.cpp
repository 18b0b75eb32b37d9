#include <Noctavi/HTTP/Query.h>

#include <Noctavi/HTTP/Mcmd.h>

namespace HTTP {

Query::Query()
    : document_(new Mcmd)
{
}

Query& Query::Add(const std::string& key, const std::string& value)
{
    document_->Document().add_query_pair(key, value);
    return *this;
}

std::string Query::ToString() const
{
    return document_->Document().render_query();
}

} // namespace HTTP
