// The fetch that does not wait and the queue that runs a few at once, against HTTP services on
// 127.0.0.1: how many requests are open at once, a server that never ends, stopping, the event
// loop left free, and the same statuses as the waiting fetch.
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <functional>

#include "base/text_codec.h"
#include "platform/controls/gate.h"
#include "platform/net/fetch_queue.h"
#include "platform/net/http_fetch.h"
#include "support/test_http_server.h"

using platform::AsyncFetch;
using platform::FetchQueue;
using platform::FetchResult;
using Status = platform::FetchResult::Status;
using testsupport::TestHttpServer;
using namespace std::chrono_literals;

// Sets the service's answer up and may change the address fetched.
using ServeAndAim = std::function<void(TestHttpServer&, QUrl&)>;
Q_DECLARE_METATYPE(ServeAndAim)
Q_DECLARE_METATYPE(TestHttpServer::Response)
Q_DECLARE_METATYPE(platform::FetchResult::Status)

namespace {

// Jobs named after their paths.
QList<FetchQueue::Job> jobsFor(const TestHttpServer& server, const QStringList& paths) {
    QList<FetchQueue::Job> jobs;
    for (const QString& path : paths) {
        jobs.append({path, server.url(path)});
    }
    return jobs;
}

// Every answer of a queue, by key, in the order they came.
struct Answers {
    explicit Answers(FetchQueue& queue) {
        QObject::connect(&queue, &FetchQueue::answered,
                         [this](const QString& key, const FetchResult& result) {
                             keys.append(key);
                             results.insert(key, result);
                         });
        QObject::connect(&queue, &FetchQueue::progress, [this](int done, int total) {
            progress.append({done, total});
        });
    }
    QStringList keys;
    QHash<QString, FetchResult> results;
    QList<QPair<int, int>> progress;
};

TestHttpServer::Response silent() {
    TestHttpServer::Response response;
    response.neverAnswer = true;
    return response;
}

}  // namespace

class TstFetchQueue : public QObject {
    Q_OBJECT

private slots:
    void init() {
        server = std::make_unique<TestHttpServer>();
        QVERIFY(server->start());
    }
    void cleanup() { server.reset(); }

    void sixJobsRunAtMostFourAtOnce();
    void aServerThatNeverEndsHoldsUpNoOtherJob_data();
    void aServerThatNeverEndsHoldsUpNoOtherJob();
    void stopEndsWhatRunsAndDropsWhatWaits_data();
    void stopEndsWhatRunsAndDropsWhatWaits();
    void theEventLoopRunsFreeWhileFetching();
    void sameStatusesAsTheWaitingFetch_data();
    void sameStatusesAsTheWaitingFetch();
    void abortClosesTheConnectionAndEndsOnce();

private:
    platform::QtHttpTransport network;
    std::unique_ptr<TestHttpServer> server;
};

void TstFetchQueue::sixJobsRunAtMostFourAtOnce() {
    const QStringList paths = {"/1", "/2", "/3", "/4", "/5", "/6"};
    // The first four slow enough to be open together, and ending 300 ms apart, so that the
    // places come free one at a time (two jobs started at once may reach the server in
    // either order).
    const QList<int> delays = {1000, 1300, 1600, 1900, 100, 100};
    for (int i = 0; i < paths.size(); ++i) {
        TestHttpServer::Response slow =
            TestHttpServer::Response::text("answer " + paths.at(i).toUtf8());
        slow.delayMs = delays.at(i);
        server->setResponse(paths.at(i).toUtf8(), slow);
    }
    FetchQueue queue(&network);
    Answers answers(queue);
    queue.add(jobsFor(*server, paths));
    QVERIFY(queue.isBusy());
    QTRY_COMPARE_WITH_TIMEOUT(answers.keys.size(), 6, 30000);

    QCOMPARE(server->maxInFlight(), 4);
    // The first four asked at once, the other two as places came free, in the order given.
    QStringList asked;
    for (const TestHttpServer::Request& request : server->requests()) {
        asked.append(QString::fromUtf8(request.path));
    }
    QStringList firstFour = asked.mid(0, 4);
    firstFour.sort();
    QCOMPARE(firstFour, paths.mid(0, 4));
    QCOMPARE(asked.mid(4), paths.mid(4));
    for (const QString& path : paths) {
        QVERIFY(answers.results.value(path).ok());
        QCOMPARE(answers.results.value(path).text, "answer " + path);
    }
    QCOMPARE(answers.progress.size(), 6);
    QCOMPARE(answers.progress.last(), qMakePair(6, 6));
    QVERIFY(!queue.isBusy());
}

void TstFetchQueue::aServerThatNeverEndsHoldsUpNoOtherJob_data() {
    QTest::addColumn<TestHttpServer::Response>("stuck");
    QTest::newRow("never answers") << silent();
    // A byte now and then: the silence limit alone would never end it.
    TestHttpServer::Response drip = TestHttpServer::Response::text(QByteArray(1000, 'x'));
    drip.dripIntervalMs = 100;
    QTest::newRow("drips") << drip;
}

