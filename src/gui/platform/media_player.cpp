#include "platform/media_player.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QTimer>

#include "platform/sound_output.h"

namespace platform {

namespace {
// Leaves the window time for its first paint before the audio back end loads.
constexpr int kBackendDelayMs = 300;

// The back end from the module trackoro_sound, or null when no module can be loaded.
std::unique_ptr<SoundOutput> loadSoundModule() {
    for (const QString& folder :
         {QCoreApplication::applicationDirPath(), QStringLiteral(TRACKORO_SOUND_MODULE_DIR)}) {
        QLibrary module(QDir(folder).filePath(QString::fromLatin1(kSoundModule)));
        if (auto create = reinterpret_cast<CreateSoundOutput>(module.resolve(kCreateSoundOutput))) {
            // The module stays loaded for the rest of the process.
            return std::unique_ptr<SoundOutput>(create());
        }
    }
    return nullptr;
}
}  // namespace

QtMediaPlayer::QtMediaPlayer(QObject* parent) : QObject(parent) {}

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
    output_ = loadSoundModule();
}

void QtMediaPlayer::play() {
    if (output_) {
        output_->play(url_, volume());
    }
}

}  // namespace platform
