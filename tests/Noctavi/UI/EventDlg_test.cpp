#include <Noctavi/IS/Config.h>
#include <Noctavi/MachineEvent/Event.h>
#include <Noctavi/MonitoredEntry/Config.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/RSS/EventTime.h>
#include <Noctavi/UI/BitmapStretcher.h>
#include <Noctavi/UI/DeferredExit.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/DialogUnits.h>
#include <Noctavi/UI/DocumentPreview.h>
#include <Noctavi/UI/EventDlg.h>
#include <Noctavi/UI/Icons.h>
#include <Noctavi/UI/PopupEventDlg.h>
#include <Noctavi/UI/SaveFileChooser.h>
#include <Noctavi/UI/ShellOpener.h>
#include <Noctavi/UI/WaitCursor.h>
#include <Noctavi/Utility/TextConversion.h>

#include <support/FakeInformationServer.h>
#include <support/PngPicture.h>
#include <support/ReadFile.h>
#include <support/ScopedEnv.h>
#include <support/TempDir.h>
#include <support/WaitUntil.h>
#include <support/ui/DialogControls.h>
#include <support/ui/MessageBoxRecorder.h>
#include <support/ui/ProcessEventsUntil.h>

#include <boost/filesystem/operations.hpp>
#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QTimer>

#include <ctime>
#include <fstream>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = boost::filesystem;
using support::FakeMachine;
using support::MessageBoxRecorder;
using Texts = std::vector<std::string>;

// Controls of the dialog, by the ids of its template.
enum {
    kCountIcon = 1125, kCountText = 1126, kLogin = 1127, kEventLogViewer = 1128, kDetailsFrame = 1129,
    kMachine = 1073, kUser = 1074, kCategory = 1075, kInfo = 1076, kTime = 1077,
    kThumbnailArea = 1114, kThumbnail = 1080,
    kPreview = 1067, kPrint = 1078, kSave = 1079, kDelete = 1130, kMarkRead = 1131, kClose = 1,
};
constexpr int kDocumentControls[] = {kPreview, kPrint, kSave, kDelete, kMarkRead};
const char kHost[] = "127.0.0.40";

// As the window utilities take it: halves of the sums of the edges.
QPoint Centre(const QWidget& widget)
{
    const QRect r = widget.geometry();
    return {(2 * r.x() + r.width()) / 2, (2 * r.y() + r.height()) / 2};
}

using support::Click;
using support::Item;

// "NTV=2" and so on: the query pairs of each request for the document page,
// counted once although a request that is challenged is sent again with
// credentials.
std::vector<Texts> PageQueries(FakeMachine& machine)
{
    std::vector<Texts> queries;
    const std::vector<support::RecordedRequest> requests = machine.Requests();
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const support::RecordedRequest& request = requests[i];
        const bool challenged = i + 1 < requests.size() && request.authorization.empty() &&
                                !requests[i + 1].authorization.empty() && requests[i + 1].target == request.target;
        if (request.path != "/noctavi.htm" || challenged)
            continue;
        Texts pairs;
        for (const auto& pair : request.queryPairs)
            pairs.push_back(pair.first + '=' + pair.second);
        queries.push_back(pairs);
    }
    return queries;
}

// The texts of the boxes shown, in order.
Texts Shown(const MessageBoxRecorder& recorder)
{
    Texts texts;
    for (const UI::MessageBoxRequest& request : recorder.Requests())
        texts.push_back(request.text.toStdString());
    return texts;
}

MonitoredEntry::User Account(const std::wstring& id, const std::wstring& password)
{
    return MonitoredEntry::User(std::wstring(L"Alice"), id, MonitoredEntry::Password(password));
}

// One entry on the fake machine, whose settings and account the tests change.
class EventDlgTest : public ::testing::Test {
protected:
    EventDlgTest()
    {
        server.AddAccount({"alice", "Alice", "s3cret"});
        server.AddAccount({"bob", "Bob", "hunter2", false});
        AddDocument("doc-1", "application/pdf", support::PngPicture(100, 50));
        MonitoredEntry::EntryManager::Transaction transaction(model);
        entry = transaction.Append(Settings(true, true, Account(L"alice", L"s3cret")));
        transaction.Commit();
    }

