// Start-up: from process start to the main window loaded and painted, beside a minimal Qt
// Widgets window. Each run starts one process and ends as soon as its window has been
// painted, so whole-process timings compare the two start-ups:
//
//   bench_startup --minimal            a QWidget with one label
//   bench_startup --bare               a bare QMainWindow
//   bench_startup --label              a QMainWindow showing one QLabel of Chinese text
//   bench_startup --untranslated       the main window without Qt's translation (what it costs)
//   bench_startup [program folder]     the main window (with the skin and sounds found in
//                                      the program folder, default: the build's bin/)
//   bench_startup --idle-rss [folder]  the main window left idle for two seconds, then its
//                                      resident memory printed in KiB
//
// The same source also builds bench_startup_bare, which links Qt Widgets only and knows
// just --bare and --label: a bare window that loads no library it does not use.
// bench/startup.sh runs them alternating and prints medians and ratios; see bench/README.md.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QTimer>
#include <cstdio>

#ifndef TRACKORO_BENCH_BARE_ONLY
#include "app/main_window.h"
#include "platform/platforms.h"
#include "platform/system/qt_translation.h"
#endif

namespace {

// Quits once the watched window has painted.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return QObject::eventFilter(watched, event);
    }
};

#ifndef TRACKORO_BENCH_BARE_ONLY
long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}
#endif

// Prints, with --marks, the time since main() began at each step.
class Marks {
public:
    explicit Marks(bool on) : on_(on) { clock_.start(); }
    void mark(const char* step) {
        if (on_) {
            fprintf(stderr, "%8.2f ms  %s\n", clock_.nsecsElapsed() / 1e6, step);
        }
    }

private:
    bool on_;
    QElapsedTimer clock_;
};

// Quits once the watched window has painted, marking the paint's end.
class MarkedFirstPaint : public QObject {
public:
    explicit MarkedFirstPaint(Marks& marks) : marks_(marks) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            QTimer::singleShot(0, qApp, [this] {
                marks_.mark("first paint done");
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    Marks& marks_;
};

}  // namespace

int main(int argc, char** argv) {
    Marks marks(argc > 1 && qstrcmp(argv[1], "--marks") == 0);
    QApplication application(argc, argv);
    marks.mark("QApplication set up");
    const QStringList args = QCoreApplication::arguments().mid(1);
    FirstPaint firstPaint;

    if (args.value(0) == QLatin1String("--bare") || args.value(0) == QLatin1String("--label")) {
        QMainWindow window;
        if (args.value(0) == QLatin1String("--label")) {
            window.setCentralWidget(new QLabel(QStringLiteral("物流跟踪：快件单号、物流公司")));
        }
        window.resize(600, 600);
        window.installEventFilter(&firstPaint);
        window.show();
        return QApplication::exec();
    }

#ifndef TRACKORO_BENCH_BARE_ONLY
    if (args.value(0) == QLatin1String("--minimal")) {
        QWidget window;
        auto* label = new QLabel(QStringLiteral("物流跟踪"), &window);
        label->move(10, 10);
        window.resize(600, 600);
        window.installEventFilter(&firstPaint);
        window.show();
        return QApplication::exec();
    }

    const bool idle = args.value(0) == QLatin1String("--idle-rss");
    const bool marked = args.value(0) == QLatin1String("--marks");
    const bool untranslated = args.value(0) == QLatin1String("--untranslated");
    const QString folder =
        args.value(idle || marked || untranslated ? 1 : 0, QStringLiteral(TRACKORO_PROGRAM_DIR));
    if (!untranslated) {
        platform::installQtTranslation(application);
        marks.mark("Qt's translation installed");
    }
    platform::DesktopPlatform desktop{QStringLiteral(TRACKORO_PROGRAM_DIR)};
    marks.mark("outside world (network, sound, boxes) created");
    platform::Environment env = platform::environmentOf(desktop, folder);
    // Nothing answers here: the update check is not part of the start-up measured.
    env.addresses.update = QUrl(QStringLiteral("http://127.0.0.1:9/jc.txt"));

    app::Form1 form(env);
    marks.mark("main window built and loaded");
    if (idle) {
        form.controls().Timer3->setEnabled(false);
        form.show();
        QTimer::singleShot(2000, &application, [] {
            printf("idle resident memory: %ld KiB\n", residentKiB());
            QCoreApplication::exit(0);
        });
        return QApplication::exec();
    }
    MarkedFirstPaint markedPaint(marks);
    form.installEventFilter(&markedPaint);
    form.show();
    marks.mark("main window shown (layout, polish)");
    return QApplication::exec();
#else
    fprintf(stderr, "usage: bench_startup_bare --bare | --label\n");
    return 2;
#endif
}
