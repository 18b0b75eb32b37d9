#include <Noctavi/HTTP/InvalidContentType.h>
#include <Noctavi/HTTP/Parser.h>

#include <gtest/gtest.h>

namespace {

using HTTP::XML::Node;
using HTTP::XML::Parser;
using HTTP::XML::Path;

Parser Parsed(const std::string& text)
{
    Parser parser;
    EXPECT_TRUE(parser.Parse(std::vector<unsigned char>(text.begin(), text.end()))) << text;
    return parser;
}

const char* const userList = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<RESPONSE><RESULT>SUCCESS</RESULT><COUNT>3</COUNT>\n"
                             "  <USER><DISPLAYNAME>Ann</DISPLAYNAME><USERNAME>ann</USERNAME></USER>\n"
                             "  <USER><DISPLAYNAME>Bo</DISPLAYNAME><USERNAME>bo</USERNAME></USER>\n"
                             "  <USER><USERNAME>cy</USERNAME><DISPLAYNAME>Cy</DISPLAYNAME></USER>\n"
                             "</RESPONSE>";

TEST(Parser, PathsWalkDownAndMissingNamesGiveTheEnd)
{
    const Parser parser = Parsed(userList);
    const Parser::Iterator response = parser.Find("RESPONSE");
    ASSERT_NE(response, Parser::End());

    EXPECT_EQ(Parser::Find(response, Path()), response);
    EXPECT_EQ((*Parser::Find(response, Path{"USER", "USERNAME"})).GetString(), "ann");
    EXPECT_EQ(Parser::Find(response, Path{"CHANNEL", "USER"}), Parser::End());
    EXPECT_EQ(Parser::Find(response, Path{"USER", "PASSWORD"}), Parser::End());
    EXPECT_EQ(Parser::Find(Parser::End(), Path{"USER"}), Parser::End());
    EXPECT_EQ(parser.Find("CHANNEL"), Parser::End());
    EXPECT_EQ(parser.Find("username"), Parser::End());
}

TEST(Parser, RunsVisitSiblingElementsInDocumentOrder)
{
    const Parser parser = Parsed(userList);
    std::vector<std::string> users;
    for (Parser::Iterator user = parser.Find("USER"); user != Parser::End(); ++user)
        users.push_back((*Parser::FindInRun(user.Children(), "USERNAME")).GetString());
    EXPECT_EQ(users, (std::vector<std::string>{"ann", "bo", "cy"}));

    Parser::Iterator children = parser.Find("USER").Children();
    const Parser::Iterator first = children++;
    EXPECT_NE(first, children);
    EXPECT_EQ((*children).GetString(), "ann");
    EXPECT_EQ(++children, Parser::End());
    EXPECT_FALSE(*children);
}

TEST(Parser, ARunFoundByNameVisitsEveryNamesakeHoweverNested)
{
    const Parser parser = Parsed("<RESPONSE><COUNT>3</COUNT>"
                                 "<USERGROUP><USER><USERNAME>a</USERNAME></USER></USERGROUP>"
                                 "<USERGROUP><DISPLAYNAME>Staff</DISPLAYNAME>"
                                 "<USER><DISPLAYNAME>B</DISPLAYNAME></USER><USER><USERNAME>c</USERNAME></USER>"
                                 "</USERGROUP><USER><USERNAME>d</USERNAME></USER></RESPONSE>");
    std::vector<std::string> users;
    for (Parser::Iterator user = parser.Find("USER"); user != Parser::End(); ++user)
        users.push_back((*user.Children()).GetString());
    EXPECT_EQ(users, (std::vector<std::string>{"a", "B", "c", "d"}));

    // A run of children stays among them: B's group holds no USERNAME of B's.
    const Parser::Iterator b = Parser::FindInRun(++parser.Find("USER"), "USER");
    EXPECT_EQ(Parser::Find(b, Path{"USERNAME"}), Parser::End());
    Parser::Iterator group = Parser::Find(parser.Find("RESPONSE"), Path{"USERGROUP"});
    EXPECT_EQ((*Parser::Find(++group, Path{"USER", "DISPLAYNAME"})).GetString(), "B");
    EXPECT_EQ((*(++group).Children()).GetString(), "d") << "a run of siblings takes any name";
    EXPECT_EQ(++group, Parser::End());
}

TEST(Parser, FeedElementsMatchByUpperCasedLocalName)
{
    const Parser feed = Parsed("<rss version=\"2.0\" xmlns:atom=\"http://www.w3.org/2005/Atom\"><channel>"
                               "<atom:link href=\"http://m/feed\" rel=\"self\"/>"
                               "<title>Box</title><link>http://m/</link>"
                               "<item><title>One</title><description><![CDATA[<a href=\"x\">y</a>]]></description>"
                               "</item></channel></rss>");
    const Parser::Iterator channel = feed.Find("CHANNEL");
    EXPECT_EQ((*Parser::Find(channel, Path{"LINK"})).GetString(), "http://m/");
    EXPECT_EQ((*Parser::Find(channel, Path{"ITEM", "DESCRIPTION"})).GetString(), "<a href=\"x\">y</a>");
}

TEST(Parser, MarkupThatIsNotXmlIsReadAsHtml)
{
    const Parser description =
        Parsed("<p>New scan<br><img src=\"t.jpg\"><a title=\"a\n\t b\" href=\"http://m/x?a=1&amp;b=2\">open</a>");
    const Node link = *description.Find("A");
    const Node::Attributes attributes = link.GetAttributes();
    EXPECT_EQ(attributes.at("href"), "http://m/x?a=1&b=2");
    EXPECT_EQ(attributes.at("title"), "a b");

    const Parser plain = Parsed("just words");
    EXPECT_EQ(plain.Find("A"), Parser::End());

    Parser parser;
    EXPECT_FALSE(parser.Parse({}));
}

TEST(Node, TextAndNumbers)
{
    const Parser parser = Parsed("<RESPONSE><COUNT>0</COUNT><LISTENPORT> 61000\n</LISTENPORT><MFPID>-7</MFPID>"
                                 "<USERID>12a</USERID><TITLE/><GUID>99999999999999999999</GUID></RESPONSE>");
    EXPECT_EQ((*parser.Find("COUNT")).GetDecimal(), 0);
    EXPECT_EQ((*parser.Find("LISTENPORT")).GetDecimal(), 61000);
    EXPECT_EQ((*parser.Find("MFPID")).GetDecimal(), -7);
    EXPECT_THROW((*parser.Find("USERID")).GetDecimal(), HTTP::InvalidContentType);
    EXPECT_THROW((*parser.Find("GUID")).GetDecimal(), HTTP::InvalidContentType);
    EXPECT_THROW((*parser.Find("TITLE")).GetString(), HTTP::InvalidResponse);
    EXPECT_THROW((*parser.Find("TITLE")).GetDecimal(), HTTP::InvalidContentType);
    EXPECT_THROW((*parser.Find("CHANNEL")).GetString(), HTTP::InvalidContentType);
    EXPECT_TRUE((*parser.Find("COUNT")).GetAttributes().empty());
}

TEST(Node, AttributeMarkupKeepsTheLaterOfTwoEqualNames)
{
    const Node::Attributes attributes =
        Node::ParseAttributes("href=\"first\" src = \"pic.jpg\" data-x=\"q\" href=\"second\" alt=\"a &amp; &quot;b&quot;\"");
    EXPECT_EQ(attributes.at("href"), "second");
    EXPECT_EQ(attributes.at("src"), "pic.jpg");
    EXPECT_EQ(attributes.at("x"), "q");
    EXPECT_EQ(attributes.at("alt"), "a & \"b\"");
    EXPECT_EQ(attributes.size(), 4u);
    EXPECT_TRUE(Node::ParseAttributes("").empty());
}

} // namespace
