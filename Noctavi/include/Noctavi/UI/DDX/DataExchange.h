#ifndef NOCTAVI_UI_DDX_DATAEXCHANGE_H
#define NOCTAVI_UI_DDX_DATAEXCHANGE_H

class QWidget;

namespace UI {

// One exchange between a dialog's controls and its fields: loading shows the
// fields in the controls, saving reads the controls into the fields. A
// control whose text is no value of its field's kind fails the exchange
// quietly, so that the dialog counts as invalid until the text is mended,
// instead of a message box at every keystroke.
class DataExchange {
public:
    enum Direction { Load, Save };

    DataExchange(QWidget& dialog, Direction direction)
        : dialog_(dialog)
        , direction_(direction)
    {
    }

    QWidget& GetDialog() const { return dialog_; }
    bool IsSaving() const { return direction_ == Save; }

    void Fail() { failed_ = true; }
    bool HasFailed() const { return failed_; }

private:
    QWidget& dialog_;
    Direction direction_;
    bool failed_ = false;
};

} // namespace UI

#endif
