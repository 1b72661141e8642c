#pragma once

#include <QString>

class QObject;

namespace platform {

// The audio back end, built as the module trackoro_sound beside the program so that Qt
// Multimedia and the audio libraries load only when the first sound is due (see
// QtMediaPlayer). Each file is decoded once and kept as samples; every sound then gets an
// audio stream of its own, so it starts at once, from its beginning, however often and
// however soon after the last one it is asked for. With no audio device nothing plays and
// nothing is reported.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Ends whatever plays, then plays the file at `volume` (0 to 100); a missing file
    // plays nothing.
    virtual void play(const QString& filePath, int volume) = 0;
};

// The module's one entry point: a new back end, owned by the caller.
inline constexpr char kCreateSoundOutput[] = "trackoro_create_sound_output";
inline constexpr char kSoundModule[] = "trackoro_sound";

}  // namespace platform
