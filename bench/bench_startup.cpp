// Start-up: from process start to the main window loaded and painted, beside a minimal Qt
// Widgets window. Each run starts one process and ends as soon as its window has been
// painted, so whole-process timings compare the two start-ups:
//
//   bench_startup --minimal            a QWidget with one label
//   bench_startup [program folder]     the main window (with the skin and sounds found in
//                                      the program folder, default: the build's bin/)
//   bench_startup --idle-rss [folder]  the main window left idle for two seconds, then its
//                                      resident memory printed in KiB
//
// See bench/README.md for the commands that compare them.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <cstdio>

#include "app/main_window.h"
#include "platform/platforms.h"

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

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    FirstPaint firstPaint;

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
    const QString folder = args.value(idle ? 1 : 0, QStringLiteral(TRACKORO_PROGRAM_DIR));
    platform::DesktopPlatform desktop;
    platform::Environment env = platform::environmentOf(desktop, folder);
    // Nothing answers here: the update check is not part of the start-up measured.
    env.addresses.update = QUrl(QStringLiteral("http://127.0.0.1:9/jc.txt"));

    app::Form1 form(env);
    if (idle) {
        form.controls().Timer3->setEnabled(false);
        form.show();
        QTimer::singleShot(2000, &application, [] {
            printf("idle resident memory: %ld KiB\n", residentKiB());
            QCoreApplication::exit(0);
        });
        return QApplication::exec();
    }
    form.installEventFilter(&firstPaint);
    form.show();
    return QApplication::exec();
}
