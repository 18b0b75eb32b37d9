#ifndef NOCTAVI_TRACELOGGING_H
#define NOCTAVI_TRACELOGGING_H

// Sends the core's trace lines to Qt logging categories of the same names,
// whose debug lines are off unless QT_LOGGING_RULES="noctavi.*=true" turns
// them on.
void ConnectTraceToLogging();

#endif
