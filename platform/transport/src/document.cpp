#include <transport/document.hpp>
#include <transport/error.hpp>

#include "ascii.hpp"
#include "xml_owner.hpp"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <openssl/crypto.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>
#include <new>

namespace transport {
namespace {

void initialise_libxml()
{
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

struct parser_context_free {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};
using parser_context = std::unique_ptr<xmlParserCtxt, parser_context_free>;

// A DOCTYPE is where entities would be declared; neither replies nor feeds
// need one, so stopping there keeps every entity bomb out.
void refuse_doctype(void* context, const xmlChar*, const xmlChar*, const xmlChar*)
{
    xmlParserCtxt* parser = static_cast<xmlParserCtxt*>(context);
    xmlStopParser(parser);
    parser->wellFormed = 0; // stopping alone would hand back the part read so far
}

constexpr int xml_options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA;
constexpr int html_options = HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING;

xmlDoc* read_xml(const void* data, std::size_t size)
{
    if (size == 0 || size > INT_MAX)
        return nullptr;
    const parser_context context(xmlNewParserCtxt());
    if (!context)
        return nullptr;
    context->sax->internalSubset = refuse_doctype;
    return xmlCtxtReadMemory(context.get(), static_cast<const char*>(data), static_cast<int>(size), nullptr,
                             nullptr, xml_options);
}

xmlDoc* read_html(const void* data, std::size_t size)
{
    if (size == 0 || size > INT_MAX)
        return nullptr;
    // Markup handed to us is our own narrow text, which is UTF-8.
    return htmlReadMemory(static_cast<const char*>(data), static_cast<int>(size), nullptr, "UTF-8", html_options);
}

xmlDoc* new_xml_doc()
{
    xmlDoc* doc = xmlNewDoc(BAD_CAST "1.0");
    if (!doc)
        errno = ENOMEM;
    return doc;
}

int count_names(const char* const* names)
{
    int count = 0;
    while (names[count])
        ++count;
    return count;
}

// Text that XML 1.0 can carry: valid UTF-8 without NUL or C0 controls other
// than tab, line feed and carriage return.
bool is_character_data(std::string_view text)
{
    if (text.size() > INT_MAX)
        return false;
    for (unsigned char c : text) {
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
            return false;
    }
    const std::string terminated(text);
    return xmlCheckUTF8(reinterpret_cast<const xmlChar*>(terminated.c_str())) != 0;
}

bool is_unreserved(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

boost::system::error_code out_of_memory()
{
    return boost::system::error_code(ENOMEM, boost::system::system_category());
}

} // namespace

void document::doc_deleter::operator()(::_xmlDoc* doc) const
{
    xmlFreeDoc(doc);
}

std::unique_ptr<document> document::create(const char* const* tag_names)
{
    initialise_libxml();
    doc_ptr doc(new_xml_doc());
    if (!doc)
        return nullptr;
    std::unique_ptr<document> result(new (std::nothrow) document(tag_names, std::move(doc)));
    if (!result)
        errno = ENOMEM;
    return result;
}

document::document(const char* const* tag_names, doc_ptr doc)
    : tag_names_(tag_names)
    , tag_count_(count_names(tag_names))
{
    adopt(std::move(doc));
}

document::~document()
{
    wipe_secrets();
}

const char* document::tag_name(int index) const noexcept
{
    return index >= 0 && index < tag_count_ ? tag_names_[index] : nullptr;
}

int document::tag_index(std::string_view name) const noexcept
{
    return detail::find_entry(name, tag_names_, tag_count_, false);
}

void document::adopt(doc_ptr doc)
{
    wipe_secrets();
    secrets_.clear();
    open_ = nullptr;
    doc_ = std::move(doc);
    doc_->_private = this;
}

void document::wipe_secrets() noexcept
{
    for (node leaf : secrets_) {
        for (xmlNode* child = leaf->children; child; child = child->next) {
            if (child->type == XML_TEXT_NODE && child->content)
                OPENSSL_cleanse(child->content, xmlStrlen(child->content));
        }
    }
}

void document::clear()
{
    doc_ptr fresh(new_xml_doc());
    if (!fresh)
        throw std::bad_alloc();
    adopt(std::move(fresh));
    query_.clear();
}

bool document::parse(const void* data, std::size_t size)
{
    doc_ptr parsed(read_xml(data, size));
    if (!parsed)
        parsed.reset(read_html(data, size));
    if (!parsed) {
        clear();
        return false;
    }
    adopt(std::move(parsed));
    query_.clear();
    return true;
}

bool document::parse_xml(const void* data, std::size_t size, error_code& ec)
{
    doc_ptr parsed(read_xml(data, size));
    if (!parsed) {
        clear();
        ec = error::not_xml;
        return false;
    }
    adopt(std::move(parsed));
    query_.clear();
    return true;
}

bool document::valid_tag(int tag, error_code& ec) const
{
    if (tag_name(tag))
        return true;
    ec = error::unknown_tag;
    return false;
}

node document::attach(node element, error_code& ec)
{
    if (open_)
        return xmlAddChild(open_, element);
    if (!xmlDocGetRootElement(doc_.get())) {
        xmlDocSetRootElement(doc_.get(), element);
        return element;
    }
    xmlFreeNode(element);
    ec = error::no_open_element;
    return nullptr;
}

bool document::open_element(int tag, error_code& ec)
{
    if (!valid_tag(tag, ec))
        return false;
    node element = xmlNewDocNode(doc_.get(), nullptr, BAD_CAST tag_names_[tag], nullptr);
    if (!element) {
        ec = out_of_memory();
        return false;
    }
    if (!attach(element, ec))
        return false;
    open_ = element;
    return true;
}

bool document::close_element(error_code& ec)
{
    if (!open_) {
        ec = error::no_open_element;
        return false;
    }
    open_ = parent_element(open_);
    return true;
}

node document::text_leaf(int tag, std::string_view text, error_code& ec)
{
    if (!valid_tag(tag, ec))
        return nullptr;
    if (!is_character_data(text)) {
        ec = error::invalid_text;
        return nullptr;
    }
    node leaf = xmlNewDocNode(doc_.get(), nullptr, BAD_CAST tag_names_[tag], nullptr);
    xmlNode* content = text.empty() ? nullptr
                                    : xmlNewDocTextLen(doc_.get(), reinterpret_cast<const xmlChar*>(text.data()),
                                                       static_cast<int>(text.size()));
    if (!leaf || (!text.empty() && !content)) {
        xmlFreeNode(leaf);
        xmlFreeNode(content);
        ec = out_of_memory();
        return nullptr;
    }
    if (content)
        xmlAddChild(leaf, content);
    return attach(leaf, ec);
}

node document::number_leaf(int tag, long value, error_code& ec)
{
    return text_leaf(tag, std::to_string(value), ec);
}

bool document::set_option(node leaf, int option, error_code& ec)
{
    if (option != option_secret || !leaf || leaf->doc != doc_.get()) {
        ec = error::unsupported_option;
        return false;
    }
    secrets_.push_back(leaf);
    return true;
}

bool document::render_xml(std::string& out, error_code& ec) const
{
    if (!xmlDocGetRootElement(doc_.get())) {
        ec = error::no_open_element;
        return false;
    }
    xmlChar* raw = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(doc_.get(), &raw, &size, "UTF-8");
    const detail::xml_owned<xmlChar> memory(raw);
    if (!memory) {
        ec = out_of_memory();
        return false;
    }
    out.assign(reinterpret_cast<const char*>(memory.get()), static_cast<std::size_t>(size));
    OPENSSL_cleanse(memory.get(), static_cast<std::size_t>(size));
    return true;
}

void document::add_query_pair(std::string key, std::string value)
{
    query_.emplace_back(std::move(key), std::move(value));
}

std::string document::render_query() const
{
    std::string result;
    for (const auto& [key, value] : query_) {
        if (!result.empty())
            result += '&';
        result += detail::percent_encoded(key, is_unreserved);
        result += '=';
        result += detail::percent_encoded(value, is_unreserved);
    }
    return result;
}

node document::find(int tag) const
{
    for (node current = xmlDocGetRootElement(doc_.get()); current; current = next_in_document_order(current)) {
        if (transport::tag_index(current) == tag)
            return current;
    }
    return nullptr;
}

} // namespace transport
