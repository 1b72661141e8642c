#include "platform/environment.h"

#include <QDir>

namespace platform {

QString Environment::programFile(const QString& name) const {
    return QDir(programFolder).filePath(name);
}

}  // namespace platform
