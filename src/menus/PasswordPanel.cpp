// The password panel's rules.
#include "PasswordPanel.h"

#include "core/AppState.h"
#include "platform/Numbers.h"

namespace tavoro::menus {

std::optional<DataFunction> DataFunctionOf(int index)
{
    if (index == 0)
        return DataFunction::RecordBrowser;
    if (index == 1)
        return DataFunction::CriteriaEditor;
    return std::nullopt;
}

bool PasswordAccepted(const core::AppState &state, const QString &typed)
{
    if (typed.isEmpty())
        return false;
    const core::Variant &password = state.settings.DataChangePassword;
    if (typed == password.text())
        return true;
    // A password of digits is held as a number ("0123" as 123); the entry matches it when
    // it reads as the same number, as a comparison of a text with a number does.
    bool ok = false;
    const double n = platform::parseNumber(typed, &ok);
    return password.isNumber() && ok && n == password.number();
}

QString PasswordPrompt()
{
    return QStringLiteral("パスワードを入力して下さい");
}

bool MenuKeysAct(int menuReady, bool passwordPanelOpen)
{
    return menuReady != 0 && !passwordPanelOpen;
}

} // namespace tavoro::menus
