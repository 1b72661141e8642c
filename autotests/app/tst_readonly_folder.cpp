// The program in a folder it cannot write: it starts and queries as usual, shows the answer,
// and says "历史记录保存失败!" wherever the history could not be written, instead of
// failing silently or claiming success.
//
// Tests run as root here, who may write anywhere: a truly read-only folder is tried
// without root's rights (testsupport::Unprivileged), and a history path that is a folder
// stands for a file no one can write.
#include <QDir>
#include <QFile>
#include <QTest>
#include <optional>

#include "history/number_history.h"
#include "platform/net/http_transport.h"
#include "support/file_faults.h"
#include "support/main_window_fixture.h"

using platform::MessageBoxes;
using testsupport::MainWindowFixture;
using testsupport::Unprivileged;

namespace {

const QString kSaveFailed = QStringLiteral("历史记录保存失败!");
const QByteArray kStored =
    base::toGbk(QStringLiteral("A1|EMS快递|旧\r\nB2|圆通快递|书\r\n")).value();

constexpr QFile::Permissions kReadOnlyFolder = QFile::ReadOwner | QFile::ExeOwner |
                                               QFile::ReadGroup | QFile::ExeGroup |
                                               QFile::ReadOther | QFile::ExeOther;
constexpr QFile::Permissions kOwnFolder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

}  // namespace

class TstReadonlyFolder : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Query
    void startsAndQueriesInAReadOnlyFolder();
    void answerWithoutRowsInAReadOnlyFolder();
    void notFoundSavedInAReadOnlyFolderIsNotReportedAsSaved();
    void storedNumberNeedsNoWrite();
    void readOnlyHistoryFileIsKept();
    void historyPathThatIsAFolder();

    // Toggle, delete and clear
    void toggleWithAnUnreadableFile_data();
    void toggleWithAnUnreadableFile();
    void deleteInAReadOnlyFolder();
    void clearInAReadOnlyFolder_data();
    void clearInAReadOnlyFolder();

private:
    void query(const QString& number = QStringLiteral("SF123")) {
        f->query(number, QStringLiteral("顺丰快递"), QStringLiteral("爸爸衣服"));
    }
    QString folder() const { return f->t.env.programFolder; }
    QString historyPath() const { return f->t.programFile(QStringLiteral("wlnum.ini")); }
    void setFolder(QFile::Permissions permissions) {
        QVERIFY(QFile::setPermissions(folder(), permissions));
    }

    std::unique_ptr<MainWindowFixture> f;
    app::Form1* form = nullptr;
};

void TstReadonlyFolder::init() {
    f = std::make_unique<MainWindowFixture>();
    f->answer(MainWindowFixture::rowsOf(3));
}

void TstReadonlyFolder::cleanup() {
    form = nullptr;
    QFile::setPermissions(folder(), kOwnFolder);
    f.reset();
}

void TstReadonlyFolder::startsAndQueriesInAReadOnlyFolder() {
    setFolder(kReadOnlyFolder);
    {
        Unprivileged user;
        QVERIFY(user.ok());
        form = f->open();
        QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("程序已加载完毕..."));
        QVERIFY(form->controls().Command1->isEnabled());
        query();
    }
    QCOMPARE(form->controls().S1->panelText(2), kSaveFailed);
    // The answer is shown all the same, and the query can run again.
    QCOMPARE(form->controls().ListView1->count(), 3);
    QCOMPARE(form->controls().ListView1->text(0, 2), QStringLiteral("运输中"));
    QCOMPARE(form->controls().Label3->text(), QStringLiteral("快件状态：运送中"));
    QVERIFY(form->controls().Command1->isEnabled());
    QVERIFY(!form->controls().Timer1->isEnabled());
    QVERIFY(f->t.boxes.shown().isEmpty());
    // The list keeps the entry of this run; nothing reached the folder.
    QCOMPARE(form->controls().Text1->items(),
             QStringList{QStringLiteral("SF123|顺丰快递|爸爸衣服")});
    QVERIFY(!QFile::exists(historyPath()));
    QCOMPARE(QDir(folder()).entryList(QDir::Files | QDir::Hidden), QStringList());

    // A later successful parse in the same run says so again. The answer has another length,
    // so the list shows that this query really ran.
    f->answer(MainWindowFixture::rowsOf(4));
    {
        Unprivileged user;
        QVERIFY(user.ok());
        query(QStringLiteral("YT9"));
    }
    QCOMPARE(f->server.requestCount("/"), 2);
    QCOMPARE(form->controls().ListView1->count(), 4);
    QCOMPARE(form->controls().S1->panelText(2), kSaveFailed);
    QVERIFY(!QFile::exists(historyPath()));
}

