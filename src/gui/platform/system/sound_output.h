#pragma once

#include <QString>
#include <QtPlugin>
#include <memory>

namespace platform {

// The system's audio: plays a sound file from its start. Playing ends whatever played
// before. A missing file or no audio device plays nothing and reports nothing.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Ends whatever plays, then plays the file at `volume` (0 to 100).
    virtual void play(const QString& filePath, int volume) = 0;
};

// The desktop's audio back end, from the program folder `programFolder`; null when there is
// none (the program then stays silent).
std::unique_ptr<SoundOutput> makeSoundOutput(const QString& programFolder);

// Where the audio back end is a plugin beside the program (Qt Multimedia on Linux, whose
// libraries take longer to load than the whole window takes to appear), the plugin's
// interface: it makes the back end.
class SoundOutputPlugin {
public:
    virtual ~SoundOutputPlugin() = default;
    virtual std::unique_ptr<SoundOutput> create() = 0;
};

}  // namespace platform

// The interface's version is in its id: a plugin of another version is not taken.
#define TRACKORO_SOUND_OUTPUT_PLUGIN_IID "trackoro.SoundOutputPlugin/1"
Q_DECLARE_INTERFACE(platform::SoundOutputPlugin, TRACKORO_SOUND_OUTPUT_PLUGIN_IID)
