#include "engine/check/check_numbering.h"

#include "engine/text_helpers.h"

namespace engine::check {

namespace {

const QString kKind = QStringLiteral("段落番号");

// A paragraph number found in a paragraph: where it stands and what it says.
struct NumberAt {
    int paragraph;
    qsizetype offset;
    qsizetype length;  // 【 to 】 inclusive
    DigitRun digits;
    bool atStart;
};

// A bracketed number inside a paragraph is a paragraph number that lost its
// own line when a sentence or a heading ends right before it (two paragraphs
// run together); elsewhere it is a reference such as 段落【００１２】.
bool FollowsParagraphEnd(QStringView text, qsizetype pos) {
    while (pos > 0 && IsBlank(text[pos - 1])) --pos;
    return pos > 0 && (text[pos - 1] == u'。' || text[pos - 1] == u'】');
}

std::vector<NumberAt> NumbersIn(const CheckedText& text, int paragraph) {
    std::vector<NumberAt> numbers;
    const QStringView line(text[paragraph]);
    const qsizetype start = SkipBlanks(line, 0);
    for (qsizetype pos = line.indexOf(u'【'); pos >= 0; pos = line.indexOf(u'【', pos + 1)) {
        const auto bracket = BracketAt(line, pos);
        if (!bracket) continue;
        const auto digits = ReadDigits(bracket->inner, 0);
        if (!digits || digits->length != bracket->inner.size()) continue;
        const bool atStart = pos == start;
        if (!atStart && !FollowsParagraphEnd(line, pos)) continue;
        numbers.push_back({paragraph, pos, bracket->end - pos, *digits, atStart});
    }
    return numbers;
}

void CheckForm(const CheckedText& text, const NumberAt& n, Findings& out) {
    auto report = [&](const QString& what) { out.push_back(text.finding(kKind, n.paragraph, n.offset, n.length, what)); };
    if (!n.atStart) report(QStringLiteral("段落番号が段落の先頭にない"));
    if (n.digits.halfWidth) report(QStringLiteral("段落番号に半角数字"));
    const int width = n.digits.value < 10000 ? 4 : int(QString::number(n.digits.value).size());
    if (n.digits.length != width) report(QStringLiteral("段落番号の桁数が%1桁でない").arg(ToFullWidthDigits(QString::number(width))));
}

}  // namespace

Findings CheckParagraphNumbers(const CheckedText& text) {
    Findings out;
    for (const Section& section : text.sections()) {
        if (!section.isDescription()) continue;
        int expected = 1;
        for (int p = section.first; p < section.end; ++p) {
            for (const NumberAt& n : NumbersIn(text, p)) {
                CheckForm(text, n, out);
                const int value = n.digits.value;
                QString what;
                if (value != expected && expected == 1)
                    what = QStringLiteral("段落番号が【０００１】から始まっていない");
                else if (value > expected)
                    what = QStringLiteral("段落番号が飛んでいる（%1がない）").arg(ParagraphNumberText(expected));
                else if (value < expected)
                    what = QStringLiteral("段落番号が重複または逆順（前は%1）").arg(ParagraphNumberText(expected - 1));
                if (!what.isEmpty()) out.push_back(text.finding(kKind, p, n.offset, n.length, what));
                expected = value + 1;
            }
        }
    }
    return out;
}

}  // namespace engine::check
