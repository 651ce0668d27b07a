// The rules of the password panel through which a teacher reaches the data functions from
// the level menu: which password opens them, which function each button opens, and when
// the menu's own keys act.
#pragma once

#include <QString>

#include <optional>

namespace tavoro::core {
struct AppState;
}

namespace tavoro::menus {

// The data functions of the panel, by the index of their button Command10.
enum class DataFunction {
    RecordBrowser = 0,  // "データ変更"
    CriteriaEditor = 1, // "合格タイムデータ変更"
};

// The function of button Command10(index); none for another index.
std::optional<DataFunction> DataFunctionOf(int index);

// Whether the typed text is the installation's data-change password. An empty entry never
// is: an installation without a password must not open the data functions to anyone who
// clicks the button.
bool PasswordAccepted(const core::AppState &state, const QString &typed);

// The message of a wrong or empty password.
QString PasswordPrompt();

// Whether a key typed on the menu acts as a menu key (a level start or "戻る(0)"): only
// once the menu is ready and only while the password panel is closed, so that every
// character typed into the password entry, "0" included, goes into the entry.
bool MenuKeysAct(int menuReady, bool passwordPanelOpen);

} // namespace tavoro::menus
