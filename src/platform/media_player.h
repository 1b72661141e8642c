#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QMediaPlayer;
class QAudioOutput;

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

// Plays through Qt Multimedia. The audio back end takes a while to load, so it is created
// from the event loop after the window has appeared, never in the caller.
class QtMediaPlayer : public QObject, public MediaPlayer {
    Q_OBJECT
public:
    explicit QtMediaPlayer(QObject* parent = nullptr);
    ~QtMediaPlayer() override;
    void setUrl(const QString& filePath) override;
    QString url() const override { return url_; }

private:
    void play();

    QString url_;
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* output_ = nullptr;
    bool scheduled_ = false;
};

// For tests: records the files it was asked to play.
class RecordingMediaPlayer : public MediaPlayer {
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

}  // namespace platform
