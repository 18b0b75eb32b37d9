#include <pelmo/communication_failure.hpp>
#include <pelmo/domain_error.hpp>
#include <pelmo/exception.hpp>
#include <pelmo/fatal_error.hpp>
#include <pelmo/system_error.hpp>

#include <boost/exception/get_error_info.hpp>
#include <boost/exception_ptr.hpp>

#include <gtest/gtest.h>

#include <thread>

namespace {

int g_throwLine = 0;

void ThrowFatal()
{
    g_throwLine = __LINE__ + 1;
    PELMO_THROW(pelmo::fatal_error());
}

template <class E>
const boost::exception& AsBoost(const E& e)
{
    return dynamic_cast<const boost::exception&>(e);
}

TEST(Exception, ThrowSiteIsRecordedAndTypeIsKept)
{
    try {
        ThrowFatal();
        FAIL() << "nothing thrown";
    } catch (const pelmo::runtime_error& e) {
        EXPECT_NE(dynamic_cast<const pelmo::fatal_error*>(&e), nullptr);
        EXPECT_EQ(*boost::get_error_info<boost::throw_line>(e), g_throwLine);
        EXPECT_NE(std::string(*boost::get_error_info<boost::throw_file>(e)).find("exception_test.cpp"),
                  std::string::npos);
        EXPECT_NE(std::string(*boost::get_error_info<boost::throw_function>(e)).find("ThrowFatal"),
                  std::string::npos);
    }
}

TEST(Exception, DefaultConstructedHasNoSite)
{
    const pelmo::exception e;
    EXPECT_EQ(boost::get_error_info<boost::throw_line>(AsBoost(e)), nullptr);
    EXPECT_EQ(boost::get_error_info<boost::throw_file>(AsBoost(e)), nullptr);
}

TEST(Exception, CapturedOnWorkerRethrowsWithRealTypeAndSite)
{
    boost::exception_ptr captured;
    std::thread worker([&captured] {
        try {
            ThrowFatal();
        } catch (...) {
            captured = boost::current_exception();
        }
    });
    worker.join();
    ASSERT_TRUE(captured);
    try {
        boost::rethrow_exception(captured);
        FAIL() << "nothing rethrown";
    } catch (const pelmo::fatal_error& e) {
        EXPECT_EQ(*boost::get_error_info<boost::throw_line>(e), g_throwLine);
    } catch (...) {
        FAIL() << "rethrown with the wrong type";
    }
}

TEST(Exception, SystemErrorAndLibraryFamiliesStayApart)
{
    const auto throwSystem = [] {
        PELMO_THROW(pelmo::system_error(boost::system::error_code(EACCES, boost::system::system_category())));
    };
    bool caughtAsSystem = false;
    try {
        try {
            throwSystem();
        } catch (const pelmo::exception&) {
            FAIL() << "a system error was taken for a library failure";
        }
    } catch (const boost::system::system_error& e) {
        caughtAsSystem = true;
        EXPECT_EQ(e.code().value(), EACCES);
    }
    EXPECT_TRUE(caughtAsSystem);

    bool caughtAsLibrary = false;
    try {
        try {
            PELMO_THROW(pelmo::communication_failure());
        } catch (const boost::system::system_error&) {
            FAIL() << "a library failure was taken for a system error";
        }
    } catch (const pelmo::exception&) {
        caughtAsLibrary = true;
    }
    EXPECT_TRUE(caughtAsLibrary);
}

TEST(Exception, FamiliesDescendAsDeclared)
{
    EXPECT_THROW(PELMO_THROW(pelmo::domain_error()), pelmo::logic_error);
    EXPECT_THROW(PELMO_THROW(pelmo::fatal_error()), pelmo::runtime_error);
    EXPECT_THROW(PELMO_THROW(pelmo::communication_failure()), std::exception);
}

} // namespace
