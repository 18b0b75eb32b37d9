#ifndef TRANSPORT_SRC_XML_OWNER_HPP
#define TRANSPORT_SRC_XML_OWNER_HPP

#include <libxml/xmlmemory.h>

#include <memory>

namespace transport::detail {

// Owner of a string or buffer that libxml2 allocated.
struct xml_free {
    void operator()(void* p) const { xmlFree(p); }
};
template <class T>
using xml_owned = std::unique_ptr<T, xml_free>;

} // namespace transport::detail

#endif
