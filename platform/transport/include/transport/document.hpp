#ifndef TRANSPORT_DOCUMENT_HPP
#define TRANSPORT_DOCUMENT_HPP

#include <transport/node.hpp>

#include <boost/system/error_code.hpp>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct _xmlDoc;

namespace transport {

// Node option: the leaf holds a secret. Its text is wiped from memory when the
// document is cleared or destroyed, and nothing here ever writes it out but
// the rendering made for sending.
constexpr int option_secret = 1;

// One XML or HTML document over a fixed table of element names, which serves
// three uses: a command document built element by element, a parsed reply or
// markup fragment, and the key = value pairs of a URL query.
//
// Every element is named from the table by index; a name outside the table
// can be neither written nor found. Text is UTF-8. Parsing never touches the
// network, never loads a DTD and refuses documents that declare one, so no
// entity can be expanded.
class document {
public:
    using error_code = boost::system::error_code;

    // A new empty document over the null-terminated table of names, which must
    // outlive it; null when it cannot be made (errno tells why).
    static std::unique_ptr<document> create(const char* const* tag_names);

    document(const document&) = delete;
    document& operator=(const document&) = delete;
    ~document();

    int tag_count() const noexcept { return tag_count_; }
    const char* const* tag_names() const noexcept { return tag_names_; }
    const char* tag_name(int index) const noexcept;
    // Byte-wise, case-sensitive; tag_count() when the name is not in the table.
    int tag_index(std::string_view name) const noexcept;

    // Drops every element and query pair.
    void clear();

    // Replaces the content with the parsed bytes: a well-formed XML document,
    // else HTML markup. False leaves the document empty.
    bool parse(const void* data, std::size_t size);
    // Replaces the content with the parsed bytes, which must be well-formed XML.
    bool parse_xml(const void* data, std::size_t size, error_code& ec);

    // Building: elements open, nest and close in order; the first element
    // written becomes the root.
    bool open_element(int tag, error_code& ec);
    bool close_element(error_code& ec);
    node text_leaf(int tag, std::string_view text, error_code& ec);
    node number_leaf(int tag, long value, error_code& ec);
    bool set_option(node leaf, int option, error_code& ec);
    // The document as UTF-8 XML with its declaration.
    bool render_xml(std::string& out, error_code& ec) const;

    // URL query: pairs in the order added, percent-encoded when rendered.
    void add_query_pair(std::string key, std::string value);
    std::string render_query() const;

    // The first element with that index in document order, or null.
    node find(int tag) const;

private:
    struct doc_deleter {
        void operator()(::_xmlDoc* doc) const;
    };
    using doc_ptr = std::unique_ptr<::_xmlDoc, doc_deleter>;

    document(const char* const* tag_names, doc_ptr doc);
    void adopt(doc_ptr doc);
    void wipe_secrets() noexcept;
    node attach(node element, error_code& ec);
    bool valid_tag(int tag, error_code& ec) const;

    const char* const* tag_names_;
    int tag_count_;
    doc_ptr doc_;
    node open_ = nullptr;
    std::vector<node> secrets_;
    std::vector<std::pair<std::string, std::string>> query_;
};

} // namespace transport

#endif
