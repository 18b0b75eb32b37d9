#include <Noctavi/UI/VirtualList/Column.h>
#include <Noctavi/UI/VirtualList/Control.h>
#include <Noctavi/UI/VirtualList/Source.h>
#include <Noctavi/UI/VirtualList/TextColumn.h>

#include <support/ui/ListViewHost.h>

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>
#include <boost/optional/optional_io.hpp>

#include <QHeaderView>
#include <QTreeView>

#include <algorithm>
#include <vector>

namespace {

struct Row {
    int key;
    QString name;
    QString group;
};

// Rows in a vector; every read checks that the list holds the lock.
class FakeSource : public UI::VirtualList::Source<int> {
public:
    std::unique_ptr<Keys> GetKeys() const override
    {
        EXPECT_GT(depth, 0) << "keys read without the lock";
        auto keys = std::make_unique<Keys>();
        for (const Row& row : rows)
            keys->push_back(row.key);
        return keys;
    }
    bool Exists(const int& key) const override
    {
        EXPECT_GT(depth, 0) << "rows looked up without the lock";
        return Find(key) != rows.end();
    }
    void Lock() override { ++depth; }
    void Unlock() noexcept override { --depth; }

    const Row& Get(int key) const { return *Find(key); }
    void Remove(int key) { rows.erase(Find(key)); }

    std::vector<Row> rows;
    int depth = 0;

private:
    std::vector<Row>::const_iterator Find(int key) const
    {
        return std::find_if(rows.begin(), rows.end(), [key](const Row& row) { return row.key == key; });
    }
};

template <QString Row::*field>
struct FieldColumn : UI::VirtualList::Column<FakeSource, int, UI::VirtualList::TextColumn> {
    using Column::Column;
    QString GetCell(const int& key) const override { return GetModel().Get(key).*field; }
    // Odd keys are drawn in bold.
    bool IsBold(const int& key) const override { return key % 2 != 0; }
};

class FakeList : public UI::VirtualList::Control<FakeSource> {
public:
    FakeList(QTreeView& view, FakeSource& source)
        : Control(view)
    {
        SetSource(source);
    }

    int resets = 0;
    int redraws = 0;

protected:
    ColumnPointer CreateColumn(const std::string& name, int width) const override
    {
        if (name == "Name")
            return boost::make_shared<FieldColumn<&Row::name>>(GetSource(), 121u, width);
        if (name == "Group")
            return boost::make_shared<FieldColumn<&Row::group>>(GetSource(), 134u, width);
        return ColumnPointer();
    }
};

class VirtualListControl : public ::testing::Test {
protected:
    VirtualListControl()
    {
        source_.rows = {{1, "b", "x"}, {2, "a", "y"}, {3, "b", "x"}, {4, "c", "y"}, {5, "a", "x"}};
        list_.AddColumns({"Name", "Group"}, 106);
        QObject::connect(&list_, &QAbstractItemModel::modelReset, [this] { ++list_.resets; });
        QObject::connect(&list_, &QAbstractItemModel::dataChanged, [this] { ++list_.redraws; });
        list_.Refresh();
    }

    std::vector<int> ShownKeys() const
    {
        std::vector<int> keys;
        for (int row = 0; row < list_.rowCount(); ++row)
            keys.push_back(list_.GetKey(row).value());
        return keys;
    }

    void Select(int row)
    {
        host_.View().selectionModel()->setCurrentIndex(list_.index(row, 0), QItemSelectionModel::ClearAndSelect
                                                                                | QItemSelectionModel::Rows);
    }

    void ClickHeader(int column) { Q_EMIT host_.View().header()->sectionClicked(column); }

