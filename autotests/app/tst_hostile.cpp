// The program against hostile services on 127.0.0.1: servers that loop, redirect to other
// schemes, send odd bytes, huge lines, too many rows or too large a body. The tracking query
// and the update check must each end in a clear, usable state, with nothing written to the
// history that does not belong there. Each fault of the transfer is revealed where the fetch
// is tested (tst_platform); here the program meets it whole, once, with its real cap.
#include <sys/resource.h>
#include <QFile>
#include <QTest>
#include <functional>

#include "support/main_window_fixture.h"
#include "support/painted_text.h"

using platform::MessageBoxes;
using testsupport::MainWindowFixture;
using testsupport::TestHttpServer;
using Response = testsupport::TestHttpServer::Response;

// A row's own check of what the service saw; empty for none.
using ServiceCheck = std::function<void(const TestHttpServer&)>;
Q_DECLARE_METATYPE(ServiceCheck)
// Sets the tracking service up for a row; may leave a file for it to point at.
using Arrange = std::function<void(MainWindowFixture&)>;
Q_DECLARE_METATYPE(Arrange)

namespace {

const QString kTransferFailed = QStringLiteral("查询失败,请检查网络连接!");
const QString kDone = QStringLiteral("查询完毕...");
const QString kNoRows = QStringLiteral("暂无物流信息,请稍后再试!");
const QString kUpdateFailed = QStringLiteral("检测更新失败!请您稍后再试,暂时使用原版");
const QString kLoaded = QStringLiteral("程序已加载完毕...");
const QByteArray kSavedEntry = base::toGbk(QStringLiteral("SF123|顺丰快递|爸爸衣服\r\n")).value();

// Short enough to keep the suite quick, long enough for a local answer.
constexpr std::chrono::milliseconds kShortLimit{1500};
constexpr qint64 kCap = 16 * 1024 * 1024;
constexpr qint64 kTenMiB = 10 * 1024 * 1024;

// The bytes of a literal, NUL bytes included.
template <std::size_t N>
QByteArray bytes(const char (&literal)[N]) {
    return QByteArray(literal, N - 1);
}

QByteArray gbkRows(int count) {
    return base::toGbk(MainWindowFixture::rowsOf(count)).value();
}

// A body of exactly `size` bytes: spaces in front of three rows.
QByteArray rowsPaddedTo(qint64 size) {
    const QByteArray rows = gbkRows(3);
    return QByteArray(size - rows.size(), ' ') + rows;
}

// The process's resident memory figures from /proc/self/status, in KiB.
qint64 statusKiB(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key)) {
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return -1;
}

// Starts a new peak: the high-water mark of resident memory is set back to what is
// resident now. False where the kernel does not offer it.
bool resetPeakResident() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

// A page that makes the literal parse build many distinct long texts. Rows whose progress
// cell does not exist repeat the text before them with the two removals run again; the
// text here holds markers nested so that every removal glues a new one together, so every
// pass changes it again. Half the rows have no cell of their own. `nests` such markers
// stand side by side, followed by `filler` bytes.
QByteArray gluingPage(int nests, qint64 filler) {
    constexpr int kRows = 16383;  // rows 8192..16383 have no progress cell
    constexpr int kDepth = 8193;  // every one of those passes removes one layer
    QByteArray nest;
    nest.reserve(14 * (kDepth + 1));
    for (int i = 0; i < kDepth; ++i) {
        nest += "</td></tr";
    }
    nest += "</td></tr><tr>";
    for (int i = 0; i < kDepth; ++i) {
        nest += "><tr>";
    }
    QByteArray page = "<table>";
    for (int i = 1; i < kRows; ++i) {
        page += "<tr><td>";
    }
    // The progress cell of row 8191, the last row that has one.
    page += nest.repeated(nests);
    page += QByteArray(filler, 'x');
    page += "<tr><td>2026-01-01 10:00</td></tr></table>";
    return page;
}

// Bounds the address space for a scope, so that a run-away allocation fails in this
// process instead of exhausting the machine.
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(qint64 extraBytes) {
        getrlimit(RLIMIT_AS, &previous_);
        const qint64 now = statusKiB("VmSize") * 1024;
        if (now > 0) {
            rlimit limit = previous_;
            limit.rlim_cur = static_cast<rlim_t>(now + extraBytes);
            setrlimit(RLIMIT_AS, &limit);
        }
    }
    ~AddressSpaceLimit() { setrlimit(RLIMIT_AS, &previous_); }
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

