#ifndef NOCTAVI_HTTP_PARSER_H
#define NOCTAVI_HTTP_PARSER_H

#include <Noctavi/HTTP/Node.h>
#include <Noctavi/HTTP/Path.h>

#include <transport/node.hpp>

#include <boost/shared_ptr.hpp>

#include <cstddef>
#include <iterator>
#include <string>
#include <vector>

namespace HTTP {
class Mcmd;
}

namespace HTTP::XML {

// A parsed XML reply or HTML fragment. Copies share the document. Filled by
// HTTP::Net::RecvXml or by Parse.
class Parser {
public:
    class Iterator;

    // Throws ::SystemError when the document cannot be made.
    Parser();

    // False for an empty buffer or bytes that parse as neither XML nor HTML;
    // never throws for bad input.
    bool Parse(const std::vector<unsigned char>& bytes);

    // The first element with that name in the whole document, or the end. Its
    // run goes on through every later element of that name, however nested.
    Iterator Find(const std::string& name) const;

    // Walks the path down from the element at `from`: each name moves to the
    // child of that name. An empty path gives `from`; a missing name the end.
    static Iterator Find(Iterator from, const Path& path);

    // The first element named `name` from `first` to the end of its run.
    static Iterator FindInRun(Iterator first, const std::string& name);

    static Iterator End();

    const boost::shared_ptr<Mcmd>& GetDocument() const { return document_; }

private:
    boost::shared_ptr<Mcmd> document_;
};

// A position in a run of elements: the run's first element and the number of
// steps taken from it. Stepping past the last element of the run gives the end
// iterator, whose start is null.
class Parser::Iterator {
public:
    // What a run visits after its first element.
    enum class Run {
        Siblings,  // the following siblings
        Namesakes, // every later element of the same name, in document order
    };

    using iterator_category = std::forward_iterator_tag;
    using value_type = Node;
    using difference_type = std::ptrdiff_t;
    using pointer = const Node*;
    using reference = Node;

    Iterator() = default;
    explicit Iterator(transport::node start, Run run = Run::Siblings)
        : start_(start)
        , current_(start)
        , run_(run)
    {
    }

    // The element here; a null node at the end.
    Node operator*() const { return Node(current_); }
    Iterator& operator++();
    Iterator operator++(int);

    // The run of the children of the element here; the end when it has none.
    Iterator Children() const;

    bool operator==(const Iterator& other) const
    {
        return start_ == other.start_ && position_ == other.position_ && run_ == other.run_;
    }
    bool operator!=(const Iterator& other) const { return !(*this == other); }

private:
    transport::node start_ = nullptr;
    std::size_t position_ = 0;
    transport::node current_ = nullptr;
    Run run_ = Run::Siblings;
};

} // namespace HTTP::XML

#endif
