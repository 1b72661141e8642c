// Takes the README's screenshots from the real windows: the main window after a query, the
// quick search, the branch lookup, the about window and the list of every parcel, against
// the sample service. The history they make is kept in a temporary program folder.
// Run it under a real display (tools/screenshots.sh uses Xvfb).
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <cstdio>

#include "app/main_window.h"
#include "branch/form5.h"
#include "parcels/parcel_list_window.h"
#include "platform/platforms.h"
#include "sample_service.h"
#include "search/form2.h"
#include "shell/form4.h"
#include "support/stand_ins.h"
#include "watch/parcel_watch.h"

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

    // Real boxes and dialogs; the browser and the sound only record. The program folder is a
    // fresh one with the skin, so the numbers asked land in no one's history.
    QTemporaryDir folder;
    const QString programFolder = folder.path();
    QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/skinh.she"),
                folder.filePath(QStringLiteral("skinh.she")));
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

    // Every sample number queried once (so the history holds them), then the list refreshed
    // twice: the growing one has moved by then.
    const QStringList numbers = {
        sample::SampleService::signedNumber(), sample::SampleService::deliveringNumber(),
        sample::SampleService::transitNumber(), sample::SampleService::growingNumber()};
    const QStringList couriers = {QStringLiteral("顺丰快递"), QStringLiteral("圆通快递"),
                                  QStringLiteral("中通快递"), QStringLiteral("EMS快递")};
    const QStringList remarks = {QStringLiteral("爸爸衣服"), QStringLiteral("妈妈鞋子"),
                                 QStringLiteral("键盘"), QStringLiteral("书")};
    for (int i = 1; i < numbers.size(); ++i) {
        form.controls().Text1->setText(numbers.at(i));
        form.controls().Combo1->setText(couriers.at(i));
        form.controls().Text2->setText(remarks.at(i));
        form.Command1_Click();
        form.controls().Timer1->fire();
    }
    form.controls().Combo5->setListIndex(5);
    parcels::ParcelListWindow* list = form.parcelList();
    for (int round = 0; round < 2 && list != nullptr; ++round) {
        list->controls().refreshAll->click();
        while (form.parcelWatch()->isRefreshing()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
    }
    if (list != nullptr) {
        list->resize(980, 260);
        ok = save(list, out + QStringLiteral("/parcel-list.png")) && ok;
    }
    return ok ? 0 : 1;
}
