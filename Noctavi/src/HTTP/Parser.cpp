#include <Noctavi/HTTP/Parser.h>

#include <Noctavi/HTTP/Mcmd.h>
#include <Noctavi/HTTP/TagNames.h>

namespace HTTP::XML {
namespace {

transport::node NextNamesake(transport::node element)
{
    const int tag = transport::tag_index(element);
    transport::node next = transport::next_in_document_order(element);
    while (next && transport::tag_index(next) != tag)
        next = transport::next_in_document_order(next);
    return next;
}

} // namespace

Parser::Parser()
    : document_(new Mcmd)
{
}

bool Parser::Parse(const std::vector<unsigned char>& bytes)
{
    if (bytes.empty())
        return false;
    return document_->Document().parse(bytes.data(), bytes.size());
}

Parser::Iterator Parser::Find(const std::string& name) const
{
    const int tag = TagNames::Lookup(name);
    const transport::node found = tag == TagNames::Count ? nullptr : document_->Document().find(tag);
    return found ? Iterator(found, Iterator::Run::Namesakes) : End();
}

Parser::Iterator Parser::Find(Iterator from, const Path& path)
{
    for (const std::string& name : path) {
        if (from == End())
            break;
        from = FindInRun(from.Children(), name);
    }
    return from;
}

Parser::Iterator Parser::FindInRun(Iterator first, const std::string& name)
{
    const int tag = TagNames::Lookup(name);
    if (tag == TagNames::Count)
        return End();
    for (; first != End(); ++first) {
        if (transport::tag_index((*first).Handle()) == tag)
            return first;
    }
    return End();
}

Parser::Iterator Parser::End()
{
    return Iterator();
}

Parser::Iterator& Parser::Iterator::operator++()
{
    current_ = run_ == Run::Siblings ? transport::next_sibling(current_) : NextNamesake(current_);
    if (current_)
        ++position_;
    else
        *this = Iterator();
    return *this;
}

Parser::Iterator Parser::Iterator::operator++(int)
{
    Iterator before = *this;
    ++*this;
    return before;
}

Parser::Iterator Parser::Iterator::Children() const
{
    return Iterator(transport::first_child(current_));
}

} // namespace HTTP::XML
