#ifndef NOCTAVI_UI_DOCUMENTPREVIEW_H
#define NOCTAVI_UI_DOCUMENTPREVIEW_H

namespace MachineEvent {
class Event;
}

namespace UI {

// Downloads the event's document into a new folder of its own under the
// per-user temporary folder, as "prev" with the extension of the document's
// kind, and opens it in the user's preferred program (OpenInShell). The
// machine marks the document read when markRead is set. A failed download
// shows string 178, a folder that cannot be made string 177; neither opens
// anything. GUI thread only: the download runs on a
// worker thread while the windows keep painting.
void PreviewDocument(const MachineEvent::Event& event, bool markRead);

// Removes the preview folders in which nothing has changed for a day, with
// the copies of documents (scans that may be private) in them. Younger ones
// stay: a viewer may still show them, also after the program has ended.
void RemoveOldPreviews() noexcept;

} // namespace UI

#endif
