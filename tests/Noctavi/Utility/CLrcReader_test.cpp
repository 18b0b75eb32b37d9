#include <Noctavi/Utility/CLrcReader.h>

#include <support/CatalogueBuilder.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// Lookups on several threads while the catalogue is installed and freed
// again: the ThreadSanitizer build checks the missing mark and the hand-over.
TEST(CLrcReader, LookupsOnManyThreadsMeetInstallAndFree)
{
    const std::vector<unsigned char> bytes = test::BuildCatalogue({{116, u"Sichern"}});
    const boost::optional<LrcCatalogue> catalogue = LrcCatalogue::Parse(bytes.data(), bytes.size());
    ASSERT_TRUE(catalogue);
    CLrcReader::Install(catalogue);

    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([] {
            const CLrcReader reader;
            for (unsigned int i = 0; i < 2000; ++i) {
                const boost::optional<std::wstring> text = reader.Find(i % 2 == 0 ? 116 : 117);
                if (text) {
                    EXPECT_EQ(*text, L"Sichern");
                }
                reader.GetVersionText();
            }
        });
    }
    for (int i = 0; i < 200; ++i)
        CLrcReader::Install(i % 2 == 0 ? boost::none : catalogue);
    for (std::thread& reader : readers)
        reader.join();

    CLrcReader::Install(catalogue);
    EXPECT_EQ(CLrcReader().GetVersionText().value_or(L"(none)"), L"1.2.3.4 !");
    CLrcReader::Install(boost::none);
    EXPECT_FALSE(CLrcReader().GetVersionText());
}

} // namespace
