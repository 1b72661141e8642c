#include "parcels/table_csv.h"

#include "platform/atomic_file.h"

namespace parcels {

namespace {

// A number as a spreadsheet reads one: an optional sign, digits, and a decimal part.
bool isPlainNumber(const QString& text) {
    qsizetype i = 0;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        ++i;
    }
    const qsizetype digitsFrom = i;
    while (i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9') {
        ++i;
    }
    if (i == digitsFrom) {
        return false;
    }
    if (i < text.size() && text.at(i) == u'.') {
        const qsizetype fractionFrom = ++i;
        while (i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9') {
            ++i;
        }
        if (i == fractionFrom) {
            return false;
        }
    }
    return i == text.size();
}

}  // namespace

QString csvField(const QString& text) {
    QString field = text;
    // Progress texts and remarks come from a server and from the user: "=HYPERLINK(...)" or
    // "=cmd|..." must show as text, not run, when the file is opened. Excel and WPS treat a
    // leading apostrophe in a CSV field as part of the text, which is the usual guard: the
    // cell shows it, and never a formula. Plain numbers ("-3") are left alone so they stay
    // numbers; the times ("2026-12-01 09:12:40") start with a digit and need no guard.
    if (!field.isEmpty()) {
        const QChar first = field.at(0);
        const bool formula = first == u'=' || first == u'+' || first == u'-' || first == u'@' ||
                             first == u'\t' || first == u'\r';
        if (formula && !isPlainNumber(field)) {
            field.prepend(u'\'');
        }
    }
    if (field.contains(u',') || field.contains(u'"') || field.contains(u'\r') ||
        field.contains(u'\n')) {
        field.replace(QLatin1String("\""), QLatin1String("\"\""));
        field = u'"' + field + u'"';
    }
    return field;
}

QByteArray csvBytes(const QVector<QStringList>& rows) {
    QString text;
    for (const QStringList& row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0) {
                text += u',';
            }
            text += csvField(row.at(c));
        }
        text += QLatin1String("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

platform::Result writeCsvFile(const QString& path, const QVector<QStringList>& rows) {
    if (rows.isEmpty()) {
        return platform::Result::failure(QStringLiteral("nothing to export"));
    }
    return platform::writeFileAtomically(path, csvBytes(rows));
}

}  // namespace parcels
