#include <Noctavi/System/SystemError.h>
#include <Noctavi/Utility/LoadString.h>

#include <gtest/gtest.h>

namespace {

TEST(LoadStringFromApp, EveryStringOfTheUserInterfaceResolves)
{
    // Messages, menu items, captions, labels, column titles and widths, status texts.
    const unsigned int ids[] = {
        104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 120, 121, 122, 123,
        124, 125, 126, 127, 128, 130, 131, 132, 133, 134, 135, 136, 137, 144, 145, 146, 147, 150,
        151, 152, 153, 155, 161, 162, 163, 164, 165, 166, 167, 172, 175, 177, 178, 180, 181, 182,
        183, 184, 185, 186, 187, 188, 189, 190, 191, 192, 193, 194, 195, 196, 200, 201, 202, 203,
        204, 205, 206, 207, 210, 211, 212, 213, 214, 215, 0xE000, 61473,
    };
    for (unsigned int id : ids)
        EXPECT_FALSE(LoadStringFromApp(id).empty()) << "string " << id;
}

TEST(LoadStringFromApp, KeepsTextsExactlyAsTheyAreShown)
{
    EXPECT_EQ(LoadStringFromApp(0xE000), L"Noctavi");
    EXPECT_EQ(LoadStringFromApp(211), L" piece");
    EXPECT_EQ(LoadStringFromApp(207), L"A confirmatio&n message is displayed when deleting a document. ");
    EXPECT_EQ(LoadStringFromApp(120),
              L"The registration capacity has been exceeded.  Additional users cannot be added.");
    EXPECT_EQ(LoadStringFromApp(182), L"Only one user can be registered per machine.  Do you want to close "
                                      L"the \"Add Monitored Users Wizard\"?");
    EXPECT_EQ(LoadStringFromApp(127), L"36,130,150,250");
}

TEST(LoadStringFromApp, MissingIdentifierThrowsSystemError)
{
    for (unsigned int id : {0u, 103u, 118u, 65535u, 0x10000u + 104u}) {
        try {
            LoadStringFromApp(id);
            ADD_FAILURE() << "string " << id << " loaded";
        } catch (const SystemError& error) {
            EXPECT_EQ(error.code().value(), ENOENT);
        }
    }
}

} // namespace