    // Unless the machine has a document of that ID already.
    void AddDocument(const std::string& id, const std::string& contentType, const std::string& thumbnail,
                     const std::string& owner = "alice")
    {
        if (server.Document(id))
            return;
        support::StoredDocument document{id, owner};
        document.contentType = contentType;
        document.content = "%content of " + id;
        document.thumbnail = thumbnail;
        server.AddDocument(document);
    }

    MonitoredEntry::EntryProperty Settings(bool monitoring, bool confirmDelete, const MonitoredEntry::User& user,
                                           int popupTime = 10000)
    {
        using namespace MonitoredEntry;
        const MFP machine(boost::none, Utility::ToWide(kHost), server.Machine().Port(), boost::none, false);
        return EntryProperty(monitoring, machine, user, Config(5, 60000, true, popupTime, true, confirmDelete));
    }

    void Reconfigure(bool monitoring, bool confirmDelete,
                     const MonitoredEntry::User& user = Account(L"alice", L"s3cret"), int popupTime = 10000)
    {
        MonitoredEntry::EntryManager::Transaction transaction(model);
        const auto copy = transaction.GetEntryDB().CloneEntry(entry);
        copy->SetProperty(Settings(monitoring, confirmDelete, user, popupTime));
        transaction.SetEntry(copy);
        transaction.Commit();
    }

    // What the dialog shows of an event of the entry, with or without document.
    MachineEvent::Event EventOf(const boost::optional<std::string>& documentId)
    {
        const boost::optional<std::wstring> id =
            documentId ? boost::make_optional(Utility::ToWide(*documentId)) : boost::none;
        const boost::optional<std::wstring> thumbnail =
            id ? boost::make_optional(Utility::ToWide(server.ThumbnailAddress(*documentId))) : boost::none;
        const MonitoredEntry::EventProperty property(L"Scan to Box", L"Contract", thumbnail, id,
                                                     RSS::EventTime("Tue, 09 Dec 2008 10:05:07 +0900"));
        const MonitoredEntry::ModelLock lock(model);
        const MonitoredEntry::EntryProperty& settings = model.GetEntryDB().GetEntry(entry).GetProperty();
        return MachineEvent::Event(settings.GetMFP(), settings.GetUser(), property);
    }

    // Logged, unread, in the entry's log, unless it is there already.
    void Log(const MachineEvent::Event& event)
    {
        MonitoredEntry::EntryManager::Transaction transaction(model);
        const auto copy = transaction.GetEntryDB().CloneEntry(entry);
        const auto log = copy->GetEventLog();
        if (!log->IsNew(event.GetProperty()))
            return;
        log->Append(event.GetProperty());
        copy->SetEventLog(log);
        transaction.SetEntry(copy);
        transaction.Commit();
    }

    // Opened on a logged event, bound to an entry (a missing one too), with
    // its thumbnail fetched from the machine.
    std::unique_ptr<UI::EventDlg> Open(const boost::optional<std::string>& documentId = std::string("doc-1"),
                                       const boost::optional<BasicID<long>>& bound = boost::none)
    {
        const MachineEvent::Event event = EventOf(documentId);
        Log(event);
        auto dialog = std::make_unique<UI::EventDlg>(event);
        dialog->Bind(model, bound.value_or(entry));
        dialog->show();
        const QLabel& thumbnail = Item<QLabel>(*dialog, kThumbnail);
        EXPECT_TRUE(support::ProcessEventsUntil(
            [&] { return !documentId || Item(*dialog, kPreview).isEnabled() || !thumbnail.text().isEmpty(); }));
        return dialog;
    }

    std::string TempFolder() const
    {
        return (temp.Path() / ("Hollvik-" + std::to_string(getuid())) / "Noctavi").string();
    }

    // The files in the per-user temporary folder, its folders' included.
    std::vector<fs::path> TemporaryFiles() const
    {
        std::vector<fs::path> files;
        if (fs::exists(TempFolder())) {
            for (const auto& item : fs::recursive_directory_iterator(TempFolder())) {
                if (fs::is_regular_file(item.path()))
                    files.push_back(item.path());
            }
        }
        return files;
    }

    support::TempDir temp;
    const support::ScopedEnv tmpdir{"TMPDIR", temp.Path().string()};
    support::FakeInformationServer server{FakeMachine::Options(kHost)};
    MonitoredEntry::EntryManager model;
    BasicID<long> entry;
};

