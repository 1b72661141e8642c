// The audio back end in the plugin trackoro_sound beside the program.
#include <QDir>
#include <QPluginLoader>

#include "platform/system/sound_output.h"

namespace platform {

std::unique_ptr<SoundOutput> makeSoundOutput(const QString& programFolder) {
    // The plugin stays loaded for the rest of the process: what it made lives on.
    QPluginLoader loader(QDir(programFolder).filePath(QStringLiteral("trackoro_sound")));
    auto* plugin = qobject_cast<SoundOutputPlugin*>(loader.instance());
    return plugin != nullptr ? plugin->create() : nullptr;
}

}  // namespace platform
