#include <Noctavi/UI/TrayHostWatch.h>

#include <support/WaitUntil.h>

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace {

TEST(TrayHostWatch, TellsOnceWhenTheNotificationAreaComesBack)
{
    bool available = true;
    int asked = 0;
    const UI::TrayHostSeam::Override host(UI::IsTrayHostAvailable(), [&] {
        ++asked;
        return available;
    });
    UI::TrayHostWatch watch(std::chrono::milliseconds(1));
    int returns = 0;
    QObject::connect(&watch, &UI::TrayHostWatch::Returned, [&] { ++returns; });
    const auto askedAgain = [&] {
        const int before = asked;
        return support::WaitUntil([&] {
            QCoreApplication::processEvents();
            return asked > before;
        });
    };

    ASSERT_TRUE(askedAgain());
    EXPECT_EQ(returns, 0) << "there all along";
    available = false;
    ASSERT_TRUE(askedAgain());
    available = true;
    ASSERT_TRUE(askedAgain());
    ASSERT_TRUE(askedAgain());
    EXPECT_EQ(returns, 1);
}

} // namespace