TEST_F(EventDlgTest, ShowsTheEventWithTheEntrysUnreadCountAndSettingsAndEndsAsItWasLeft)
{
    // Nothing unread, monitoring off: the plain count and no Login button.
    Reconfigure(false, true);
    UI::EventDlg quiet(EventOf(boost::none));
    quiet.Bind(model, entry);
    quiet.show();
    EXPECT_EQ(Item<QLabel>(quiet, kCountText).text(), "0 piece");
    EXPECT_FALSE(Item<QLabel>(quiet, kCountText).font().bold());
    EXPECT_EQ(Item<QLabel>(quiet, kCountIcon).pixmap().toImage(),
              UI::LoadIconResource(UI::kNoUnreadCountIcon).pixmap(16).toImage());
    EXPECT_FALSE(Item(quiet, kLogin).isVisibleTo(&quiet));
    int viewerRequests = 0;
    QObject::connect(&quiet, &UI::EventDlg::EventLogViewerRequested, [&] { ++viewerRequests; });
    Click(quiet, kEventLogViewer);
    EXPECT_EQ(quiet.result(), QDialog::Rejected);
    EXPECT_TRUE(quiet.IsEventLogViewerRequested());
    EXPECT_EQ(viewerRequests, 1);

    Reconfigure(true, true);
    const auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), "Event Details");
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    EXPECT_EQ(dialog->parent(), nullptr);
    Texts shown;
    for (int id : {kMachine, kUser, kCategory, kInfo, kTime})
        shown.push_back(Item<QLabel>(*dialog, id).text().toStdString());
    EXPECT_EQ(shown, Texts({"127.0.0.40", "Alice", "Scan to Box", "Contract", "2008/12/09 10:05:07"}));
    EXPECT_EQ(dialog->GetPopupTime(), 10000);
    EXPECT_TRUE(Item<QCheckBox>(*dialog, kMarkRead).isChecked());
    EXPECT_TRUE(Item(*dialog, kLogin).isVisibleTo(dialog.get()));
    // The event itself is still unread: a pop-up's event counts itself.
    const QLabel& count = Item<QLabel>(*dialog, kCountText);
    EXPECT_EQ(count.text(), "1 piece");
    EXPECT_TRUE(count.font().bold());
    EXPECT_EQ(Item<QLabel>(*dialog, kCountIcon).pixmap().toImage(),
              UI::LoadIconResource(UI::kUnreadCountIcon).pixmap(16).toImage());
    Click(*dialog, kClose);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->IsEventLogViewerRequested());
}

// A log limit raised above the default allows a count of four digits.
TEST_F(EventDlgTest, AFourDigitCountKeepsClearOfTheLoginButton)
{
    {
        MonitoredEntry::EntryManager::Transaction transaction(model);
        const auto copy = transaction.GetEntryDB().CloneEntry(entry);
        const auto log = boost::make_shared<MonitoredEntry::EventLog>(1000);
        for (int n = 0; n < 1000; ++n) {
            log->Append(MonitoredEntry::EventProperty(L"Scan to Box", std::to_wstring(n), boost::none, boost::none,
                                                      RSS::EventTime("Tue, 09 Dec 2008 10:05:07 +0900")));
        }
        copy->SetEventLog(log);
        transaction.SetEntry(copy);
        transaction.Commit();
    }
    const auto dialog = Open(boost::none);
    const QLabel& count = Item<QLabel>(*dialog, kCountText);
    EXPECT_EQ(count.text(), "1000 piece");
    EXPECT_LT(count.geometry().right(), Item(*dialog, kLogin).x());
}

