// The texts of labels and buttons are copied from images kept of them: every window must
// look exactly as the plain style draws it, the first time and every time after.
#include "core/TextImages.h"
#include "core/Ui.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace tavoro;

namespace {

struct Look {
    const char *name;
    std::function<QWidget *()> make;
    bool copied = true; // whether its texts can be copied from kept images
};

QImage shot(QWidget &w)
{
    QApplication::processEvents();
    return w.grab().toImage();
}

// Sets `style` on a window and all of its children.
void styleAll(QWidget &w, QStyle *style)
{
    w.setStyle(style);
    for (QWidget *child : w.findChildren<QWidget *>())
        child->setStyle(style);
}

class TextImagesLook : public ::testing::TestWithParam<Look> {};

TEST_P(TextImagesLook, SamePixelsAsThePlainStyleEveryTime)
{
    std::unique_ptr<QStyle> plain(QStyleFactory::create(QStringLiteral("Fusion")));
    core::TextImageStyle images(QStyleFactory::create(QStringLiteral("Fusion")));
    std::unique_ptr<QWidget> a(GetParam().make());
    std::unique_ptr<QWidget> b(GetParam().make());
    styleAll(*a, plain.get());
    styleAll(*b, &images);
    a->show();
    b->show();
    const QImage expected = shot(*a);
    const QImage first = shot(*b);
    const int drawn = images.drawn();
    const QImage again = shot(*b);
    EXPECT_TRUE(first == expected);
    EXPECT_TRUE(again == expected);
    EXPECT_GT(images.copies() + images.drawn(), drawn) << "the texts were drawn at all";
    if (GetParam().copied)
        EXPECT_GT(images.copies(), 0);
    else
        EXPECT_EQ(images.copies(), 0); // never a text cut at the edge of its image
}

QWidget *labels(std::function<void(QLabel *)> dress)
{
    auto *w = new QWidget;
    w->resize(360, 300);
    auto *layout = new QVBoxLayout(w);
    const Qt::Alignment aligns[] = {Qt::AlignLeft | Qt::AlignVCenter, Qt::AlignCenter,
                                    Qt::AlignRight | Qt::AlignBottom};
    for (Qt::Alignment a : aligns) {
        auto *l = new QLabel(QStringLiteral("獲得ポイント（今まで順位）①Ⅰ"), w);
        l->setAlignment(a);
        l->setFont(core::gothicFont(15));
        dress(l);
        layout->addWidget(l);
    }
    return w;
}

INSTANTIATE_TEST_SUITE_P(
    Widgets, TextImagesLook,
    ::testing::Values(
        Look{"plainLabels", [] { return labels([](QLabel *) {}); }},
        Look{"colouredLabels",
             [] {
                 return labels([](QLabel *l) {
                     core::setBackground(l, core::vbColor(0xFFFF00));
                     core::setForeground(l, Qt::red);
                 });
             }},
        Look{"disabledLabels", [] { return labels([](QLabel *l) { l->setEnabled(false); }); }},
        Look{"wrappedLabels",
             [] {
                 return labels([](QLabel *l) {
                     l->setWordWrap(true);
                     l->setText(QStringLiteral("次のレベルへ進みましょう 次のレベルへ進みましょう "
                                               "次のレベルへ進みましょう"));
                 });
             }},
        Look{"textWiderThanItsLabel",
             [] {
                 return labels([](QLabel *l) {
                     l->setText(QStringLiteral("とても長い名前のとても長い説明のとても長い行"));
                     l->setMinimumWidth(10);
                     l->setMaximumWidth(120);
                 });
             },
             false},
        Look{"pointSizedFont",
             [] {
                 return labels([](QLabel *l) {
                     l->setFont(QFont(QStringLiteral("Noto Sans CJK JP"), 13));
                 });
             }},
        Look{"pushButtonsInTheirStates",
             [] {
                 auto *w = new QWidget;
                 w->resize(300, 320);
                 core::setBackground(w, core::vbColor(0xC0FFC0));
                 auto *layout = new QVBoxLayout(w);
                 auto *plain = new QPushButton(QStringLiteral("ｽﾀｰﾄ(&1)"), w);
                 plain->setFont(core::gothicFont(17, true));
                 auto *byDefault = new QPushButton(QStringLiteral("O.K."), w);
                 byDefault->setDefault(true);
                 auto *off = new QPushButton(QStringLiteral("ｽﾀｰﾄ(&2)"), w);
                 off->setEnabled(false);
                 auto *down = new QPushButton(QStringLiteral("もう一度"), w);
                 down->setDown(true);
                 auto *on = new QPushButton(QStringLiteral("メニューへ"), w);
                 on->setCheckable(true);
                 on->setChecked(true);
                 auto *coloured = new QPushButton(QStringLiteral("戻る(0)"), w);
                 QPalette p = coloured->palette();
                 p.setColor(QPalette::Button, core::vbColor(0x80FFFF));
                 p.setColor(QPalette::ButtonText, Qt::red);
                 coloured->setPalette(p);
                 auto *flat = new QPushButton(QStringLiteral("グラフ"), w);
                 flat->setFlat(true);
                 for (QPushButton *b : {plain, byDefault, off, down, on, coloured, flat})
                     layout->addWidget(b);
                 return w;
             }},
        Look{"radioButtonsAndCheckBoxes",
             [] {
                 auto *w = new QWidget;
                 w->resize(300, 220);
                 core::setBackground(w, core::vbColor(0xC0FFC0));
                 auto *layout = new QVBoxLayout(w);
                 auto *on = new QRadioButton(QStringLiteral("累計順"), w);
                 on->setChecked(true);
                 auto *off = new QRadioButton(QStringLiteral("本日順"), w);
                 auto *disabled = new QRadioButton(QStringLiteral("オール表示"), w);
                 disabled->setEnabled(false);
                 auto *checked = new QCheckBox(QStringLiteral("すべて"), w);
                 checked->setChecked(true);
                 for (QWidget *b : std::initializer_list<QWidget *>{on, off, disabled, checked})
                     layout->addWidget(b);
                 return w;
             }},
        Look{"partlyOutsideTheWindow",
             [] {
                 auto *w = new QWidget;
                 w->resize(200, 120);
                 auto *label = new QLabel(QStringLiteral("最近7日=3回 / 12点"), w);
                 core::setBackground(label, core::vbColor(0xE0E0E0));
                 label->setGeometry(120, 10, 180, 30);
                 auto *button = new QPushButton(QStringLiteral("ｽﾀｰﾄ(&5)"), w);
                 button->setGeometry(140, 60, 160, 40);
                 return w;
             }},
        Look{"buttons",
             [] {
                 auto *w = new QWidget;
                 w->resize(300, 200);
                 auto *layout = new QVBoxLayout(w);
                 layout->addWidget(new QPushButton(QStringLiteral("ｽﾀｰﾄ(&1)"), w));
                 layout->addWidget(new QRadioButton(QStringLiteral("累計順"), w));
                 auto *off = new QCheckBox(QStringLiteral("オール表示"), w);
                 off->setEnabled(false);
                 layout->addWidget(off);
                 return w;
             }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(TextImages, ChangedTextOrColourIsNeverCopiedFromTheOldOne)
{
    core::TextImageStyle images(QStyleFactory::create(QStringLiteral("Fusion")));
    std::unique_ptr<QStyle> plain(QStyleFactory::create(QStringLiteral("Fusion")));
    QLabel shown(QStringLiteral("今日"));
    QLabel fresh;
    for (QLabel *l : {&shown, &fresh}) {
        l->resize(120, 30);
        l->setFont(core::gothicFont(15));
        core::setBackground(l, core::vbColor(0xE0E0E0));
    }
    shown.setStyle(&images);
    fresh.setStyle(plain.get());
    shown.show();
    fresh.show();
    shot(shown);
    const auto expectSame = [&](const char *what) {
        EXPECT_TRUE(shot(shown) == shot(fresh)) << what;
    };
    shown.setText(QStringLiteral("今まで"));
    fresh.setText(QStringLiteral("今まで"));
    expectSame("text");
    core::setForeground(&shown, Qt::blue);
    core::setForeground(&fresh, Qt::blue);
    expectSame("text colour");
    core::setBackground(&shown, core::vbColor(0x80FF80));
    core::setBackground(&fresh, core::vbColor(0x80FF80));
    expectSame("background");
    shown.setFont(core::gothicFont(15, true));
    fresh.setFont(core::gothicFont(15, true));
    expectSame("font");
    EXPECT_GT(images.copies(), 0);
}

TEST(TextImages, ChangedPushButtonIsNeverCopiedFromTheOldOne)
{
    core::TextImageStyle images(QStyleFactory::create(QStringLiteral("Fusion")));
    std::unique_ptr<QStyle> plain(QStyleFactory::create(QStringLiteral("Fusion")));
    QPushButton shown(QStringLiteral("ｽﾀｰﾄ(&1)"));
    QPushButton fresh(QStringLiteral("ｽﾀｰﾄ(&1)"));
    for (QPushButton *b : {&shown, &fresh})
        b->resize(160, 40);
    shown.setStyle(&images);
    fresh.setStyle(plain.get());
    shown.show();
    fresh.show();
    shot(shown);
    shot(shown);
    const int copies = images.copies();
    const auto expectSame = [&](const char *what) {
        EXPECT_TRUE(shot(shown) == shot(fresh)) << what;
    };
    expectSame("unchanged");
    EXPECT_GT(images.copies(), copies);
    for (QPushButton *b : {&shown, &fresh})
        b->setText(QStringLiteral("ｽﾀｰﾄ(&2)"));
    expectSame("text");
    for (QPushButton *b : {&shown, &fresh})
        b->setEnabled(false);
    expectSame("disabled");
    for (QPushButton *b : {&shown, &fresh}) {
        b->setEnabled(true);
        b->setDown(true);
    }
    expectSame("pressed");
    for (QPushButton *b : {&shown, &fresh}) {
        b->setDown(false);
        b->resize(170, 40);
    }
    expectSame("wider");
    for (QPushButton *b : {&shown, &fresh})
        core::setForeground(b, Qt::blue);
    expectSame("text colour");
    for (QPushButton *b : {&shown, &fresh})
        b->setFont(core::gothicFont(15, true));
    expectSame("font");
}

} // namespace
