#include <Noctavi/UI/EntryConfigSettingDlg.h>

#include <Noctavi/MonitoredEntry/Config.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/UI/DDX/DDX.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/SpinButton.h>
#include <Noctavi/UI/Strings.h>

#include <dialogs/EntryConfigSettingDlg.h>

#include <QLineEdit>
#include <QScopedValueRollback>

#include <cstdint>
#include <limits>
#include <utility>

namespace UI {

namespace {

namespace Resource = EntryConfigSettingDlgResource;

constexpr int kMillisecondsPerMinute = 60000;
constexpr int kMillisecondsPerSecond = 1000;

struct Range {
    int lower;
    int upper;
};

// A time in milliseconds as the edit shows it, in whole units.
struct ShownTime {
    boost::optional<int> shown;
    int stored = 0; // the loaded milliseconds
    int unit;
    // Typed in or stepped since it was loaded: then the number counts, even
    // one equal to what was shown (500 ms shows as 0, and 0 means "stays").
    bool edited = false;

    // In 64 bits, so that a number typed in is refused rather than wrapped;
    // a field left alone keeps the stored milliseconds.
    boost::optional<int> Milliseconds() const
    {
        if (!shown)
            return boost::none;
        if (!edited)
            return stored;
        const std::int64_t milliseconds = std::int64_t(*shown) * unit;
        if (milliseconds < std::numeric_limits<int>::min() || milliseconds > std::numeric_limits<int>::max())
            return boost::none;
        return static_cast<int>(milliseconds);
    }
};

Range InUnits(const ConfigLimits::Range& milliseconds, int unit)
{
    return {milliseconds.lower() / unit, milliseconds.upper() / unit};
}

void SetRangeLabel(QWidget& page, int id, unsigned int unitString, const Range& range)
{
    SetControlText(GetDlgItem(page, id),
                   QStringLiteral("%1(%2-%3)").arg(LoadString(unitString)).arg(range.lower).arg(range.upper));
}

void SetSpin(QWidget& page, int spinId, int editId, const Range& range)
{
    auto& spin = GetDlgItem<SpinButton>(page, spinId);
    spin.SetBuddy(GetDlgItem<QLineEdit>(page, editId));
    spin.SetRange(range.lower, range.upper);
}

} // namespace

struct EntryConfigSettingDlg::Pimpl {
    Pimpl()
        : logMaxRange{1, GetConfigLimits().EventLogMaxLimit}
        , intervalRange(InUnits(GetConfigLimits().RegularCheckInterval, kMillisecondsPerMinute))
        , eraseTimeRange(InUnits(GetConfigLimits().PopupEventEraseInterval, kMillisecondsPerSecond))
    {
    }

    boost::optional<MonitoredEntry::Config> MakeConfig() const
    {
        const boost::optional<int> intervalMs = interval.Milliseconds();
        const boost::optional<int> eraseTimeMs = eraseTime.Milliseconds();
        if (!logMax || !intervalMs || !eraseTimeMs)
            return boost::none;
        return MonitoredEntry::Config(*logMax, *intervalMs, notice, *eraseTimeMs, eventRead, deleteMsg);
    }

