#pragma once
// Code page 932 (Japanese Shift_JIS as Windows writes it), for the files the
// program writes for people: reports and HTML.

#include <QByteArray>
#include <QString>

namespace word::cp932 {

// Encodes through iconv "CP932". Characters the code page lacks become "?";
// *lossy (when given) tells whether that happened.
QByteArray encode(const QString& text, bool* lossy = nullptr);
// The same, appended to `out` (whose room grows by doubling): returns false
// when a character the code page lacks was written as "?".
bool appendEncoded(QByteArray& out, QStringView text);
// Decodes CP932 bytes.
QString decode(const QByteArray& bytes);
// Whether one character (a code point) can be encoded.
bool encodable(char32_t codePoint);
// The byte length used by the deletion check: one byte for ASCII and
// half-width katakana, two for every other character (a surrogate pair counts
// as one character).
int byteLength(const QString& text);

}  // namespace word::cp932
