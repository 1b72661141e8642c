// The progress list's columns, measured in the fonts of this machine: every time and every
// line number of a real answer shows whole, at any scale factor and after the font or the
// style changes. Run at QT_SCALE_FACTOR 1 and 2 (see CMakeLists.txt).
#include <QFontDatabase>
#include <QHeaderView>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTest>

#include "support/main_window_fixture.h"
#include "support/painted_text.h"

using testsupport::MainWindowFixture;
using testsupport::PaintedTexts;

namespace {

constexpr int kTimeColumn = 1;
constexpr int kNumberColumn = 0;
constexpr int kProgressColumn = 2;

// The widest answer there is: 32,767 rows, so the bottom lines carry five-digit numbers.
// Times run through many digits; the progress texts hold none, so that a number or a time
// is never found inside one of them.
QString widestAnswer() {
    QList<QPair<QString, QString>> steps;
    const QDateTime first(QDate(2026, 1, 1), QTime(0, 0, 0));
    const QStringList progress = {QStringLiteral("已揽收"), QStringLiteral("已到达转运中心"),
                                  QStringLiteral("快件已发车，下一站 上海浦东集散中心"),
                                  QStringLiteral("已签收，签收人：本人")};
    for (int i = 0; i < 32766; ++i) {
        steps.append(
            {first.addSecs(qint64(i) * 4321 + 3333).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
             progress.at(i % progress.size())});
    }
    steps.append({QStringLiteral("2026-12-03 15:21:33"), QStringLiteral("已签收")});
    return MainWindowFixture::rows(steps);
}

// Makes every cell need more room than the standard style gives it.
class WideMarginStyle : public QProxyStyle {
public:
    WideMarginStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_FocusFrameHMargin) {
            return 12;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

class TstColumns : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void timesAndNumbersShowWhole();
    void progressTakesTheRest();
    void fontChangeRefitsTheColumns_data();
    void fontChangeRefitsTheColumns();
    void styleChangeRefitsTheColumns();

private:
    // Every visible cell of the time and number columns fits its column and is painted
    // whole; the header's texts too.
    void checkVisibleCellsFit(const char* where);
    QList<int> widths() const;

    std::unique_ptr<MainWindowFixture> f;
    app::Form1* form = nullptr;
    platform::ListView* list = nullptr;
};

void TstColumns::initTestCase() {
    // The widths only mean something in the fonts a user sees.
    QVERIFY2(!QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty(),
             "no Chinese font on this machine (Debian: fonts-droid-fallback)");
    qInfo("scale factor %s, font %s %gpt, logical DPI %d",
          qgetenv("QT_SCALE_FACTOR").isEmpty() ? "unset" : qgetenv("QT_SCALE_FACTOR").constData(),
          qPrintable(QApplication::font().family()), QApplication::font().pointSizeF(),
          QApplication::primaryScreen()->logicalDotsPerInch() > 0
              ? int(QApplication::primaryScreen()->logicalDotsPerInch())
              : 0);
}

void TstColumns::init() {
    f = std::make_unique<MainWindowFixture>();
    f->answer(widestAnswer());
    form = f->open();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    list = form->controls().ListView1;
    f->query(QStringLiteral("SF1001"), QStringLiteral("顺丰快递"), QStringLiteral("衣服"));
    QCOMPARE(list->count(), 32767);
}

void TstColumns::cleanup() {
    form = nullptr;
    list = nullptr;
    f.reset();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

QList<int> TstColumns::widths() const {
    QList<int> result;
    for (int i = 0; i < list->header()->count(); ++i) {
        result.append(list->header()->sectionSize(i));
    }
    return result;
}

void TstColumns::checkVisibleCellsFit(const char* where) {
    QCoreApplication::processEvents();
    QHeaderView* header = list->header();
    for (const bool bottom : {false, true}) {
        if (bottom) {
            list->scrollToBottom();
        } else {
            list->scrollToTop();
        }
        QCoreApplication::processEvents();
        const int first = list->indexAt(QPoint(1, 1)).row();
        QVERIFY(first >= 0);
        const PaintedTexts painted(list->viewport());
        int needed[2] = {0, 0};
        // The lines shown whole.
        const auto shown = [this](int row) {
            return row < list->count() && list->visualRect(list->model()->index(row, 0)).bottom() <
                                              list->viewport()->height();
        };
        for (int row = first; shown(row); ++row) {
            for (const int column : {kNumberColumn, kTimeColumn}) {
                const QModelIndex cell = list->model()->index(row, column);
                const QString text = list->text(row, column);
                needed[column] = std::max(needed[column], list->sizeHintForIndex(cell).width());
                QVERIFY2(list->sizeHintForIndex(cell).width() <= header->sectionSize(column),
                         qPrintable(QStringLiteral("%1: \"%2\" needs %3 px, its column has %4")
                                        .arg(where, text)
                                        .arg(list->sizeHintForIndex(cell).width())
                                        .arg(header->sectionSize(column))));
                QVERIFY2(painted.contains(text),
                         qPrintable(QStringLiteral("%1: \"%2\" is not drawn whole; drawn: %3")
                                        .arg(where, text, painted.texts().join(u'|').left(400))));
            }
        }
        qInfo(
            "%s, %s lines %d..: 序号 cells need %d px (header %d), has %d; 时间 cells need "
            "%d px (header %d), has %d; 物流进度 header needs %d px, has %d; viewport %d px",
            where, bottom ? "bottom" : "top", first + 1, needed[0], header->sectionSizeHint(0),
            header->sectionSize(0), needed[1], header->sectionSizeHint(1), header->sectionSize(1),
            header->sectionSizeHint(2), header->sectionSize(2), list->viewport()->width());
    }
    const PaintedTexts headerTexts(header->viewport());
    for (int column = 0; column < header->count(); ++column) {
        const QString title = list->model()->headerData(column, Qt::Horizontal).toString();
        QVERIFY2(header->sectionSizeHint(column) <= header->sectionSize(column),
                 qPrintable(QStringLiteral("%1: header %2 needs %3 px, has %4")
                                .arg(where, title)
                                .arg(header->sectionSizeHint(column))
                                .arg(header->sectionSize(column))));
        QVERIFY2(headerTexts.contains(title), qPrintable(headerTexts.texts().join(u'|')));
    }
}

void TstColumns::timesAndNumbersShowWhole() {
    checkVisibleCellsFit("as opened");
}

void TstColumns::progressTakesTheRest() {
    // The window opens wide enough for all three columns: nothing to scroll sideways, no
    // gap after the last column.
    QHeaderView* header = list->header();
    QCOMPARE(header->length(), list->viewport()->width());
    QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
    // A wider window gives the room to the progress column alone.
    const QList<int> before = widths();
    form->resize(form->width() + 200, form->height());
    QCoreApplication::processEvents();
    QCOMPARE(header->sectionSize(kNumberColumn), before.at(kNumberColumn));
    QCOMPARE(header->sectionSize(kTimeColumn), before.at(kTimeColumn));
    QVERIFY(header->sectionSize(kProgressColumn) > before.at(kProgressColumn));
    QCOMPARE(header->length(), list->viewport()->width());
    // The narrowest window never squeezes a column below its least width.
    form->resize(100, form->height());
    QCoreApplication::processEvents();
    QCOMPARE(header->sectionSize(kNumberColumn), before.at(kNumberColumn));
    QCOMPARE(header->sectionSize(kTimeColumn), before.at(kTimeColumn));
    QVERIFY(header->sectionSize(kProgressColumn) >= (5200 * list->logicalDpiX() + 720) / 1440);
    checkVisibleCellsFit("narrowest window");
}

void TstColumns::fontChangeRefitsTheColumns_data() {
    // Larger text as a user with weak sight chooses it (Windows' "Make text bigger"); at
    // 160 % the standard 9 pt font is 19.2 px high, between whole pixels.
    QTest::addColumn<int>("percent");
    for (const int percent : {125, 150, 160, 200}) {
        QTest::addRow("%d %%", percent) << percent;
    }
}

void TstColumns::fontChangeRefitsTheColumns() {
    QFETCH(int, percent);
    QFont font = form->font();
    font.setPointSizeF(font.pointSizeF() * percent / 100);
    form->setFont(font);
    checkVisibleCellsFit(qPrintable(QStringLiteral("font at %1 %").arg(percent)));
}

void TstColumns::styleChangeRefitsTheColumns() {
    QApplication::setStyle(new WideMarginStyle);
    checkVisibleCellsFit("wider cell margins");
}

QTEST_MAIN(TstColumns)
#include "tst_columns.moc"
