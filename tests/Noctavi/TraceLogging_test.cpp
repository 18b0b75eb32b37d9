#include <Noctavi/TraceLogging.h>
#include <Noctavi/Utility/Trace.h>

#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <QString>
#include <QStringList>

namespace {

QStringList logged;

void Record(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    logged.append(QString::fromLatin1(context.category) + " | " + message);
}

// Off by default, so that a user sees the lines only when asking for them;
// a category the application does not know goes to its own.
TEST(TraceLogging, TheCoresLinesReachTheirCategoriesOnlyWhenTheRulesTurnThemOn)
{
    const QtMessageHandler previous = qInstallMessageHandler(&Record);
    ConnectTraceToLogging();
    Utility::Trace(Utility::kTraceMonitor, "hidden");
    QLoggingCategory::setFilterRules(QStringLiteral("noctavi.*=true"));
    Utility::Trace(Utility::kTraceMonitor, "the machine refused");
    Utility::Trace(Utility::kTraceModel, "the backup stayed");
    Utility::Trace("noctavi.other", "a mode failed");
    QLoggingCategory::setFilterRules(QString());
    Utility::SetTraceSink(nullptr);
    qInstallMessageHandler(previous);
    EXPECT_EQ(logged, (QStringList{"noctavi.monitor | the machine refused", "noctavi.model | the backup stayed",
                                   "noctavi.app | a mode failed"}));
}

} // namespace
