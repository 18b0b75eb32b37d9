#include <pelmo/cloner.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

std::atomic<int> g_liveRecords{0};

struct Record {
    explicit Record(std::string text) : text(std::move(text)) { ++g_liveRecords; }
    Record(const Record& other) : text(other.text) { ++g_liveRecords; }
    ~Record() { --g_liveRecords; }
    std::string text;
};

// A value class in the shape the model uses: the record is reached only through the holder.
class Value {
public:
    Value() = default;
    explicit Value(const std::string& text) : pimpl_(new Record(text)) {}
    std::string Text() const { return pimpl_->text; }
    void SetText(const std::string& text) { pimpl_->text = text; }
    bool HasRecord() const { return static_cast<bool>(pimpl_); }

private:
    pelmo::cloner<Record> pimpl_;
};

TEST(Cloner, CopiesAreDeepAndIndependent)
{
    Value original("first");
    Value copy(original);
    copy.SetText("changed");
    EXPECT_EQ(original.Text(), "first");

    Value assigned("other");
    assigned = original;
    original.SetText("changed again");
    EXPECT_EQ(assigned.Text(), "first");
}

TEST(Cloner, SelfAssignmentKeepsTheValue)
{
    Value value("kept");
    Value& alias = value;
    value = alias;
    EXPECT_EQ(value.Text(), "kept");
}

TEST(Cloner, EmptyValuesCopySafely)
{
    Value empty;
    Value copy(empty);
    EXPECT_FALSE(copy.HasRecord());
    Value assigned("something");
    assigned = empty;
    EXPECT_FALSE(assigned.HasRecord());
    empty = Value("filled");
    EXPECT_EQ(empty.Text(), "filled");
}

TEST(Cloner, EveryRecordIsFreedOnce)
{
    const int before = g_liveRecords;
    {
        Value a("x");
        std::vector<Value> copies(5, a);
        copies[2] = copies[3];
        EXPECT_EQ(g_liveRecords.load(), before + 6);
    }
    EXPECT_EQ(g_liveRecords.load(), before);
}

TEST(Cloner, MovesHandTheRecordOverAndLeaveTheSourceAssignable)
{
    const int before = g_liveRecords;
    Value source("moved");
    Value moved(std::move(source));
    EXPECT_FALSE(source.HasRecord());
    Value target("old");
    target = std::move(moved);
    Value& alias = target;
    target = std::move(alias);
    EXPECT_EQ(target.Text(), "moved");
    EXPECT_EQ(g_liveRecords.load(), before + 1);

    source = target;
    target.SetText("changed");
    EXPECT_EQ(source.Text(), "moved");
    EXPECT_EQ(g_liveRecords.load(), before + 2);
}

TEST(Cloner, CopiesOfOneChainOnManyThreads)
{
    const Value shared("shared");
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&shared] {
            for (int i = 0; i < 2000; ++i) {
                Value copy(shared);
                copy.SetText("local");
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(shared.Text(), "shared");
}

} // namespace
