#include <Noctavi/InstallMode.h>

#include <Noctavi/Application.h>
#include <Noctavi/CloseRunningInstance.h>
#include <Noctavi/HTTP/Error.h>
#include <Noctavi/HTTP/Net.h>
#include <Noctavi/IS/InformationServer.h>
#include <Noctavi/IS/MachineSettings.h>
#include <Noctavi/MonitoredEntry/DuplicateEntry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/InputChecks.h>
#include <Noctavi/MonitoredEntry/OverLimitEntryCount.h>
#include <Noctavi/MonitoredEntry/Serializer.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/System/Config.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/System/Folders.h>
#include <Noctavi/System/InstanceLock.h>
#include <Noctavi/UI/EntryConfigSheet.h>
#include <Noctavi/UI/Message.h>
#include <Noctavi/Utility/SearchAgent.h>
#include <Noctavi/Utility/TextConversion.h>
#include <Noctavi/Utility/Trace.h>

#include <boost/make_shared.hpp>

#include <QAbstractButton>
#include <QTimer>

#include <cstddef>

namespace {

using MonitoredEntry::MFP;

constexpr int kCloseRounds = 3;
constexpr std::size_t kMaxPasswordLength = 28;
// The sheet's OK, by its control id.
constexpr int kSheetOkButton = 1;

// Exit codes of the steps.
constexpr int kInstalled = 0;
constexpr int kInvalidOptions = 13;
constexpr int kEntryLimit = 20;
constexpr int kNotClosedOrDuplicate = 21;
constexpr int kInvalidEntry = 22;
constexpr int kSaveFailed = 30;

bool IsAbsentOrNonEmpty(const boost::optional<std::wstring>& text)
{
    return !text || MonitoredEntry::IsNonEmptyString(*text);
}

bool IsGivenAndNonEmpty(const boost::optional<std::wstring>& text)
{
    return text && MonitoredEntry::IsNonEmptyString(*text);
}

bool IsAbsentOrPort(const boost::optional<int>& port)
{
    return !port || MonitoredEntry::IsPortNumber(*port);
}

bool IsAbsentOrPasswordText(const boost::optional<MonitoredEntry::Password>& password)
{
    if (!password)
        return true;
    const std::wstring text = password->GetText();
    return text.size() <= kMaxPasswordLength && MonitoredEntry::IsAsciiString(text);
}

// Of the machines that a search finds, the one with the host exactly as
// given: with several on the link, the order of their replies is chance.
boost::optional<MFP> FindMachine(const std::wstring& host)
{
    SearchAgent agent;
    for (const MFP& found : agent.GetResults()) {
        if (found.GetHost() == host)
            return found;
    }
    return boost::none;
}

// The name that the machine itself gives; none when it gives none or cannot
// be asked.
boost::optional<std::wstring> ReportedName(const MFP& machine)
{
    try {
        const std::string name = IS::GetMachineSettings(IS::InformationServer(machine))->GetMachineName();
        if (!name.empty())
            return Utility::ToWide(name);
    } catch (const HTTP::Error&) {
    }
    return boost::none;
}

bool IsValid(const MonitoredEntry::EntryProperty& property)
{
    return property.GetMFP().IsValid() && property.GetUser().IsValid() && property.GetConfig().IsValid();
}

// The entry is registered whichever way the sheet is left.
void ShowSheet(MonitoredEntry::EntryManager& model, BasicID<long> id)
{
    UI::EntryConfigSheet sheet(model, id);
    if (qEnvironmentVariableIsSet("NOCTAVI_INSTALL_SHEET_OK")) {
        QTimer::singleShot(0, &sheet, [&sheet] {
            if (auto* ok = sheet.findChild<QAbstractButton*>(QString::number(kSheetOkButton)))
                ok->click();
        });
    }
    sheet.exec();
}

} // namespace

struct InstallMode::Pimpl {
    explicit Pimpl(const Options& options)
        : options(options)
    {
    }

