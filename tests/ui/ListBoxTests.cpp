// List boxes: the current row and its signal, and rows replaced as a whole starting again at
// the top with nothing chosen.
#include "ui/ListBox.h"

#include <QApplication>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <vector>

using namespace tavoro;

namespace {

QStringList numbered(const QString &word, int n)
{
    QStringList rows;
    for (int i = 0; i < n; ++i)
        rows << QStringLiteral("%1 %2 ①あいう").arg(word).arg(i, 3);
    return rows;
}

struct Box {
    ui::ListBox box;
    Box()
    {
        box.resize(240, 200);
        box.setFont(QFont(QStringLiteral("Noto Sans CJK JP"), 11));
        box.show();
    }
};

TEST(ListBox, RowsOfTheSameCountStartAgainWithNoCurrentRow)
{
    Box b;
    b.box.setRows(numbered(QStringLiteral("甲"), 300));
    b.box.setCurrentRow(250);
    b.box.scrollTo(b.box.model()->index(250, 0));
    ASSERT_GT(b.box.verticalScrollBar()->value(), 0);
    b.box.setRows(numbered(QStringLiteral("乙"), 300));
    EXPECT_EQ(b.box.currentRow(), -1);
    EXPECT_TRUE(b.box.selectionModel()->selectedIndexes().isEmpty());
    EXPECT_EQ(b.box.verticalScrollBar()->value(), 0);
    EXPECT_EQ(b.box.text(250), QStringLiteral("乙 250 ①あいう"));
    EXPECT_EQ(b.box.model()->data(b.box.model()->index(250, 0)).toString(),
              QStringLiteral("乙 250 ①あいう"));
}

TEST(ListBox, CurrentRowAndSignals)
{
    ui::ListBox box;
    box.setRows(QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    std::vector<int> changes;
    QObject::connect(&box, &ui::ListBox::currentRowChanged,
                     [&](int row) { changes.push_back(row); });
    EXPECT_EQ(box.currentRow(), -1);
    box.setCurrentRow(2);
    EXPECT_EQ(box.currentRow(), 2);
    EXPECT_EQ(box.text(box.currentRow()), QStringLiteral("c"));
    box.setCurrentRow(5); // no such row: none is current
    EXPECT_EQ(box.currentRow(), -1);
    EXPECT_EQ(changes, (std::vector<int>{2, -1}));
    EXPECT_EQ(box.texts(),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    box.clear();
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(box.currentRow(), -1);
}

} // namespace
