#include "app/main_window.h"

#include "app/query_flow.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>

#include "base/version.h"
#include "branch/form5.h"
#include "history/history_handlers.h"
#include "history/number_history.h"
#include "parcels/parcel_list_window.h"
#include "parcels/parcels_file.h"
#include "platform/controls/gate.h"
#include "platform/system/browser.h"
#include "platform/system/media_player.h"
#include "platform/system/message_boxes.h"
#include "platform/system/notifier.h"
#include "platform/system/skin.h"
#include "requery/requery.h"
#include "search/form2.h"
#include "shell/form4.h"
#include "shell/list_click.h"
#include "shell/list_filter.h"
#include "tracking/catalogue.h"
#include "watch/parcel_watch.h"

namespace app {

namespace {

constexpr int kKeyF8 = 119;

QStringList numbers(int from, int to) {
    QStringList list;
    list.reserve(to - from + 1);
    for (int i = from; i <= to; ++i) {
        list.append(QString::number(i));
    }
    return list;
}

}  // namespace

Form1::Form1(const platform::Environment& env, QWidget* parent)
    : QMainWindow(parent),
      env_(env),
      controls_(buildForm1Controls(this, env_)),
      Inet1(env_.network, env_.gate, env_.limits.maxBodyBytes) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Trackoro V3.2 - For Brennick特别版"));
    layoutForm1Controls(controls_, this, this);
    history_ = std::make_unique<history::NumberHistory>(controls_, env_.programFolder);
    history_->setChangedHandler([this] {
        if (watch_) {
            watch_->reloadHistory();
        }
    });
    queryFlow_ = new QueryFlow(controls_, env_, history_.get(), Inet1, this, this);
    connectModules();

    // Key preview: the window sees every key press before the focused control does.
    qApp->installEventFilter(this);

    Form_Load();
}

Form1::~Form1() {
    qApp->removeEventFilter(this);
}

void Form1::connectModules() {
    const Form1Controls& c = controls_;
    historyHandlers_ =
        new history::HistoryHandlers(c, history_.get(), env_.boxes, env_.saveDialog, this, this);
    connect(historyHandlers_, &history::HistoryHandlers::entryPicked, this, [this] {
        queryFlow_->resetLineCounts();
        Command1_Click();
    });
    connect(historyHandlers_, &history::HistoryHandlers::statusText, this, &Form1::status);

    connect(c.Combo1, &platform::ComboBox::clicked, this, &Form1::Combo1_Click);
    connect(c.Combo5, &platform::ComboBox::clicked, this, &Form1::Combo5_Click);
    connect(c.Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(c.Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(c.Timer1, &platform::Timer::tick, this, &Form1::Timer1_Timer);
    connect(c.Timer3, &platform::Timer::tick, this, &Form1::Timer3_Timer);
    connect(queryFlow_, &QueryFlow::statusText, this, &Form1::status);
    connect(queryFlow_, &QueryFlow::changeAlerted, this, &Form1::alertChange);

    requery_ = new requery::Requery(c, c.Text1, c.Combo1, {c.Command9, c.Command7, c.Command2},
                                    env_.boxes, env_.clock, this, this);
    connect(requery_, &requery::Requery::queryDue, this, &Form1::Command1_Click);
    if (env_.notifier) {
        connect(env_.notifier, &platform::Notifier::activated, this, &Form1::bringToFront);
        connect(requery_, &requery::Requery::armedChanged, env_.notifier,
                &platform::Notifier::setWatching);
    }

    listClick_ = new shell::ListClickHandler(c.ListView1, this);
    connect(listClick_, &shell::ListClickHandler::statusText, this, &Form1::status);
}

void Form1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!centred_) {
        centred_ = true;
        if (QScreen* screen = this->screen()) {
            const QRect area = screen->availableGeometry();
            move(area.center() - rect().center());
        }
        QTimer::singleShot(0, this, &Form1::resumeWatch);
    }
}

void Form1::status(const QString& text) {
    controls_.S1->setPanelText(kMessagePanel, text);
}

void Form1::alertChange() {
    if (!isActiveWindow()) {
        QApplication::alert(this);
    }
}

void Form1::bringToFront() {
    if (isMinimized()) {
        showNormal();
    }
    show();
    raise();
    activateWindow();
}

void Form1::Form_Load() {
    const Form1Controls& c = controls_;
    kdlb();

    platform::SkinEngine skin(this);
    skin.SkinH_AttachEx(env_.programFile(QStringLiteral("skinh.she")), QString());
    skin.SkinH_AdjustHSV(88, 0, 0);

    // Column widths stay as the program set them.
    shell::installListFilter(c.ListView1);

    c.W1->setUrl(env_.programFile(QStringLiteral("zeluna.mp3")));

    c.Combo2->appendItems(numbers(0, 23));
    c.Combo3->appendItems(numbers(0, 59));
    c.Combo4->appendItems(numbers(1, 360));
    c.Combo2->setListIndex(0);
    c.Combo3->setListIndex(0);

    setWindowIcon(QIcon());

    c.Combo5->appendItems({QStringLiteral("导出信息"), QStringLiteral("关于程序"),
                           QStringLiteral("访问论坛"), QStringLiteral("网点信息查询"),
                           QStringLiteral("Velmora官方网站"), QStringLiteral("全部快件")});

    c.S1->setPanelText(kHintPanel, QStringLiteral("查询提示："));
    status(QStringLiteral("程序检测更新中.."));
    c.S1->setPanelText(kVersionPanel, base::versionText());
    c.S1->setPanelText(kMakerPanel, QStringLiteral("Velmora出品"));
    c.S1->makeClockPanel(kClockPanel, env_.clock);
}

