// The plugin trackoro_sound: sound through Qt Multimedia.
#include "platform/system/sound_output.h"

#include <QAudioDecoder>
#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QMediaDevices>
#include <QObject>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>
#include <utility>

namespace platform {

namespace {
// Time given to the audio server, past the stream's buffer, to play a sound's end.
constexpr int kTailMarginMs = 250;
// How often a playing stream is checked for its end.
constexpr int kWatchMs = 50;

// What identifies a file's contents well enough to reuse its decoded samples.
QString fileStamp(const QFileInfo& info) {
    return QString::number(info.size()) + u'@' +
           QString::number(info.lastModified().toMSecsSinceEpoch());
}
}  // namespace

// Each file is decoded once and kept as samples; every sound then gets an audio stream of
// its own, so it starts at once, from its beginning, however often and however soon after
// the last one it is asked for. (A QMediaPlayer given the same source again stays
// silent on the GStreamer back end, and one reused stream drops short sounds: Qt 6.4.2 on
// Debian 12, heard in tst_sound's recordings.)
class MultimediaSoundOutput : public QObject, public SoundOutput {
public:
    MultimediaSoundOutput() : hasDevice_(!QMediaDevices::defaultAudioOutput().isNull()) {}
    ~MultimediaSoundOutput() override { stopPlaying(); }
    void play(const QString& filePath, int volume) override {
        url_ = filePath;
        volume_ = volume;
        play();
    }

private:
    struct Sound;
    class Decoding;

    void play();
    void decode(const QString& filePath);
    void decoded(Decoding* decoding, bool ok);
    void start(const Sound& sound);
    void stopPlaying();

    QString url_;
    int volume_ = 50;
    bool hasDevice_ = false;
    bool waiting_ = false;  // url_ plays as soon as its samples are decoded
    QHash<QString, Sound> sounds_;
    Decoding* decoding_ = nullptr;
    QAudioSink* sink_ = nullptr;
    QBuffer* samples_ = nullptr;
};

struct MultimediaSoundOutput::Sound {
    QString stamp;
    QAudioFormat format;
    QByteArray samples;
};

// One file being decoded into samples.
class MultimediaSoundOutput::Decoding : public QObject {
public:
    Decoding(const QString& filePath, QObject* parent) : QObject(parent), decoder_(this) {
        sound.stamp = fileStamp(QFileInfo(filePath));
        path = filePath;
        connect(&decoder_, &QAudioDecoder::bufferReady, this, [this] {
            const QAudioBuffer buffer = decoder_.read();
            if (!buffer.isValid()) {
                return;
            }
            if (!sound.format.isValid()) {
                sound.format = buffer.format();
            }
            if (buffer.format() == sound.format) {
                sound.samples.append(buffer.constData<char>(), buffer.byteCount());
            }
        });
        decoder_.setSource(QUrl::fromLocalFile(filePath));
    }

    // Calls `done` once, from the event loop, with whether the whole file was decoded;
    // never after this object is gone.
    void start(std::function<void(bool)> done) {
        done_ = std::move(done);
        connect(&decoder_, &QAudioDecoder::finished, this, [this] { finish(true); });
        connect(&decoder_, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), this,
                [this] { finish(false); });
        decoder_.start();
    }

    QString path;
    Sound sound;

private:
    void finish(bool ok) {
        if (!done_) {
            return;
        }
        QTimer::singleShot(0, this, [done = std::exchange(done_, {}), ok] { done(ok); });
    }

    QAudioDecoder decoder_;
    std::function<void(bool)> done_;
};

void MultimediaSoundOutput::play() {
    // A new address ends whatever was playing, also when its file is missing.
    stopPlaying();
    waiting_ = false;
    const QFileInfo info(url_);
    if (!hasDevice_ || !info.isFile()) {
        return;
    }
    const auto known = sounds_.constFind(url_);
    if (known != sounds_.cend() && known->stamp == fileStamp(info)) {
        start(*known);
        return;
    }
    waiting_ = true;
    if (!decoding_ || decoding_->path != url_) {
        decode(url_);
    }
}

void MultimediaSoundOutput::decode(const QString& filePath) {
    delete decoding_;
    decoding_ = new Decoding(filePath, this);
    Decoding* decoding = decoding_;
    decoding->start([this, decoding](bool ok) { decoded(decoding, ok); });
}

void MultimediaSoundOutput::decoded(Decoding* decoding, bool ok) {
    decoding_ = nullptr;
    const QString path = decoding->path;
    const bool playable = ok && !decoding->sound.samples.isEmpty();
    if (playable) {
        sounds_.insert(path, decoding->sound);
    } else {
        sounds_.remove(path);
    }
    decoding->deleteLater();
    if (waiting_ && path == url_) {
        waiting_ = false;
        if (playable) {
            play();  // checks again that the file has not changed since
        }
    }
}

void MultimediaSoundOutput::start(const Sound& sound) {
    sink_ = new QAudioSink(QMediaDevices::defaultAudioOutput(), sound.format, this);
    sink_->setVolume(volume_ / 100.0);
    samples_ = new QBuffer(this);
    samples_->setData(sound.samples);
    samples_->open(QIODevice::ReadOnly);
    // The stream is closed once every sample is handed over and its buffer has had time
    // to play; closing it sooner would cut off the sound's end.
    auto* watch = new QTimer(sink_);
    QAudioSink* sink = sink_;
    QBuffer* samples = samples_;
    auto endSeen = std::make_shared<QElapsedTimer>();
    connect(watch, &QTimer::timeout, this, [this, sink, samples, endSeen] {
        if (sink != sink_ || !samples->atEnd()) {
            return;
        }
        if (!endSeen->isValid()) {
            endSeen->start();
            return;
        }
        const qint64 tailMs = sink->format().durationForBytes(sink->bufferSize()) / 1000;
        if (endSeen->elapsed() >= tailMs + kTailMarginMs) {
            stopPlaying();
        }
    });
    watch->start(kWatchMs);
    sink_->start(samples_);
}

void MultimediaSoundOutput::stopPlaying() {
    if (sink_) {
        QAudioSink* sink = std::exchange(sink_, nullptr);
        sink->stop();
        sink->deleteLater();
    }
    if (samples_) {
        std::exchange(samples_, nullptr)->deleteLater();
    }
}

class MultimediaSoundPlugin : public QObject, public SoundOutputPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TRACKORO_SOUND_OUTPUT_PLUGIN_IID)
    Q_INTERFACES(platform::SoundOutputPlugin)
public:
    std::unique_ptr<SoundOutput> create() override {
        return std::make_unique<MultimediaSoundOutput>();
    }
};

}  // namespace platform

#include "multimedia_sound_output.moc"
