#ifndef NOCTAVI_UI_DOCUMENTSAVE_H
#define NOCTAVI_UI_DOCUMENTSAVE_H

class QWidget;

namespace MachineEvent {
class Event;
}

namespace UI {

// Saves the event's document to a file that the user chooses. A worker thread
// downloads it in two stages: once the reply's kind is known, the save dialog
// (ChooseSaveFile, owned by `owner`) offers that kind's filter while the body
// is stored in a private temporary file; the file then replaces the chosen
// one. The machine marks the document read when markRead is set.
//
// A failed download shows string 178, any other failure 177; a cancelled save
// dialog saves nothing and shows nothing. No temporary file outlives the
// call. An exit asked for while the reply is awaited abandons the save. GUI
// thread only: the windows keep painting meanwhile.
void SaveDocumentAs(const MachineEvent::Event& event, bool markRead, QWidget& owner);

} // namespace UI

#endif
