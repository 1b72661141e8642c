#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QAudioSink;
class QBuffer;

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

// Plays through Qt Multimedia. Each file is decoded once and kept as samples; every sound
// then gets an audio stream of its own, so it starts at once, from its beginning, however
// often and however soon after the last one it is asked for. (A QMediaPlayer given the same
// source again stays silent on the GStreamer back end, and one reused stream drops short
// sounds.) The audio back end takes a while to load, so it is set up from the event loop
// after the window has appeared, never in the caller. With no audio device nothing plays
// and nothing is reported.
class QtMediaPlayer : public QObject, public MediaPlayer {
    Q_OBJECT
public:
    explicit QtMediaPlayer(QObject* parent = nullptr);
    ~QtMediaPlayer() override;
    void setUrl(const QString& filePath) override;
    QString url() const override { return url_; }

private:
    struct Sound;
    class Decoding;

    void loadBackend();
    void play();
    void decode(const QString& filePath);
    void decoded(Decoding* decoding, bool ok);
    void start(const Sound& sound);
    void stopPlaying();

    QString url_;
    bool scheduled_ = false;
    bool loaded_ = false;
    bool hasDevice_ = false;
    bool waiting_ = false;  // url_ plays as soon as its samples are decoded
    QHash<QString, Sound> sounds_;
    Decoding* decoding_ = nullptr;
    QAudioSink* sink_ = nullptr;
    QBuffer* samples_ = nullptr;
};

}  // namespace platform
