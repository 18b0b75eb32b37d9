#include <Noctavi/UI/DocumentPreview.h>

#include <Noctavi/HTTP/Error.h>
#include <Noctavi/IS/Config.h>
#include <Noctavi/IS/InformationServer.h>
#include <Noctavi/MachineEvent/Event.h>
#include <Noctavi/System/Folders.h>
#include <Noctavi/UI/EventLoopWait.h>
#include <Noctavi/UI/Message.h>
#include <Noctavi/UI/ShellOpener.h>
#include <Noctavi/Utility/TextConversion.h>
#include <Noctavi/Utility/Trace.h>

#include <pelmo/filesystem/unique_entry.hpp>

#include <chrono>
#include <exception>
#include <string>

namespace UI {

namespace {

// A viewer may still show a preview made a while ago; after a day it is
// taken to be closed.
const std::chrono::hours kPreviewLife(24);

// The per-user temporary folder without its trailing "/".
std::string PreviewBase()
{
    std::string base = Utility::ToNarrow(System::GetTempFolder());
    base.pop_back();
    return base;
}

// Every preview gets a folder of its own, so that none replaces a file that a
// viewer may still show.
std::wstring PreviewPath()
{
    const auto folder = pelmo::filesystem::create_unique_directory(PreviewBase(), std::string());
    return Utility::ToWide((*folder / "prev").string());
}

} // namespace

void PreviewDocument(const MachineEvent::Event& event, bool markRead)
{
    IS::InformationServer server(event.GetMFP());
    server.SetMarkRead(markRead);
    std::wstring path;
    try {
        path = PreviewPath();
    } catch (const std::exception&) {
        // No folder for it: the temporary folder refused, or the disk.
        Message::SavingFailed();
        return;
    }
    try {
        RunInBackground([&] {
            server.SaveDocument(event.GetUser(), path, event.GetProperty().GetDocID().value(),
                                IS::GetTimeout(IS::RequestKind::DocumentDownload));
        });
    } catch (const HTTP::Error&) {
        Message::FileAccessFailed();
        return;
    }
    OpenInShell()(path);
}

void RemoveOldPreviews() noexcept
{
    try {
        pelmo::filesystem::remove_unique_directories_older_than(PreviewBase(), std::string(), kPreviewLife);
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceUi, "old previews could not be removed");
        // A temporary folder that is refused holds no previews of ours.
    }
}

} // namespace UI
