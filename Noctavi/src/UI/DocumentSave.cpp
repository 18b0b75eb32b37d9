#include <Noctavi/UI/DocumentSave.h>

#include <Noctavi/HTTP/Error.h>
#include <Noctavi/IS/InformationServer.h>
#include <Noctavi/MachineEvent/Event.h>
#include <Noctavi/System/Folders.h>
#include <Noctavi/System/SystemError.h>
#include <Noctavi/UI/DeferredExit.h>
#include <Noctavi/UI/EventLoopWait.h>
#include <Noctavi/UI/Message.h>
#include <Noctavi/UI/SaveFileChooser.h>
#include <Noctavi/UI/WaitCursor.h>
#include <Noctavi/UI/WorkerThread.h>
#include <Noctavi/Utility/TextConversion.h>
#include <Noctavi/Utility/Trace.h>

#include <pelmo/exception.hpp>
#include <pelmo/filesystem/operations.hpp>
#include <pelmo/filesystem/temporary_file.hpp>
#include <pelmo/unique_fd.hpp>

#include <boost/optional.hpp>
#include <boost/system/system_error.hpp>

#include <QFile>

#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <string>

namespace UI {

namespace {

// How a stage of the save ended; each failure has its message.
enum SaveResult { Succeeded, CommunicationFailed, SystemFailed, TempFileFailed };

struct SaveFilter {
    const wchar_t* extension;
    const char* kind;
};

// The save dialog's filters by the reply's extension, compared exactly. They
// are the program's fixed texts, not string-table entries.
constexpr SaveFilter kSaveFilters[] = {{L".jpeg", "JPEG"}, {L".pdf", "PDF"}, {L".tif", "TIFF"}, {L".xml", "XML"}};
const char kUnknownFilter[] = "Unknown Typeed File (*.*)";

SaveFileRequest ChooserRequest(const std::wstring& extension, QWidget& owner)
{
    const QString suffix = QString::fromStdWString(extension);
    for (const SaveFilter& filter : kSaveFilters) {
        if (extension == filter.extension)
            return {&owner, QStringLiteral("%1 (*%2)").arg(QLatin1String(filter.kind), suffix), suffix.mid(1),
                    GetSaveFolder()};
    }
    return {&owner, QLatin1String(kUnknownFilter), QString(), GetSaveFolder()};
}

SaveResult RunStage(const std::function<void()>& stage)
{
    try {
        stage();
        return Succeeded;
    } catch (const HTTP::Error&) {
        return CommunicationFailed;
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceUi, "a stage of the document's save failed");
        return SystemFailed;
    }
}

// A new empty file with a name nobody can foresee, readable by the user alone,
// in the per-user temporary folder; removed when the object goes.
std::unique_ptr<pelmo::filesystem::temporary_file> MakeTemporaryFile()
{
    std::string name = Utility::ToNarrow(System::GetTempFolder()) + "~NVXXXXXX";
    const pelmo::unique_fd file(::mkostemp(name.data(), O_CLOEXEC));
    if (!file)
        PELMO_THROW(SystemError());
    return std::make_unique<pelmo::filesystem::temporary_file>(name);
}

void Report(SaveResult result)
{
    if (result == CommunicationFailed)
        Message::FileAccessFailed();
    else if (result != Succeeded)
        Message::SavingFailed();
}

// What the dialog's thread and the worker share. The worker writes each
// stage's outcome before it marks the stage done (`replied`, then the end of
// the thread); the dialog's thread reads it only after.
struct SaveState {
    SaveState(const MachineEvent::Event& event, bool markRead)
        : event(event)
        , server(event.GetMFP())
    {
        server.SetMarkRead(markRead);
    }

    const MachineEvent::Event event;
    IS::InformationServer server; // the worker's; the dialog's thread only cancels it
    SaveResult reply = Succeeded;
    std::wstring extension;
    std::atomic<bool> replied{false};
    SaveResult file = Succeeded;
    std::unique_ptr<pelmo::filesystem::temporary_file> temporary;

    void SaveWorker();
    SaveResult StoreBody();
};

void SaveState::SaveWorker()
{
    reply = RunStage([this] {
        server.FetchDocument(event.GetProperty().GetDocID().value(), event.GetUser());
        extension = server.GetDocumentExtension();
    });
    replied.store(true, std::memory_order_release);
    if (reply == Succeeded)
        file = StoreBody();
}

SaveResult SaveState::StoreBody()
{
    try {
        temporary = MakeTemporaryFile();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceUi, "the document's temporary file could not be made");
        return TempFileFailed;
    }
    return RunStage([this] { server.ReceiveDocument(Utility::ToWide(temporary->path().string())); });
}

// One save: the worker runs from construction to destruction, which cancels
// what is left of its request and joins it.
class DocumentSave {
public:
    DocumentSave(const MachineEvent::Event& event, bool markRead)
        : state_(event, markRead)
        , worker_([this] { state_.SaveWorker(); })
    {
    }
    DocumentSave(const DocumentSave&) = delete;
    DocumentSave& operator=(const DocumentSave&) = delete;
    ~DocumentSave() { state_.server.Cancel(); }

    void Run(QWidget& owner);

private:
    boost::optional<SaveResult> AwaitReply();
    void Finish();
    void WaitForWorker();
    SaveResult CopyTo(const QString& target) const;

    SaveState state_;
    WorkerThread worker_; // after the state, which it uses
};

void DocumentSave::Run(QWidget& owner)
{
    const boost::optional<SaveResult> reply = AwaitReply();
    if (reply != Succeeded) {
        if (reply)
            Report(*reply);
        return;
    }
    // The body is stored while the user chooses where to put it.
    const QString target = ChooseSaveFile()(ChooserRequest(state_.extension, owner));
    Finish();
    if (target.isEmpty())
        return;
    Report(state_.file == Succeeded ? CopyTo(target) : state_.file);
}

// The first stage's outcome; the worker has ended unless it succeeded. None
// when an exit asked for meanwhile abandoned the download: the cursor is held
// until the worker has ended, so that the exit runs after the save.
boost::optional<SaveResult> DocumentSave::AwaitReply()
{
    const WaitCursor cursor;
    const auto replied = [this] { return state_.replied.load(std::memory_order_acquire); };
    WaitForStage([&] { return replied() || worker_.IsFinished() || DeferredExit::IsRequested(); });
    if (replied() && state_.reply != Succeeded) {
        WaitForWorker();
        return state_.reply;
    }
    if (replied() && !DeferredExit::IsRequested())
        return state_.reply;
    state_.server.Cancel();
    WaitForWorker();
    return boost::none;
}

void DocumentSave::Finish()
{
    const WaitCursor cursor;
    WaitForWorker();
}

void DocumentSave::WaitForWorker()
{
    WaitForStage([this] { return worker_.IsFinished(); });
    worker_.Rethrow();
}

SaveResult DocumentSave::CopyTo(const QString& target) const
{
    try {
        pelmo::filesystem::replace_with_copy(state_.temporary->path(), QFile::encodeName(target).toStdString());
        return Succeeded;
    } catch (const boost::system::system_error&) {
        return SystemFailed;
    }
}

} // namespace

void SaveDocumentAs(const MachineEvent::Event& event, bool markRead, QWidget& owner)
{
    DocumentSave(event, markRead).Run(owner);
}

} // namespace UI
