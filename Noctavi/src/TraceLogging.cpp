#include <Noctavi/TraceLogging.h>

#include <Noctavi/Utility/Trace.h>

#include <QLoggingCategory>
#include <QString>

#include <cstring>

namespace {

// Debug lines off by default: QtInfoMsg is the least that is shown.
Q_LOGGING_CATEGORY(ModelCategory, Utility::kTraceModel, QtInfoMsg)
Q_LOGGING_CATEGORY(MonitorCategory, Utility::kTraceMonitor, QtInfoMsg)
Q_LOGGING_CATEGORY(EventCategory, Utility::kTraceEvent, QtInfoMsg)
Q_LOGGING_CATEGORY(UiCategory, Utility::kTraceUi, QtInfoMsg)
Q_LOGGING_CATEGORY(AppCategory, Utility::kTraceApp, QtInfoMsg)

using Category = const QLoggingCategory& (*)();

// A name of none of them goes to the application's.
Category Find(const char* name)
{
    for (const Category category : {&ModelCategory, &MonitorCategory, &EventCategory, &UiCategory}) {
        if (std::strcmp(category().categoryName(), name) == 0)
            return category;
    }
    return &AppCategory;
}

void ToLogging(const char* name, const std::string& message)
{
    const Category category = Find(name);
    qCDebug(category).noquote() << QString::fromStdString(message);
}

} // namespace

void ConnectTraceToLogging()
{
    Utility::SetTraceSink(&ToLogging);
}