    // The outcome as an exit code; throws on any failure that has none.
    int Install(System::InstanceLock& lock)
    {
        if (!AreValidOptions())
            return kInvalidOptions;
        if (!CloseRunningInstance(lock, kCloseRounds))
            return kNotClosedOrDuplicate;
        Config::GetInstance().Load();
        ApplyConfigLimits();
        // Self-signed machines are trusted as in normal mode, by the same pins.
        HTTP::Net::SetKnownMachinesFolder(Utility::ToNarrow(System::GetDataFolder()));
        serializer.Load(Serializer::Unreadable::LeaveInPlace);
        BasicID<long> id;
        const int code = AddEntry(InstallEntryFromOptions(), id);
        if (code == kInstalled)
            ShowSheet(serializer.GetEntryManager(), id);
        return code;
    }

    bool AreValidOptions() const
    {
        return IsAbsentOrNonEmpty(options.machineName) && options.host &&
               MonitoredEntry::IsValidHost(*options.host) && IsAbsentOrPort(options.http) &&
               IsAbsentOrPort(options.https) && IsGivenAndNonEmpty(options.userName) &&
               IsGivenAndNonEmpty(options.accountId) && IsAbsentOrPasswordText(options.password);
    }

    // The settings' defaults for a new entry, completed from the options and
    // from the machine that a search finds at the host.
    MonitoredEntry::EntryProperty InstallEntryFromOptions() const
    {
        MonitoredEntry::EntryProperty property = Config::GetInstance().GetEntryDefaults();
        MFP machine = property.GetMFP();
        machine.SetHost(*options.host);
        const boost::optional<MFP> found = FindMachine(*options.host);
        if (options.http || found)
            machine.SetHTTP(options.http ? options.http : found->GetHTTP());
        if (options.https || found)
            machine.SetHTTPS(options.https ? options.https : found->GetHTTPS());
        machine.SetName(MachineName(machine, found));
        property.SetMFP(machine);
        property.SetUser(MonitoredEntry::User(options.userName, *options.accountId,
                                              options.password.value_or(MonitoredEntry::Password())));
        return property;
    }

    boost::optional<std::wstring> MachineName(const MFP& machine, const boost::optional<MFP>& found) const
    {
        if (options.machineName)
            return options.machineName;
        if (found)
            return found->GetName();
        return ReportedName(machine);
    }

    int AddEntry(const MonitoredEntry::EntryProperty& property, BasicID<long>& id)
    {
        if (!IsValid(property))
            return kInvalidEntry;
        try {
            MonitoredEntry::EntryManager::Transaction transaction(serializer.GetEntryManager());
            id = transaction.Append(property);
            transaction.Commit();
        } catch (const MonitoredEntry::OverLimitEntryCount&) {
            return kEntryLimit;
        } catch (const MonitoredEntry::DuplicateEntry&) {
            return kNotClosedOrDuplicate;
        }
        return kInstalled;
    }

    void Save(Application& application)
    {
        try {
            serializer.Save();
        } catch (...) {
            Utility::TraceFailure(Utility::kTraceApp, "the installation's data file could not be saved");
            application.SetExitCode(kSaveFailed);
            UI::Message::SaveSettingsFailed();
        }
    }

    const Options options;
    Serializer serializer;
    bool done = false;
};

InstallMode::InstallMode(const Options& options)
    : pimpl_(boost::make_shared<Pimpl>(options))
{
}

bool InstallMode::Start(Application& application)
{
    pimpl_->done = false;
    try {
        const int code = pimpl_->Install(application.GetInstanceLock());
        application.SetExitCode(code);
        pimpl_->done = code == kInstalled;
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceApp, "the installation could not start");
        application.ShowInitFailure();
    }
    return pimpl_->done;
}

// A box that cannot be shown leaves the exit code that the save stored.
void InstallMode::Stop(Application& application) noexcept
{
    try {
        if (pimpl_->done)
            pimpl_->Save(application);
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceApp, "the installation could not end");
    }
    application.GetInstanceLock().Unlock();
}
