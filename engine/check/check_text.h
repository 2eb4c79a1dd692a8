#pragma once
// The document as the check before filing reads it: the paragraphs of the main
// story, the 【書類名】 sections they fall into, and the identifiers (【０００５】,
// 【請求項３】, 【図２】, …) that name the place of a finding. Every check rule
// is a function from this text to findings.

#include "engine/citations/citation_reading.h"  // IsLatinLetter
#include "engine/terms/japanese_analyser.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <optional>
#include <vector>

namespace engine::check {

// One finding: its kind (段落番号, 符号, …), the identifier in front of it as
// written in the document ("冒頭" before the first), and a short explanation
// with the text in question. Its place, where the rule knows it, is the text
// it is about: a paragraph of the story and characters in it (the annotated
// copy anchors its comment there). Findings are equal when they say the same.
struct Finding {
    QString kind;
    QString where;
    QString what;
    int paragraph = -1;
    qsizetype offset = 0;
    qsizetype length = 0;
    bool operator==(const Finding& o) const { return kind == o.kind && where == o.where && what == o.what; }
};
using Findings = std::vector<Finding>;

// The kinds, in the order the checks run and the closing message counts them.
extern const QStringList kFindingKinds;

enum class SectionKind {
    Unnamed,      // before the first 【書類名】, or a document without one
    Description,  // 明細書
    Claims,       // 特許請求の範囲, 実用新案登録請求の範囲
    Abstract,     // 要約書
    Drawings,     // 図面
    Other,        // any other 【書類名】 (a request, a foreign-language document)
};

// Paragraphs [first, end) of one section; `first` holds its 【書類名】 line
// (for Unnamed, the document's first paragraph).
struct Section {
    SectionKind kind = SectionKind::Unnamed;
    int first = 0;
    int end = 0;
    // The description text of a section: 明細書, and a document without 【書類名】.
    bool isDescription() const { return kind == SectionKind::Description || kind == SectionKind::Unnamed; }
    // Claims: their own document, a gazette, or (in the old form) the 明細書 itself.
    bool holdsClaims() const { return kind == SectionKind::Claims || isDescription(); }
};

// A number written in full-width or half-width digits.
struct DigitRun {
    int value = 0;
    int length = 0;       // characters read
    bool halfWidth = false;  // at least one half-width digit
};
// 0-9 for '0'-'9' and '０'-'９', else -1.
int DigitValue(QChar c);
// The digits starting at pos (at most 9 are read); none when there is no digit.
std::optional<DigitRun> ReadDigits(QStringView text, qsizetype pos);
// Blanks a paragraph may begin with: the half- and full-width blank, the tab.
bool IsBlank(QChar c);
// The position of the first character that is not a blank, from pos on.
qsizetype SkipBlanks(QStringView text, qsizetype pos);

// The position after the first of the words that stands at pos, if one does.
std::optional<qsizetype> WordAt(QStringView text, qsizetype pos, const QStringList& words);

// Where a paragraph's identifier would stand: after its blanks and after the
// bibliographic code a gazette's front page puts in front of it ("(19)【発行国】").
qsizetype LineStart(QStringView text);

// Whether a paragraph opens a part of a gazette, which has no 【書類名】 lines:
// (57)【要約】, 【特許請求の範囲】, 【発明の詳細な説明】.
bool StartsGazettePart(QStringView line);

// 【…】 at pos: the text inside and the position after 】, when 】 closes
// it before another 【 opens or the paragraph ends.
struct Bracketed {
    QStringView inner;
    qsizetype end = 0;
};
std::optional<Bracketed> BracketAt(QStringView text, qsizetype pos);

// The bracketed items that name a place: a paragraph number (digits), and
// 請求項, 図, 表, 化, 数 followed by a number (a figure may carry a letter:
// 図１Ａ). Returns the item's family ("" for a paragraph number) and number.
struct ItemName {
    QString family;
    int number = 0;
    QString suffix;  // the letter of 図１Ａ or the part of 図２６-１, as written
};
std::optional<ItemName> ReadItemName(QStringView inner);

// A paragraph number as an amendment writes it: ０００５, or with the branch
// number of a paragraph inserted after it, ０００５の２ (branch 0 for none).
struct ParagraphLabel {
    int number = 0;
    int branch = 0;
};
std::optional<ParagraphLabel> ReadParagraphLabel(QStringView inner);

// Whether a paragraph starts with a heading: 【…】 that is not an item name.
bool StartsWithHeading(QStringView line);

// The item (or paragraph number) a paragraph starts with, after its blanks
// and after a paragraph number in front of it (【００１２】【表１】).
struct LeadingItem {
    ItemName name;
    qsizetype start = 0;  // position of 【
    qsizetype end = 0;    // position after 】
};
std::optional<LeadingItem> LeadingItemOf(QStringView paragraph, const QString& family);

// About thirty characters of a text around [offset, offset + length),
// control characters left out (a tab as a blank).
QString Excerpt(QStringView text, qsizetype offset, qsizetype length);

class CheckedText {
public:
    explicit CheckedText(QStringList paragraphs);

    int size() const { return int(paragraphs_.size()); }
    const QString& operator[](int i) const { return paragraphs_[i]; }
    const QStringList& paragraphs() const { return paragraphs_; }
    const std::vector<Section>& sections() const { return sections_; }

    // The identifier at or before (paragraph, offset), as written; "冒頭" before the first.
    QString whereAt(int paragraph, qsizetype offset) const;
    // About thirty characters around [offset, offset + length) of a paragraph,
    // control characters left out.
    QString excerpt(int paragraph, qsizetype offset, qsizetype length) const;
    // A finding at (paragraph, offset): `what` followed by the excerpt around it.
    Finding finding(const QString& kind, int paragraph, qsizetype offset, qsizetype length,
                    const QString& what) const;

    // The analyser's tokens of a paragraph: each paragraph is analysed once,
    // when a rule first asks, whatever the number of rules that read it.
    const terms::Tokens& tokens(int paragraph) const;

private:
    struct Identifier {
        qsizetype offset;
        QString text;
    };
    QStringList paragraphs_;
    std::vector<Section> sections_;
    std::vector<std::vector<Identifier>> identifiers_;  // per paragraph, in order
    std::vector<int> lastIdentifierBefore_;             // paragraph holding the last identifier before p, or -1
    mutable std::unique_ptr<terms::JapaneseAnalyser> analyser_;
    mutable std::vector<std::optional<terms::Tokens>> tokens_;
};

}  // namespace engine::check
