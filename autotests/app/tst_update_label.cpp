#include <QTest>

#include "app/update_label.h"

using app::UpdateVerdict;

class TstUpdateLabel : public QObject {
    Q_OBJECT

private slots:
    void verdict_data();
    void verdict();
    void notFetchedFails();
    void labelLosesTrailingLineEnds();
};

void TstUpdateLabel::verdict_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<UpdateVerdict>("verdict");
    QTest::newRow("same") << "V3.2" << UpdateVerdict::UpToDate;
    QTest::newRow("same with line end") << "V3.2\r\n" << UpdateVerdict::UpToDate;
    QTest::newRow("same with trailing blanks") << "V3.2 \t\n" << UpdateVerdict::UpToDate;
    QTest::newRow("next minor") << "V3.3" << UpdateVerdict::Newer;
    QTest::newRow("minor compared as a number") << "V3.10" << UpdateVerdict::Newer;
    QTest::newRow("older minor") << "V3.1" << UpdateVerdict::UpToDate;
    QTest::newRow("older major") << "V2.9" << UpdateVerdict::UpToDate;
    QTest::newRow("next major") << "V4.0" << UpdateVerdict::Newer;
    QTest::newRow("leading zero") << "V3.02" << UpdateVerdict::UpToDate;
    QTest::newRow("long major") << "V99999999.0" << UpdateVerdict::Newer;
    QTest::newRow("overlong label")
        << "V3." + QString(100000, QLatin1Char('9')) << UpdateVerdict::Failed;
    QTest::newRow("html page") << "<html><body><h1>404 Not Found</h1></body></html>"
                               << UpdateVerdict::Failed;
    QTest::newRow("proxy login") << "<html><title>Login</title>V3.3</html>"
                                 << UpdateVerdict::Failed;
    QTest::newRow("suffix") << "V3.2 beta" << UpdateVerdict::Failed;
    QTest::newRow("leading space") << " V3.3" << UpdateVerdict::Failed;
    QTest::newRow("lower-case v") << "v3.3" << UpdateVerdict::Failed;
    QTest::newRow("no minor") << "V3." << UpdateVerdict::Failed;
    QTest::newRow("no major") << "V.3" << UpdateVerdict::Failed;
    QTest::newRow("three parts") << "V3.2.1" << UpdateVerdict::Failed;
    QTest::newRow("sign") << "V+3.3" << UpdateVerdict::Failed;
    QTest::newRow("full-width digit") << "V３.3" << UpdateVerdict::Failed;
    QTest::newRow("empty") << "" << UpdateVerdict::Failed;
    QTest::newRow("blank") << " \r\n" << UpdateVerdict::Failed;
}

void TstUpdateLabel::verdict() {
    QFETCH(QString, answer);
    QFETCH(UpdateVerdict, verdict);
    QCOMPARE(app::judgeUpdateAnswer(true, answer).verdict, verdict);
}

void TstUpdateLabel::notFetchedFails() {
    QCOMPARE(app::judgeUpdateAnswer(false, QString()).verdict, UpdateVerdict::Failed);
    QCOMPARE(app::judgeUpdateAnswer(false, "V3.3").verdict, UpdateVerdict::Failed);
}

void TstUpdateLabel::labelLosesTrailingLineEnds() {
    QCOMPARE(app::judgeUpdateAnswer(true, "V3.3\r\n").label, QString("V3.3"));
    QCOMPARE(app::judgeUpdateAnswer(true, "V3.2\n\n").label, QString("V3.2"));
    QCOMPARE(app::judgeUpdateAnswer(true, "<p>x</p>\r\n").label, QString("<p>x</p>"));
    QCOMPARE(app::judgeUpdateAnswer(true, " V3.3").label, QString(" V3.3"));
}

QTEST_GUILESS_MAIN(TstUpdateLabel)
#include "tst_update_label.moc"