void TstReadonlyFolder::answerWithoutRowsInAReadOnlyFolder() {
    f->answer(QStringLiteral("<p>正在查询，请稍候</p>"));
    setFolder(kReadOnlyFolder);
    {
        Unprivileged user;
        QVERIFY(user.ok());
        form = f->open();
        query();
    }
    QCOMPARE(form->controls().S1->panelText(2), kSaveFailed);
    QVERIFY(form->controls().Command1->isEnabled());
    QCOMPARE(form->controls().ListView1->count(), 0);
    QVERIFY(!QFile::exists(historyPath()));
}

void TstReadonlyFolder::notFoundSavedInAReadOnlyFolderIsNotReportedAsSaved() {
    f->writeHistory(kStored);
    f->answer(QStringLiteral("<p>您查询的单号不存在</p>"));
    f->t.boxes.script(MessageBoxes::Answer::Yes);
    setFolder(kReadOnlyFolder);
    {
        Unprivileged user;
        QVERIFY(user.ok());
        form = f->open();
        query();
    }
    QCOMPARE(f->t.boxes.texts(),
             QStringList({QStringLiteral("您好,您当前输入的单号不存在有效信息,是否先进行保存?"),
                          kSaveFailed}));
    QCOMPARE(f->t.boxes.shown().last().icon, MessageBoxes::Icon::Exclamation);
    QCOMPARE(form->controls().S1->panelText(2), kSaveFailed);
    QCOMPARE(f->historyBytes(), kStored);
    // The reloaded list shows what the file holds.
    QCOMPARE(form->controls().Text1->items(),
             QStringList({QStringLiteral("A1|EMS快递|旧"), QStringLiteral("B2|圆通快递|书")}));
    QVERIFY(form->controls().Command1->isEnabled());
}

void TstReadonlyFolder::storedNumberNeedsNoWrite() {
    f->writeHistory(base::toGbk(QStringLiteral("SF123|顺丰快递|爸爸衣服\r\n")).value());
    setFolder(kReadOnlyFolder);
    {
        Unprivileged user;
        QVERIFY(user.ok());
        form = f->open();
        query();
    }
    // Nothing had to be written, so nothing failed.
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("查询完毕..."));
    QCOMPARE(form->controls().ListView1->count(), 3);
}

void TstReadonlyFolder::readOnlyHistoryFileIsKept() {
    f->writeHistory(kStored);
    // The folder may be written, the file may not.
    setFolder(kOwnFolder | QFile::WriteOther | QFile::ReadOther | QFile::ExeOther);
    QVERIFY(QFile::setPermissions(historyPath(), QFile::ReadOwner | QFile::ReadOther));
    {
        Unprivileged user;
        QVERIFY(user.ok());
        form = f->open();
        query();
    }
    QCOMPARE(form->controls().S1->panelText(2), kSaveFailed);
    QCOMPARE(form->controls().ListView1->count(), 3);
    QCOMPARE(f->historyBytes(), kStored);
}

