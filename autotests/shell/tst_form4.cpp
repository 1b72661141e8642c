#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/controls/controls.h"
#include "platform/system/browser.h"
#include "shell/form4.h"
#include "shell/logo.h"
#include "support/activation.h"
#include "support/stand_ins.h"

using testsupport::RecordingBrowserLauncher;

namespace {

const QUrl kForum(QStringLiteral("http://forum.velmora.example/"));
const QUrl kQq(QStringLiteral("tencent://message/?uin=10000002"));
const QUrl kMail(QStringLiteral("mailto:velmora.studio@example.com"));

}  // namespace

class TestForm4 : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void captionAndVersion();
    void layoutFitsTheWindow();
    void problemTexts();
    void linkLabels_data();
    void linkLabels();
    void clicksOutsideLinksDoNothing_data();
    void clicksOutsideLinksDoNothing();
    void dragOffALinkDoesNotOpenIt();
    void okCloses();
    void keyboardAlone();
    void modalOkEndsTheWindow();
    void logoHasTransparency();
    void iconIsTheLogoOnASquare_data();
    void iconIsTheLogoOnASquare();

private:
    QLabel* label(const QString& name) const;

    RecordingBrowserLauncher* browser_ = nullptr;
    shell::Form4* form_ = nullptr;
};

void TestForm4::init() {
    browser_ = new RecordingBrowserLauncher;
    form_ = new shell::Form4(browser_, kForum);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_));
}

void TestForm4::cleanup() {
    delete form_;
    form_ = nullptr;
    delete browser_;
    browser_ = nullptr;
}

QLabel* TestForm4::label(const QString& name) const {
    return form_->findChild<QLabel*>(name);
}

void TestForm4::captionAndVersion() {
    QCOMPARE(form_->windowTitle(), QStringLiteral("关于程序"));
    // Major, minor and revision: the build's third field (0) is not shown.
    QCOMPARE(label(QStringLiteral("Label10"))->text(), QStringLiteral("版本号：3.2.118"));
    QVERIFY(label(QStringLiteral("Label9"))->text().startsWith(QStringLiteral("Trackoro\n\n")));
    QCOMPARE(label(QStringLiteral("Label3"))->text(), QStringLiteral("联系方式："));
    QVERIFY(label(QStringLiteral("Label4"))->text().startsWith(QStringLiteral("YY：")));
    QVERIFY(label(QStringLiteral("Label5"))->text().startsWith(QStringLiteral("QQ：")));
    QVERIFY(label(QStringLiteral("Label6"))->text().startsWith(QStringLiteral("E-mail：")));
    QCOMPARE(label(QStringLiteral("Label7"))->text(), QStringLiteral("Zeluna系列软件官方论坛"));
    QCOMPARE(label(QStringLiteral("Label8"))->text(), kForum.toString());
    QCOMPARE(form_->findChild<QPushButton*>(QStringLiteral("Command1"))->text(),
             QStringLiteral("确定"));

    const QString credits = label(QStringLiteral("Label1"))->text();
    QVERIFY(credits.startsWith(QStringLiteral("Banner设计：")));
    QVERIFY(credits.contains(QStringLiteral("\n程序设计:\n")));
    QVERIFY(credits.contains(QStringLiteral("\n音频提供:\n")));
    QVERIFY(credits.endsWith(QStringLiteral("相关问题：")));
}

void TestForm4::layoutFitsTheWindow() {
    // Every label lies inside the window, and the rows keep their order top to bottom. (Each
    // text whole in its label, in the real fonts: tst_value_widths::aboutTexts.)
    QList<QWidget*> widgets;
    for (QLabel* l : form_->findChildren<QLabel*>()) {
        widgets.append(l);
    }
    QVERIFY(widgets.size() >= 14);
    widgets.append(form_->findChild<QPushButton*>(QStringLiteral("Command1")));
    for (QWidget* l : widgets) {
        QVERIFY2(form_->rect().contains(l->geometry()), qPrintable(l->objectName()));
        for (QWidget* other : widgets) {
            QVERIFY2(l == other || !l->geometry().intersects(other->geometry()),
                     qPrintable(l->objectName() + QLatin1Char('/') + other->objectName()));
        }
    }
    const char* topToBottom[] = {"Label9",  "Label10", "Label1", "Label2", "Label11",
                                 "Label12", "Label13", "Label3", "Label7", "Label8"};
    int previous = -1;
    for (const char* name : topToBottom) {
        QLabel* l = label(QString::fromLatin1(name));
        QVERIFY2(l->y() > previous, name);
        previous = l->y();
    }
    // The two-line explanation ends above the first rule.
    QVERIFY(label(QStringLiteral("Label13"))->geometry().bottom() <
            form_->findChild<QFrame*>(QStringLiteral("Line1"))->y() + 2);
}

