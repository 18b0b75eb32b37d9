#include <Noctavi/HTTP/Cmd.h>

#include <Noctavi/HTTP/Error.h>
#include <Noctavi/HTTP/Mcmd.h>
#include <Noctavi/HTTP/TagNames.h>

#include <pelmo/exception.hpp>

namespace HTTP::Command {

struct Cmd::Pimpl {
    Mcmd document;
    bool optionPending = false;

    bool ApplyPendingOption(transport::node leaf, boost::system::error_code& failure)
    {
        if (!optionPending)
            return true;
        optionPending = false;
        return document.Document().set_option(leaf, transport::option_secret, failure);
    }
};

Cmd::Cmd()
    : pimpl_(new Pimpl)
{
}

Cmd& Cmd::operator<<(const Tag& tag)
{
    boost::system::error_code failure;
    if (!pimpl_->document.Document().open_element(XML::TagNames::Lookup(tag.Name()), failure))
        PELMO_THROW(Error() << TransportError(failure));
    return *this;
}

Cmd& Cmd::operator<<(const ETag&)
{
    boost::system::error_code failure;
    if (!pimpl_->document.Document().close_element(failure))
        PELMO_THROW(Error() << TransportError(failure));
    return *this;
}

Cmd& Cmd::operator<<(const BasicNode<long>& leaf)
{
    boost::system::error_code failure;
    const transport::node written =
        pimpl_->document.Document().number_leaf(XML::TagNames::Lookup(leaf.Name()), leaf.Value(), failure);
    if (!written || !pimpl_->ApplyPendingOption(written, failure))
        PELMO_THROW(Error() << TransportError(failure));
    return *this;
}

Cmd& Cmd::operator<<(const BasicNode<std::string>& leaf)
{
    boost::system::error_code failure;
    const transport::node written =
        pimpl_->document.Document().text_leaf(XML::TagNames::Lookup(leaf.Name()), leaf.Value(), failure);
    if (!written || !pimpl_->ApplyPendingOption(written, failure))
        PELMO_THROW(Error() << TransportError(failure));
    return *this;
}

void Cmd::SetPendingOption()
{
    pimpl_->optionPending = true;
}

bool Cmd::IsOptionPending() const
{
    return pimpl_->optionPending;
}

const Mcmd& Cmd::GetDocument() const
{
    return pimpl_->document;
}

} // namespace HTTP::Command
