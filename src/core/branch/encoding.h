#pragma once

#include <QString>
#include <QUrl>

namespace branch {

// Percent-encodes every UTF-16 code unit from U+0080 up as its UTF-8 bytes ("%XX", upper-case
// hexadecimal). Code units below U+0080 are kept as they are, "%", "&", "+", "#", the space
// and control characters included. Each half of a surrogate pair is encoded on its own as a
// three-byte group. The empty string gives the empty string.
QString UTF8_URLEncoding(const QString& text);

// Escapes the ASCII characters that would split or end a query value: "&", "#", "+", the
// space and the control characters (U+0000 to U+001F and U+007F) become "%XX". Everything
// else, "%" included, passes unchanged, so escapes already in the text stay as they are.
QString escapeQueryValue(const QString& encoded);

// The value of the `name` key for a branch name: the name encoded with UTF8_URLEncoding, its
// leading and trailing spaces (U+0020 only) removed, then escaped for the query string.
QString branchRequestValue(const QString& name);

// The branch-query address for a name: the site, "/query_list.asp", "?name=" and the request
// value, as already-encoded text (one "/" between the site and the page).
QString branchQueryUrl(const QUrl& site, const QString& name);

}  // namespace branch
