#pragma once

#include <QObject>
#include <QString>
#include <memory>

namespace platform {

// The media player control: setting its address plays the file at once, at volume 50.
// A missing file plays nothing.
class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;
    virtual void setUrl(const QString& filePath) = 0;
    virtual QString url() const = 0;
    int volume() const { return 50; }
};

class SoundOutput;

// Plays through Qt Multimedia, in the module trackoro_sound (platform/sound_output.h): each
// file is decoded once, and every sound gets an audio stream of its own. The audio back end
// takes a while to load, so the module is loaded from the event loop after the window has
// appeared, never in the caller, and the program does not load Qt Multimedia before that.
// The module is loaded from `moduleFolder`. With no audio device, or no module, nothing
// plays and nothing is reported.
class QtMediaPlayer : public QObject, public MediaPlayer {
    Q_OBJECT
public:
    explicit QtMediaPlayer(QString moduleFolder, QObject* parent = nullptr);
    ~QtMediaPlayer() override;
    void setUrl(const QString& filePath) override;
    QString url() const override { return url_; }

private:
    void loadBackend();
    void play();

    QString moduleFolder_;
    QString url_;
    bool scheduled_ = false;
    bool loaded_ = false;
    std::unique_ptr<SoundOutput> output_;  // null without a module
};

}  // namespace platform
