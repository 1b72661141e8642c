// Trackoro: follows parcels sent through Chinese courier companies.
#include <QApplication>
#include <cstdio>

#include "app/main_window.h"
#include "base/options.h"
#include "base/version.h"
#include "platform/platforms.h"
#include "platform/system/console.h"
#include "platform/system/qt_translation.h"

namespace {

// Prints what the command line asked for instead of a window; the exit status.
int answer(const base::Options& options) {
    platform::useParentConsole();
    if (options.action == base::Options::Action::Error) {
        fprintf(stderr, "%s\n", qPrintable(options.text));
        return 2;
    }
    fputs(qPrintable(options.text), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // --help and --version are answered before the window system is touched, so they work
    // without a display; otherwise the application takes its own options (-platform, …)
    // out of the arguments first.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    if (base::asksOnlyForInformation(arguments)) {
        return answer(base::parseOptions(arguments));
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Trackoro"));
    QApplication::setApplicationVersion(base::versionText());
    // The desktop matches the windows to the installed menu entry, and its icon, by this.
    QGuiApplication::setDesktopFileName(QStringLiteral("trackoro"));
    platform::installQtTranslation(application);
    const base::Options options = base::parseOptions(QApplication::arguments());
    if (options.action != base::Options::Action::Run) {
        return answer(options);
    }

    const QString programFolder = QCoreApplication::applicationDirPath();
    platform::DesktopPlatform desktop(programFolder);
    platform::Environment env = platform::environmentOf(desktop, programFolder);
    env.addresses = options.addresses;
    app::Form1 form(env);
    QObject::connect(&form, &app::Form1::programEnded, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    form.show();
    return QApplication::exec();
}
