// Sound on Windows: the system's media control interface (winmm), which plays MP3 files
// itself. Each sound gets a device of its own, opened afresh, so it always starts from its
// beginning, however soon after the last one, the same file or another. Opening a device
// can take a third of a second (seen under Wine 8), so the commands are sent from a thread
// of their own, never the window's.
#include <windows.h>

#include <mmsystem.h>
#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QString>
#include <QThread>

#include "platform/system/sound_output.h"

namespace platform {

namespace {

// One command; its answer is not needed. A failure (no audio device, a file it cannot play)
// leaves nothing open and is not reported: the program then stays silent.
bool send(const QString& command) {
    return mciSendStringW(reinterpret_cast<LPCWSTR>(command.utf16()), nullptr, 0, nullptr) == 0;
}

// The devices, used from the sound thread only.
class MciDevices : public QObject {
public:
    ~MciDevices() override { close(); }

    void play(const QString& filePath, int volume) {
        close();
        const QFileInfo file(filePath);
        if (!file.isFile()) {
            return;
        }
        const QString name = QStringLiteral("trackoro_sound_%1").arg(++count_);
        const QString path = QDir::toNativeSeparators(file.absoluteFilePath());
        if (!send(QStringLiteral("open \"%1\" type mpegvideo alias %2").arg(path, name))) {
            return;
        }
        open_ = name;
        send(QStringLiteral("setaudio %1 volume to %2").arg(name).arg(qBound(0, volume, 100) * 10));
        if (!send(QStringLiteral("play %1 from 0").arg(name))) {
            close();
        }
    }

private:
    void close() {
        if (!open_.isEmpty()) {
            send(QStringLiteral("close %1").arg(open_));
            open_.clear();
        }
    }

    QString open_;  // the alias of the sound last opened, empty when none is
    unsigned count_ = 0;
};

class MciSoundOutput : public SoundOutput {
public:
    MciSoundOutput() {
        thread_.setObjectName(QStringLiteral("trackoro sound"));
        devices_->moveToThread(&thread_);
        QObject::connect(&thread_, &QThread::finished, devices_, &QObject::deleteLater);
        thread_.start();
    }

    ~MciSoundOutput() override {
        thread_.quit();
        thread_.wait();
    }

    void play(const QString& filePath, int volume) override {
        QMetaObject::invokeMethod(
            devices_, [devices = devices_, filePath, volume] { devices->play(filePath, volume); },
            Qt::QueuedConnection);
    }

private:
    QThread thread_;
    MciDevices* devices_ = new MciDevices;  // deleted in its thread when the thread ends
};

}  // namespace

std::unique_ptr<SoundOutput> makeSoundOutput(const QString& /*programFolder*/) {
    return std::make_unique<MciSoundOutput>();
}

}  // namespace platform