void TstFetchQueue::aServerThatNeverEndsHoldsUpNoOtherJob() {
    QFETCH(TestHttpServer::Response, stuck);
    server->setResponse("/stuck", stuck);
    server->setDefault(TestHttpServer::Response::text("ok"));
    platform::FetchOptions options;
    options.totalLimit = 3s;
    // Two places: the stuck job holds one, the five others pass through the other.
    FetchQueue queue(&network, options, 2);
    Answers answers(queue);
    QElapsedTimer clock;
    clock.start();
    queue.add(jobsFor(*server, {"/stuck", "/a", "/b", "/c", "/d", "/e"}));

    QTRY_COMPARE_WITH_TIMEOUT(answers.keys.size(), 5, 20000);
    QVERIFY2(!answers.keys.contains("/stuck"), "the others came only after the stuck one");
    for (const QString& key : answers.keys) {
        QVERIFY(answers.results.value(key).ok());
    }
    QTRY_COMPARE_WITH_TIMEOUT(answers.keys.size(), 6, 20000);
    QCOMPARE(answers.results.value("/stuck").status, Status::TimedOut);
    // At its limit, not before (a coarse timer may fire a little early).
    QVERIFY(clock.elapsed() >= 2700);
}

void TstFetchQueue::stopEndsWhatRunsAndDropsWhatWaits_data() {
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<bool>("onAnAnswer");  // by a receiver of the first answer
    QTest::newRow("stop()") << false << false;
    QTest::newRow("queue deleted") << true << false;
    QTest::newRow("stop() on an answer") << false << true;
    QTest::newRow("queue deleted on an answer") << true << true;
}

void TstFetchQueue::stopEndsWhatRunsAndDropsWhatWaits() {
    QFETCH(bool, deleted);
    QFETCH(bool, onAnAnswer);
    server->setDefault(silent());
    if (onAnAnswer) {
        server->setResponse("/1", TestHttpServer::Response::text("ok"));
    }
    auto queue = std::make_unique<FetchQueue>(&network);
    Answers answers(*queue);
    const auto end = [&] {
        if (deleted) {
            queue.reset();
        } else {
            queue->stop();
        }
    };
    const QMetaObject::Connection ending =
        onAnAnswer ? connect(queue.get(), &FetchQueue::answered, this, end)
                   : QMetaObject::Connection();
    queue->add(jobsFor(*server, {"/1", "/2", "/3", "/4", "/5", "/6"}));
    if (onAnAnswer) {
        QTRY_COMPARE(answers.keys.size(), 1);
    } else {
        QTRY_COMPARE(server->inFlight(), 4);
        end();
    }
    QVERIFY(deleted || !queue->isBusy());
    // The server sees the open connections closed.
    QTRY_COMPARE(server->inFlight(), 0);

    // A new round after a stop (in a new queue, after a deletion) counts from zero. Its request
    // comes after any that the waiting jobs would have sent, and its answer after any of the
    // stopped round.
    disconnect(ending);
    server->setDefault(TestHttpServer::Response::text("ok"));
    FetchQueue fresh(&network);
    FetchQueue* again = deleted ? &fresh : queue.get();
    Answers answersAgain(*again);
    again->add(jobsFor(*server, {"/again"}));
    QTRY_COMPARE(answersAgain.keys, QStringList{"/again"});
    QCOMPARE(answersAgain.progress, (QList<QPair<int, int>>{{1, 1}}));
    QCOMPARE(server->requests().last().path, QByteArray("/again"));
    QStringList asked;
    for (const TestHttpServer::Request& request : server->requests()) {
        asked.append(QString::fromUtf8(request.path));
    }
    // The waiting jobs were never asked (on an answer, the place it freed may have been taken
    // just before the stop).
    QVERIFY2(!asked.contains("/6") && (onAnAnswer || !asked.contains("/5")),
             qPrintable(asked.join(u' ')));
    QStringList answered = onAnAnswer ? QStringList{"/1"} : QStringList();
    if (!deleted) {
        answered.append("/again");
    }
    QCOMPARE(answers.keys, answered);
    QCOMPARE(answers.progress.size(), deleted ? 0 : 1);
}

void TstFetchQueue::theEventLoopRunsFreeWhileFetching() {
    TestHttpServer::Response slow = TestHttpServer::Response::text("ok");
    slow.delayMs = 500;
    server->setDefault(slow);
    // QTRY_* waits by processing events, without an event loop of its own: a tick seen inside
    // an event loop came from a loop that a fetch ran.
    int ticks = 0;
    int deepestLoop = 0;
    QTimer zero;
    connect(&zero, &QTimer::timeout, this, [&] {
        ++ticks;
        deepestLoop = std::max(deepestLoop, QThread::currentThread()->loopLevel());
    });
    zero.start(0);
    int ticksAtFirstRequest = -1;
    connect(server.get(), &TestHttpServer::requestReceived, this, [&] {
        if (ticksAtFirstRequest < 0) {
            ticksAtFirstRequest = ticks;
        }
    });
    FetchQueue queue(&network);
    Answers answers(queue);
    queue.add(jobsFor(*server, {"/1", "/2", "/3"}));
    QTRY_COMPARE_WITH_TIMEOUT(answers.keys.size(), 3, 20000);
    QVERIFY(ticksAtFirstRequest >= 0);
    QVERIFY2(ticks - ticksAtFirstRequest >= 3, "the timer stood still while the server waited");
    QCOMPARE(deepestLoop, 0);
}

