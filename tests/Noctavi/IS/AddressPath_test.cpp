#include <Noctavi/IS/AddressPath.h>

#include <gtest/gtest.h>

namespace {

TEST(AddressPath, OnlyThePathAndQueryOfAnAddressAreKept)
{
    const std::pair<const char*, const char*> cases[] = {
        {"http://127.0.0.1:8080/rss/ann.xml?x=1", "/rss/ann.xml?x=1"},
        {"https://machine/t.htm?DC=1&ntv=1", "/t.htm?DC=1&ntv=1"},
        {"http://machine/", "/"},
        {"http://machine//other.example/x", "//other.example/x"},
        {"//machine/rss", "/rss"},
        {"/rss/ann.xml", "/rss/ann.xml"},
        {"http://machine", ""},
        {"http://machine?x=1", ""},
        {"machine/rss", ""},
        {"", ""},
    };
    for (const auto& [address, path] : cases)
        EXPECT_EQ(IS::GetAddressPath(address), path) << address;
}

} // namespace
