#include <transport/document.hpp>
#include <transport/error.hpp>

#include <gtest/gtest.h>

#include <cstring>

namespace {

const char* const names[] = {"A", "CHANNEL", "LINK", "RESULT", "TITLE", nullptr};
enum { A, CHANNEL, LINK, RESULT, TITLE, COUNT };

std::unique_ptr<transport::document> NewDocument()
{
    auto document = transport::document::create(names);
    EXPECT_NE(document, nullptr);
    return document;
}

bool Parse(transport::document& document, const std::string& text)
{
    return document.parse(text.data(), text.size());
}

TEST(Document, ParsingLoadsNothingFromOutsideAndExpandsNoDeclaredEntity)
{
    auto document = NewDocument();
    boost::system::error_code failure;
    const std::string bomb = "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\">"
                             "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
                             "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\"><!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">"
                             "]><RESULT>&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;</RESULT>";
    EXPECT_FALSE(document->parse_xml(bomb.data(), bomb.size(), failure));
    EXPECT_EQ(failure, transport::error::not_xml);

    const std::string external = "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
                                 "<RESULT>&x;</RESULT>";
    EXPECT_FALSE(document->parse_xml(external.data(), external.size(), failure));

    // Read as markup, the same text keeps its references unexpanded.
    for (const std::string& text : {bomb, external}) {
        if (Parse(*document, text)) {
            const auto content = transport::text(document->find(RESULT)).value_or("");
            EXPECT_EQ(content.find("aaaa"), std::string::npos);
            EXPECT_EQ(content.find("root:"), std::string::npos);
        }
    }
}

TEST(Document, ElementsAreFoundByUpperCasedUnprefixedName)
{
    auto document = NewDocument();
    ASSERT_TRUE(Parse(*document, "<rss xmlns:atom=\"http://www.w3.org/2005/Atom\"><channel>"
                                 "<atom:link href=\"self\"/><Link>http://m/</Link></channel></rss>"));
    const transport::node channel = document->find(CHANNEL);
    ASSERT_NE(channel, nullptr);
    const transport::node prefixed = transport::first_child(channel);
    EXPECT_EQ(transport::tag_index(prefixed), COUNT);
    EXPECT_EQ(transport::text(document->find(LINK)), "http://m/");
    EXPECT_EQ(transport::tag_index(transport::next_sibling(prefixed)), LINK);
    EXPECT_EQ(transport::next_sibling(transport::next_sibling(prefixed)), nullptr);
    EXPECT_EQ(document->find(TITLE), nullptr);
    EXPECT_EQ(document->tag_index("link"), COUNT);
}

TEST(Document, TextNumbersAndAttributeMarkup)
{
    auto document = NewDocument();
    ASSERT_TRUE(Parse(*document, "<RESULT>a<![CDATA[<b>]]>c<TITLE/><A href='x?a=1&amp;b=\"2\"' alt=\"&lt;\"/>"
                                 "<LINK> 12 </LINK></RESULT>"));
    EXPECT_EQ(transport::text(document->find(RESULT)), "a<b>c");
    EXPECT_EQ(transport::text(document->find(TITLE)), std::nullopt);
    EXPECT_EQ(transport::attribute_text(document->find(A)), "href=\"x?a=1&amp;b=&quot;2&quot;\" alt=\"&lt;\"");
    EXPECT_EQ(transport::attribute_text(document->find(TITLE)), std::nullopt);

    long value = -1;
    EXPECT_TRUE(transport::number(document->find(LINK), value));
    EXPECT_EQ(value, 12);
    EXPECT_FALSE(transport::number(document->find(RESULT), value));
    EXPECT_FALSE(transport::number(document->find(TITLE), value));
    EXPECT_FALSE(transport::number(nullptr, value));
}

TEST(Document, ParsingReplacesEverythingAndAFailureLeavesItEmpty)
{
    auto document = NewDocument();
    document->add_query_pair("k", "v");
    ASSERT_TRUE(Parse(*document, "<RESULT>1</RESULT>"));
    EXPECT_EQ(document->render_query(), "");
    EXPECT_FALSE(document->parse("", 0));
    EXPECT_EQ(document->find(RESULT), nullptr);
}

TEST(Document, BuildingRefusesWhatXmlCannotHold)
{
    auto document = NewDocument();
    boost::system::error_code failure;
    EXPECT_FALSE(document->close_element(failure));
    EXPECT_EQ(failure, transport::error::no_open_element);
    EXPECT_FALSE(document->open_element(COUNT, failure));
    EXPECT_EQ(failure, transport::error::unknown_tag);
    EXPECT_FALSE(document->open_element(-1, failure));

    ASSERT_TRUE(document->open_element(CHANNEL, failure));
    const transport::node leaf = document->text_leaf(TITLE, "x", failure);
    ASSERT_NE(leaf, nullptr);
    EXPECT_TRUE(document->set_option(leaf, transport::option_secret, failure));
    EXPECT_FALSE(document->set_option(leaf, 2, failure));
    EXPECT_EQ(failure, transport::error::unsupported_option);
    EXPECT_EQ(document->text_leaf(TITLE, std::string("a\0b", 3), failure), nullptr);
    EXPECT_EQ(failure, transport::error::invalid_text);
    EXPECT_NE(document->text_leaf(TITLE, "tab\tand line\r\nfeed \xE2\x82\xAC", failure), nullptr);
    ASSERT_TRUE(document->close_element(failure));
    EXPECT_EQ(document->number_leaf(LINK, 5, failure), nullptr) << "a second root";

    std::string xml;
    ASSERT_TRUE(document->render_xml(xml, failure));
    EXPECT_NE(xml.find("<CHANNEL><TITLE>x</TITLE><TITLE>tab\tand line&#13;\nfeed \xE2\x82\xAC</TITLE></CHANNEL>"),
              std::string::npos)
        << xml;
}

TEST(Document, QueryPairsArePercentEncodedInOrder)
{
    auto document = NewDocument();
    EXPECT_EQ(document->render_query(), "");
    document->add_query_pair("b", "2");
    document->add_query_pair("a key", "x=1&y=/~_.-");
    document->add_query_pair("", "");
    EXPECT_EQ(document->render_query(), "b=2&a%20key=x%3D1%26y%3D%2F~_.-&=");
}

} // namespace