TEST_F(EventDlgTest, AThumbnailIsFittedAndCentredAndAFailedOneSaysTheDocumentIsGone)
{
    AddDocument("large", "application/pdf", support::PngPicture(2000, 1000));
    AddDocument("no-thumbnail", "application/pdf", "");
    AddDocument("garbled", "application/pdf", "not a picture");
    const struct {
        const char* document;
        QSize picture; // none: the document is reported deleted
        bool deleted;
    } cases[] = {{"doc-1", {100, 50}, false}, {"large", {2000, 1000}, false},
                 {"no-thumbnail", {}, true},      {"garbled", {}, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.document);
        const auto dialog = Open(std::string(c.document));
        const QWidget& area = Item(*dialog, kThumbnailArea);
        const QLabel& thumbnail = Item<QLabel>(*dialog, kThumbnail);
        if (!c.deleted && !c.picture.isValid()) {
            // The document is there, its thumbnail cannot be shown.
            EXPECT_TRUE(Item(*dialog, kDelete).isEnabled());
            EXPECT_TRUE(thumbnail.text().isEmpty());
            EXPECT_TRUE(thumbnail.pixmap().isNull());
            continue;
        }
        EXPECT_EQ(Centre(thumbnail), Centre(area));
        for (int id : kDocumentControls) {
            EXPECT_TRUE(Item(*dialog, id).isVisible());
            EXPECT_EQ(Item(*dialog, id).isEnabled(), !c.deleted) << id;
        }
        if (!c.deleted) {
            EXPECT_EQ(thumbnail.size(), UI::BitmapStretcher::Fit(c.picture, area.size()));
            EXPECT_EQ(thumbnail.pixmap().size(), thumbnail.size());
        } else {
            EXPECT_EQ(thumbnail.text(), "The document has been deleted.");
            EXPECT_TRUE(thumbnail.pixmap().isNull());
            EXPECT_EQ(thumbnail.width(), thumbnail.sizeHint().width());
        }
    }
}

TEST_F(EventDlgTest, AnEventWithoutDocumentHasTheCompactLayout)
{
    const auto dialog = Open(boost::none);
    // The distance from the thumbnail area's top to the details' bottom.
    const UI::DialogUnits units(dialog->font());
    const int removed = units.ToPixelsY(30) + units.ToPixelsY(283) - units.ToPixelsY(114);
    EXPECT_EQ(Item(*dialog, kClose).y(), units.ToPixelsY(319) - removed);
    EXPECT_EQ(dialog->height(), units.ToPixelsY(342) - removed);
    EXPECT_EQ(Item(*dialog, kDetailsFrame).height(), units.ToPixelsY(283) - removed);
    for (int id : {kThumbnailArea, kThumbnail, kPreview, kPrint, kSave, kDelete, kMarkRead})
        EXPECT_FALSE(Item(*dialog, id).isVisible()) << id;
    EXPECT_TRUE(server.Machine().Requests().empty());
}

TEST_F(EventDlgTest, PrintSendsPageMode2WithTheMarkReadChoiceWhileTheDialogKeepsPainting)
{
    const auto dialog = Open();
    // The machine answers the first print only once the waiting dialog has
    // painted under the wait cursor: a print on the GUI thread never would.
    std::promise<bool> paintedWaiting;
    std::shared_future<bool> painted = paintedWaiting.get_future().share();
    server.Machine().OnRequest([painted](const support::RecordedRequest& request) {
        if (request.path == "/noctavi.htm")
            painted.wait_for(std::chrono::seconds(10));
    });
    struct PaintWatch : QObject {
        std::promise<bool>* promise;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint && promise) {
                promise->set_value(UI::WaitCursor::IsHeld());
                promise = nullptr;
            }
            return false;
        }
    } watch;
    watch.promise = &paintedWaiting;
    dialog->installEventFilter(&watch);
    QTimer::singleShot(0, dialog.get(), [&] { dialog->update(); });
    Click(*dialog, kPrint);
    ASSERT_EQ(painted.wait_for(std::chrono::seconds(0)), std::future_status::ready);
    EXPECT_TRUE(painted.get());
    server.Machine().OnRequest(nullptr);

    Click(*dialog, kMarkRead);
    Click(*dialog, kPrint);
    EXPECT_EQ(PageQueries(server.Machine()), (std::vector<Texts>{{"NTV=2", "DC=doc-1", "UN=alice", "ISR=1"},
                                                                 {"NTV=2", "DC=doc-1", "UN=alice", "ISR=0"}}));
    EXPECT_EQ(server.Printed(), Texts({"doc-1", "doc-1"}));
    EXPECT_TRUE(dialog->isVisible());
    const MonitoredEntry::ModelLock lock(model);
    EXPECT_TRUE(model.GetEntryDB().GetEntry(entry).GetProperty().GetConfig().GetEventRead()) << "the entry's own";
}

