// Trackoro: follows parcels sent through Chinese courier companies.
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <memory>

#include "app/main_window.h"
#include "platform/platforms.h"
#include "platform/version.h"

namespace {

// The service addresses that can be set on the command line.
struct AddressOption {
    const char* name;
    const char* description;
    QUrl platform::Addresses::*address;
};

const AddressOption kAddressOptions[] = {
    {"tracking-url", "Tracking service; the query string is added to it",
     &platform::Addresses::tracking},
    {"update-url", "Version file checked at start-up", &platform::Addresses::update},
    {"branch-url", "Branch site; /query_list.asp is added to it", &platform::Addresses::branchSite},
    {"forum-url", "Forum opened from the menu and on exit", &platform::Addresses::forum},
    {"website-url", "Web site opened from the menu", &platform::Addresses::website},
};

// Reads an address option; an address that is not a usable http(s) URL stops the program.
bool readAddress(const QCommandLineParser& parser, const QString& name, QUrl* url) {
    if (!parser.isSet(name)) {
        return true;
    }
    const QUrl value = QUrl::fromUserInput(parser.value(name));
    if (!value.isValid() ||
        (value.scheme() != QLatin1String("http") && value.scheme() != QLatin1String("https"))) {
        qCritical("Not an http(s) address for --%s: %s", qPrintable(name),
                  qPrintable(parser.value(name)));
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
        QApplication::setApplicationVersion(platform::versionText());
        // The desktop matches the windows to the installed menu entry, and its icon, by this.
        QGuiApplication::setDesktopFileName(QStringLiteral("trackoro"));
        arguments = QApplication::arguments();
    }

    const platform::Addresses defaults = platform::Addresses::defaults();
    platform::Addresses addresses = defaults;

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Trackoro: follows parcels sent through Chinese courier companies."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (const AddressOption& option : kAddressOptions) {
        parser.addOption(QCommandLineOption(
            QString::fromLatin1(option.name),
            QStringLiteral("%1 (default %2).")
                .arg(QString::fromLatin1(option.description),
                     (defaults.*option.address).toString()),
            QStringLiteral("url")));
    }
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
        printf("Trackoro %s\n", qPrintable(platform::versionText()));
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        fprintf(stderr, "Unexpected argument: %s\n", qPrintable(parser.positionalArguments().first()));
        return 2;
    }

    for (const AddressOption& option : kAddressOptions) {
        if (!readAddress(parser, QString::fromLatin1(option.name), &(addresses.*option.address))) {
            return 2;
        }
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
