#pragma once

#include <QObject>
#include <QString>
#include <memory>

namespace platform {

class SoundOutput;

// The media player control: setting its address plays the file at once, at volume 50.
// A missing file plays nothing.
class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;
    virtual void setUrl(const QString& filePath) = 0;
    virtual QString url() const = 0;
    int volume() const { return 50; }
};

// Plays through the desktop's audio back end (platform/sound_output.h). The back end takes
// a while to start, so it is made from the event loop a moment after the first sound is
// asked for, when the window has appeared, never in the caller. With no audio device
// nothing plays and nothing is reported.
class DesktopMediaPlayer : public QObject, public MediaPlayer {
    Q_OBJECT
public:
    // The back end comes from `programFolder` (see makeSoundOutput).
    explicit DesktopMediaPlayer(QString programFolder, QObject* parent = nullptr);
    ~DesktopMediaPlayer() override;
    void setUrl(const QString& filePath) override;
    QString url() const override { return url_; }

private:
    void play();

    QString programFolder_;
    QString url_;
    bool scheduled_ = false;
    std::unique_ptr<SoundOutput> output_;  // made with the first sound
};

}  // namespace platform