TEST_F(EventDlgTest, DeleteAsksAsTheEntrySaysAndKeepsTheEventLogged)
{
    const struct {
        bool confirmDelete;
        BasicID<long> bound;
        QMessageBox::StandardButton answer;
        bool asked;
        bool deleted;
    } cases[] = {
        {true, entry, QMessageBox::No, true, false},
        {false, BasicID<long>(99), QMessageBox::No, true, false}, // an entry gone still asks
        {false, entry, QMessageBox::NoButton, false, true},
        {true, entry, QMessageBox::Yes, true, true},
    };
    for (const auto& c : cases) {
        Reconfigure(true, c.confirmDelete);
        AddDocument("doc-1", "application/pdf", support::PngPicture(10, 10));
        const std::size_t requests = PageQueries(server.Machine()).size();
        const auto dialog = Open(std::string("doc-1"), c.bound);
        const MessageBoxRecorder recorder(c.answer);
        Click(*dialog, kDelete);
        EXPECT_EQ(Shown(recorder), c.asked ? Texts{"Do you want to delete the document?"} : Texts{});
        EXPECT_EQ(PageQueries(server.Machine()).size(), requests + c.deleted);
        EXPECT_EQ(!server.Document("doc-1"), c.deleted);
        EXPECT_EQ(dialog->result(), c.deleted ? QDialog::Accepted : 0);
        EXPECT_EQ(dialog->isVisible(), !c.deleted);
    }
    EXPECT_EQ(PageQueries(server.Machine()).back(), Texts({"NTV=5", "DC=doc-1", "UN=alice"}));
    const MonitoredEntry::ModelLock lock(model);
    EXPECT_EQ(model.GetEntryDB().GetEntry(entry).GetSharedEventLog()->Size(), 1u) << "the event stays logged";
}

// A pop-up's time runs out while the user answers its Delete question: the
// timer does not end it under the action. A Delete done ends it Accepted (its
// event is then marked read); one declined lets the time that ran out close it.
TEST_F(EventDlgTest, APopupsTimeDoesNotCutItsOwnActionShort)
{
    Reconfigure(true, true, Account(L"alice", L"s3cret"), 100);
    for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
        AddDocument("doc-1", "application/pdf", support::PngPicture(10, 10));
        const QImage thumbnail = QImage::fromData(QByteArray::fromStdString(support::PngPicture(10, 10)));
        UI::PopupEventDlg popup(EventOf(std::string("doc-1")), thumbnail);
        popup.Bind(model, entry);
        std::vector<int> endings;
        QObject::connect(&popup, &QDialog::finished, [&](int result) { endings.push_back(result); });
        popup.show();
        MessageBoxRecorder recorder(answer);
        recorder.WhileOpen([] {
            bool past = false;
            QTimer::singleShot(300, [&] { past = true; });
            ASSERT_TRUE(support::ProcessEventsUntil([&] { return past; }));
        });
        Click(popup, kDelete);
        EXPECT_EQ(endings, std::vector<int>{answer == QMessageBox::Yes ? QDialog::Accepted : QDialog::Rejected});
        EXPECT_EQ(!server.Document("doc-1"), answer == QMessageBox::Yes);
    }
}

TEST_F(EventDlgTest, ARefusedDeleteSaysSoAndAnyOtherFailureSaysTheFileCouldNotBeReached)
{
    // Bob may not delete even his own documents.
    AddDocument("bobs", "application/pdf", support::PngPicture(10, 10), "bob");
    Reconfigure(true, false, Account(L"bob", L"hunter2"));
    const auto refused = Open(std::string("bobs"));
    const MessageBoxRecorder refusal;
    Click(*refused, kDelete);
    EXPECT_EQ(Shown(refusal), Texts{"There is not authority to delete."});
    EXPECT_TRUE(refused->isVisible());

    Reconfigure(true, false);
    const auto failed = Open();
    server.Machine().Script("/noctavi.htm", support::Reply(404, "text/html", ""));
    const MessageBoxRecorder failure;
    Click(*failed, kDelete);
    EXPECT_EQ(Shown(failure), Texts{"Failed to access a file stored in Stavelock."});
    EXPECT_TRUE(failed->isVisible());
}