    support::ListViewHost host_;
    FakeSource source_;
    FakeList list_{host_.View(), source_};
};

// Each column keeps its own direction; its first click sorts descending, and
// rows that compare equal keep the source's order in both directions.
TEST_F(VirtualListControl, SortsStablyByTheClickedColumnEachWay)
{
    EXPECT_EQ(ShownKeys(), std::vector<int>({2, 5, 1, 3, 4})) << "first column ascending at first";
    ClickHeader(0);
    EXPECT_EQ(ShownKeys(), std::vector<int>({4, 1, 3, 2, 5}));
    ClickHeader(1);
    EXPECT_EQ(ShownKeys(), std::vector<int>({2, 4, 1, 3, 5}));
    ClickHeader(0);
    EXPECT_EQ(ShownKeys(), std::vector<int>({2, 5, 1, 3, 4}));
    ClickHeader(1);
    EXPECT_EQ(ShownKeys(), std::vector<int>({1, 3, 5, 2, 4}));
    EXPECT_EQ(source_.depth, 0);

    list_.SetSortColumn(1);
    source_.rows.push_back({6, "a", "w"});
    list_.Refresh();
    EXPECT_EQ(ShownKeys(), std::vector<int>({6, 1, 3, 5, 2, 4}));

    // Enough ties that an unstable sort would show them.
    source_.rows.clear();
    for (int key = 0; key < 64; ++key)
        source_.rows.push_back({key, QString::number(key % 3), QString()});
    for (int click = 0; click < 2; ++click) {
        ClickHeader(0);
        const std::vector<int> keys = ShownKeys();
        ASSERT_EQ(keys.size(), 64u);
        for (std::size_t i = 1; i < keys.size(); ++i)
            EXPECT_TRUE(keys[i - 1] % 3 != keys[i] % 3 || keys[i - 1] < keys[i]) << "a tie out of order at " << i;
    }
}

TEST_F(VirtualListControl, SelectionFollowsItsKeyAndFallsBackToTheFirstRow)
{
    EXPECT_TRUE(host_.SelectedRows().isEmpty());
    source_.rows.push_back({6, "a", "z"});
    list_.Refresh();
    EXPECT_TRUE(host_.SelectedRows().isEmpty()) << "nothing selected stays so";

    Select(4); // key 3
    ASSERT_EQ(list_.GetSelectedKey(), 3);
    source_.rows.push_back({7, "a", "z"});
    list_.Refresh();
    EXPECT_EQ(host_.SelectedRows(), QList<int>({5}));
    EXPECT_EQ(host_.View().currentIndex().row(), 5);

    source_.Remove(3);
    EXPECT_EQ(list_.GetSelectedKey(), boost::none) << "a vanished row is no selection";
    list_.Refresh();
    EXPECT_EQ(host_.SelectedRows(), QList<int>({0}));
    EXPECT_EQ(host_.View().currentIndex().row(), 0);

    source_.rows.clear();
    list_.Refresh();
    EXPECT_EQ(list_.rowCount(), 0);
    EXPECT_TRUE(host_.SelectedRows().isEmpty());
    EXPECT_EQ(list_.GetSelectedKey(), boost::none);
}

// Changed cells with the same keys in the same order are drawn again, not
// sorted again.
TEST_F(VirtualListControl, UnchangedKeysAreRedrawnWithoutReordering)
{
    std::stable_sort(source_.rows.begin(), source_.rows.end(),
                     [](const Row& a, const Row& b) { return a.name < b.name; });
    list_.Refresh();
    Select(1); // key 5
    const int resets = list_.resets;
    const int redraws = list_.redraws;
    source_.rows[0].name = "z";
    list_.Refresh();
    EXPECT_EQ(list_.resets, resets);
    EXPECT_EQ(list_.redraws, redraws + 1);
    EXPECT_EQ(host_.ColumnTexts(0), QStringList({"z", "a", "b", "b", "c"}));
    EXPECT_EQ(host_.SelectedRows(), QList<int>({1}));

    list_.Update();
    EXPECT_EQ(host_.ColumnTexts(0), QStringList({"a", "b", "b", "c", "z"}));
    EXPECT_EQ(host_.SelectedRows(), QList<int>({0}));
}

TEST_F(VirtualListControl, CellsOfVanishedKeysAndRowsOutOfRangeAreEmptyAndNamesMustBeKnown)
{
    EXPECT_EQ(list_.headerData(1, Qt::Horizontal).toString(), "Status");
    EXPECT_FALSE(list_.headerData(2, Qt::Horizontal).isValid());
    EXPECT_THROW(list_.AddColumns({"Nameless"}, 106), pelmo::logic_error);
    EXPECT_EQ(list_.columnCount(), 2);
    // Windows' pixels, a sixth wider in the host's font: 198.3 and 116.7.
    EXPECT_EQ(host_.View().header()->sectionSize(0), 198);
    EXPECT_EQ(host_.View().header()->sectionSize(1), 117);

    EXPECT_EQ(list_.index(0, 0).data().toString(), "a");
    EXPECT_FALSE(list_.index(0, 0).data(Qt::FontRole).value<QFont>().bold()) << "key 2";
    EXPECT_TRUE(list_.index(1, 1).data(Qt::FontRole).value<QFont>().bold()) << "key 5";
    EXPECT_EQ(list_.GetKey(5), boost::none);
    EXPECT_EQ(list_.GetKey(-1), boost::none);

    source_.Remove(2);
    EXPECT_FALSE(list_.index(0, 0).data().isValid());
    EXPECT_FALSE(list_.index(0, 0).data(Qt::FontRole).isValid());
    EXPECT_EQ(list_.index(1, 0).data().toString(), "a");
    EXPECT_EQ(source_.depth, 0);
}

} // namespace
