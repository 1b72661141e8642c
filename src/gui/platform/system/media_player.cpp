#include "platform/system/media_player.h"

#include <QFileInfo>
#include <QTimer>

#include "platform/system/sound_output.h"

namespace platform {

namespace {
// Leaves the window time for its first paint before the audio back end starts: loading Qt
// Multimedia and the audio libraries under it costs about a fifth of a bare Qt window's
// start-up (Qt 6.4.2 on Debian 12).
constexpr int kBackendDelayMs = 300;

}  // namespace

DesktopMediaPlayer::DesktopMediaPlayer(QString programFolder, QObject* parent)
    : QObject(parent), programFolder_(std::move(programFolder)) {}

DesktopMediaPlayer::~DesktopMediaPlayer() = default;

void DesktopMediaPlayer::setUrl(const QString& filePath) {
    url_ = filePath;
    if (output_) {
        play();
    } else if (!scheduled_ && QFileInfo::exists(filePath)) {
        scheduled_ = true;
        QTimer::singleShot(kBackendDelayMs, this, [this] {
            output_ = makeSoundOutput(programFolder_);
            play();
        });
    }
}

void DesktopMediaPlayer::play() {
    if (output_) {
        output_->play(url_, volume());
    }
}

}  // namespace platform