TEST_F(EventDlgTest, SaveOffersTheKindsFilterAndReplacesTheChosenFile)
{
    const struct {
        const char* document;
        const char* contentType;
        const char* filter;
        const char* suffix;
    } cases[] = {
        {"doc-1", "application/pdf", "PDF (*.pdf)", "pdf"},
        {"jpeg", "image/jpeg", "JPEG (*.jpeg)", "jpeg"},
        {"tiff", "image/tiff", "TIFF (*.tif)", "tif"},
        {"xml", "text/xml", "XML (*.xml)", "xml"},
        {"other", "application/octet-stream", "Unknown Typeed File (*.*)", ""},
    };
    const fs::path target = temp.Path() / "saved";
    // The chooser opens in the documents folder, or at home once that is gone.
    const fs::path home = temp.Path() / "home";
    const fs::path papers = home / "Papers";
    fs::create_directories(papers);
    std::ofstream((home / "user-dirs.dirs").string()) << "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n";
    const support::ScopedEnv homeDir("HOME", home.string());
    const support::ScopedEnv config("XDG_CONFIG_HOME", home.string());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.document);
        if (std::string(c.document) == "other")
            fs::remove(papers);
        AddDocument(c.document, c.contentType, support::PngPicture(10, 10));
        const auto dialog = Open(std::string(c.document));
        std::vector<UI::SaveFileRequest> asked;
        const UI::SaveFileChooserSeam::Override chooser(UI::ChooseSaveFile(), [&](const UI::SaveFileRequest& r) {
            asked.push_back(r);
            // The body goes meanwhile into a private file of its own.
            EXPECT_TRUE(support::WaitUntil([&] { return TemporaryFiles().size() == 1; }));
            const fs::path stored = TemporaryFiles().at(0);
            EXPECT_EQ(stored.filename().string().substr(0, 3), "~NV");
            EXPECT_EQ(fs::status(stored).permissions(), fs::owner_read | fs::owner_write);
            return QString::fromStdString(target.string());
        });
        // Twice: the second save replaces the first one's file.
        for (int save = 0; save < 2; ++save) {
            std::ofstream(target.string()) << "an older file";
            Click(*dialog, kSave);
        }
        ASSERT_EQ(asked.size(), 2u);
        EXPECT_EQ(asked[1].filter, c.filter);
        EXPECT_EQ(asked[1].defaultSuffix, c.suffix);
        EXPECT_EQ(asked[1].owner, dialog.get());
        EXPECT_EQ(asked[1].folder.toStdString(), (fs::exists(papers) ? papers : home).string());
        EXPECT_EQ(support::ReadFile(target), std::string("%content of ") + c.document);
        EXPECT_TRUE(TemporaryFiles().empty());
    }
    EXPECT_EQ(PageQueries(server.Machine()).back(), Texts({"NTV=1", "DC=other", "UN=alice", "ISR=1"}));
}

TEST_F(EventDlgTest, ASaveThatFailsOrIsCancelledLeavesNoFileAndReportsOnlyWhatTheUserAskedFor)
{
    const fs::path target = temp.Path() / "saved.pdf";
    const std::string missingFolder = (temp.Path() / "no-such-folder" / "saved.pdf").string();
    const struct {
        const char* name;
        support::Fault fault;
        std::string chosen; // empty: cancelled
        std::vector<std::string> messages;
    } cases[] = {
        {"cancelled", support::Fault::None, "", {}},
        {"cancelled after a broken body", support::Fault::TruncatedBody, "", {}},
        {"broken body", support::Fault::TruncatedBody, target.string(), {"Failed to access a file stored in Stavelock."}},
        {"copy refused", support::Fault::None, missingFolder, {"Saving failed."}},
    };
    const auto dialog = Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.Machine().Script("/noctavi.htm", support::Reply(200, "application/pdf", std::string(4096, 'x'), c.fault));
        const MessageBoxRecorder recorder;
        const UI::SaveFileChooserSeam::Override chooser(UI::ChooseSaveFile(), [&](const UI::SaveFileRequest&) {
            return QString::fromStdString(c.chosen);
        });
        Click(*dialog, kSave);
        EXPECT_EQ(Shown(recorder), c.messages);
        EXPECT_FALSE(fs::exists(target));
        EXPECT_TRUE(TemporaryFiles().empty());
    }

    // A document the machine no longer has: no save dialog at all.
    server.Machine().Script("/noctavi.htm", support::Reply(404, "text/html", ""));
    const MessageBoxRecorder recorder;
    Click(*dialog, kSave);
    EXPECT_EQ(Shown(recorder), Texts{"Failed to access a file stored in Stavelock."});
}

