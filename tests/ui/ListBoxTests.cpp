// List boxes: the current row and its signal, and rows replaced as a whole starting again at
// the top with nothing chosen; the keys that fire a list's Click.
#include "ui/ListBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPointer>
#include <QScrollBar>
#include <QTest>

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

// ---- Keys fire the Click -------------------------------------------------------------

// A list of ten lines in a window that notes the keys the list passes on to it.
struct KeyList : QWidget {
    QListWidget *list = new QListWidget(this);
    std::vector<int> clicks;
    std::vector<int> keysPassedOn;
    KeyList(QAbstractItemView::SelectionMode mode, int current)
    {
        resize(200, 300);
        list->setGeometry(0, 0, 200, 300);
        list->setSelectionMode(mode);
        for (int i = 0; i < 10; ++i)
            list->addItem(QString::number(i + 1));
        list->setCurrentRow(current, QItemSelectionModel::NoUpdate);
        if (mode != QAbstractItemView::MultiSelection)
            list->setCurrentRow(current);
        ui::ClickOnKeys(list, [this](int row) { clicks.push_back(row); });
        show();
        list->setFocus();
    }
    void keyPressEvent(QKeyEvent *e) override { keysPassedOn.push_back(e->key()); }
};

struct KeyCase {
    const char *name;
    QAbstractItemView::SelectionMode mode;
    int current;
    Qt::Key key;
    std::vector<int> clicks;     // the rows clicked
    std::vector<int> selected;   // the rows selected afterwards
    bool passedOn = false;       // the key went on to the window
};

class ListKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(ListKeys, FireTheClickWhenTheyMoveOrChangeTheSelection)
{
    const KeyCase &c = GetParam();
    KeyList w(c.mode, c.current);
    QTest::keyClick(w.list, c.key);
    EXPECT_EQ(w.clicks, c.clicks);
    std::vector<int> selected;
    for (int i = 0; i < w.list->count(); ++i)
        if (w.list->item(i)->isSelected())
            selected.push_back(i);
    EXPECT_EQ(selected, c.selected);
    EXPECT_EQ(w.keysPassedOn, c.passedOn ? std::vector<int>{c.key} : std::vector<int>{});
}

constexpr auto kOne = QAbstractItemView::SingleSelection;
constexpr auto kSeveral = QAbstractItemView::MultiSelection;

INSTANTIATE_TEST_SUITE_P(
    Keys, ListKeys,
    ::testing::Values(KeyCase{"DownMovesOne", kOne, 3, Qt::Key_Down, {4}, {4}},
                      KeyCase{"UpMovesOne", kOne, 3, Qt::Key_Up, {2}, {2}},
                      KeyCase{"EndGoesToTheLast", kOne, 3, Qt::Key_End, {9}, {9}},
                      KeyCase{"HomeGoesToTheFirst", kOne, 3, Qt::Key_Home, {0}, {0}},
                      KeyCase{"DownAtTheLastMovesNothing", kOne, 9, Qt::Key_Down, {}, {9}, true},
                      KeyCase{"EnterGoesOnToTheWindow", kOne, 3, Qt::Key_Return, {}, {3}, true},
                      // Where several lines can be selected the arrows move the caret and
                      // the space bar chooses: both click, as the list control did.
                      KeyCase{"DownMovesTheCaret", kSeveral, 3, Qt::Key_Down, {4}, {}},
                      KeyCase{"SpaceChoosesTheLine", kSeveral, 3, Qt::Key_Space, {3}, {3}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ListKeysClick, MayCloseTheWindowOfTheList)
{
    auto *w = new KeyList(kOne, 3);
    const QPointer<QListWidget> list(w->list);
    ui::ClickOnKeys(w->list, [w](int) { delete w; });
    QTest::keyClick(w->list, Qt::Key_Down);
    EXPECT_FALSE(list);
}

TEST(ListKeysClick, AMouseClickIsLeftToTheMouseSignals)
{
    KeyList w(kOne, 3);
    QTest::mouseClick(w.list->viewport(), Qt::LeftButton, {},
                      w.list->visualItemRect(w.list->item(6)).center());
    EXPECT_EQ(w.list->currentRow(), 6);
    EXPECT_TRUE(w.clicks.empty());
}

} // namespace
