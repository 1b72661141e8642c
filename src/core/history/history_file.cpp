#include "history/history_file.h"

#include <QDir>
#include <QFile>

#include "base/atomic_file.h"
#include "base/text_codec.h"

namespace history {

QString historyFilePath(const QString& programFolder) {
    return QDir(programFolder).filePath(QString::fromLatin1(kHistoryFileName));
}

std::optional<QByteArray> encodeHistory(const QStringList& entries) {
    if (entries.isEmpty()) {
        return QByteArray();
    }
    // One encoder run over the whole text: setting up an encoder costs far more than
    // encoding one entry.
    QString text = entries.join(QLatin1String("\r\n"));
    text += QLatin1String("\r\n");
    return base::toGbk(text);
}

std::optional<QStringList> decodeHistory(QByteArrayView bytes) {
    const std::optional<QString> decoded = base::fromGbk(bytes);
    if (!decoded) {
        return std::nullopt;
    }
    const QString& text = *decoded;
    QStringList lines;
    const qsizetype size = text.size();
    qsizetype begin = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (text.at(i) != u'\r') {
            continue;
        }
        lines.append(text.mid(begin, i - begin));
        if (i + 1 < size && text.at(i + 1) == u'\n') {
            ++i;
        }
        begin = i + 1;
    }
    if (begin < size) {
        lines.append(text.mid(begin));
    }
    return lines;
}

std::optional<QStringList> readHistoryFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray bytes;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 got = file.read(buffer, sizeof buffer);
        if (got == 0) {
            break;
        }
        if (got < 0) {
            // A read error: keep the lines that were read whole, drop a cut-off last one.
            const qsizetype lastEnd = bytes.lastIndexOf('\r');
            bytes.truncate(lastEnd < 0 ? 0 : lastEnd + 1);
            break;
        }
        bytes.append(buffer, got);
    }
    return decodeHistory(bytes);
}

base::Result writeHistoryFile(const QString& path, const QStringList& entries) {
    const std::optional<QByteArray> bytes = encodeHistory(entries);
    if (!bytes) {
        return base::Result::failure(
            QStringLiteral("cannot write %1: no GBK converter on this system").arg(path));
    }
    return base::writeFileAtomically(path, *bytes);
}

base::Result clearHistoryFile(const QString& path) {
    QFile file(path);
    if (!file.exists() || file.remove()) {
        return {};
    }
    const QString notRemoved = file.errorString();
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        // A file that cannot be removed but can be emptied holds no entries either.
        file.close();
        if (file.size() == 0) {
            return {};
        }
    }
    return base::Result::failure(
        QStringLiteral("cannot remove or empty %1: %2").arg(path, notRemoved));
}

}  // namespace history
