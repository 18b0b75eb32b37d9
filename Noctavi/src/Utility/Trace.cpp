#include <Noctavi/Utility/Trace.h>

#include <boost/core/demangle.hpp>
#include <boost/exception/diagnostic_information.hpp>

#include <algorithm>
#include <atomic>
#include <exception>
#include <typeinfo>

namespace Utility {

namespace {

void Silent(const char*, const std::string&) {}

// Read by every thread that traces.
std::atomic<TraceSink> sink{&Silent};

// Boost's diagnostic report comes in lines; a trace is one.
std::string OneLine(std::string text)
{
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

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
    } catch (const boost::exception& failure) {
        // Our failures carry why in their attached values (a transport error,
        // an HTTP status) and where they were thrown; their what() is bare.
        return OneLine(boost::diagnostic_information(failure));
    } catch (const std::exception& failure) {
        return boost::core::demangle(typeid(failure).name()) + ": " + failure.what();
    } catch (...) {
        return "an exception of unknown type";
    }
}

} // namespace Utility
