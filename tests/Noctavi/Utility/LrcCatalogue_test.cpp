#include <Noctavi/Utility/LoadString.h>
#include <Noctavi/Utility/LrcCatalogue.h>

#include <support/CatalogueBuilder.h>
#include <support/TempDir.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<unsigned char>;
using test::BuildCatalogue;
using test::Put32;

boost::optional<LrcCatalogue> Parse(const Bytes& bytes, const LrcCatalogue::CharsetCheck& hasFont = LrcCatalogue::AnyCharset)
{
    return LrcCatalogue::Parse(bytes.data(), bytes.size(), hasFont);
}

std::string WriteFile(const support::TempDir& folder, const Bytes& bytes)
{
    const std::string path = folder.Folder() + "noctavi.lrc";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
}

std::wstring Compose(std::u16string text, std::uint16_t flags, char16_t mnemonic, std::uint16_t kind = 0)
{
    LrcCatalogue::Entry entry;
    entry.kind = kind;
    entry.flags = flags;
    entry.mnemonic = mnemonic;
    entry.text = std::move(text);
    return LrcCatalogue::ComposeMenuText(entry);
}

// Frees the process-wide catalogue whatever a test leaves behind.
class ProcessCatalogue : public ::testing::Test {
protected:
    ~ProcessCatalogue() override { LrcCatalogue::Free(); }
    support::TempDir folder_;
};

TEST_F(ProcessCatalogue, EmptyCatalogueLeavesEveryStringToTheBuiltInTable)
{
    const Bytes empty = BuildCatalogue({});
    ASSERT_EQ(empty.size(), 152u);
    ASSERT_TRUE(LrcCatalogue::Open(WriteFile(folder_, empty)));

    EXPECT_EQ(LrcCatalogue::LoadString(116), L"Failed to save the settings.");
    EXPECT_EQ(LrcCatalogue::LoadString(99999), L"");
    EXPECT_EQ(LrcCatalogue::GetVersionText(), L"1.2.3.4");
}

TEST_F(ProcessCatalogue, CatalogueTextsComeFirstAndAMissMarksTheVersion)
{
    ASSERT_TRUE(LrcCatalogue::Open(WriteFile(folder_, BuildCatalogue({{116, u"Sichern fehlgeschlagen."}}))));
    EXPECT_EQ(LrcCatalogue::LoadString(116), L"Sichern fehlgeschlagen.");
    EXPECT_EQ(LrcCatalogue::GetVersionText(), L"1.2.3.4");

    EXPECT_EQ(LrcCatalogue::LoadString(175), L"Failed to initialize an application.");
    EXPECT_EQ(LrcCatalogue::GetVersionText(), L"1.2.3.4 !");

    // Opening another file frees the loaded one even when the new one is refused.
    EXPECT_FALSE(LrcCatalogue::Open(folder_.Folder() + "absent.lrc"));
    EXPECT_EQ(LrcCatalogue::GetVersionText(), L"-");
    EXPECT_EQ(LrcCatalogue::LoadString(116), L"Failed to save the settings.");
}

// Each damage breaks one rule and leaves every other one kept, so that each
// rule is seen to be checked on its own.
TEST(LrcCatalogue, RefusesMalformedCatalogues)
{
    const Bytes good = BuildCatalogue({{1, u"Save"}});
    ASSERT_TRUE(Parse(good));
    const std::size_t section = test::kSection;
    const std::size_t entry = test::kFirstEntry;
    const auto put16 = [](Bytes& b, std::size_t at, std::uint32_t value) { test::Put16(b, at, value); };

    const std::pair<const char*, std::function<void(Bytes&)>> damages[] = {
        {"too short", [](Bytes& b) { b = BuildCatalogue({}), b.pop_back(); }},
        {"wrong magic", [](Bytes& b) { b[3] = 'X'; }},
        {"header size", [](Bytes& b) { Put32(b, test::kHeaderSizeField, 156); }},
        {"data size above the file", [](Bytes& b) { Put32(b, test::kDataSizeField, b.size() - 151); }},
        {"data size below the file", [](Bytes& b) { b.push_back(0); }},
        {"data without a mask", [](Bytes& b) { Put32(b, test::kMaskField, 0); }},
        {"mask without data", [](Bytes& b) { b = BuildCatalogue({}), Put32(b, test::kMaskField, 1); }},
        {"mask not covered", [](Bytes& b) { Put32(b, test::kMaskField, 3); }},
        {"type of two bits", [section](Bytes& b) { Put32(b, section, 3), Put32(b, test::kMaskField, 3); }},
        {"type outside the mask", [](Bytes& b) { test::AppendSection(b, 2), Put32(b, test::kMaskField, 1); }},
        {"no string section", [section](Bytes& b) { Put32(b, section, 2), Put32(b, test::kMaskField, 2); }},
        {"section of one type twice", [](Bytes& b) { test::AppendSection(b, 2), test::AppendSection(b, 2); }},
        {"section header below 16", [](Bytes& b) { test::AppendSection(b, 2, 8, 9); }},
        {"section data size 0", [](Bytes& b) { test::AppendSection(b, 2, 17, 0); }},
        {"section beyond the file", [section](Bytes& b) { Put32(b, section + 8, b.size()); }},
        // Header 24: the entry count is read from the first entry's identifier, 1.
        {"string header too small for its fields",
         [section](Bytes& b) {
             b.erase(b.begin() + section + 24, b.begin() + section + 28);
             Put32(b, section + 4, 24), Put32(b, test::kDataSizeField, b.size() - 152);
         }},
        {"format not 1", [section](Bytes& b) { Put32(b, section + 20, 2); }},
        {"entry count 0", [section](Bytes& b) { Put32(b, section + 24, 0); }},
        {"entry count above the entries", [section](Bytes& b) { Put32(b, section + 24, 2); }},
        {"text offset below 2", [=](Bytes& b) { put16(b, entry + 8, 0), put16(b, entry + 10, 12); }},
        {"odd text size", [=](Bytes& b) { put16(b, entry + 8, 3), put16(b, entry + 10, 9); }},
        {"text size 0", [=](Bytes& b) { put16(b, entry + 8, 12), put16(b, entry + 10, 0); }},
        {"text beyond the section", [=](Bytes& b) { put16(b, entry + 10, 12); }},
        {"entry header cut short", [section](Bytes& b) { b.resize(b.size() + 8), Put32(b, section + 8, 32),
                                                         Put32(b, test::kDataSizeField, b.size() - 152); }},
    };
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.first);
        Bytes bytes = good;
        damage.second(bytes);
        EXPECT_FALSE(Parse(bytes));
    }
}

