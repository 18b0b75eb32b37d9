#ifndef NOCTAVI_UI_SPINBUTTON_H
#define NOCTAVI_UI_SPINBUTTON_H

#include <QWidget>

class QLineEdit;

namespace UI {

// Two arrows that step the number in a buddy edit within a range, as a
// Windows up-down control does. Unlike a QSpinBox, the edit stays free to
// hold nothing, or a number beyond the range, while the user types; the
// dialog judges what it holds.
class SpinButton : public QWidget {
public:
    explicit SpinButton(QWidget* parent = nullptr);

    void SetBuddy(QLineEdit& buddy);
    QLineEdit* GetBuddy() const;
    void SetRange(int lower, int upper);
    int GetLower() const { return lower_; }
    int GetUpper() const { return upper_; }

    // Writes the buddy's number plus the steps (negative: down), kept within
    // the range; a number beyond the range steps from the nearer bound, and
    // nothing readable gives the lower bound.
    void Step(int steps);

private:
    QLineEdit* buddy_ = nullptr;
    int lower_ = 0;
    int upper_ = 100;
};

} // namespace UI

#endif
