// Every control that shows a value the user must read shows the longest value it
// realistically gets whole, in the fonts of this machine, in the window as it opens: the
// main window's status texts, selectors and menu, the branch lookup's values and the about
// window's texts. Run at QT_SCALE_FACTOR 1 and 2 (see CMakeLists.txt).
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QTest>

#include "branch/form5.h"
#include "shell/form4.h"
#include "support/main_window_fixture.h"
#include "support/painted_text.h"
#include "tracking/catalogue.h"

using testsupport::MainWindowFixture;
using testsupport::PaintedTexts;

namespace {

// Where `widget` lies in its window.
QRect inWindow(const QWidget* widget) {
    return QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
}

// A label shows `text` whole: it is as large as Qt says the text needs, and its window
// does not cut it off.
QString labelProblem(QLabel* label, const QString& text) {
    label->setText(text);
    QCoreApplication::processEvents();
    const QSize needed = label->sizeHint();
    if (label->width() < needed.width() || label->height() < needed.height()) {
        return QStringLiteral("%1 \"%2\" needs %3x%4 px, has %5x%6")
            .arg(label->objectName(), text)
            .arg(needed.width())
            .arg(needed.height())
            .arg(label->width())
            .arg(label->height());
    }
    QWidget* parent = label->parentWidget();
    if (parent && !parent->rect().contains(label->geometry())) {
        return QStringLiteral("%1 \"%2\" lies outside its parent").arg(label->objectName(), text);
    }
    if (!label->window()->rect().contains(inWindow(label))) {
        return QStringLiteral("%1 \"%2\" lies outside its window").arg(label->objectName(), text);
    }
    return {};
}

// The width a combo box of the same kind needs to show `text` as its current item.
int comboWidthFor(const QComboBox* box, const QString& text) {
    QComboBox probe;
    probe.setFont(box->font());
    probe.setEditable(box->isEditable());
    probe.setSizeAdjustPolicy(QComboBox::AdjustToContents);
    probe.addItem(text);
    return probe.sizeHint().width();
}

// Text sizes: the standard one and larger ones a user with weak sight chooses (Windows'
// "Make text bigger" goes up to 225 %).
constexpr int kFontPercents[] = {100, 125, 150, 200};

// `font` at `percent` of its size.
QFont scaled(QFont font, int percent) {
    font.setPointSizeF(font.pointSizeF() * percent / 100);
    return font;
}

// Waits until `window` has taken the room its controls need. After a change of font, under
// Windows the window's least size follows one pass of the event loop later than its
// controls' do.
bool settled(QWidget* window) {
    return QTest::qWaitFor([window] {
        return window->minimumSize() == window->minimumSizeHint() &&
               window->width() >= window->minimumWidth();
    });
}

// Opens the main window, and the user makes its text `percent` as large while it is open;
// true once the window has settled.
bool openAt(MainWindowFixture& f, int percent) {
    app::Form1* form = f.open();
    if (!QTest::qWaitForWindowExposed(form)) {
        return false;
    }
    if (percent != 100) {
        form->setFont(scaled(form->font(), percent));
    }
    return settled(form);
}

// The (label, text) pairs a window shows, checked together in one window at each text size.
using LabelTexts = QList<QPair<const char*, const char*>>;

void addFontRows() {
    QTest::addColumn<int>("fontPercent");
    for (const int percent : kFontPercents) {
        QTest::addRow("font %d%%", percent) << percent;
    }
}

// Every text whole in its label, one after another as the window shows them, and the window
// as large as it opened: it had the room already and does not widen when a text comes.
QString textsProblem(QWidget* window, const LabelTexts& texts) {
    const QSize opened = window->size();
    for (const auto& [name, utf8] : texts) {
        auto* label = window->findChild<QLabel*>(QString::fromLatin1(name));
        if (!label) {
            return QStringLiteral("no label %1").arg(QString::fromLatin1(name));
        }
        const QString text = QString::fromUtf8(utf8);
        const QString problem = labelProblem(label, text);
        if (!problem.isEmpty()) {
            return problem;
        }
        if (window->size() != opened) {
            return QStringLiteral("at %1 \"%2\" the window grew from %3x%4 to %5x%6 px")
                .arg(label->objectName(), text)
                .arg(opened.width())
                .arg(opened.height())
                .arg(window->width())
                .arg(window->height());
        }
    }
    return {};
}

}  // namespace

class TstValueWidths : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void mainWindowLabels_data();
    void mainWindowLabels();
    void clockKeepsTheWindow_data();
    void clockKeepsTheWindow();
    void mainWindowSelectors_data();
    void mainWindowSelectors();
    void branchValues_data();
    void branchValues();
    void aboutTexts();
};

void TstValueWidths::initTestCase() {
    QVERIFY2(!QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty(),
             "no Chinese font on this machine (Debian: fonts-droid-fallback)");
}

void TstValueWidths::mainWindowLabels_data() {
    addFontRows();
}

