#include "platform/atomic_file.h"

#include <QSaveFile>

namespace platform {

bool writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Unbuffered: a write cut short by a full disk shows in its count. Through Qt's buffer
    // the shortfall would be lost at commit time and a truncated file renamed into place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return false;
    }
    if (file.write(bytes) != bytes.size() || file.size() != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace platform
