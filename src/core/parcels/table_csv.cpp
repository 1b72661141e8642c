#include "parcels/table_csv.h"

#include <algorithm>

#include "base/atomic_file.h"

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

// Digits a spreadsheet would not keep as they are: from 12 digits on it shows them in
// scientific notation (and drops digits past the 15th), and a leading zero goes.
bool isNumberItWouldChange(const QString& text) {
    if (text.size() < 2 ||
        !std::all_of(text.begin(), text.end(), [](QChar ch) { return ch >= u'0' && ch <= u'9'; })) {
        return false;
    }
    return text.size() >= 12 || text.at(0) == u'0';
}

}  // namespace

QString csvField(const QString& text) {
    // A tracking number of digits only ("773456789012345", "0123456") is written as the text
    // formula ="…", the one formula the file holds (of digits alone), so the cell shows it
    // whole.
    if (isNumberItWouldChange(text)) {
        return QStringLiteral("\"=\"\"%1\"\"\"").arg(text);
    }
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

base::Result writeCsvFile(const QString& path, const QVector<QStringList>& rows) {
    if (rows.isEmpty()) {
        return base::Result::failure(QStringLiteral("nothing to export"));
    }
    return base::writeFileAtomically(path, csvBytes(rows));
}

}  // namespace parcels