void TstValueWidths::mainWindowLabels() {
    QFETCH(int, fontPercent);
    const LabelTexts texts = {
        {"Label3", "快件状态：已签收"},
        {"Label7", "是否更新：有更新"},
        // The longest texts of the status line, with the longest courier name.
        {"S1_Panel2", "请输入快递备注信息,例如：爸爸衣服"},
        {"S1_Panel2", "成都奔腾国际快递快递查询中..."},
        {"S1_Panel2", "找到【成都奔腾国际快递】，是否为您要找的公司?"},
        {"S1_Panel2", "系统问题,暂不支持当前快递公司!"},
        {"S1_Panel2", "查询失败,请检查网络连接!"},
        {"S1_Panel1", "查询提示："},
        {"S1_Panel3", "3.2.118"},
        {"S1_Panel4", "Velmora出品"},
        {"S1_Panel5", "20:48:58"},
    };
    MainWindowFixture f;
    QVERIFY(openAt(f, fontPercent));
    app::Form1* form = f.form.get();
    const QString problem = textsProblem(form, texts);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void TstValueWidths::clockKeepsTheWindow_data() {
    QTest::addColumn<int>("fontPercent");
    // Also at 160 %, where a 9 pt font is 19.2 px high, between whole pixels.
    for (const int percent : {100, 125, 150, 160, 200}) {
        QTest::addRow("font %d%%", percent) << percent;
    }
}

// The clock's text changes every second. Where the status line sets the window's least
// width (larger text), a time drawn a pixel wider than the one before must not widen it.
void TstValueWidths::clockKeepsTheWindow() {
    QFETCH(int, fontPercent);
    MainWindowFixture f;
    QVERIFY(openAt(f, fontPercent));
    app::Form1* form = f.form.get();
    auto* clock = form->findChild<QLabel*>(QStringLiteral("S1_Panel5"));
    QVERIFY(clock);
    const QSize opened = form->size();
    // Each digit in every place it can take: 00:00:00, 11:11:11, 22:22:22, 03:33:33, 04:44:44
    // ... 09:59:59.
    for (int digit = 0; digit <= 9; ++digit) {
        const int tens = std::min(digit, 5);
        const QTime time(digit <= 2 ? digit * 11 : digit, tens * 10 + digit, tens * 10 + digit);
        const QString text = time.toString(QStringLiteral("HH:mm:ss"));
        f.t.clock.setTime(time);
        const QString problem = labelProblem(clock, text);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY2(form->size() == opened,
                 qPrintable(QStringLiteral("at %1 the window grew from %2 to %3 px wide")
                                .arg(text)
                                .arg(opened.width())
                                .arg(form->width())));
    }
}

void TstValueWidths::mainWindowSelectors_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::newRow("hour") << "Combo2"
                          << "23";
    QTest::newRow("minute") << "Combo3"
                            << "59";
    QTest::newRow("interval") << "Combo4"
                              << "360";
    QTest::newRow("menu: web site") << "Combo5"
                                    << "Velmora官方网站";
    QTest::newRow("menu: branch lookup") << "Combo5"
                                         << "网点信息查询";
    QString longestCourier;
    for (const QString& name : tracking::courierNames()) {
        if (QFontMetrics(QApplication::font()).horizontalAdvance(name) >
            QFontMetrics(QApplication::font()).horizontalAdvance(longestCourier)) {
            longestCourier = name;
        }
    }
    QTest::newRow("courier") << "Combo1" << longestCourier;
}

void TstValueWidths::mainWindowSelectors() {
    QFETCH(QString, box);
    QFETCH(QString, text);
    MainWindowFixture f;
    app::Form1* form = f.open();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    auto* selector = form->findChild<platform::ComboBox*>(box);
    QVERIFY(selector);
    // Shown as the selection (the menu keeps the entry chosen).
    {
        const QSignalBlocker quiet(selector);
        selector->setCurrentIndex(selector->findText(text));
    }
    QCOMPARE(selector->currentText(), text);
    QCoreApplication::processEvents();
    const int needed = comboWidthFor(selector, text);
    QVERIFY2(selector->width() >= needed, qPrintable(QStringLiteral("%1 \"%2\" needs %3 px, has %4")
                                                         .arg(box, text)
                                                         .arg(needed)
                                                         .arg(selector->width())));
    QVERIFY(form->rect().contains(inWindow(selector)));
    const PaintedTexts painted(selector);
    QVERIFY2(painted.contains(text), qPrintable(painted.texts().join(u'|')));
}

void TstValueWidths::branchValues_data() {
    addFontRows();
}

void TstValueWidths::branchValues() {
    QFETCH(int, fontPercent);
    const LabelTexts texts = {
        {"Label2", "深圳市宝安区西乡营业部"},      // the branch's name
        {"Label4", "欧阳经理"},                    // the person in charge
        {"Label6", "上海市浦东新区陆家嘴营业部"},  // a second name
        {"Label8", "021-50000000 13800138000"},    // the telephone numbers
        {"Label12", "外高桥保税区、洋山港区"},     // where it does not deliver
        {"S1_Panel2", "网点查询失败,请检查网络连接!"},
    };
    testsupport::TestEnvironment t;
    branch::Form5 form(t.env);
    if (fontPercent != 100) {
        form.setFont(scaled(form.font(), fontPercent));
    }
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(settled(&form));
    const QString problem = textsProblem(&form, texts);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void TstValueWidths::aboutTexts() {
    testsupport::TestEnvironment t;
    shell::Form4 about(t.env.browser, t.env.addresses.forum);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    const QList<QLabel*> labels = about.findChildren<QLabel*>();
    QVERIFY(labels.size() > 10);
    for (QLabel* label : labels) {
        if (label->text().isEmpty()) {
            continue;  // the logo
        }
        const QString problem = labelProblem(label, label->text());
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        // Placed by position: no text may cover another.
        for (QLabel* other : labels) {
            if (other != label && !other->text().isEmpty()) {
                QVERIFY2(!label->geometry().intersects(other->geometry()),
                         qPrintable(label->objectName() + QStringLiteral(" covers ") +
                                    other->objectName()));
            }
        }
    }
}

QTEST_MAIN(TstValueWidths)
#include "tst_value_widths.moc"
