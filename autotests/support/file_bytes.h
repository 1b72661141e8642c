#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace testsupport {

// A file's bytes; "<unreadable>" when it cannot be read, so a missing file never compares
// equal to an empty one.
inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Replaces a file's content; false when it could not be written whole.
inline bool putBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

}  // namespace testsupport
