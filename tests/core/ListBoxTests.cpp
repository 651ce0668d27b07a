// List boxes draw each row once and copy it afterwards: whatever changes, a list must look
// exactly like a new list set up the same way, never show a row as it was before.
#include "core/ListBox.h"
#include "core/ImageCache.h"

#include "core/Ui.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <memory>

using namespace tavoro;

namespace {

QStringList numbered(const QString &word, int n)
{
    QStringList rows;
    for (int i = 0; i < n; ++i)
        rows << QStringLiteral("%1 %2 ①あいう").arg(word).arg(i, 3);
    return rows;
}

QImage shot(core::ListBox &box)
{
    QApplication::processEvents();
    return box.grab().toImage();
}

struct Box {
    core::ListBox box;
    Box()
    {
        box.resize(240, 200);
        box.setFont(QFont(QStringLiteral("Noto Sans CJK JP"), 11));
        box.show();
    }
};

struct Change {
    const char *name;
    std::function<void(core::ListBox &)> before; // on the list that was shown already
    std::function<void(core::ListBox &)> after;  // the state both lists end in
};

class ListBoxLooks : public ::testing::TestWithParam<Change> {};

TEST_P(ListBoxLooks, LikeANewListSetUpTheSameWay)
{
    const Change &c = GetParam();
    Box shown;
    c.before(shown.box);
    shot(shown.box); // every visible row drawn and kept
    c.after(shown.box);
    Box fresh;
    c.after(fresh.box);
    const QImage a = shot(shown.box);
    const QImage b = shot(fresh.box);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_TRUE(a == b) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ListBoxLooks,
    ::testing::Values(
        Change{"sameCountNewTexts",
               [](core::ListBox &b) { b.setRows(numbered(QStringLiteral("甲"), 50)); },
               [](core::ListBox &b) { b.setRows(numbered(QStringLiteral("乙"), 50)); }},
        Change{"otherCount",
               [](core::ListBox &b) { b.setRows(numbered(QStringLiteral("甲"), 50)); },
               [](core::ListBox &b) { b.setRows(numbered(QStringLiteral("乙"), 7)); }},
        Change{"scrolledAndSelectedThenReplaced",
               [](core::ListBox &b) {
                   b.setRows(numbered(QStringLiteral("甲"), 50));
                   b.setCurrentRow(40);
                   b.scrollToBottom();
               },
               [](core::ListBox &b) { b.setRows(numbered(QStringLiteral("甲"), 50)); }},
        Change{"selection",
               [](core::ListBox &b) { b.setRows(numbered(QStringLiteral("甲"), 20)); },
               [](core::ListBox &b) {
                   b.setRows(numbered(QStringLiteral("甲"), 20));
                   b.setCurrentRow(2);
               }},
        Change{"font",
               [](core::ListBox &b) { b.setRows(numbered(QStringLiteral("甲"), 20)); },
               [](core::ListBox &b) {
                   QFont bold = b.font(); // of the same height: only the font tells them apart
                   bold.setBold(true);
                   b.setFont(bold);
                   b.setRows(numbered(QStringLiteral("甲"), 20));
               }},
        Change{"textColour",
               [](core::ListBox &b) { b.setRows(numbered(QStringLiteral("甲"), 20)); },
               [](core::ListBox &b) {
                   QPalette p = b.palette();
                   p.setColor(QPalette::Text, Qt::red);
                   b.setPalette(p);
                   b.setRows(numbered(QStringLiteral("甲"), 20));
               }},
        Change{"disabled",
               [](core::ListBox &b) { b.setRows(numbered(QStringLiteral("甲"), 20)); },
               [](core::ListBox &b) {
                   b.setEnabled(false);
                   b.setRows(numbered(QStringLiteral("甲"), 20));
               }},
        Change{"narrower",
               [](core::ListBox &b) { b.setRows(numbered(QStringLiteral("甲"), 20)); },
               [](core::ListBox &b) {
                   b.resize(120, 200);
                   b.setRows(numbered(QStringLiteral("甲"), 20));
               }}),
    [](const auto &info) { return std::string(info.param.name); });

// The same rows in another state: after each change of their view, the list must look like
// a new list with those rows in that state, however often it is painted.
TEST(ListBox, UnchangedRowsInAnotherStateNeverShowTheOldPicture)
{
    const auto rows = std::make_shared<core::TextRows>(numbered(QStringLiteral("甲"), 60));
    const std::function<void(core::ListBox &)> steps[] = {
        [](core::ListBox &) {},
        [](core::ListBox &b) { b.setCurrentRow(3); },
        [](core::ListBox &b) { b.verticalScrollBar()->setValue(5); },
        [](core::ListBox &b) { b.setCurrentRow(-1); },
        [](core::ListBox &b) { b.setEnabled(false); },
        [](core::ListBox &b) { core::setBackground(&b, QColor(0xC0, 0xFF, 0xFF)); },
        [](core::ListBox &b) {
            QFont bold = b.font();
            bold.setBold(true);
            b.setFont(bold);
        },
        [](core::ListBox &b) { b.resize(200, 200); },
    };
    Box shown;
    shown.box.setRows(rows);
    shot(shown.box);
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        steps[i](shown.box);
        Box fresh;
        fresh.box.setRows(rows);
        for (std::size_t j = 0; j <= i; ++j)
            steps[j](fresh.box);
        const QImage a = shot(shown.box);
        EXPECT_TRUE(a == shot(fresh.box)) << "after step " << i;
        EXPECT_TRUE(shot(shown.box) == a) << "copied after step " << i;
    }
}

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