void TestForm4::problemTexts() {
    const QColor red(255, 0, 0);
    const QColor blue(0, 0, 255);
    QCOMPARE(label(QStringLiteral("Label2"))->text(),
             QStringLiteral("1.单号输入无误却显示单号不存在或错误"));
    QCOMPARE(platform::foreColor(label(QStringLiteral("Label2"))), red);
    QCOMPARE(label(QStringLiteral("Label11"))->text(),
             QStringLiteral("可能由于服务器正在进行数据更新,请您稍后再试"));
    QCOMPARE(platform::foreColor(label(QStringLiteral("Label11"))), blue);
    QCOMPARE(label(QStringLiteral("Label12"))->text(),
             QStringLiteral("2.数据不同步,与官方显示的信息不一致"));
    QCOMPARE(platform::foreColor(label(QStringLiteral("Label12"))), red);
    QCOMPARE(label(QStringLiteral("Label13"))->text(),
             QStringLiteral("由于本程序采用的是第三方信息资源,并非官方资源\n"
                            "所以很可能出现数据不同步、数据延缓现象,请稍等片刻"));
    QCOMPARE(platform::foreColor(label(QStringLiteral("Label13"))), blue);
}

void TestForm4::linkLabels_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QUrl>("url");
    // The account or address the label shows is the one the link opens.
    QTest::addColumn<QString>("shownEnd");

    QTest::newRow("QQ") << QStringLiteral("Label5") << QStringLiteral("QQ交谈") << kQq
                        << QStringLiteral("10000002");
    QTest::newRow("e-mail") << QStringLiteral("Label6") << QStringLiteral("发送E-mail") << kMail
                            << QStringLiteral("velmora.studio@example.com");
    QTest::newRow("forum") << QStringLiteral("Label8")
                           << QStringLiteral("访问Zeluna系列软件官方论坛") << kForum
                           << QStringLiteral("http://forum.velmora.example/");
}

void TestForm4::linkLabels() {
    QFETCH(QString, name);
    QFETCH(QString, toolTip);
    QFETCH(QUrl, url);
    QFETCH(QString, shownEnd);

    QLabel* link = label(name);
    QVERIFY(link);
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(link->toolTip(), toolTip);
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(browser_->opened(), QList<QUrl>{url});
    QVERIFY2(link->text().endsWith(shownEnd), qPrintable(link->text()));
    // The window stays open.
    QVERIFY(form_->isVisible());
}

void TestForm4::clicksOutsideLinksDoNothing_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : {"Label4", "aicAlphaImage1", "Label1", "Label2", "Label11", "Label12",
                             "Label13", "Label3", "Label7", "Label9", "Label10"}) {
        QTest::newRow(name) << QString::fromLatin1(name);
    }
}

void TestForm4::clicksOutsideLinksDoNothing() {
    QFETCH(QString, name);
    QWidget* widget = form_->findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->cursor().shape(), Qt::ArrowCursor);
    QTest::mouseClick(widget, Qt::LeftButton);
    QTest::mouseDClick(widget, Qt::LeftButton);
    QVERIFY(browser_->opened().isEmpty());
    QVERIFY(form_->isVisible());
}

void TestForm4::dragOffALinkDoesNotOpenIt() {
    // Pressed on the link but released outside it: no click.
    QLabel* link = label(QStringLiteral("Label8"));
    QTest::mousePress(link, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(link->width() + 40, 2));
    QVERIFY(browser_->opened().isEmpty());
    // Pressed elsewhere, released on the link: no click either.
    QTest::mousePress(label(QStringLiteral("Label7")), Qt::LeftButton);
    QTest::mouseRelease(link, Qt::LeftButton);
    QVERIFY(browser_->opened().isEmpty());
}

