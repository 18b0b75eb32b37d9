#ifndef NOCTAVI_TESTS_SUPPORT_FIFO_H
#define NOCTAVI_TESTS_SUPPORT_FIFO_H

#include <boost/filesystem/path.hpp>

#include <functional>

namespace support {

// Creates a FIFO (mode 0600) at the path; throws std::runtime_error when it cannot.
void MakeFifo(const boost::filesystem::path& fifo);

// Runs the work on another thread and passes on what it throws. Work still
// blocked on the FIFO after ten seconds is let go by a writer that opens and
// closes it at once, and the call then throws std::runtime_error: a test of
// code that must not wait for a writer fails instead of hanging.
void RunUnblocked(const boost::filesystem::path& fifo, const std::function<void()>& work);

} // namespace support

#endif
