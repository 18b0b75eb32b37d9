#include "Samples.h"

#include <Noctavi/MonitoredEntry/Config.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryDB.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/MonitoredEntry/Password.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/MonitoredEntry/User.h>
#include <Noctavi/RSS/EventTime.h>

#include <boost/make_shared.hpp>
#include <boost/optional.hpp>

#include <QPainter>

#include <string>

namespace {

MonitoredEntry::EntryProperty Entry(const boost::optional<std::wstring>& machine, const std::wstring& host,
                                    const std::wstring& user, bool monitoring)
{
    using namespace MonitoredEntry;
    return EntryProperty(monitoring, MFP(machine, host, 80, 443, false),
                         User(user, user.substr(0, user.find(L' ')), Password()),
                         Config(20, 300000, true, 30000, true, true));
}

} // namespace

const BasicID<long> Samples::kCopier(0);
const BasicID<long> Samples::kHallPrinter(1);
const BasicID<long> Samples::kScanner(2);

Samples::Samples()
{
    MonitoredEntry::EntryManager::Transaction transaction(model_);
    transaction.Append(Entry(std::wstring(L"R&D Copier 3F"), L"192.0.2.10", L"Ada Example", true));
    transaction.Append(Entry(boost::none, L"printer-hall.example.net", L"Bo Sample", true));
    transaction.Append(Entry(std::wstring(L"Archive scanner"), L"192.0.2.30", L"Cy Demo", false));
    transaction.Commit();
    AddUnreadEvents(kCopier, 3);
    AddUnreadEvents(kHallPrinter, 120);
}

void Samples::AddUnreadEvents(BasicID<long> entryId, int count)
{
    MonitoredEntry::EntryManager::Transaction transaction(model_);
    const auto entry = transaction.GetEntryDB().CloneEntry(entryId);
    const auto log = boost::make_shared<MonitoredEntry::EventLog>(count);
    for (int i = 0; i < count; ++i)
        log->Append(Property(L"Scan to Box", L"Scan " + std::to_wstring(i + 1), true));
    entry->SetEventLog(log);
    transaction.SetEntry(entry);
    transaction.Commit();
}

MachineEvent::Event Samples::Event(BasicID<long> entryId, const MonitoredEntry::EventProperty& property)
{
    const MonitoredEntry::ModelLock lock(model_);
    const MonitoredEntry::EntryProperty& entry = model_.GetEntryDB().GetEntry(entryId).GetProperty();
    return MachineEvent::Event(entry.GetMFP(), entry.GetUser(), property);
}

MonitoredEntry::EventProperty Samples::Property(const std::wstring& category, const std::wstring& info,
                                                bool withDocument)
{
    const std::wstring id = L"1001";
    return MonitoredEntry::EventProperty(
        category, info,
        withDocument ? boost::make_optional(L"http://192.0.2.10/thumbnail.htm?DC=" + id) : boost::none,
        withDocument ? boost::make_optional(id) : boost::none, RSS::EventTime("Tue, 09 Dec 2008 10:15:30 +0900"));
}

QImage Samples::ScannedPage()
{
    QImage page(420, 594, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.setPen(QPen(QColor(0xB0, 0xB0, 0xB0), 3));
    painter.drawRect(page.rect().adjusted(1, 1, -2, -2));
    painter.fillRect(40, 40, 220, 28, QColor(0x30, 0x30, 0x30));
    for (int line = 0; line < 22; ++line)
        painter.fillRect(40, 110 + line * 20, line % 5 == 4 ? 200 : 340, 8, QColor(0x80, 0x80, 0x80));
    return page;
}