void TstFetchQueue::sameStatusesAsTheWaitingFetch_data() {
    QTest::addColumn<ServeAndAim>("arrange");
    QTest::addColumn<Status>("status");
    QTest::addColumn<QString>("text");
    const QString chinese = QStringLiteral("已签收");
    QTest::newRow("GBK without a charset") << ServeAndAim([=](TestHttpServer& server, QUrl&) {
        server.setResponse("/", TestHttpServer::Response::text(base::toGbk(chinese).value()));
    }) << Status::Ok << chinese;
    QTest::newRow("redirect within the scheme") << ServeAndAim([](TestHttpServer& server, QUrl&) {
        server.setResponse("/", TestHttpServer::Response::redirect("/new"));
        server.setResponse("/new", TestHttpServer::Response::text("moved"));
    }) << Status::Ok << QStringLiteral("moved");
    QTest::newRow("over the cap, no length") << ServeAndAim([](TestHttpServer& server, QUrl&) {
        TestHttpServer::Response big = TestHttpServer::Response::text(QByteArray(5000, 'x'));
        big.sendContentLength = false;
        server.setResponse("/", big);
    }) << Status::TooLarge << QString();
    QTest::newRow("redirect to https") << ServeAndAim([](TestHttpServer& server, QUrl&) {
        server.setResponse("/", TestHttpServer::Response::redirect(
                                    "https://127.0.0.1:" + QByteArray::number(server.port())));
    }) << Status::RedirectRefused << QString();
    QTest::newRow("500") << ServeAndAim([](TestHttpServer& server, QUrl&) {
        server.setResponse("/", TestHttpServer::Response::withStatus(500, "boom"));
    }) << Status::HttpError
                         << QString();
    QTest::newRow("drips past the limit") << ServeAndAim([](TestHttpServer& server, QUrl&) {
        TestHttpServer::Response drip = TestHttpServer::Response::text(QByteArray(900, 'x'));
        drip.dripIntervalMs = 50;
        server.setResponse("/", drip);
    }) << Status::TimedOut << QString();
    QTest::newRow("closed port") << ServeAndAim([](TestHttpServer&, QUrl& url) {
        url = QUrl(QStringLiteral("http://127.0.0.1:9/"));
    }) << Status::Failed << QString();
    QTest::newRow("not http") << ServeAndAim([](TestHttpServer&, QUrl& url) {
        url = QUrl(QStringLiteral("ftp://127.0.0.1/"));
    }) << Status::Failed << QString();
}

void TstFetchQueue::sameStatusesAsTheWaitingFetch() {
    QFETCH(ServeAndAim, arrange);
    QFETCH(Status, status);
    QFETCH(QString, text);
    QUrl url = server->url();
    arrange(*server, url);
    platform::FetchOptions options;
    options.totalLimit = 1500ms;
    options.maxBodyBytes = 1000;

    platform::UiGate gate;
    platform::HttpFetch waiting(&network, &gate);
    const FetchResult waited = waiting.get(url, options, platform::HttpFetch::Wait::BlockHandlers);

    AsyncFetch fetch(&network);
    QSignalSpy finished(&fetch, &AsyncFetch::finished);
    fetch.start(url, options);
    QCOMPARE(finished.count(), 0);  // never from within start()
    QVERIFY(fetch.isRunning());
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
    const auto result = finished.at(0).at(0).value<FetchResult>();
    QCOMPARE(result.status, status);
    QCOMPARE(result.text, text);
    QCOMPARE(waited.status, result.status);
    QCOMPARE(waited.text, result.text);
    QCOMPARE(waited.httpStatus, result.httpStatus);
    QVERIFY(!fetch.isRunning());
    QTest::qWait(100);
    QCOMPARE(finished.count(), 1);
}

void TstFetchQueue::abortClosesTheConnectionAndEndsOnce() {
    server->setDefault(silent());
    AsyncFetch fetch(&network);
    QSignalSpy finished(&fetch, &AsyncFetch::finished);
    fetch.start(server->url(), {});
    QTRY_COMPARE(server->inFlight(), 1);
    fetch.abort();
    QCOMPARE(finished.count(), 0);  // never from within abort()
    fetch.abort();
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).value<FetchResult>().status, Status::Abandoned);
    QTRY_COMPARE(server->inFlight(), 0);
    fetch.abort();
    QTest::qWait(100);
    QCOMPARE(finished.count(), 1);
}

QTEST_MAIN(TstFetchQueue)
#include "tst_fetch_queue.moc"