TEST_F(EventDlgTest, AnExitAskedForDuringTheDownloadAbandonsTheSaveAndRunsAfterIt)
{
    const auto dialog = Open();
    server.Machine().Script("/noctavi.htm", support::Reply(200, "application/pdf", "", support::Fault::Stall));
    bool exited = false;
    const std::size_t before = server.Machine().Requests().size();
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(server.Machine().WaitForRequests(before + 1));
        UI::DeferredExit::Request([&] { exited = true; });
    });
    Click(*dialog, kSave); // no save dialog, no message: the test main fails either
    EXPECT_FALSE(exited);
    EXPECT_TRUE(support::ProcessEventsUntil([&] { return exited; }));
    EXPECT_TRUE(TemporaryFiles().empty());
}

TEST_F(EventDlgTest, PreviewOpensAFreshCopyOfTheDocumentFromTheTemporaryFolder)
{
    const auto dialog = Open();
    std::vector<std::wstring> opened;
    const UI::ShellOpenerSeam::Override opener(UI::OpenInShell(),
                                               [&](const std::wstring& target) { opened.push_back(target); });
    Click(*dialog, kPreview);
    Click(*dialog, kPreview);
    ASSERT_EQ(opened.size(), 2u);
    const fs::path first(Utility::ToNarrow(opened[0])), second(Utility::ToNarrow(opened[1]));
    EXPECT_EQ(first.filename(), "prev.pdf");
    EXPECT_EQ(first.parent_path().parent_path(), fs::path(TempFolder()));
    EXPECT_NE(first.parent_path(), second.parent_path());
    EXPECT_EQ(support::ReadFile(second), "%content of doc-1");
    EXPECT_EQ(PageQueries(server.Machine()).back(), Texts({"NTV=1", "DC=doc-1", "UN=alice", "ISR=1"}));
    // A copy goes a day after its preview; a younger one may still be open in a viewer.
    fs::last_write_time(first.parent_path(), std::time(nullptr) - 25 * 3600);
    UI::RemoveOldPreviews();
    EXPECT_FALSE(fs::exists(first.parent_path()));
    EXPECT_TRUE(fs::exists(second));

    server.Machine().Script("/noctavi.htm", support::Reply(404, "text/html", ""));
    const MessageBoxRecorder recorder;
    Click(*dialog, kPreview);
    // A temporary folder that cannot be made: its place is taken by a file.
    const fs::path blocked = temp.Path() / "blocked";
    std::ofstream(blocked.string()) << "a file";
    const support::ScopedEnv tmp("TMPDIR", blocked.string());
    Click(*dialog, kPreview);
    EXPECT_EQ(Shown(recorder), Texts({"Failed to access a file stored in Stavelock.", "Saving failed."}));
    EXPECT_EQ(opened.size(), 2u);
}

TEST_F(EventDlgTest, ClosingWhileTheThumbnailIsFetchedCancelsTheRequest)
{
    // Were the request not cancelled, the dialog's destruction would wait for
    // a reply that never comes, far beyond the test's time-out.
    struct LongTimeouts {
        LongTimeouts()
        {
            IS::Config::Records records;
            records.fill(HTTP::Timeout{600000, 1, 600000, 600000});
            IS::SetConfiguration(IS::Config(records));
        }
        ~LongTimeouts() { IS::SetConfiguration(IS::Config()); }
    } timeouts;
    server.Machine().Script("/thumbnail.htm", support::Reply(200, "image/png", "", support::Fault::Stall));
    UI::EventDlg dialog(EventOf(std::string("doc-1")));
    dialog.Bind(model, entry);
    dialog.show();
    ASSERT_TRUE(server.Machine().WaitForRequests(1));
    for (int id : kDocumentControls)
        EXPECT_FALSE(Item(dialog, id).isEnabled()) << "not before the thumbnail has come";
}

} // namespace
