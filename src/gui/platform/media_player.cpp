#include "platform/media_player.h"

#include <QFileInfo>
#include <QTimer>

#include "platform/module.h"
#include "platform/sound_output.h"

namespace platform {

namespace {
// Leaves the window time for its first paint before the audio back end loads.
constexpr int kBackendDelayMs = 300;

}  // namespace

QtMediaPlayer::QtMediaPlayer(QString moduleFolder, QObject* parent)
    : QObject(parent), moduleFolder_(std::move(moduleFolder)) {}

QtMediaPlayer::~QtMediaPlayer() = default;

void QtMediaPlayer::setUrl(const QString& filePath) {
    url_ = filePath;
    if (!loaded_) {
        if (!scheduled_ && QFileInfo::exists(filePath)) {
            scheduled_ = true;
            QTimer::singleShot(kBackendDelayMs, this, [this] {
                loadBackend();
                play();
            });
        }
        return;
    }
    play();
}

void QtMediaPlayer::loadBackend() {
    loaded_ = true;
    output_ = createFromModule<SoundOutput>(moduleFolder_, kSoundModule, kCreateSoundOutput);
}

void QtMediaPlayer::play() {
    if (output_) {
        output_->play(url_, volume());
    }
}

}  // namespace platform
