#ifndef NOCTAVI_HTTP_QUERY_H
#define NOCTAVI_HTTP_QUERY_H

#include <boost/shared_ptr.hpp>

#include <string>

namespace HTTP {

class Mcmd;

// The key = value query of a URL. Copies share the pairs.
class Query {
public:
    // Throws ::SystemError when the document cannot be made.
    Query();

    // Pairs render in the order added.
    Query& Add(const std::string& key, const std::string& value);

    // "key=value&key=value", keys and values percent-encoded; empty without pairs.
    std::string ToString() const;

    // The document to send with HTTP::Net::Fetch.
    const Mcmd& GetDocument() const { return *document_; }

private:
    boost::shared_ptr<Mcmd> document_;
};

} // namespace HTTP

#endif
