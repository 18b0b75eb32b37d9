// Parses arbitrary bytes as a machine's reply, as XML or else as HTML, and
// walks the result the ways the replies are read: every element name's run
// of namesakes, each element's children and its text, number and attributes.
// Every run stays within what it claims to visit.
#include "Check.h"

#include <Noctavi/HTTP/Error.h>
#include <Noctavi/HTTP/Node.h>
#include <Noctavi/HTTP/Parser.h>
#include <Noctavi/HTTP/TagNames.h>

#include <transport/node.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using fuzz::Check;
using HTTP::XML::Node;
using HTTP::XML::Parser;

void ReadValues(const Node& node)
{
    try {
        node.GetString();
    } catch (const HTTP::Error&) {
    }
    try {
        node.GetDecimal();
    } catch (const HTTP::Error&) {
    }
    for (const auto& [name, value] : node.GetAttributes())
        Check(!name.empty());
}

void WalkChildren(Parser::Iterator parent)
{
    for (Parser::Iterator child = parent.Children(); child != Parser::End(); ++child)
        Check(transport::parent_element((*child).Handle()) == (*parent).Handle());
}

void WalkNamesakes(const Parser& parser, int tag)
{
    const std::string name = HTTP::XML::TagNames::Get()[tag];
    for (Parser::Iterator it = parser.Find(name); it != Parser::End(); ++it) {
        Check(transport::tag_index((*it).Handle()) == tag);
        ReadValues(*it);
        WalkChildren(it);
        const Parser::Iterator inRun = Parser::FindInRun(it, name);
        Check(inRun == it);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Parser parser;
    if (!parser.Parse(std::vector<unsigned char>(data, data + size)))
        return 0;
    for (int tag = 0; tag < HTTP::XML::TagNames::Count; ++tag)
        WalkNamesakes(parser, tag);
    for (const auto& [name, value] : Node::ParseAttributes(std::string(data, data + size)))
        Check(!name.empty());
    return 0;
}