TEST(RowImages, KeepsNoMoreBytesThanItsLimitButAlwaysTheLatest)
{
    core::RowImages images(100, 3 * 10 * 5 * 4); // three images of 10 x 5 pixels
    const auto key = [](int n) {
        return core::RowImageKey{QString::number(n), QSize(10, 5), 0xffffffff, 0xff000000,
                                 QStringLiteral("font"), 1.0};
    };
    QPixmap small(10, 5);
    for (int n = 0; n < 5; ++n)
        images.insert(key(n), small);
    EXPECT_EQ(images.size(), 3);
    EXPECT_EQ(images.bytes(), 3 * core::imageBytes(small));
    EXPECT_EQ(images.find(key(1)), nullptr);
    EXPECT_NE(images.find(key(4)), nullptr);
    QPixmap big(100, 50);
    ASSERT_NE(images.insert(key(9), big), nullptr); // larger than the limit, still kept
    EXPECT_EQ(images.size(), 1);
    EXPECT_NE(images.find(key(9)), nullptr);
}

TEST(RowImages, KeepsTheLatestShownUpToItsLimit)
{
    core::RowImages images(2);
    const auto key = [](const char *text) {
        return core::RowImageKey{QString::fromUtf8(text), QSize(10, 5), 0xffffffff, 0xff000000,
                                 QStringLiteral("font"), 1.0};
    };
    QPixmap p(10, 5);
    images.insert(key("a"), p);
    images.insert(key("b"), p);
    ASSERT_NE(images.find(key("a")), nullptr); // now the latest shown
    images.insert(key("c"), p);
    EXPECT_EQ(images.size(), 2);
    EXPECT_NE(images.find(key("a")), nullptr);
    EXPECT_EQ(images.find(key("b")), nullptr);
    EXPECT_NE(images.find(key("c")), nullptr);
    core::RowImageKey other = key("a");
    other.pen = 0xffff0000;
    EXPECT_EQ(images.find(other), nullptr);
    other = key("a");
    other.size = QSize(11, 5);
    EXPECT_EQ(images.find(other), nullptr);
    other = key("a");
    other.ratio = 2.0;
    EXPECT_EQ(images.find(other), nullptr);
}

// Classic scroll bars: every state gives the pixels that drawing it directly gives (a
// picture's replay draws directly), the same at every paint, and a changed state shows.
struct BarState {
    const char *name;
    std::function<void(QScrollBar &)> set;
};

class PlainScrollBar : public ::testing::TestWithParam<BarState> {};

QImage direct(QScrollBar &bar)
{
    QPicture picture;
    {
        QPainter p(&picture);
        bar.render(&p);
    }
    QImage image(bar.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter p(&image);
    picture.play(&p);
    return image;
}

TEST_P(PlainScrollBar, LooksAsDrawnDirectly)
{
    QScrollBar bar(Qt::Vertical);
    core::usePlainStyle(&bar);
    bar.resize(17, 160);
    bar.setRange(0, 100);
    bar.setPageStep(10);
    bar.show();
    const QImage before = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    GetParam().set(bar);
    QApplication::processEvents();
    const QImage first = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage again = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(first, direct(bar));
    EXPECT_EQ(again, first);
    if (std::string(GetParam().name) != "unchanged") {
        EXPECT_NE(first, before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    States, PlainScrollBar,
    ::testing::Values(
        BarState{"unchanged", [](QScrollBar &) {}},
        BarState{"moved", [](QScrollBar &b) { b.setValue(40); }},
        BarState{"at the end", [](QScrollBar &b) { b.setValue(100); }},
        BarState{"longer page", [](QScrollBar &b) { b.setPageStep(60); }},
        BarState{"no range", [](QScrollBar &b) { b.setRange(0, 0); }},
        BarState{"disabled", [](QScrollBar &b) { b.setEnabled(false); }},
        BarState{"taller", [](QScrollBar &b) { b.resize(17, 220); }},
        BarState{"horizontal",
                 [](QScrollBar &b) {
                     b.setOrientation(Qt::Horizontal);
                     b.resize(160, 17);
                 }},
        BarState{"other colours", [](QScrollBar &b) {
                     QPalette p = b.palette();
                     p.setColor(QPalette::Button, QColor(0xC0, 0xFF, 0xFF));
                     p.setColor(QPalette::Light, Qt::white);
                     p.setColor(QPalette::Mid, QColor(0x40, 0x80, 0x80));
                     b.setPalette(p);
                 }}),
    [](const ::testing::TestParamInfo<BarState> &info) {
        std::string n = info.param.name;
        std::replace(n.begin(), n.end(), ' ', '_');
        return n;
    });

} // namespace
