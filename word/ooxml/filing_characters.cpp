#include "word/ooxml/filing_characters.h"

#include "word/cp932.h"
#include "word/ooxml/html_writer.h"

#include <QString>

#include <cstring>
#include <map>

namespace word::ooxml {

namespace html {

CharInfo classify(char32_t cp) {
    CharInfo info;
    if (cp < 0x80) {
        info.encodable = true;
        // The filing software's half-width set is JIS X 0201, where the bytes
        // of the backslash and the tilde show as "¥" and "‾".
        info.accepted = cp >= 0x20 && cp < 0x7F && cp != U'\\' && cp != U'~';
        return info;
    }
    // The filing software does not take ■ in the text, although code page 932 has it.
    if (cp == U'■') {
        info.encodable = true;
        return info;
    }
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return info;
    bool lossy = false;
    const QByteArray bytes = cp932::encode(QString::fromUcs4(&cp, 1), &lossy);
    if (lossy || bytes.isEmpty()) return info;
    info.encodable = true;
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    if (bytes.size() == 1) {
        // Half-width katakana (A1-DF) are refused; a few characters such as
        // the no-break space come out as ASCII and are taken as such.
        info.accepted = b0 >= 0x20 && b0 < 0x7F;
    } else if (bytes.size() == 2) {
        // Lead bytes of the JIS X 0208 rows in Shift_JIS: rows 1-8 (81-84),
        // rows 16-84 (88-9F, E0-EA). 87 holds the NEC special characters,
        // ED-EE and FA-FC the IBM extensions, F0-F9 the user-defined area.
        info.accepted = (b0 >= 0x81 && b0 <= 0x84) || (b0 >= 0x88 && b0 <= 0x9F) ||
                        (b0 >= 0xE0 && b0 <= 0xEA);
    }
    return info;
}

char32_t symbolFontCharacter(unsigned code) {
    static const char16_t upper[] = u"ΑΒΧΔΕΦΓΗΙϑΚΛΜΝΟΠΘΡΣΤΥςΩΞΨΖ";  // 0x41-0x5A
    static const char16_t lower[] = u"αβχδεφγηιϕκλμνοπθρστυϖωξψζ";  // 0x61-0x7A
    static const std::map<uint, char32_t> other = {
        {0x22, U'∀'}, {0x24, U'∃'}, {0x27, U'∋'}, {0x2A, U'∗'}, {0x2D, U'−'}, {0x40, U'≅'},
        {0x5C, U'∴'}, {0x5E, U'⊥'}, {0x7E, U'∼'}, {0xA2, U'′'}, {0xA3, U'≤'}, {0xA5, U'∞'},
        {0xAB, U'↔'}, {0xAC, U'←'}, {0xAD, U'↑'}, {0xAE, U'→'}, {0xAF, U'↓'}, {0xB0, U'°'},
        {0xB1, U'±'}, {0xB2, U'″'}, {0xB3, U'≥'}, {0xB4, U'×'}, {0xB5, U'∝'}, {0xB6, U'∂'},
        {0xB7, U'•'}, {0xB8, U'÷'}, {0xB9, U'≠'}, {0xBA, U'≡'}, {0xBB, U'≈'}, {0xC4, U'⊗'},
        {0xC5, U'⊕'}, {0xC6, U'∅'}, {0xC7, U'∩'}, {0xC8, U'∪'}, {0xC9, U'⊃'}, {0xCA, U'⊇'},
        {0xCB, U'⊄'}, {0xCC, U'⊂'}, {0xCD, U'⊆'}, {0xCE, U'∈'}, {0xCF, U'∉'}, {0xD0, U'∠'},
        {0xD1, U'∇'}, {0xD5, U'∏'}, {0xD6, U'√'}, {0xD7, U'⋅'}, {0xD8, U'¬'}, {0xD9, U'∧'},
        {0xDA, U'∨'}, {0xDB, U'⇔'}, {0xDC, U'⇐'}, {0xDD, U'⇑'}, {0xDE, U'⇒'}, {0xDF, U'⇓'},
        {0xE5, U'∑'}, {0xF2, U'∫'}};
    code &= 0xFF;
    if (code >= 0x41 && code <= 0x5A) return upper[code - 0x41];
    if (code >= 0x61 && code <= 0x7A) return lower[code - 0x61];
    if (code >= 0x20 && code < 0x7F && !std::strchr("\"$'*-@\\^`~", int(code)))
        return code;  // digits and punctuation as in ASCII
    auto it = other.find(code);
    return it == other.end() ? 0 : it->second;
}

}  // namespace html

bool filingSoftwareAccepts(char32_t codePoint) { return html::classify(codePoint).accepted; }

}  // namespace word::ooxml