private:
    rlimit previous_{};
};

}  // namespace

class TstHostile : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Tracking query: transfers that must fail
    void transferFails_data();
    void transferFails();
    void bodyAtTheCapIsRead();

    // Tracking query: answers that must be read as text
    void invalidGbkBytes();
    void nulBytes();
    void nulBytesWithoutRows();
    void tooManyRowMarkers();
    void tenMiBLine_data();
    void tenMiBLine();
    void gluingMarkersKeepMemoryBounded_data();
    void gluingMarkersKeepMemoryBounded();
    void longLineIsLaidOutInBoundedMemory();

    // Update check
    void updateCheck_data();
    void updateCheck();

private:
    app::Form1* open();
    void query();
    void expectIdle(const QString& status, bool pageKept = false);
    void expectNothingSaved();

    std::unique_ptr<MainWindowFixture> f;
    app::Form1* form = nullptr;
};

void TstHostile::init() {
    f = std::make_unique<MainWindowFixture>();
    f->t.env.limits.trackingTotal = kShortLimit;
    f->t.env.limits.updateTotal = kShortLimit;
}

void TstHostile::cleanup() {
    form = nullptr;
    f.reset();
}

// The limits are read when the window is made.
app::Form1* TstHostile::open() {
    form = f->open();
    return form;
}

void TstHostile::query() {
    f->query(QStringLiteral("SF123"), QStringLiteral("顺丰快递"), QStringLiteral("爸爸衣服"));
}

// Back in the idle state, with `status` on panel 2. An answer refused by one of the
// service's phrases stays as the result page until the next query; every other answer is
// let go.
void TstHostile::expectIdle(const QString& status, bool pageKept) {
    QCOMPARE(form->controls().S1->panelText(2), status);
    QVERIFY(form->controls().Command1->isEnabled());
    QVERIFY(!form->controls().Timer1->isEnabled());
    QCOMPARE(form->queryFlow()->resultPage().isEmpty(), !pageKept);
    QCOMPARE(form->queryFlow()->rowCount(), 0);
    QVERIFY(f->t.boxes.shown().isEmpty());
}

void TstHostile::expectNothingSaved() {
    QCOMPARE(form->controls().Text1->count(), 0);
    QVERIFY(!QFile::exists(f->t.programFile(QStringLiteral("wlnum.ini"))));
}

#define CHECK(call)                       \
    do {                                  \
        call;                             \
        if (QTest::currentTestFailed()) { \
            return;                       \
        }                                 \
    } while (false)

