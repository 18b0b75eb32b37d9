#include <Noctavi/Utility/Trace.h>

#include <boost/core/demangle.hpp>

#include <atomic>
#include <exception>
#include <typeinfo>

namespace Utility {

namespace {

void Silent(const char*, const std::string&) {}

// Read by every thread that traces.
std::atomic<TraceSink> sink{&Silent};

} // namespace

void SetTraceSink(TraceSink replacement)
{
    sink.store(replacement ? replacement : &Silent);
}

void Trace(const char* category, const std::string& message) noexcept
{
    try {
        sink.load()(category, message);
    } catch (...) {
        // A line that cannot be written has nowhere else to go.
    }
}

void TraceFailure(const char* category, const std::string& failed) noexcept
{
    try {
        Trace(category, failed + ": " + DescribeCurrentException());
    } catch (...) {
        // Out of memory for the line: nothing is left to report it with.
    }
}

std::string DescribeCurrentException()
{
    try {
        throw;
    } catch (const std::exception& failure) {
        return boost::core::demangle(typeid(failure).name()) + ": " + failure.what();
    } catch (...) {
        return "an exception of unknown type";
    }
}

} // namespace Utility
