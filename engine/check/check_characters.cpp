#include "engine/check/check_characters.h"

#include "engine/check/check_headings.h"
#include "word/ooxml/filing_characters.h"


namespace engine::check {

namespace {

const QString kKind = QStringLiteral("使用不可文字");

// The filing software's rule, asked once per distinct character.
using AcceptedCharacters = word::ooxml::html::CharTable;

// The story's own marks (tabs, line breaks, pictures, fields) are not characters of the text.
bool IsStoryMark(char32_t c) { return c < 0x20; }

QString CodeOf(char32_t c) {
    return QStringLiteral("U+%1").arg(QString::number(uint(c), 16).toUpper().rightJustified(4, u'0'));
}

// Each run of refused characters is one finding.
void CheckRefused(const CheckedText& text, int p, AcceptedCharacters& accepted, Findings& out) {
    const QString& line = text[p];
    qsizetype i = 0;
    while (i < line.size()) {
        const qsizetype start = i;
        QString shown;
        while (i < line.size()) {
            const bool pair = line[i].isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate();
            const char32_t c = pair ? QChar::surrogateToUcs4(line[i], line[i + 1]) : line[i].unicode();
            const qsizetype width = pair ? 2 : 1;
            if (IsStoryMark(c) || accepted(c).accepted) break;
            if (!shown.isEmpty()) shown += u' ';
            shown += QString::fromUcs4(&c, 1) + u'(' + CodeOf(c) + u')';
            i += width;
        }
        if (i > start) {
            out.push_back(text.finding(kKind, p, start, i - start,
                                       QStringLiteral("電子出願で使えない文字 %1").arg(shown)));
        } else {
            ++i;
        }
    }
}

// 【 and 】 belong to identifiers and headings. A bracket pair at the start of
// a paragraph is a heading, which the heading check judges.
void CheckBrackets(const CheckedText& text, int p, Findings& out) {
    const QStringView line(text[p]);
    const qsizetype start = LineStart(line);
    qsizetype pos = 0;
    while (pos < line.size()) {
        const QChar c = line[pos];
        if (c == u'】') {
            out.push_back(text.finding(kKind, p, pos, 1, QStringLiteral("対応する【のない】")));
        } else if (c == u'【') {
            const auto bracket = BracketAt(line, pos);
            if (!bracket) {
                out.push_back(text.finding(kKind, p, pos, 1, QStringLiteral("対応する】のない【")));
            } else {
                if (pos != start && !IsOfficeBracketWord(bracket->inner))
                    out.push_back(text.finding(kKind, p, pos, bracket->end - pos,
                                               QStringLiteral("識別子でない【】")));
                pos = bracket->end;
                continue;
            }
        }
        ++pos;
    }
}

}  // namespace

Findings CheckCharacters(const CheckedText& text) {
    Findings out;
    AcceptedCharacters accepted;
    for (int p = 0; p < text.size(); ++p) {
        CheckRefused(text, p, accepted, out);
        CheckBrackets(text, p, out);
    }
    return out;
}

}  // namespace engine::check
