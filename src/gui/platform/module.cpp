#include "platform/module.h"

#include <QDir>
#include <QLibrary>

namespace platform {

QFunctionPointer resolveModuleEntry(const QString& folder, const char* name, const char* entry) {
    // The library is not unloaded when `module` goes: what it created lives on.
    QLibrary module(QDir(folder).filePath(QString::fromLatin1(name)));
    return module.resolve(entry);
}

}  // namespace platform