void TstReadonlyFolder::historyPathThatIsAFolder() {
    // Holds for root as well: no one can write a folder as a file.
    QVERIFY(QDir(folder()).mkdir(QStringLiteral("wlnum.ini")));
    form = f->open();
    query();
    QCOMPARE(form->controls().S1->panelText(2), kSaveFailed);
    QCOMPARE(form->controls().ListView1->count(), 3);
    QVERIFY(form->controls().Command1->isEnabled());
    QVERIFY(QFileInfo(historyPath()).isDir());
    QVERIFY(f->t.boxes.shown().isEmpty());
}

void TstReadonlyFolder::toggleWithAnUnreadableFile_data() {
    QTest::addColumn<bool>("asFolder");
    QTest::newRow("file without read rights") << false;
    QTest::newRow("history path is a folder") << true;
}

void TstReadonlyFolder::toggleWithAnUnreadableFile() {
    QFETCH(bool, asFolder);
    if (asFolder) {
        QVERIFY(QDir(folder()).mkdir(QStringLiteral("wlnum.ini")));
    } else {
        f->writeHistory(kStored);
        QVERIFY(QFile::setPermissions(historyPath(), QFile::Permissions()));
    }
    setFolder(kReadOnlyFolder);
    form = f->open();
    {
        std::optional<Unprivileged> user;
        if (!asFolder) {
            user.emplace();
            QVERIFY(user->ok());
        }
        QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    }
    QCOMPARE(form->controls().Command3->text(), QStringLiteral("最新快递查询"));
    QCOMPARE(form->controls().Text1->count(), 0);
    QVERIFY(f->t.boxes.shown().isEmpty());
    // And back.
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    QCOMPARE(form->controls().Command3->text(), QStringLiteral("历史快递查询"));
    QCOMPARE(form->controls().Text1->count(), 0);
    QVERIFY(f->t.boxes.shown().isEmpty());
}

void TstReadonlyFolder::deleteInAReadOnlyFolder() {
    f->writeHistory(kStored);
    setFolder(kReadOnlyFolder);
    form = f->open();
    form->numberHistory()->dq();
    form->controls().Text1->setText(QStringLiteral("A1"));
    f->t.boxes.script(MessageBoxes::Answer::Yes);
    {
        Unprivileged user;
        QVERIFY(user.ok());
        QTest::mouseClick(form->controls().Command9, Qt::LeftButton);
    }
    QCOMPARE(f->t.boxes.shown().size(), 1);
    QCOMPARE(form->controls().S1->panelText(2), kSaveFailed);
    QCOMPARE(f->historyBytes(), kStored);
}

void TstReadonlyFolder::clearInAReadOnlyFolder_data() {
    QTest::addColumn<bool>("asFolder");
    QTest::newRow("read-only folder") << false;
    QTest::newRow("history path is a folder") << true;
}

void TstReadonlyFolder::clearInAReadOnlyFolder() {
    QFETCH(bool, asFolder);
    if (asFolder) {
        QVERIFY(QDir(folder()).mkpath(QStringLiteral("wlnum.ini/inside")));
    } else {
        f->writeHistory(kStored);
        setFolder(kReadOnlyFolder);
    }
    form = f->open();
    form->numberHistory()->dq();
    f->t.boxes.script(MessageBoxes::Answer::Yes);
    {
        // The folder case holds for root; the read-only folder needs a user without root's
        // rights.
        std::optional<Unprivileged> user;
        if (!asFolder) {
            user.emplace();
            QVERIFY(user->ok());
        }
        QTest::mouseClick(form->controls().Command7, Qt::LeftButton);
    }
    QCOMPARE(f->t.boxes.texts(), QStringList{QStringLiteral("确定要清空查询列表吗?")});
    QCOMPARE(form->controls().S1->panelText(2), kSaveFailed);
    if (asFolder) {
        QVERIFY(QFileInfo(historyPath()).isDir());
    } else {
        QCOMPARE(f->historyBytes(), kStored);
    }
}

QTEST_MAIN(TstReadonlyFolder)
#include "tst_readonly_folder.moc"
