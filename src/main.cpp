// Trackoro: follows parcels sent through Chinese courier companies.
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <memory>

#include "app/main_window.h"
#include "platform/platforms.h"
#include "platform/version.h"

namespace {

// Reads an address option; an address that is not a usable http(s) URL stops the program.
bool readAddress(const QCommandLineParser& parser, const QCommandLineOption& option, QUrl* url) {
    if (!parser.isSet(option)) {
        return true;
    }
    const QUrl value = QUrl::fromUserInput(parser.value(option));
    if (!value.isValid() ||
        (value.scheme() != QLatin1String("http") && value.scheme() != QLatin1String("https"))) {
        qCritical("Not an http(s) address for --%s: %s", qPrintable(option.names().first()),
                  qPrintable(parser.value(option)));
        return false;
    }
    *url = value;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // --help and --version are answered before the window system is touched, so they work
    // without a display; otherwise the application takes its own options (-platform, …)
    // out of the arguments first.
    bool infoOnly = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        infoOnly = infoOnly || arg == "-h" || arg == "--help" || arg == "-v" ||
                   arg == "--version" || arg == "-?";
    }
    std::unique_ptr<QApplication> application;
    QStringList arguments;
    if (infoOnly) {
        for (int i = 0; i < argc; ++i) {
            arguments.append(QString::fromLocal8Bit(argv[i]));
        }
    } else {
        application = std::make_unique<QApplication>(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Trackoro"));
        QApplication::setApplicationVersion(QString::fromLatin1(platform::kVersionText));
        arguments = QApplication::arguments();
    }

    platform::Addresses addresses = platform::Addresses::defaults();
    const platform::Addresses defaults = platform::Addresses::defaults();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Trackoro: follows parcels sent through Chinese courier companies."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption tracking(
        QStringLiteral("tracking-url"),
        QStringLiteral("Tracking service; the query string is added to it (default %1).")
            .arg(defaults.tracking.toString()),
        QStringLiteral("url"));
    const QCommandLineOption update(
        QStringLiteral("update-url"),
        QStringLiteral("Version file checked at start-up (default %1).")
            .arg(defaults.update.toString()),
        QStringLiteral("url"));
    const QCommandLineOption branch(
        QStringLiteral("branch-url"),
        QStringLiteral("Branch site; /query_list.asp is added to it (default %1).")
            .arg(defaults.branchSite.toString()),
        QStringLiteral("url"));
    const QCommandLineOption forum(
        QStringLiteral("forum-url"),
        QStringLiteral("Forum opened from the menu and on exit (default %1).")
            .arg(defaults.forum.toString()),
        QStringLiteral("url"));
    const QCommandLineOption website(
        QStringLiteral("website-url"),
        QStringLiteral("Web site opened from the menu (default %1).")
            .arg(defaults.website.toString()),
        QStringLiteral("url"));
    parser.addOptions({tracking, update, branch, forum, website});
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (!parser.parse(arguments)) {
        fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        text.replace(QStringLiteral("<executable_name>"), QStringLiteral("trackoro"));
        fputs(qPrintable(text), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        printf("Trackoro %s\n", platform::kVersionText);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        fprintf(stderr, "Unexpected argument: %s\n", qPrintable(parser.positionalArguments().first()));
        return 2;
    }

    if (!readAddress(parser, tracking, &addresses.tracking) ||
        !readAddress(parser, update, &addresses.update) ||
        !readAddress(parser, branch, &addresses.branchSite) ||
        !readAddress(parser, forum, &addresses.forum) ||
        !readAddress(parser, website, &addresses.website)) {
        return 2;
    }

    platform::DesktopPlatform desktop;
    platform::Environment env =
        platform::environmentOf(desktop, QCoreApplication::applicationDirPath());
    env.addresses = addresses;

    app::Form1 form(env);
    QObject::connect(&form, &app::Form1::programEnded, application.get(),
                     &QCoreApplication::quit, Qt::QueuedConnection);
    form.show();
    return QApplication::exec();
}