    const Range logMaxRange;
    const Range intervalRange;
    const Range eraseTimeRange;
    boost::optional<int> logMax;
    ShownTime interval{boost::none, 0, kMillisecondsPerMinute};
    ShownTime eraseTime{boost::none, 0, kMillisecondsPerSecond};
    bool notice = false;
    bool eventRead = false;
    bool deleteMsg = false;
    // The page is putting the fields into the controls.
    bool filling = false;
};

EntryConfigSettingDlg::EntryConfigSettingDlg(MonitoredEntry::EntryManager& model, BasicID<long> entryId)
    : EntryConfigPage(model, entryId, Resource::kTemplate)
    , pimpl_(new Pimpl)
{
    // Before the page's own reaction, which reads the fields.
    for (const auto& [id, time] : {std::pair(Resource::kInterval, &pimpl_->interval),
                                   std::pair(Resource::kEraseTime, &pimpl_->eraseTime)}) {
        connect(&GetDlgItem<QLineEdit>(*this, id), &QLineEdit::textChanged, this, [this, time = time] {
            time->edited = time->edited || !pimpl_->filling;
        });
    }
    WatchChanges({Resource::kLogMax, Resource::kInterval, Resource::kNotice, Resource::kEraseTime,
                  Resource::kEventRead, Resource::kDeleteMsg});
}

EntryConfigSettingDlg::~EntryConfigSettingDlg() = default;

void EntryConfigSettingDlg::DoDataExchange(DataExchange& exchange)
{
    const QScopedValueRollback<bool> filling(pimpl_->filling, !exchange.IsSaving());
    DDX_Text(exchange, Resource::kLogMax, pimpl_->logMax);
    DDX_Text(exchange, Resource::kInterval, pimpl_->interval.shown);
    DDX_Check(exchange, Resource::kNotice, pimpl_->notice);
    DDX_Text(exchange, Resource::kEraseTime, pimpl_->eraseTime.shown);
    DDX_Check(exchange, Resource::kEventRead, pimpl_->eventRead);
    DDX_Check(exchange, Resource::kDeleteMsg, pimpl_->deleteMsg);
}

void EntryConfigSettingDlg::InitControls()
{
    SetControlText(GetDlgItem(*this, Resource::kLogMaxRange),
                   QStringLiteral("(%1%2)").arg(LoadString(Resource::kMaxString)).arg(pimpl_->logMaxRange.upper));
    SetRangeLabel(*this, Resource::kIntervalRange, Resource::kMinutesString, pimpl_->intervalRange);
    SetRangeLabel(*this, Resource::kEraseTimeRange, Resource::kEraseTimeUnitString, pimpl_->eraseTimeRange);
    SetSpin(*this, Resource::kLogMaxSpin, Resource::kLogMax, pimpl_->logMaxRange);
    SetSpin(*this, Resource::kIntervalSpin, Resource::kInterval, pimpl_->intervalRange);
    SetSpin(*this, Resource::kEraseTimeSpin, Resource::kEraseTime, pimpl_->eraseTimeRange);
}

void EntryConfigSettingDlg::Load(const MonitoredEntry::Entry& entry)
{
    const MonitoredEntry::Config& config = entry.GetProperty().GetConfig();
    pimpl_->logMax = config.GetLogMax();
    pimpl_->interval.edited = false;
    pimpl_->interval.stored = config.GetInterval();
    pimpl_->interval.shown = config.GetInterval() / kMillisecondsPerMinute;
    pimpl_->notice = config.GetNotice();
    pimpl_->eraseTime.edited = false;
    pimpl_->eraseTime.stored = config.GetEraseTime();
    pimpl_->eraseTime.shown = config.GetEraseTime() / kMillisecondsPerSecond;
    pimpl_->eventRead = config.GetEventRead();
    pimpl_->deleteMsg = config.GetDeleteMsg();
}

void EntryConfigSettingDlg::Store(MonitoredEntry::Entry& entry) const
{
    MonitoredEntry::EntryProperty property = entry.GetProperty();
    property.SetConfig(pimpl_->MakeConfig().value());
    entry.SetProperty(property);
    // The log keeps as many events as the new number, lowered or raised.
    const boost::shared_ptr<MonitoredEntry::EventLog> log = entry.GetEventLog();
    log->SetMax(*pimpl_->logMax);
    entry.SetEventLog(log);
}

bool EntryConfigSettingDlg::IsValidPart() const
{
    const boost::optional<MonitoredEntry::Config> config = pimpl_->MakeConfig();
    return config && config->IsValid();
}

void EntryConfigSettingDlg::UpdateDependentControls()
{
    GetDlgItem<QLineEdit>(*this, Resource::kEraseTime).setReadOnly(!pimpl_->notice);
    GetDlgItem(*this, Resource::kEraseTimeSpin).setEnabled(pimpl_->notice);
}

} // namespace UI
