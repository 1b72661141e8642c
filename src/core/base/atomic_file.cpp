#include "base/atomic_file.h"

#include <QSaveFile>

namespace base {

Result writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Unbuffered: a write cut short by a full disk shows in its count. Through Qt's buffer
    // the shortfall would be lost at commit time and a truncated file renamed into place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return Result::failure(
            QStringLiteral("cannot create %1: %2").arg(path, file.errorString()));
    }
    if (file.write(bytes) != bytes.size() || file.size() != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return Result::failure(QStringLiteral("cannot write %1: %2").arg(path, reason));
    }
    if (!file.commit()) {
        return Result::failure(
            QStringLiteral("cannot replace %1: %2").arg(path, file.errorString()));
    }
    return {};
}

}  // namespace base