void Form1::kdlb() {
    controls_.Combo1->appendItems(tracking::courierNames());
    controls_.Frame2->setTitle(QStringLiteral("物流信息 [当前支持:%1家物流公司]F8快捷粘贴单号")
                                   .arg(controls_.Combo1->count()));
}

void Form1::Combo1_Click() {
    queryFlow_->chooseCourier();
}

void Form1::Command1_Click() {
    queryFlow_->run();
}

void Form1::Timer1_Timer() {
    queryFlow_->showResult();
}

void Form1::Combo5_Click() {
    switch (controls_.Combo5->listIndex()) {
        case 0:
            exportList();
            break;
        case 1:
            showAbout();
            break;
        case 2:
            env_.browser->open(env_.addresses.forum);
            break;
        case 3:
            showBranchLookup();
            break;
        case 4:
            env_.browser->open(env_.addresses.website);
            break;
        case 5:
            showParcelList();
            break;
        default:
            break;
    }
}

void Form1::exportList() {
    historyHandlers_->exportMenu();
}

void Form1::showAbout() {
    shell::Form4 about(env_.browser, env_.addresses.forum, this);
    about.exec();
}

void Form1::showBranchLookup() {
    // A fresh window each time; closing it deletes it, also while a lookup still waits.
    auto* lookup = new branch::Form5(env_, this);
    lookup->setAttribute(Qt::WA_DeleteOnClose);
    lookup->exec();
}

watch::ParcelWatch* Form1::ensureWatch() {
    if (watch_ == nullptr) {
        makeWatch(watch::ParcelWatch::readSaved(env_.programFolder));
    }
    return watch_;
}

void Form1::makeWatch(parcels::ParcelsState saved) {
    watch_ = new watch::ParcelWatch(env_, history_.get(), std::move(saved), this);
    connect(watch_, &watch::ParcelWatch::moved, this, &Form1::alertChange);
}

void Form1::resumeWatch() {
    // Only a file that is there is read, and only an armed watch is made at start-up.
    if (watch_ != nullptr || ended_ ||
        !QFileInfo::exists(parcels::parcelsFilePath(env_.programFolder))) {
        return;
    }
    parcels::ParcelsState saved = watch::ParcelWatch::readSaved(env_.programFolder);
    if (saved.watch.armed) {
        makeWatch(std::move(saved));
    }
}

void Form1::showParcelList() {
    if (parcelList_.isNull()) {
        parcelList_ =
            new parcels::ParcelListWindow(ensureWatch(), env_.boxes, env_.saveDialog, this);
        parcelList_->setAttribute(Qt::WA_DeleteOnClose);
        connect(parcelList_, &parcels::ParcelListWindow::parcelChosen, this,
                [this](const QString& entry) {
                    bringToFront();
                    historyHandlers_->pickEntry(entry);
                });
    }
    parcelList_->show();
    parcelList_->raise();
    parcelList_->activateWindow();
}

void Form1::Command2_Click() {
    search::Form2 quickSearch(controls_.Combo1, env_.boxes, this);
    connect(&quickSearch, &search::Form2::statusText, this, &Form1::status);
    quickSearch.exec();
}

void Form1::Form_KeyDown(int keyCode, int) {
    if (keyCode == kKeyF8) {
        controls_.Text1->setText(QGuiApplication::clipboard()->text());
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    const Form1Controls& c = controls_;
    if (event->type() == QEvent::Resize && (watched == c.Frame4 || watched == c.Frame6)) {
        QPushButton* small = watched == c.Frame4 ? c.Command10 : c.Command11;
        small->move(static_cast<QWidget*>(watched)->width() - small->width() - 12, 0);
        small->raise();
    }
    // Key preview: a key press is seen once, at the widget of this window that receives it
    // first (the focused one), before that widget handles it.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        QWidget* focus = QApplication::focusWidget();
        const QWidget* first = focus ? focus : this;
        if (watched == first && first->window() == this) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_F8) {
                Form_KeyDown(kKeyF8, 0);  // the key goes on to the focused control
            } else if ((key == Qt::Key_Return || key == Qt::Key_Enter) && focus) {
                // Enter presses the focused button, and in the query fields it starts the
                // query as a click on "开始查询" would (so not while that button is disabled).
                if (auto* button = qobject_cast<QPushButton*>(focus)) {
                    button->click();
                    return true;
                }
                if (focus == c.Text1 || focus == c.Text1->lineEdit() || focus == c.Text2 ||
                    focus == c.Combo1) {
                    c.Command1->click();
                    return true;
                }
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool Form1::Form_QueryUnload() {
    const QString text = QStringLiteral(
        "感谢您对Tovian、对Zeluna系列的软件的支持!\r \r"
        "是否退出并到论坛可以下载更多Zeluna系列原创免费软件?");
    const auto answer = env_.boxes->show(this, text, platform::MessageBoxes::Icon::Information,
                                         platform::MessageBoxes::Buttons::YesNoCancel,
                                         QString::fromUtf8(platform::kBoxTitle));
    using Answer = platform::MessageBoxes::Answer;
    if (answer == Answer::Yes) {
        env_.browser->open(env_.addresses.forum);
        return false;
    }
    return answer != Answer::No;
}

void Form1::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
        return;
    }
    if (env_.gate && env_.gate->deferClose(this, event)) {
        return;
    }
    if (Form_QueryUnload()) {
        event->ignore();
        return;
    }
    event->accept();
    ended_ = true;
    emit programEnded();
}

void Form1::endProgram() {
    ended_ = true;
    for (platform::Timer* timer :
         {controls_.Timer1, controls_.Timer3, controls_.Timer4, controls_.Timer6}) {
        timer->setEnabled(false);
    }
    close();
    emit programEnded();
}

}  // namespace app