void TstHostile::transferFails_data() {
    // Each service would give rows, had its answer been taken.
    QTest::addColumn<Arrange>("arrange");
    // A row's check of how often the service was asked.
    QTest::addColumn<ServiceCheck>("serviceCheck");
    // Read to the close: the cap of the program itself, met by the body and not announced.
    QTest::newRow("over the cap, read to the close") << Arrange([](MainWindowFixture& f) {
        Response overCap = Response::text(rowsPaddedTo(kCap + 1));
        overCap.sendContentLength = false;
        f.server.setResponse("/", overCap);
    }) << ServiceCheck([](const TestHttpServer& server) { QCOMPARE(server.requestCount("/"), 1); });
    // Every answer sends the client back to the same path: followed a few times within the
    // scheme, then given up.
    QTest::newRow("redirect loop") << Arrange([](MainWindowFixture& f) {
        f.server.setHandler("/", [](const TestHttpServer::Request& request) {
            return Response::redirect("/?again=" + request.query + 'x');
        });
    }) << ServiceCheck([](const TestHttpServer& server) {
        QVERIFY(server.requestCount("/") >= 2);
        QVERIFY(server.requestCount("/") <= 6);
    });
    // A local file of rows is never read.
    QTest::newRow("redirect to a file") << Arrange([](MainWindowFixture& f) {
        const QString path = f.t.programFile(QStringLiteral("rows.html"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(gbkRows(3));
        file.close();
        f.server.setResponse("/", Response::redirect(QUrl::fromLocalFile(path).toEncoded()));
    }) << ServiceCheck([](const TestHttpServer& server) { QCOMPARE(server.requestCount("/"), 1); });
}

void TstHostile::transferFails() {
    QFETCH(Arrange, arrange);
    QFETCH(ServiceCheck, serviceCheck);
    CHECK(arrange(*f));
    open();
    query();
    CHECK(serviceCheck(f->server));
    QCOMPARE(form->controls().ListView1->count(), 0);
    CHECK(expectIdle(kTransferFailed));
    CHECK(expectNothingSaved());
}

void TstHostile::bodyAtTheCapIsRead() {
    Response r = Response::text(rowsPaddedTo(kCap));
    r.sendContentLength = false;
    f->server.setResponse("/", r);
    open();
    query();
    QCOMPARE(form->controls().ListView1->count(), 3);
    CHECK(expectIdle(kDone));
    QCOMPARE(f->historyBytes(), kSavedEntry);
}

void TstHostile::invalidGbkBytes() {
    // A lead byte without its trail byte (right before a marker, and at the very end), a
    // byte no GBK sequence starts with, a four-byte sequence cut short, a byte GBK leaves
    // unassigned.
    const QByteArray page = bytes(
        "<table><tr><td>2026-01-01 10:00\x81</td><td>\xff \xd2\xd1\xca\xd5\xbc\xfe</td></tr>"
        "<tr><td>2026-01-02 10:00</td><td>\x81\x30\x81 \xc9\xcf\xba\xa3</td></tr>"
        "<tr><td>2026-01-03\x80 10:00</td><td>\xc5\xc9\xcb\xcd\xd6\xd0</td></tr></table>\x81");
    f->server.setResponse("/", Response::text(page));
    open();
    query();
    // Every marker survives the decoding, and so does the readable text around the bad bytes.
    platform::ListView* list = form->controls().ListView1;
    QCOMPARE(list->count(), 3);
    QVERIFY2(list->text(2, 1).startsWith(QStringLiteral("2026-01-01 10:00")),
             qPrintable(list->text(2, 1)));
    QVERIFY2(list->text(2, 2).endsWith(QStringLiteral(" 已收件")), qPrintable(list->text(2, 2)));
    QVERIFY2(list->text(1, 2).endsWith(QStringLiteral(" 上海")), qPrintable(list->text(1, 2)));
    QVERIFY2(list->text(0, 1).startsWith(QStringLiteral("2026-01-03")) &&
                 list->text(0, 1).endsWith(QStringLiteral(" 10:00")),
             qPrintable(list->text(0, 1)));
    QVERIFY2(list->text(0, 2).startsWith(QStringLiteral("派送中")), qPrintable(list->text(0, 2)));
    QCOMPARE(form->controls().Label3->text(), QStringLiteral("快件状态：派件中"));
    CHECK(expectIdle(kDone));
    QCOMPARE(f->historyBytes(), kSavedEntry);
}

void TstHostile::nulBytes() {
    // NUL bytes are characters like any other: nothing is cut off at them.
    const QByteArray page = bytes(
        "\0<table><tr><td>2026-01-01\0 10:00</td><td>\xb5\xbd\xb4\xef\0\xc9\xcf\xba\xa3</td></tr>"
        "<tr><td>2026-01-02 10:00</td><td>\0\0\xd2\xd1\xc7\xa9\xca\xd5</td></tr></table>\0");
    QCOMPARE(page.count('\0'), 6);
    f->server.setResponse("/", Response::text(page));
    open();
    query();
    QCOMPARE(form->controls().ListView1->count(), 2);
    QCOMPARE(form->controls().ListView1->text(1, 1),
             QStringLiteral("2026-01-01") + QChar(0) + QStringLiteral(" 10:00"));
    QCOMPARE(form->controls().ListView1->text(1, 2),
             QStringLiteral("到达") + QChar(0) + QStringLiteral("上海"));
    QCOMPARE(form->controls().ListView1->text(0, 2),
             QString(2, QChar(0)) + QStringLiteral("已签收") + QChar(0));
    QCOMPARE(form->controls().Label3->text(), QStringLiteral("快件状态：已签收"));
    CHECK(expectIdle(kDone));
    QCOMPARE(f->historyBytes(), kSavedEntry);
}

void TstHostile::nulBytesWithoutRows() {
    // A phrase after a NUL byte is still found.
    f->server.setResponse(
        "/", Response::text(bytes("\0\0") + base::toGbk(QStringLiteral("单号格式错误")).value()));
    open();
    query();
    CHECK(expectIdle(QStringLiteral("单号格式错误!请检查!"), true));
    CHECK(expectNothingSaved());
    // Nothing but NUL bytes: an answer without rows.
    f->server.setResponse("/", Response::text(QByteArray(4096, '\0')));
    query();
    CHECK(expectIdle(kNoRows));
    QCOMPARE(form->controls().ListView1->count(), 0);
    QCOMPARE(f->historyBytes(), kSavedEntry);
}

void TstHostile::tooManyRowMarkers() {
    // 40,000 row markers: the 16-bit row counters stop at 32,767 instead of wrapping.
    f->server.setResponse("/", Response::text(gbkRows(40000)));
    open();
    query();
    platform::ListView* list = form->controls().ListView1;
    QCOMPARE(list->count(), 32767);
    QCOMPARE(list->text(0, 0), QStringLiteral("1"));
    QCOMPARE(list->text(1, 0), QStringLiteral("2"));
    QCOMPARE(list->text(32766, 0), QStringLiteral("32767"));
    // Every line has its own number: no wrap into negative or repeated numbers.
    for (int row = 0; row < list->count(); row += 997) {
        QCOMPARE(list->text(row, 0), QString::number(row + 1));
    }
    QCOMPARE(form->queryFlow()->currentLineCount(), 32767);
    QCOMPARE(form->controls().Label7->text(), QStringLiteral("是否更新：有更新"));
    CHECK(expectIdle(kDone));
    QCOMPARE(f->historyBytes(), kSavedEntry);
    // The window still draws the list, its first lines on top, and takes the next query.
    const testsupport::PaintedTexts drawn(list);
    QVERIFY2(drawn.contains(list->text(0, 2)), qPrintable(drawn.texts().join(u'|')));
    QVERIFY2(drawn.contains(list->text(1, 2)), qPrintable(drawn.texts().join(u'|')));
    f->answer(MainWindowFixture::rowsOf(2));
    query();
    QCOMPARE(list->count(), 2);
    QCOMPARE(form->controls().Label7->text(), QStringLiteral("是否更新：无更新"));
}

void TstHostile::tenMiBLine_data() {
    QTest::addColumn<bool>("inARow");
    QTest::newRow("one row with a 10 MiB progress text") << true;
    QTest::newRow("10 MiB without a row") << false;
}

void TstHostile::tenMiBLine() {
    QFETCH(bool, inARow);
    const QByteArray line(kTenMiB, 'x');
    const QByteArray page =
        inARow ? "<table><tr><td>2026-01-01 10:00</td><td>" + line + "</td></tr></table>" : line;
    f->server.setResponse("/", Response::text(page));
    open();
    query();
    if (inARow) {
        QCOMPARE(form->controls().ListView1->count(), 1);
        QCOMPARE(form->controls().ListView1->text(0, 1), QStringLiteral("2026-01-01 10:00"));
        QCOMPARE(form->controls().ListView1->text(0, 2).size(), line.size());
        CHECK(expectIdle(kDone));
        // Laying such a line out is longLineIsLaidOutInBoundedMemory's business; the list
        // is emptied so that closing the window does not lay it out again.
        form->controls().ListView1->clear();
    } else {
        QCOMPARE(form->controls().ListView1->count(), 0);
        CHECK(expectIdle(kNoRows));
    }
    QCOMPARE(f->historyBytes(), kSavedEntry);
}

void TstHostile::gluingMarkersKeepMemoryBounded_data() {
    QTest::addColumn<int>("nests");
    QTest::addColumn<qint64>("filler");
    QTest::newRow("many nested markers") << 140 << qint64(0);
    QTest::newRow("one nested marker in a long text") << 1 << qint64(16 * 1000 * 1000);
}

void TstHostile::gluingMarkersKeepMemoryBounded() {
    QFETCH(int, nests);
    QFETCH(qint64, filler);
    const QByteArray page = gluingPage(nests, filler);
    QVERIFY(page.size() <= kCap);
    f->server.setResponse("/", Response::text(page));
    open();

    const bool peakReset = resetPeakResident();
    const qint64 startKiB = statusKiB(peakReset ? "VmRSS" : "VmHWM");
    QVERIFY(startKiB > 0);
    qint64 peakKiB = -1;
    bool outOfMemory = false;
    {
        // Whatever happens, this process cannot take more than a few GiB.
        AddressSpaceLimit limit(qint64(4) << 30);
        try {
            query();
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
        peakKiB = statusKiB("VmHWM");
    }
    QVERIFY2(!outOfMemory, "the parse ran out of address space");
    QVERIFY(peakKiB > 0);
    const qint64 grownMiB = (peakKiB - startKiB) / 1024;
    qInfo("resident memory grew by %lld MiB during the query and parse", grownMiB);
    QVERIFY2(grownMiB < 512, qPrintable(QStringLiteral("grew by %1 MiB").arg(grownMiB)));
    QCOMPARE(form->controls().ListView1->count(), 16383);
    CHECK(expectIdle(kDone));
    QCOMPARE(f->historyBytes(), kSavedEntry);
    // The top lines hold texts of millions of characters; see
    // longLineIsLaidOutInBoundedMemory.
    form->controls().ListView1->clear();
}

void TstHostile::longLineIsLaidOutInBoundedMemory() {
    // One row whose progress text is 2 MiB long: the list shows a few dozen characters of
    // it, so laying the list out and drawing it should not cost memory in proportion.
    const QByteArray line(2 * 1024 * 1024, 'x');
    f->server.setResponse("/", Response::text("<table><tr><td>2026-01-01 10:00</td><td>" + line +
                                              "</td></tr></table>"));
    open();
    query();
    QCOMPARE(form->controls().ListView1->count(), 1);
    CHECK(expectIdle(kDone));

    const bool peakReset = resetPeakResident();
    const qint64 startKiB = statusKiB(peakReset ? "VmRSS" : "VmHWM");
    QVERIFY(startKiB > 0);
    form->controls().ListView1->doItemsLayout();
    form->controls().ListView1->grab();
    const qint64 peakKiB = statusKiB("VmHWM");
    form->controls().ListView1->clear();
    QVERIFY(peakKiB > 0);
    const qint64 grownMiB = (peakKiB - startKiB) / 1024;
    qInfo("laying out and drawing the line took %lld MiB", grownMiB);
    QVERIFY2(grownMiB < 64, qPrintable(QStringLiteral("grew by %1 MiB").arg(grownMiB)));
}

void TstHostile::updateCheck_data() {
    QTest::addColumn<QByteArray>("body");
    // Each body names a newer version if it were taken whole. (A drip, a reset or a redirect
    // loop fails the fetch: tst_platform; the window after a failed check: tst_form1.)
    QTest::newRow("10 MiB line") << QByteArray("V3.3") + QByteArray(kTenMiB, 'x');
    QTest::newRow("NUL after the label") << bytes("V3.3\0");
    QTest::newRow("NUL before the label") << bytes("\0V3.3");
    QTest::newRow("NUL in the label") << bytes("V3\0.3");
}

void TstHostile::updateCheck() {
    QFETCH(QByteArray, body);
    f->server.setResponse("/jc.txt", Response::text(body, "text/plain"));
    form = f->open(false);
    QVERIFY(!form->controls().Command1->isEnabled());
    form->controls().Timer3->fire();

    QVERIFY(!form->hasEnded());
    QCOMPARE(f->t.boxes.texts(), QStringList{kUpdateFailed});
    QCOMPARE(f->t.boxes.shown().first().icon, MessageBoxes::Icon::Exclamation);
    QVERIFY(f->t.browser.opened().isEmpty());
    QCOMPARE(form->controls().S1->panelText(2), kLoaded);
    QVERIFY(form->controls().Command1->isEnabled());
    QCOMPARE(form->controls().Command1->text(), QStringLiteral("开始查询"));
    QVERIFY(form->controls().Text1->isEnabled());
    QVERIFY(!form->controls().Timer3->isEnabled());
}

QTEST_MAIN(TstHostile)
#include "tst_hostile.moc"
