#include <support/ProgramEnvironment.h>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/udp.hpp>
#include <boost/filesystem/operations.hpp>

#include <fstream>

namespace support {

namespace {

// The receiver binds every local address, so the port is chosen the same way.
std::uint16_t FreeUdpPort()
{
    boost::asio::io_context io;
    boost::asio::ip::udp::socket socket(io, boost::asio::ip::udp::endpoint(boost::asio::ip::udp::v4(), 0));
    return socket.local_endpoint().port();
}

std::string Created(const boost::filesystem::path& folder)
{
    boost::filesystem::create_directories(folder);
    boost::filesystem::permissions(folder, boost::filesystem::owner_all);
    return folder.string();
}

} // namespace

ProgramEnvironment::ProgramEnvironment()
    : data_("XDG_DATA_HOME", Created(dir_.Path() / "data"))
    , runtime_("XDG_RUNTIME_DIR", Created(dir_.Path() / "run"))
    , temporary_("TMPDIR", Created(dir_.Path() / "tmp"))
    , port_(FreeUdpPort())
{
    // The settings' file engine completes the missing keys with their defaults.
    boost::filesystem::create_directories(DataFolder());
    std::ofstream(DataFolder() / "config.dat") << "VERSION = 1.00\nPORT = " << port_ << "\n";
}

boost::filesystem::path ProgramEnvironment::DataFolder() const
{
    return dir_.Path() / "data" / "Hollvik" / "Noctavi";
}

} // namespace support
