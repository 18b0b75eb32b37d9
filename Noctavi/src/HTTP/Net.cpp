#include <Noctavi/HTTP/Net.h>

#include <Noctavi/HTTP/Error.h>
#include <Noctavi/HTTP/InvalidResponse.h>
#include <Noctavi/HTTP/Mcmd.h>
#include <Noctavi/HTTP/NoAuthority.h>
#include <Noctavi/HTTP/OpenFailure.h>
#include <Noctavi/HTTP/Parser.h>
#include <Noctavi/HTTP/ServerError.h>

#include <transport/connection.hpp>
#include <transport/error.hpp>
#include <transport/known_machines.hpp>

#include <pelmo/system_error.hpp>

namespace HTTP {
namespace {

std::unique_ptr<transport::connection> Connect(const std::string& host)
{
    boost::system::error_code failure;
    auto connection = transport::connection::create(host, failure);
    if (connection)
        return connection;
    if (failure.category() == transport::category())
        PELMO_THROW(Error() << TransportError(failure));
    PELMO_THROW(pelmo::system_error(failure));
}

} // namespace

Net::Net(const std::string& host)
    : connection_(Connect(host))
{
}

Net::~Net()
{
    CloseRequest();
}

void Net::Open(int port, bool secure, const Timeout& timeout)
{
    CloseRequest();
    connection_->use_tls(secure);
    connection_->set_timeouts({std::chrono::milliseconds(timeout.ConnectTimeout), timeout.RetryCount,
                               std::chrono::milliseconds(timeout.SendTimeout),
                               std::chrono::milliseconds(timeout.ReceiveTimeout)});
    boost::system::error_code failure;
    if (!connection_->open_request(port, failure))
        PELMO_THROW(OpenFailure() << TransportError(failure));
    requestOpen_ = true;
}

void Net::SetCredentials(const std::string& accountId, const std::string& password)
{
    connection_->set_credentials(accountId, password);
}

void Net::Send(MethodTag method, const std::string& path, const Mcmd* body)
{
    const transport::method verb = method == Fetch ? transport::method::get : transport::method::post;
    boost::system::error_code failure;
    if (!connection_->send(verb, path, body ? &body->Document() : nullptr, failure))
        PELMO_THROW(Error() << TransportError(failure));
    const int status = connection_->status();
    if (status == 403)
        PELMO_THROW(NoAuthority() << HttpStatus(status));
    if (status != 200)
        PELMO_THROW(ServerError() << HttpStatus(status));
}

std::unique_ptr<std::vector<unsigned char>> Net::Recv()
{
    auto bytes = std::make_unique<std::vector<unsigned char>>();
    boost::system::error_code failure;
    if (!connection_->read_body(*bytes, failure))
        PELMO_THROW(Error() << TransportError(failure));
    return bytes;
}

void Net::RecvXml(XML::Parser& parser)
{
    transport::document& document = parser.GetDocument()->Document();
    document.clear();
    // A reply of another kind is not parsed at all.
    if (connection_->type() != transport::content_type::xml)
        PELMO_THROW(InvalidResponse());
    boost::system::error_code failure;
    if (!connection_->read_body(document, failure))
        PELMO_THROW(Error() << TransportError(failure));
}

void Net::RecvAndSaveFile(const std::string& path)
{
    boost::system::error_code failure;
    if (!connection_->store_body(path, failure))
        PELMO_THROW(Error() << TransportError(failure));
}

Net::ContentKind Net::GetContentKind() const
{
    switch (connection_->type()) {
    case transport::content_type::jpeg: return Jpeg;
    case transport::content_type::pdf: return Pdf;
    case transport::content_type::tiff: return Tiff;
    case transport::content_type::xml: return Xml;
    case transport::content_type::other: break;
    }
    return Other;
}

void Net::CloseRequest()
{
    if (!requestOpen_)
        return;
    connection_->end_request();
    requestOpen_ = false;
}

void Net::Cancel()
{
    connection_->cancel();
}

void Net::SetKnownMachinesFolder(const std::string& folder)
{
    transport::set_known_machines_folder(folder);
}

} // namespace HTTP
