#include <Noctavi/UI/DialogBuilder.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/UI/DialogTemplate.h>

#include <support/ui/ScopedCatalogue.h>

#include <pelmo/logic_error.hpp>

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <utility>

namespace {

using UI::ControlFlag;
using UI::ControlKind;

// A few controls in the shape of the event details dialog's, one of each kind.
constexpr UI::ControlTemplate kControls[] = {
    {UI::kUnnamedControl, ControlKind::GroupBox, {6, 0, 315, 28}},
    {1124, ControlKind::Static, {13, 12, 78, 8}, 210},
    {1073, ControlKind::Static, {103, 42, 204, 8}},
    {1127, ControlKind::PushButton, {165, 8, 72, 16}, 195},
    {1131, ControlKind::CheckBox, {13, 294, 299, 10}, 206, ControlFlag::Disabled},
    {1114, ControlKind::GroupBox, {25, 114, 270, 150}, UI::kNoString, ControlFlag::Hidden},
    {1026, ControlKind::Edit, {13, 200, 60, 12}, UI::kNoString, ControlFlag::Password | ControlFlag::Digits},
    {1023, ControlKind::ListBox, {13, 220, 60, 40}},
    {1, ControlKind::PushButton, {241, 319, 72, 16}, 192, ControlFlag::Default},
};
constexpr UI::DialogTemplate kDialog(117, {327, 342}, kControls);

// DejaVu Sans at 11 pixels: the 52 letters are 353 pixels wide, so a
// horizontal unit is 7/4 pixel ((353 / 26 + 1) / 2 = 7); the height is 13, so
// a vertical unit is 13/8 pixel. Halves round up, as Windows' MulDiv does.
class BuiltDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(11);
        dialog_.setFont(font);
        UI::BuildDialog(dialog_, kDialog);
    }

    QDialog dialog_;
};

TEST_F(BuiltDialog, PlacesControlsInPixelsOfTheDialogsFont)
{
    EXPECT_EQ(dialog_.size(), QSize(572, 556)); // 327 * 7 / 4 = 572.25, 342 * 13 / 8 = 555.75
    EXPECT_EQ(UI::GetDlgItem(dialog_, 1124).geometry(), QRect(23, 20, 137, 13)); // 22.75, 19.5, 136.5, 13
    EXPECT_EQ(UI::GetDlgItem(dialog_, 1).geometry(), QRect(422, 518, 126, 26));  // 421.75, 518.375, 126, 26
    EXPECT_EQ(dialog_.findChild<QGroupBox*>(QStringLiteral("-1"))->geometry(), QRect(11, 0, 551, 46));
}

TEST_F(BuiltDialog, NamesControlsByIdKeepsTabOrderAndStacksGroupBoxesLowest)
{
    const QObjectList children = dialog_.children();
    QStringList names;
    for (const QObject* child : children)
        names << child->objectName();
    // Creation order, group boxes moved to the bottom of the stack.
    EXPECT_EQ(names, QStringList({"1114", "-1", "1124", "1073", "1127", "1131", "1026", "1023", "1"}));

    QStringList tabOrder;
    for (QWidget* w = UI::GetDlgItem(dialog_, 1127).nextInFocusChain(); w != &UI::GetDlgItem(dialog_, 1127);
         w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            tabOrder << w->objectName();
    }
    EXPECT_EQ(tabOrder, QStringList({"1131", "1026", "1023", "1"}));
}

TEST_F(BuiltDialog, GivesEachKindItsWidgetFlagsAndTexts)
{
    EXPECT_EQ(dialog_.windowTitle(), "Event Details");
    EXPECT_EQ(UI::GetDlgItem<QLabel>(dialog_, 1124).text(), "Event Count");
    EXPECT_EQ(UI::GetDlgItem<QLabel>(dialog_, 1073).textFormat(), Qt::PlainText);
    EXPECT_EQ(UI::GetDlgItem<QPushButton>(dialog_, 1127).text(), "Login(&W)");
    EXPECT_FALSE(UI::GetDlgItem<QPushButton>(dialog_, 1127).isDefault());
    EXPECT_TRUE(UI::GetDlgItem<QPushButton>(dialog_, 1).isDefault());
    EXPECT_FALSE(UI::GetDlgItem<QCheckBox>(dialog_, 1131).isEnabled());
    EXPECT_TRUE(UI::GetDlgItem<QGroupBox>(dialog_, 1114).isHidden());

    QLineEdit& edit = UI::GetDlgItem<QLineEdit>(dialog_, 1026);
    EXPECT_EQ(edit.echoMode(), QLineEdit::Password);
    int at = 0;
    QString digits = QStringLiteral("0123456789");
    QString sign = QStringLiteral("-1");
    EXPECT_EQ(edit.validator()->validate(digits, at), QValidator::Acceptable);
    EXPECT_EQ(edit.validator()->validate(sign, at), QValidator::Invalid);
    UI::GetDlgItem<QListWidget>(dialog_, 1023);

    UI::SetDlgItemTextFromString(dialog_, 1073, 121);
    EXPECT_EQ(UI::GetDlgItem<QLabel>(dialog_, 1073).text(), "Machine Name");
}

TEST_F(BuiltDialog, GetDlgItemThrowsForAMissingControlOrAnotherKind)
{
    EXPECT_THROW(UI::GetDlgItem<QPushButton>(dialog_, 1124), pelmo::logic_error);
    EXPECT_THROW(UI::SetDlgItemTextFromString(dialog_, 4242, 121), pelmo::logic_error);
    EXPECT_THROW(UI::GetDlgItem(dialog_, 4242), pelmo::logic_error);
}

TEST(DialogBuilder, TakesEveryTextThroughTheCatalogue)
{
    const support::ScopedCatalogue catalogue(support::ScopedCatalogue::Markers());
    QDialog dialog;
    UI::BuildDialog(dialog, kDialog);
    EXPECT_EQ(dialog.windowTitle(), support::ScopedCatalogue::Marker(117));
    for (const auto& [id, stringId] : {std::pair{1124, 210}, {1127, 195}, {1131, 206}, {1, 192}})
        EXPECT_EQ(UI::GetDlgItem(dialog, id).property("text").toString(), support::ScopedCatalogue::Marker(stringId));
}

} // namespace
