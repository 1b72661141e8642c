#include "base/options.h"

#include <QCommandLineParser>

#include "base/version.h"

namespace base {

namespace {

// The service addresses that can be set on the command line.
struct AddressOption {
    const char* name;
    const char* description;
    QUrl Addresses::*address;
};

const AddressOption kAddressOptions[] = {
    {"tracking-url", "Tracking service; the query string is added to it", &Addresses::tracking},
    {"update-url", "Version file checked at start-up", &Addresses::update},
    {"branch-url", "Branch site; /query_list.asp is added to it", &Addresses::branchSite},
    {"forum-url", "Forum opened from the menu and on exit", &Addresses::forum},
    {"website-url", "Web site opened from the menu", &Addresses::website},
};

Options failure(QString text) {
    Options options;
    options.action = Options::Action::Error;
    options.text = std::move(text);
    return options;
}

}  // namespace

bool asksOnlyForInformation(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help") ||
            arg == QLatin1String("-v") || arg == QLatin1String("--version") ||
            arg == QLatin1String("-?")) {
            return true;
        }
    }
    return false;
}

Options parseOptions(const QStringList& arguments) {
    const Addresses defaults = Addresses::defaults();
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Trackoro: follows parcels sent through Chinese courier companies."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (const AddressOption& option : kAddressOptions) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(option.name),
                                            QStringLiteral("%1 (default %2).")
                                                .arg(QString::fromLatin1(option.description),
                                                     (defaults.*option.address).toString()),
                                            QStringLiteral("url")));
    }
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (!parser.parse(arguments)) {
        return failure(parser.errorText());
    }

    Options options;
    if (parser.isSet(help)) {
        options.action = Options::Action::Help;
        options.text = parser.helpText();
        options.text.replace(QStringLiteral("<executable_name>"), QStringLiteral("trackoro"));
        return options;
    }
    if (parser.isSet(version)) {
        options.action = Options::Action::Version;
        options.text = QStringLiteral("Trackoro %1\n").arg(versionText());
        return options;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return failure(QStringLiteral("Unexpected argument: %1")
                           .arg(parser.positionalArguments().constFirst()));
    }
    for (const AddressOption& option : kAddressOptions) {
        const QString name = QString::fromLatin1(option.name);
        if (!parser.isSet(name)) {
            continue;
        }
        const QUrl value = QUrl::fromUserInput(parser.value(name));
        if (!value.isValid() ||
            (value.scheme() != QLatin1String("http") && value.scheme() != QLatin1String("https"))) {
            return failure(QStringLiteral("Not an http(s) address for --%1: %2")
                               .arg(name, parser.value(name)));
        }
        options.addresses.*option.address = value;
    }
    return options;
}

}  // namespace base
