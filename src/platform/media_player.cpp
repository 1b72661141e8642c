#include "platform/media_player.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>

namespace platform {

namespace {
// Leaves the window time for its first paint before the audio back end loads.
constexpr int kBackendDelayMs = 300;
}  // namespace

QtMediaPlayer::QtMediaPlayer(QObject* parent) : QObject(parent) {}

QtMediaPlayer::~QtMediaPlayer() = default;

void QtMediaPlayer::setUrl(const QString& filePath) {
    url_ = filePath;
    if (!QFileInfo::exists(filePath)) {
        if (player_) {
            player_->stop();
        }
        return;
    }
    if (player_) {
        play();
        return;
    }
    if (!scheduled_) {
        scheduled_ = true;
        QTimer::singleShot(kBackendDelayMs, this, [this] {
            player_ = new QMediaPlayer(this);
            output_ = new QAudioOutput(this);
            output_->setVolume(0.5f);
            player_->setAudioOutput(output_);
            play();
        });
    }
}

void QtMediaPlayer::play() {
    if (!player_ || !QFileInfo::exists(url_)) {
        return;
    }
    // With no audio device the player reports an error and stays silent; nothing waits on it.
    player_->stop();
    player_->setSource(QUrl::fromLocalFile(url_));
    player_->play();
}

}  // namespace platform
