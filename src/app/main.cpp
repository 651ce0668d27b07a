// Tavoro: starts the splash, which loads the settings and opens the name selection.
#include "app/AppScreens.h"
#include "core/AppState.h"
#include "core/Windows.h"
#include "platform/Clock.h"
#include "platform/Launcher.h"
#include "platform/ProgramExit.h"
#include "platform/Random.h"
#include "platform/SoundPlayer.h"
#include "platform/Termination.h"
#include "platform/SystemPrinter.h"
#include "platform/WidgetDialogs.h"

#include <QApplication>
#include <QFont>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavoro"));
    QApplication::setFont(tavoro::ui::gothicFont(15));

    tavoro::platform::SystemClock clock;
    tavoro::platform::SystemRandom random;
    tavoro::platform::SystemSoundPlayer sound;
    tavoro::platform::WidgetDialogs dialogs;
    tavoro::platform::ProcessExit programExit;
    tavoro::platform::ProcessLauncher launcher;
    tavoro::platform::SystemPrinter printer;
    tavoro::core::AppState state(
        {&clock, &random, &sound, &dialogs, &programExit, &launcher, &printer});
    tavoro::app::AppScreens screens(state);
    state.screens = &screens;

    // Asked to end by the system (logout, `kill`), the program closes its windows and ends
    // with status 0, as when the pupil leaves it.
    tavoro::platform::TerminationWatcher termination([&screens] {
        qCInfo(tavoro::app::lcScreens) << "ending on the system's request";
        screens.closeAll();
        QCoreApplication::exit(0);
    });

    auto *splash = new tavoro::core::Firstfrm(state, QCoreApplication::applicationDirPath());
    splash->Form_Load();
    return app.exec();
}
