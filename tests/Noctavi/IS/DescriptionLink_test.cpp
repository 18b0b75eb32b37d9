#include <Noctavi/IS/DescriptionLink.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Pieces of description markup: ordinary ones, and odd ones that the scan
// must either read as the full parse does or leave to it.
struct Pool {
    std::vector<std::string> ordinary;
    std::vector<std::string> odd;
};

const Pool kTexts = {{"Scanned to box 3 by Ann", " ", "\n\t", "A &amp; B", "&lt;x&gt;", "caf\xC3\xA9 \xE6\x97\xA5",
                      "&#233;", "&#x41;", "x > y"},
                     {"&nbsp;", "a & b", "&#0;", "&#xD800;", "\x01", "\xFF\xFE", "&#X41;", "]]>", "1 < 2",
                      "&#1114112;", "\x7F", "\xC2\x85", "<!-- <a href=\"c\"> -->", "<![CDATA[<a href=\"d\">]]>",
                      "<?pi x?>", "<!DOCTYPE html>", "< a href=\"e\">", "<a", "</", "<br / >"}};
const Pool kElements = {{"a", "A", "p", "br", "img", "span", "div", "b", "font", "h1"},
                        {"script", "style", "title", "textarea", "html", "body", "table", "x", "svg", "abbr"}};
const Pool kAttributes = {{"href", "HREF", "src", "alt", "title", "class"},
                          {"data-href", "xmlns", "onclick", "nowrap", "xml:lang"}};
const Pool kValues = {{"http://m/t?DC=1", "http://m/t?a=1&amp;b=2", " spaced  out ", "tab\there", "line\r\nbreak",
                       "&#10;x&#9;y &#32; z", "&quot;q&quot;", "&apos;a&apos;", "&#x26;", "&#38;amp;", "x>y",
                       "caf\xC3\xA9", "&#xE9;&#x1F600;", "", "&#0065;&#x00000041;", "'"},
                      {"http://m/t?a=1&b=2", "<no>", "&#128;", "&#xFFFE;", "&nbsp;", "&#12;", "&amp"}};

class Generator {
public:
    std::string Markup()
    {
        std::string markup;
        for (int pieces = Below(8) + 1; pieces > 0; --pieces)
            markup += Below(3) == 0 ? Pick(kTexts) : Tag();
        return markup;
    }

private:
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    const std::string& Pick(const Pool& pool)
    {
        const std::vector<std::string>& from = Below(16) == 0 ? pool.odd : pool.ordinary;
        return from[static_cast<std::size_t>(Below(static_cast<int>(from.size())))];
    }

    std::string Tag()
    {
        const std::string& name = Pick(kElements);
        if (Below(4) == 0)
            return "</" + name + (Below(16) == 0 ? " >" : ">");
        std::string tag = "<" + name;
        if ((name == "a" || name == "A") && Below(4) != 0)
            tag += Attribute("href");
        for (int count = Below(3); count > 0; --count)
            tag += Attribute(Pick(kAttributes));
        return tag + (Below(5) == 0 ? "/>" : ">");
    }

    std::string Attribute(const std::string& name)
    {
        const std::string space = Below(24) == 0 ? "" : Below(6) == 0 ? "\n " : " ";
        const std::string& value = Pick(kValues);
        switch (Below(24)) {
        case 0: return space + name + "='" + value + "'";
        case 1: return space + name + "=" + value;
        case 2: return space + name;
        case 3: return space + name + " = \"" + value + "\"";
        default: return space + name + "=\"" + value + "\"";
        }
    }

    std::mt19937 random_{20081209};
};

// Wherever the scan answers, it must give what the full parse gives; a change
// in how libxml2 reads HTML shows up here first.
TEST(DescriptionLink, ScanAgreesWithTheFullParseOnGeneratedMarkup)
{
    Generator generator;
    HTTP::XML::Parser document;
    int answered = 0;
    int links = 0;
    for (int n = 0; n < 4000; ++n) {
        const std::string markup = generator.Markup();
        const std::optional<std::string> scanned = IS::ScanDescriptionLink(markup);
        if (!scanned)
            continue;
        ++answered;
        links += !scanned->empty();
        ASSERT_EQ(*scanned, IS::ParseDescriptionLink(document, markup)) << markup;
    }
    // Enough of both kinds that the comparison means something.
    EXPECT_GT(answered, 1000);
    EXPECT_GT(links, 200);
}

TEST(DescriptionLink, ScanReadsOrdinaryMarkupAndLeavesTheUnusual)
{
    const std::string link = "<a href=\"http://m/t?DC=7&amp;x=&#49;\">";
    const struct {
        std::string markup;
        std::optional<std::string> link;
    } cases[] = {
        {"<p>Scanned</p>" + link + "<img src=\"http://m/i\" alt=\"thumbnail\"/></a>", "http://m/t?DC=7&x=1"},
        {"<A HREF=\"  a \n\t b  \">x</A>", " a b "},
        {"<p>No link<br/></p>", ""},
        {"<a name=\"top\">x</a>" + link, ""},
        {"", ""},
        {"<!-- x -->" + link, std::nullopt},
        {"<script>x</script>" + link, std::nullopt},
        {"<a href=http://m/t>", std::nullopt},
        {"<a href=\"x\" HREF=\"y\">", std::nullopt},
        {"<A /href=\"x\">", std::nullopt},
        {"&nbsp;" + link, std::nullopt},
        {"\xFF" + link, std::nullopt},
        {std::string(20000, ' ') + link, std::nullopt},
    };
    for (const auto& [markup, expected] : cases)
        EXPECT_EQ(IS::ScanDescriptionLink(markup), expected) << markup;
}

} // namespace