TEST(LrcCatalogue, RefusesFilesItCannotRead)
{
    support::TempDir folder;
    EXPECT_FALSE(LrcCatalogue::LoadFile(folder.Folder() + "absent.lrc"));
    EXPECT_FALSE(LrcCatalogue::LoadFile(folder.Folder()));
    const std::string fifo = folder.Folder() + "fifo.lrc";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(LrcCatalogue::LoadFile(fifo));
    EXPECT_TRUE(LrcCatalogue::LoadFile(WriteFile(folder, BuildCatalogue({}))));
}

TEST(LrcCatalogue, AcceptsOtherSectionsAndAsksForTheCharacterSetsFont)
{
    Bytes bytes = BuildCatalogue({{116, u"Save"}}, 204);
    test::AppendSection(bytes, 2);
    test::AppendSection(bytes, 0x80000000u, 40, 3);

    int asked = -1;
    EXPECT_TRUE(Parse(bytes, [&asked](int charset) { return asked = charset, true; }));
    EXPECT_EQ(asked, 204);
    EXPECT_FALSE(Parse(bytes, [](int) { return false; }));
}

TEST(LrcCatalogue, ComposesMnemonicsAndDecorations)
{
    using C = LrcCatalogue;
    EXPECT_EQ(Compose(u"File", C::kMnemonic, u'f'), L"&File");
    EXPECT_EQ(Compose(u"Open", C::kMnemonic, u'x'), L"Open(&X)");
    EXPECT_EQ(Compose(u"Print", C::kMnemonic | C::kAppendMnemonic, u'p'), L"Print(&P)");
    EXPECT_EQ(Compose(u"Sa&ve", C::kMnemonic, u'a'), L"Sa&ve");
    EXPECT_EQ(Compose(u"Sa&ve", C::kMnemonic | C::kEllipsis, u'x'), L"Sa&ve...");
    EXPECT_EQ(Compose(u"Name", C::kColon | C::kEllipsis | C::kSpace, 0), L"Name ...:");
    EXPECT_EQ(Compose(u"Copy\tCtrl+C", C::kMnemonic | C::kEllipsis, u'c', C::kAcceleratorKind), L"&Copy...\tCtrl+C");
    // Without kind 5 the TAB is plain text; the mnemonic flag alone decides.
    EXPECT_EQ(Compose(u"Copy\tCtrl+C", C::kEllipsis, u'c'), L"Copy\tCtrl+C...");
    // An upper-case match wins over an earlier lower-case one; other scripts map too.
    EXPECT_EQ(Compose(u"fine File", C::kMnemonic, u'f'), L"fine &File");
    EXPECT_EQ(Compose(u"\u0444\u0430\u0439\u043b", C::kMnemonic, u'\u0424'), L"&\u0444\u0430\u0439\u043b");
}

TEST(LrcCatalogue, TakesEntriesByTheirStoredSizesInFileOrder)
{
    test::CatalogueEntry padded{1, u"Pad", LrcCatalogue::kMnemonic, u'd'};
    padded.textOffset = 7;
    const Bytes bytes = BuildCatalogue({
        padded,
        {2, std::u16string(u"Cut\0Hidden", 10)},
        {3, u"\U0001F600 \xD800"},
        {-1, u"Negative"},
        {2, u"Second"},
    });
    const boost::optional<LrcCatalogue> catalogue = Parse(bytes);
    ASSERT_TRUE(catalogue);
    EXPECT_EQ(catalogue->Find(1).value_or(L"(none)"), L"Pa&d");
    EXPECT_EQ(catalogue->Find(2).value_or(L"(none)"), L"Cut");
    EXPECT_EQ(catalogue->Find(3).value_or(L"(none)"), L"\U0001F600 \uFFFD");
    EXPECT_EQ(catalogue->Find(0xFFFFFFFFu).value_or(L"(none)"), L"Negative");
    EXPECT_EQ(catalogue->Version(), L"1.2.3.4");
    EXPECT_FALSE(catalogue->Find(4));
    EXPECT_EQ(catalogue->Version(), L"1.2.3.4 !");
}

TEST(LrcCatalogue, LivesBesideTheExecutable)
{
    char executable[4096] = {};
    ASSERT_GT(::readlink("/proc/self/exe", executable, sizeof executable - 1), 0);
    EXPECT_EQ(LrcCatalogue::GetCataloguePath(), std::string(executable) + ".lrc");
}

} // namespace
