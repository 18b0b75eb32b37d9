#include <Noctavi/HTTP/Cmd.h>
#include <Noctavi/HTTP/Error.h>
#include <Noctavi/HTTP/Mcmd.h>
#include <Noctavi/HTTP/TagNames.h>

#include <transport/error.hpp>

#include <pelmo/system_error.hpp>

#include <boost/exception/get_error_info.hpp>

#include <gtest/gtest.h>

namespace {

using HTTP::Command::BasicNode;
using HTTP::Command::Cmd;
using HTTP::Command::ETag;
using HTTP::Command::Tag;
using HTTP::XML::TagNames;

std::string Render(const Cmd& cmd)
{
    std::string xml;
    boost::system::error_code failure;
    EXPECT_TRUE(cmd.GetDocument().Document().render_xml(xml, failure)) << failure.message();
    return xml;
}

TEST(TagNames, LookupIsExactAndTheTableEndsWithNull)
{
    EXPECT_EQ(TagNames::Lookup("A"), 0);
    EXPECT_EQ(TagNames::Lookup("USERNAME"), 37);
    EXPECT_EQ(TagNames::Lookup("username"), 38);
    EXPECT_EQ(TagNames::Lookup("RESULT"), 27);
    EXPECT_EQ(TagNames::Lookup(""), 38);
    EXPECT_STREQ(TagNames::Get()[13], "GUID");
    EXPECT_EQ(TagNames::Get()[TagNames::Count], nullptr);
}

TEST(Cmd, CommandsTakeTheirFixedShape)
{
    Cmd list;
    list << Tag("REQUEST") << BasicNode<std::string>("COMMAND", "GETUSERLIST") << ETag();
    const std::string bare = Render(list);
    EXPECT_NE(bare.find("<REQUEST><COMMAND>GETUSERLIST</COMMAND></REQUEST>"), std::string::npos) << bare;
    EXPECT_EQ(bare.find("PARAM"), std::string::npos);

    Cmd subscribe;
    subscribe << Tag("REQUEST") << BasicNode<std::string>("COMMAND", "SUBSCRIBETOFEED") << Tag("PARAM")
              << BasicNode<std::string>("USERNAME", "ann");
    subscribe.SetPendingOption();
    subscribe << BasicNode<std::string>("PASSWORD", "p<&>") << BasicNode<long>("LISTENPORT", 61000L) << ETag()
              << ETag();
    EXPECT_NE(Render(subscribe).find("<REQUEST><COMMAND>SUBSCRIBETOFEED</COMMAND><PARAM><USERNAME>ann</USERNAME>"
                                     "<PASSWORD>p&lt;&amp;&gt;</PASSWORD><LISTENPORT>61000</LISTENPORT></PARAM>"
                                     "</REQUEST>"),
              std::string::npos)
        << Render(subscribe);
}

TEST(Cmd, PendingOptionWaitsForTheNextLeafAndCopiesShareIt)
{
    Cmd cmd;
    cmd << Tag("REQUEST");
    cmd.SetPendingOption();
    cmd << Tag("PARAM");
    EXPECT_TRUE(cmd.IsOptionPending());
    cmd << ETag();
    EXPECT_TRUE(cmd.IsOptionPending());

    Cmd copy = cmd;
    copy << BasicNode<long>("COUNT", 1L);
    EXPECT_FALSE(cmd.IsOptionPending());
    EXPECT_NE(Render(cmd).find("<COUNT>1</COUNT>"), std::string::npos);
}

TEST(Cmd, AFailedInsertionIsARequestFailureAndKeepsWhatWasWritten)
{
    Cmd cmd;
    cmd << Tag("REQUEST") << BasicNode<std::string>("COMMAND", "GETUSERINFO");
    const auto expectFailure = [](const std::function<void()>& insert, transport::error expected) {
        try {
            insert();
            ADD_FAILURE() << "nothing thrown";
        } catch (const HTTP::Error& e) {
            const auto* code = boost::get_error_info<HTTP::TransportError>(e);
            ASSERT_NE(code, nullptr);
            EXPECT_EQ(*code, transport::make_error_code(expected));
        } catch (const pelmo::system_error&) {
            ADD_FAILURE() << "a command that cannot be built is a failed request, not a system failure";
        }
    };
    expectFailure([&] { cmd << Tag("NOSUCHTAG"); }, transport::error::unknown_tag);
    expectFailure([&] { cmd << BasicNode<std::string>("username", "x"); }, transport::error::unknown_tag);
    expectFailure([&] { cmd << BasicNode<std::string>("USERNAME", "bell\x07"); }, transport::error::invalid_text);
    expectFailure([&] { cmd << BasicNode<std::string>("USERNAME", "\xC3("); }, transport::error::invalid_text);
    cmd << ETag();
    expectFailure([&] { cmd << ETag(); }, transport::error::no_open_element);
    expectFailure([&] { cmd << Tag("REQUEST"); }, transport::error::no_open_element);

    EXPECT_NE(Render(cmd).find("<REQUEST><COMMAND>GETUSERINFO</COMMAND></REQUEST>"), std::string::npos);
}

} // namespace
