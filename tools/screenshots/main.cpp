// Takes the README's screenshots from the real windows: the main window after a query, the
// quick search, the branch lookup and the about window, against the sample service.
// Run it under a real display (tools/screenshots.sh uses Xvfb).
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <cstdio>

#include "app/main_window.h"
#include "branch/form5.h"
#include "platform/platforms.h"
#include "sample_service.h"
#include "search/form2.h"
#include "shell/form4.h"
#include "support/stand_ins.h"

namespace {

void settle() {
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

bool save(QWidget* window, const QString& path) {
    settle();
    // The whole window with its frame, as the screen shows it.
    QScreen* screen = window->screen();
    const QRect frame = window->frameGeometry();
    QPixmap shot = screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    if (shot.isNull()) {
        shot = window->grab();
    }
    const bool ok = shot.save(path);
    printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);

    sample::SampleService service;
    const quint16 port = service.listen();
    if (port == 0) {
        fprintf(stderr, "the sample service cannot listen\n");
        return 1;
    }
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(port);

    // Real boxes and dialogs; the browser and the sound only record.
    const QString programFolder = QCoreApplication::applicationDirPath();
    platform::DesktopPlatform desktop(programFolder);
    testsupport::RecordingBrowserLauncher browser;
    testsupport::RecordingMediaPlayer player;
    platform::Environment env = platform::environmentOf(desktop, programFolder);
    env.browser = &browser;
    env.player = &player;
    env.addresses.tracking = QUrl(base + QStringLiteral("/"));
    env.addresses.update = QUrl(base + QStringLiteral("/jc.txt"));
    env.addresses.branchSite = QUrl(base);

    app::Form1 form(env);
    form.show();
    settle();
    form.controls().Timer3->fire();
    form.controls().Text1->setText(sample::SampleService::signedNumber());
    form.controls().Combo1->setText(QStringLiteral("顺丰快递"));
    form.controls().Text2->setText(QStringLiteral("爸爸衣服"));
    form.Command1_Click();
    form.controls().Timer1->fire();
    bool ok = save(&form, out + QStringLiteral("/main-window.png"));

    search::Form2 quickSearch(form.controls().Combo1, env.boxes, &form);
    quickSearch.show();
    quickSearch.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("顺丰"));
    ok = save(&quickSearch, out + QStringLiteral("/quick-search.png")) && ok;
    quickSearch.hide();

    branch::Form5 lookup(env, &form);
    lookup.show();
    lookup.findChild<QLineEdit*>(QStringLiteral("Text1"))
        ->setText(sample::SampleService::sampleBranch());
    lookup.Command1_Click();
    ok = save(&lookup, out + QStringLiteral("/branch-lookup.png")) && ok;
    lookup.hide();

    shell::Form4 about(env.browser, env.addresses.forum, &form);
    about.show();
    ok = save(&about, out + QStringLiteral("/about.png")) && ok;
    about.hide();
    return ok ? 0 : 1;
}