void TestForm4::keyboardAlone() {
    QVERIFY(testsupport::activate(form_));
    auto* ok = form_->findChild<QPushButton*>(QStringLiteral("Command1"));
    QTRY_VERIFY(ok->hasFocus());
    // Tab goes through the three links; Enter or Space opens the focused one.
    QStringList visited;
    QList<QUrl> expected;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), i == 1 ? Qt::Key_Space : Qt::Key_Return);
    }
    QCOMPARE(visited, QStringList({"Label5", "Label6", "Label8"}));
    QCOMPARE(browser_->opened(), QList<QUrl>({kQq, kMail, kForum}));
    QVERIFY(form_->isVisible());
    // Back on 确定, Enter closes.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ok);
    QTest::keyClick(ok, Qt::Key_Return);
    QVERIFY(!form_->isVisible());
}

void TestForm4::okCloses() {
    QTest::mouseClick(form_->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QTRY_VERIFY(!form_->isVisible());
    QCOMPARE(form_->result(), int(QDialog::Accepted));
    QVERIFY(browser_->opened().isEmpty());
}

void TestForm4::modalOkEndsTheWindow() {
    shell::Form4 form(browser_, kForum);
    bool shown = false;
    QTimer::singleShot(0, &form, [&] {
        shown = form.isVisible() && form.isModal();
        QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    });
    QCOMPARE(form.exec(), int(QDialog::Accepted));
    QVERIFY(shown);
}

void TestForm4::logoHasTransparency() {
    const QImage image = shell::drawLogoImage();
    QCOMPARE(image.size(), QSize(102, 127));
    QVERIFY(image.hasAlphaChannel());
    // Transparent outside the oval ring, opaque on the ring and on the globe.
    for (const QPoint corner : {QPoint(0, 0), QPoint(101, 0), QPoint(0, 126), QPoint(101, 126),
                                QPoint(8, 8), QPoint(93, 118)}) {
        QVERIFY2(qAlpha(image.pixel(corner)) == 0,
                 qPrintable(QStringLiteral("%1,%2").arg(corner.x()).arg(corner.y())));
    }
    QCOMPARE(qAlpha(image.pixel(51, 63)), 255);
    QCOMPARE(qAlpha(image.pixel(51, 6)), 255);
    // A grey globe: the centre pixel has no colour cast.
    const QRgb centre = image.pixel(51, 63);
    QVERIFY(qAbs(qRed(centre) - qBlue(centre)) < 24);
    // Between the ring and the globe the background shows through.
    QCOMPARE(qAlpha(image.pixel(51, 18)), 0);

    auto* logo = form_->findChild<QLabel*>(QStringLiteral("aicAlphaImage1"));
    QVERIFY(logo);
    QVERIFY(logo->hasScaledContents());
    const QPixmap shown = logo->pixmap();
    QCOMPARE(shown.size(), QSize(102, 127));
    QVERIFY(shown.hasAlphaChannel());
    QCOMPARE(shown.toImage().convertToFormat(QImage::Format_ARGB32),
             image.convertToFormat(QImage::Format_ARGB32));
}

void TestForm4::iconIsTheLogoOnASquare_data() {
    QTest::addColumn<int>("size");
    QTest::newRow("48") << 48;
    QTest::newRow("128") << 128;
    QTest::newRow("256") << 256;
}

// The menu icon is the logo drawn at the icon's height, centred on a transparent square:
// the ring touches neither side, and the logo's own transparent parts stay transparent.
void TestForm4::iconIsTheLogoOnASquare() {
    QFETCH(int, size);
    const QImage icon = shell::drawIcon(size);
    QCOMPARE(icon.size(), QSize(size, size));
    QVERIFY(icon.hasAlphaChannel());
    const auto at = [&](double x, double y) {  // a point of the logo, in logo pixels
        const double scale = double(size) / shell::kLogoHeight;
        const double left = (size - shell::kLogoWidth * scale) / 2.0;
        return icon.pixel(int(left + x * scale), int(y * scale));
    };
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(size - 1, 0), QPoint(0, size - 1), QPoint(size - 1, size - 1),
          QPoint(0, size / 2), QPoint(size - 1, size / 2)}) {
        QVERIFY2(qAlpha(icon.pixel(corner)) == 0,
                 qPrintable(QStringLiteral("%1,%2").arg(corner.x()).arg(corner.y())));
    }
    QCOMPARE(qAlpha(at(51, 63.5)), 255);   // the globe
    QCOMPARE(qAlpha(at(51, 6.5)), 255);    // the ring's top
    QCOMPARE(qAlpha(at(51, 120.5)), 255);  // the ring's bottom
    QCOMPARE(qAlpha(at(51, 18)), 0);       // between the ring and the globe
    const QRgb centre = at(51, 63.5);
    QVERIFY(qAbs(qRed(centre) - qBlue(centre)) < 24);
}

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
