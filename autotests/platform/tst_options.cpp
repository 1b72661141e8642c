// The command line, read without an application object: --help and refusals need no display.
#include <QTest>

#include "base/options.h"
#include "base/version.h"

using base::Addresses;
using base::Options;
using base::parseOptions;

Q_DECLARE_METATYPE(QUrl Addresses::*)
Q_DECLARE_METATYPE(base::Options::Action)

namespace {
QStringList commandLine(const QStringList& arguments) {
    return QStringList{QStringLiteral("trackoro")} + arguments;
}
}  // namespace

class TstOptions : public QObject {
    Q_OBJECT
private slots:
    void noOptionsRunWithTheDefaults();
    void eachAddressCanBeSet_data();
    void eachAddressCanBeSet();
    void addressesThatAreNotHttpAreRefused_data();
    void addressesThatAreNotHttpAreRefused();
    void helpAndVersionNeedNoApplication_data();
    void helpAndVersionNeedNoApplication();
    void unknownOptionsAndArgumentsAreRefused_data();
    void unknownOptionsAndArgumentsAreRefused();
};

void TstOptions::noOptionsRunWithTheDefaults() {
    const Options options = parseOptions(commandLine({}));
    QCOMPARE(options.action, Options::Action::Run);
    QCOMPARE(options.addresses.tracking, QUrl("http://api.trackoro.example/"));
    QCOMPARE(options.addresses.update, QUrl("http://update.trackoro.example/jc.txt"));
    QCOMPARE(options.addresses.branchSite, QUrl("http://branch.trackoro.example"));
    QCOMPARE(options.addresses.forum, QUrl("http://bbs.velmora.example/"));
    QCOMPARE(options.addresses.website, QUrl("http://www.velmora.example/"));
    QVERIFY(!base::asksOnlyForInformation(commandLine({})));
}

void TstOptions::eachAddressCanBeSet_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QUrl Addresses::*>("field");
    QTest::addColumn<QUrl>("address");
    QTest::newRow("tracking") << QStringList{"--tracking-url", "http://127.0.0.1:8080/"}
                              << &Addresses::tracking << QUrl("http://127.0.0.1:8080/");
    QTest::newRow("update, with =") << QStringList{"--update-url=https://h.example/jc.txt"}
                                    << &Addresses::update << QUrl("https://h.example/jc.txt");
    QTest::newRow("branch, single dash") << QStringList{"-branch-url", "http://127.0.0.1:9"}
                                         << &Addresses::branchSite << QUrl("http://127.0.0.1:9");
    QTest::newRow("forum") << QStringList{"--forum-url", "http://f.example/"} << &Addresses::forum
                           << QUrl("http://f.example/");
    QTest::newRow("website, no scheme given")
        << QStringList{"--website-url", "www.w.example"} << &Addresses::website
        << QUrl("http://www.w.example");
}

void TstOptions::eachAddressCanBeSet() {
    QFETCH(QStringList, arguments);
    QFETCH(QUrl Addresses::*, field);
    QFETCH(QUrl, address);
    const Options options = parseOptions(commandLine(arguments));
    QCOMPARE(options.action, Options::Action::Run);
    QCOMPARE(options.addresses.*field, address);
    // The others keep their defaults.
    Addresses expected = Addresses::defaults();
    expected.*field = address;
    QCOMPARE(options.addresses.tracking, expected.tracking);
    QCOMPARE(options.addresses.update, expected.update);
    QCOMPARE(options.addresses.branchSite, expected.branchSite);
    QCOMPARE(options.addresses.forum, expected.forum);
    QCOMPARE(options.addresses.website, expected.website);
}

void TstOptions::addressesThatAreNotHttpAreRefused_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("ftp") << QStringList{"--tracking-url", "ftp://127.0.0.1/"}
                         << "Not an http(s) address for --tracking-url: ftp://127.0.0.1/";
    QTest::newRow("a file") << QStringList{"--update-url", "/tmp/jc.txt"}
                            << "Not an http(s) address for --update-url: /tmp/jc.txt";
    QTest::newRow("mailto") << QStringList{"--forum-url=mailto:a@b.example"}
                            << "Not an http(s) address for --forum-url: mailto:a@b.example";
    QTest::newRow("empty") << QStringList{"--branch-url", ""}
                           << "Not an http(s) address for --branch-url: ";
}

void TstOptions::addressesThatAreNotHttpAreRefused() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const Options options = parseOptions(commandLine(arguments));
    QCOMPARE(options.action, Options::Action::Error);
    QCOMPARE(options.text, message);
}

void TstOptions::helpAndVersionNeedNoApplication_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Options::Action>("action");
    QTest::newRow("--help") << QStringList{"--help"} << Options::Action::Help;
    QTest::newRow("-h") << QStringList{"-h"} << Options::Action::Help;
    QTest::newRow("--help after an address")
        << QStringList{"--tracking-url", "http://127.0.0.1/", "--help"} << Options::Action::Help;
    QTest::newRow("--version") << QStringList{"--version"} << Options::Action::Version;
    QTest::newRow("-v") << QStringList{"-v"} << Options::Action::Version;
}

void TstOptions::helpAndVersionNeedNoApplication() {
    QFETCH(QStringList, arguments);
    QFETCH(Options::Action, action);
    QVERIFY(QCoreApplication::instance() == nullptr);
    QVERIFY(base::asksOnlyForInformation(commandLine(arguments)));
    const Options options = parseOptions(commandLine(arguments));
    QCOMPARE(options.action, action);
    if (action == Options::Action::Version) {
        QCOMPARE(options.text, "Trackoro " + base::versionText() + "\n");
        return;
    }
    QVERIFY(options.text.startsWith("Usage: trackoro [options]\n"));
    QVERIFY(!options.text.contains("<executable_name>"));
    for (const char* option : {"--tracking-url <url>", "--update-url <url>", "--branch-url <url>",
                               "--forum-url <url>", "--website-url <url>"}) {
        QVERIFY2(options.text.contains(QLatin1String(option)), option);
    }
    QVERIFY(options.text.contains("(default http://api.trackoro.example/)"));
}

void TstOptions::unknownOptionsAndArgumentsAreRefused_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown option") << QStringList{"--colour"} << "Unknown option 'colour'.";
    QTest::newRow("address missing")
        << QStringList{"--tracking-url"} << "Missing value after '--tracking-url'.";
    QTest::newRow("a bare argument") << QStringList{"123456"} << "Unexpected argument: 123456";
}

void TstOptions::unknownOptionsAndArgumentsAreRefused() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const Options options = parseOptions(commandLine(arguments));
    QCOMPARE(options.action, Options::Action::Error);
    QCOMPARE(options.text, message);
}

QTEST_APPLESS_MAIN(TstOptions)
#include "tst_options.moc"
