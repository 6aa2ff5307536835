#include "grid/widgets/ColumnListBox.h"

#include <QLabel>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class Columns : public CColumnNameSource {
public:
    int GetLastColumn() const override { return 2; }
    std::string GetColumnName(int column) const override
    {
        return column == 0 ? "Time" : "(Column " + std::to_string(column + 1) + ")";
    }
};

} // namespace

TEST(ColumnListBoxTest, ListsUpToTheLargerOfTheLastAndTheAskedColumn)
{
    Columns columns;
    CColumnListBox single;
    single.FillColumns(columns, 4);
    EXPECT_EQ(single.count(), 5);
    EXPECT_EQ(single.item(0)->text(), "Time");
    EXPECT_EQ(single.item(4)->text(), "(Column 5)");

    QWidget dialog;
    CColumnCheckListBox list(&dialog);
    list.FillColumns(columns, 5, -1, 571);
    EXPECT_EQ(list.count(), 6);
    list.SetChecked(5, true);
    EXPECT_FALSE(list.IsChecked(5)); // the excluded column
    EXPECT_FALSE(list.item(5)->flags() & Qt::ItemIsEnabled);
}

TEST(ColumnListBoxTest, ExchangeChecksExactlyTheListedColumnsAndCountsThem)
{
    Columns columns;
    QWidget dialog;
    auto* label = new QLabel(&dialog);
    label->setProperty("controlId", 77);
    auto* list = new CColumnCheckListBox(&dialog);
    list->FillColumns(columns, -1, 77, 571);
    EXPECT_EQ(label->text(), "0 column(s) selected");
    std::vector<int> chosen{1, 2};
    list->SetChecked(0, true);
    DDX_ColumnCheckList(false, *list, chosen);
    EXPECT_FALSE(list->IsChecked(0));
    EXPECT_TRUE(list->IsChecked(1));
    EXPECT_TRUE(list->IsChecked(2));
    EXPECT_EQ(label->text(), "2 column(s) selected");

    std::vector<int> saved{9};
    DDX_ColumnCheckList(true, *list, saved);
    EXPECT_EQ(saved, (std::vector<int>{1, 2}));
    list->setEnabled(false);
    DDX_ColumnCheckList(true, *list, saved);
    EXPECT_TRUE(saved.empty());
}

TEST(ColumnListBoxTest, AnEmptyListExchangesNothing)
{
    CColumnCheckListBox list;
    std::vector<int> saved{3};
    DDX_ColumnCheckList(true, list, saved);
    EXPECT_EQ(saved, std::vector<int>{3});
}
