#include <Noctavi/UI/SpinButton.h>

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace UI {

namespace {

QToolButton* AddArrow(QWidget& spin, QVBoxLayout& layout, Qt::ArrowType arrow)
{
    auto* button = new QToolButton(&spin);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    layout.addWidget(button);
    return button;
}

} // namespace

SpinButton::SpinButton(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    connect(AddArrow(*this, *layout, Qt::UpArrow), &QToolButton::clicked, this, [this] { Step(1); });
    connect(AddArrow(*this, *layout, Qt::DownArrow), &QToolButton::clicked, this, [this] { Step(-1); });
}

void SpinButton::SetBuddy(QLineEdit& buddy)
{
    buddy_ = &buddy;
}

QLineEdit* SpinButton::GetBuddy() const
{
    return buddy_;
}

void SpinButton::SetRange(int lower, int upper)
{
    lower_ = lower;
    upper_ = std::max(lower, upper);
}

void SpinButton::Step(int steps)
{
    if (!buddy_)
        return;
    bool readable = false;
    const qlonglong number = buddy_->text().toLongLong(&readable);
    if (!readable) {
        buddy_->setText(QString::number(lower_));
        return;
    }
    const qlonglong start = std::clamp<qlonglong>(number, lower_, upper_);
    buddy_->setText(QString::number(std::clamp<qlonglong>(start + steps, lower_, upper_)));
}

} // namespace UI
