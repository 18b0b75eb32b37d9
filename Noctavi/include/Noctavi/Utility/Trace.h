#ifndef NOCTAVI_UTILITY_TRACE_H
#define NOCTAVI_UTILITY_TRACE_H

#include <string>

namespace Utility {

// Where the core leaves a line on a failure it must swallow. The core stays
// free of Qt: the application points the sink at its logging categories, and
// until it does the lines go nowhere.
using TraceSink = void (*)(const char* category, const std::string& message);

// The categories: the model and its data file; the monitors, subscribers and
// signal receivers; the filing and pop-up of events; the windows; the
// application object and its run modes.
constexpr char kTraceModel[] = "noctavi.model";
constexpr char kTraceMonitor[] = "noctavi.monitor";
constexpr char kTraceEvent[] = "noctavi.event";
constexpr char kTraceUi[] = "noctavi.ui";
constexpr char kTraceApp[] = "noctavi.app";

// Set before any thread that traces starts; none goes back to the silent sink.
void SetTraceSink(TraceSink sink);

// Never throws: it is called where failures are swallowed.
void Trace(const char* category, const std::string& message) noexcept;

// Inside a catch block: what failed, and why when the exception tells.
void TraceFailure(const char* category, const std::string& failed) noexcept;

// Inside a catch block: the exception's type, what() and, for our own
// failures, where they were thrown and the values attached, as one line.
std::string DescribeCurrentException();

} // namespace Utility

#endif
