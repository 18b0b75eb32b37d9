#include <Noctavi/System/SystemError.h>
#include <Noctavi/UI/Icons.h>
#include <Noctavi/UI/SystemTrayIcon.h>

#include <support/ui/FakeTray.h>

#include <gtest/gtest.h>

#include <QMenu>
#include <QWidget>

namespace {

using support::SameIcon;

TEST(SystemTrayIcon, ChangesOnlyWhileShown)
{
    const support::FakeTray tray;
    UI::SystemTrayIcon icon;
    support::FakeTrayBackend& backend = tray.Backend();
    EXPECT_EQ(backend.toolTip, "Noctavi");
    EXPECT_FALSE(backend.visible);

    icon.Change(1);
    EXPECT_EQ(backend.iconChanges, 0) << "not shown yet";

    icon.Show(0);
    EXPECT_TRUE(backend.visible);
    EXPECT_TRUE(SameIcon(backend.icon, UI::LoadIconResource(128)));
    icon.Change(1);
    EXPECT_TRUE(SameIcon(backend.icon, UI::LoadIconResource(141)));
    EXPECT_FALSE(SameIcon(backend.icon, UI::LoadIconResource(128)));

    icon.Remove();
    EXPECT_FALSE(backend.visible);
    const int changes = backend.iconChanges;
    icon.Change(0);
    EXPECT_EQ(backend.iconChanges, changes) << "removed";

    icon.Show(7);
    EXPECT_TRUE(SameIcon(backend.icon, UI::LoadIconResource(141))) << "any state but 0 is unread";
}

TEST(SystemTrayIcon, PassesOnClicksAndGivesTheHostItsMenu)
{
    const support::FakeTray tray;
    UI::SystemTrayIcon icon;
    int activations = 0;
    QObject::connect(&icon, &UI::SystemTrayIcon::Activated, [&] { ++activations; });
    tray.Backend().Click();
    EXPECT_EQ(activations, 1);

    QMenu menu;
    icon.SetContextMenu(menu);
    EXPECT_EQ(tray.Backend().contextMenu, &menu);
}

TEST(Icons, EveryIconDrawsAtTrayAndListSizesAndAMissingOneThrows)
{
    for (int id : {128, 141, 139, 140, 142, 208, 209}) {
        const QIcon icon = UI::LoadIconResource(id);
        for (int size : {16, 22}) {
            const QImage image = icon.pixmap(size).toImage();
            ASSERT_EQ(image.size(), QSize(size, size)) << id;
            int opaque = 0;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x)
                    opaque += qAlpha(image.pixel(x, y)) == 255;
            }
            EXPECT_GT(opaque, size * size / 4) << "icon " << id << " at " << size;
        }
    }
    EXPECT_THROW(UI::LoadIconResource(129), SystemError);

    QWidget window;
    UI::SetWindowIcon(window);
    EXPECT_TRUE(SameIcon(window.windowIcon(), UI::LoadIconResource(128)));
}

} // namespace
