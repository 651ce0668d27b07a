// The password panel's rules: which entries open the data functions, which button opens
// which function, and when the menu's keys act.
#include "support/Fakes.h"

#include "core/Variant.h"
#include "menus/PasswordPanel.h"

#include <gtest/gtest.h>

namespace tavoro::menus {
namespace {

struct PasswordCase {
    const char *field; // the sixth field of the common data file
    const char *typed;
    bool accepted;
};

class PasswordRule : public ::testing::TestWithParam<PasswordCase> {};

TEST_P(PasswordRule, AcceptsOnlyThePassword)
{
    test::FakeWorld world;
    const PasswordCase &c = GetParam();
    world.state->settings.DataChangePassword = core::Variant::fromField(QString::fromUtf8(c.field));
    EXPECT_EQ(PasswordAccepted(*world.state, QString::fromUtf8(c.typed)), c.accepted)
        << c.field << " / " << c.typed;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, PasswordRule,
    ::testing::Values(PasswordCase{"abc", "abc", true}, PasswordCase{"abc", "ab", false},
                      PasswordCase{"abc", "abcd", false}, PasswordCase{"abc", "ABC", false},
                      PasswordCase{"abc", "", false}, PasswordCase{"", "", false},
                      PasswordCase{"", "x", false}, PasswordCase{"2008", "2008", true},
                      PasswordCase{"2008", "2009", false}, PasswordCase{"0123", "0123", true},
                      PasswordCase{"0123", "123", true}, PasswordCase{"a0b", "a0b", true},
                      PasswordCase{"先生", "先生", true}, PasswordCase{"10", "1", false}));

TEST(PasswordPanel, ButtonsOpenTheirFunctions)
{
    EXPECT_EQ(DataFunctionOf(0), DataFunction::RecordBrowser);
    EXPECT_EQ(DataFunctionOf(1), DataFunction::CriteriaEditor);
    EXPECT_FALSE(DataFunctionOf(2).has_value());
    EXPECT_FALSE(DataFunctionOf(-1).has_value());
    EXPECT_EQ(PasswordPrompt(), QStringLiteral("パスワードを入力して下さい"));
}

TEST(PasswordPanel, MenuKeysActOnlyWhenReadyAndThePanelIsClosed)
{
    EXPECT_TRUE(MenuKeysAct(1, false));
    EXPECT_FALSE(MenuKeysAct(1, true));
    EXPECT_FALSE(MenuKeysAct(0, false));
    EXPECT_FALSE(MenuKeysAct(0, true));
}

} // namespace
} // namespace tavoro::menus
