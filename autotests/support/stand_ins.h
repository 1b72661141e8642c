#pragma once

#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

#include "platform/controls/clock.h"
#include "platform/controls/gate.h"
#include "platform/net/http_transport.h"
#include "platform/system/browser.h"
#include "platform/system/media_player.h"
#include "platform/system/message_boxes.h"
#include "platform/system/notifier.h"
#include "platform/system/save_dialog.h"

namespace testsupport {

// Boxes for tests: records every box and answers it from a script. A box without a
// scripted answer is closed by its close button (OK, No or Cancel). A test that needs a
// box to stay open sets `onShow`, which runs while the box is "open" and returns the answer.
class ScriptedMessageBoxes : public platform::MessageBoxes {
public:
    struct Shown {
        QString text;
        QString title;
        Icon icon;
        Buttons buttons;
        QPointer<QWidget> parent;
        Answer answer;
    };

    Answer show(QWidget* parent, const QString& text, Icon icon, Buttons buttons,
                const QString& title) override;

    void script(Answer answer) { script_.append(answer); }
    int pendingAnswers() const { return static_cast<int>(script_.size()); }
    const QList<Shown>& shown() const { return shown_; }
    QStringList texts() const;
    void clear() { shown_.clear(); }

    std::function<Answer(const Shown&)> onShow;

private:
    QList<Answer> script_;
    QList<Shown> shown_;
};

// For tests: answers from a script (nothing scripted: cancelled) and records the filters.
class ScriptedSaveDialog : public platform::SaveDialog {
public:
    std::optional<QString> askSavePath(QWidget* parent, const QString& filter) override;
    void answer(const QString& path) { script_.append(path); }
    void cancelNext() { script_.append(std::nullopt); }
    const QStringList& filters() const { return filters_; }
    int timesShown() const { return static_cast<int>(filters_.size()); }

private:
    QList<std::optional<QString>> script_;
    QStringList filters_;
};

// Records the addresses it was asked to open.
class RecordingBrowserLauncher : public platform::BrowserLauncher {
public:
    void open(const QUrl& url) override { opened_.append(url); }
    const QList<QUrl>& opened() const { return opened_; }
    void clear() { opened_.clear(); }

private:
    QList<QUrl> opened_;
};

// Records the files it was asked to play.
class RecordingMediaPlayer : public platform::MediaPlayer {
public:
    void setUrl(const QString& filePath) override {
        url_ = filePath;
        played_.append(filePath);
    }
    QString url() const override { return url_; }
    const QStringList& played() const { return played_; }
    void clear() { played_.clear(); }

private:
    QString url_;
    QStringList played_;
};

// Records the notices it was asked to show and whether the program watches by itself;
// `click` is the user clicking a notice.
class RecordingNotifier : public platform::Notifier {
public:
    void notify(const base::Notice& notice) override { notices_.append(notice); }
    void setWatching(bool watching) override { watching_ = watching; }
    const QList<base::Notice>& notices() const { return notices_; }
    bool watching() const { return watching_; }
    void click() { emit activated(); }
    void clear() { notices_.clear(); }

private:
    QList<base::Notice> notices_;
    bool watching_ = false;
};

// A clock set by hand.
class SettableClock : public platform::Clock {
public:
    explicit SettableClock(QDateTime start = QDateTime(QDate(2026, 1, 1), QTime(12, 0)))
        : now_(std::move(start)) {}
    QDateTime now() const override { return now_; }
    void set(const QDateTime& time) { now_ = time; }
    void setTime(const QTime& time) { now_.setTime(time); }
    void advance(qint64 seconds) { now_ = now_.addSecs(seconds); }

private:
    QDateTime now_;
};

// The folder the build puts the program, its sounds and skin in.
QString buildProgramFolder();

// A stand-in world for tests, benchmarks and tools: boxes and the save dialog answer from
// a script, the browser, the media player and the notifier only record, the clock is set by hand;
// the network is the program's own. Used with platform::environmentOf like the program's
// DesktopPlatform.
struct ScriptedPlatform {
    platform::QtHttpTransport network;
    platform::UiGate gate;
    ScriptedMessageBoxes boxes;
    ScriptedSaveDialog saveDialog;
    RecordingBrowserLauncher browser;
    RecordingMediaPlayer player;
    SettableClock clock;
    std::unique_ptr<RecordingNotifier> notifier = std::make_unique<RecordingNotifier>();
};

}  // namespace testsupport
