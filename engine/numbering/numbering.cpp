// Task codes 0 (new paragraph numbering) and 1 (renumbering): find-and-replace
// passes that bring every place that needs a number into the placeholder form
// 【００００】, then the numbering tail that numbers the placeholders and saves.

#include "engine/text_helpers.h"
#include "engine/runner/task_runner.h"

#include <algorithm>
#include <array>

namespace engine {

namespace {

const QString kPlaceholder = QStringLiteral("【００００】");

// The headings of a Japanese patent specification after which a numbered
// paragraph begins, in the order their passes run.
const std::array<const char16_t*, 12> kHeadings = {
    u"技術分野", u"背景技術", u"特許文献", u"非特許文献",
    u"発明が解決しようとする課題", u"課題を解決するための手段", u"発明の効果",
    u"図面の簡単な説明", u"発明を実施するための形態", u"実施例",
    u"産業上の利用可能性", u"符号の説明",
};

// "[" n digits "]" paragraph break "[" n digits "]": a pair of bracketed
// numbers of the same width, as some converters write a paragraph number.
QString BracketedDigitPair(int width) {
    const QString digits = QStringLiteral("^#").repeated(width);
    return "[" + digits + "]^013[" + digits + "]";
}

// The widest number the wide stages reach: 【１０００００００】 is eight digits.
constexpr int kWidestNumber = 8;

// The most full-width digits that follow a 【 anywhere in the text.
int WidestBracketedNumber(const QString& text) {
    int widest = 0;
    for (qsizetype at = text.indexOf(u'【'); at >= 0; at = text.indexOf(u'【', at + 1)) {
        qsizetype end = at + 1;
        while (end < text.size() && text[end] >= QChar(0xFF10) && text[end] <= QChar(0xFF19)) ++end;
        widest = std::max(widest, static_cast<int>(end - at - 1));
    }
    return widest;
}

}  // namespace

// Turns the digit that follows `prefix` into ０, for each of １…９.
void TaskRunner::ZeroDigitAfter(const QString& prefix) {
    for (int i = 1; i <= 9; ++i) ReplaceAll(prefix + ToFullWidthDigits(NumToStr(i)), prefix + QStringLiteral("０"));
}

// Numbers from 【１００００】 on have more than the four digits the stages
// above zero. Each further stage zeroes the next digit, and the zeroed wide
// number then becomes the placeholder. The stages run only as far as the
// widest number in the text needs: in a document under 10,000 paragraphs,
// none of them runs.
void TaskRunner::ZeroWideNumbers() {
    const int widest = std::min(WidestBracketedNumber(range_.Text()), kWidestNumber);
    QString prefix = QStringLiteral("【００００");
    for (int width = 4; width < widest; ++width) {
        ZeroDigitAfter(prefix);
        prefix += QStringLiteral("０");
    }
    for (int zeros = widest; zeros > 4; --zeros)
        ReplaceAll(QStringLiteral("【") + QStringLiteral("０").repeated(zeros) + QStringLiteral("】"), kPlaceholder);
}

void TaskRunner::RunNumberingSteps(short code) {
    PrepareRange(true);
    host_.SetProgress(30);

    if (code == 0) {
        host_.ShowStatus(QStringLiteral("新規段落振り１"));
        host_.DoEvents();

        // A trailing blank after a closing bracket or a full stop would hide the
        // paragraph end from the passes below.
        ReplaceAll(QStringLiteral("】 ^013"), QStringLiteral("】^013"));
        ReplaceAll(QStringLiteral("】　^013"), QStringLiteral("】^013"));
        ReplaceAll(QStringLiteral("。 ^013"), QStringLiteral("。^013"));
        ReplaceAll(QStringLiteral("。　^013"), QStringLiteral("。^013"));
        // A sentence-final paragraph followed by an indented one: a numbered
        // paragraph begins there.
        ReplaceAll(QStringLiteral("。^013　"), QStringLiteral("。^013　【００００】^013　"));

        for (const char16_t* heading : kHeadings) {
            const QString search = QStringLiteral("【") + QString::fromUtf16(heading) + QStringLiteral("】^013　");
            ReplaceAll(search, search + QStringLiteral("【００００】^013　"));
        }
        for (int width = 1; width <= 7; ++width) ReplaceAll(BracketedDigitPair(width), kPlaceholder);
    } else {
        host_.ShowStatus(QStringLiteral("段落振り１"));
        host_.DoEvents();
        for (int width = 1; width <= 3; ++width) ReplaceAll(BracketedDigitPair(width), kPlaceholder);
        host_.SetProgress(35);
        host_.ShowStatus(QStringLiteral("段落振り２"));
        for (int width = 4; width <= 7; ++width) ReplaceAll(BracketedDigitPair(width), kPlaceholder);
    }

    ReplaceAll(QStringLiteral("【０】"), kPlaceholder);
    ReplaceAll(QStringLiteral("【００】"), kPlaceholder);
    ReplaceAll(QStringLiteral("【０００】"), kPlaceholder);

    // Zeroing: stage k turns the k-th digit after 【 into ０, so that every
    // existing four-digit number becomes the placeholder.
    const std::array<QString, 4> prefixes = {
        QStringLiteral("【"), QStringLiteral("【０"), QStringLiteral("【００"), QStringLiteral("【０００")};
    const std::array<QString, 4> stageStatus = {
        QStringLiteral("段落振り３"), QStringLiteral("段落振り４"), QStringLiteral("段落振り５"),
        QStringLiteral("段落振り６")};
    for (int stage = 0; stage < 4; ++stage) {
        host_.ShowStatus(stageStatus[stage]);
        host_.SetProgress(host_.Progress() + 1);
        ZeroDigitAfter(prefixes[stage]);
    }
    ZeroWideNumbers();

    if (code == 0) {
        // A placeholder inserted in front of an existing (now zeroed) number.
        // Each pass halves a run of placeholder paragraphs.
        ReplaceAll(QStringLiteral("^013　【００００】^013　【００００】"), QStringLiteral("^013　【００００】"));
        ReplaceAll(QStringLiteral("^013　【００００】^013　【００００】"), QStringLiteral("^013　【００００】"));
    } else {
        host_.ShowStatus(QStringLiteral("段落振り７"));
        host_.SetProgress(40);
    }

    NumberingTail();
}

void TaskRunner::NumberingTail() {
    RenumberParagraphs();
    host_.ShowStatus(QStringLiteral("段落振り：保存処理"));
    FinalProcess();
    host_.ShowStatus(QStringLiteral("段落振り完了"));
}

}  // namespace engine
