#pragma once
// A document as the translation check reads it: its language and its units.
// A unit begins at an identifier that the other language writes in its own
// way — a part (明細書 / DESCRIPTION), a heading (【技術分野】 / Technical
// Field), a paragraph number (【０００１】 / [0001]), a claim (【請求項１】 /
// "1." in the claims / [Claim 1]), a figure (【図１】 / FIG. 1), a table,
// chemical formula or equation (【表１】 / [Table 1]) — and holds the text up
// to the next identifier. The key says which unit of the other side it is.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace engine::translation {

enum class Language { Japanese, English };
// Japanese when its kana and kanji are more than a fifth of its letters.
Language DetectLanguage(const QStringList& paragraphs);
// "日本語" / "英語".
QString LanguageName(Language language);

// Kana and kanji.
bool IsJapaneseCharacter(QChar c);
bool HasJapanese(QStringView text);

enum class Part { Front, Description, Claims, Abstract, Drawings };

enum class UnitKind { Start, PartName, Heading, Paragraph, Claim, Figure, Item, Pair };

struct Unit {
    UnitKind kind = UnitKind::Start;
    Part part = Part::Front;
    // "P5" paragraph 5, "C3" claim 3, "F3a" figure 3A, "T2"/"K1"/"M4" table,
    // chemical formula, equation, "H:技術分野" a heading, "D2" a part; made
    // unique in the document by "#2", "#3" on repeats.
    QString key;
    int number = 0;  // of a paragraph, claim, figure or item
    QString name;    // the identifier as written: 【０００５】, [0005], Claim 3, FIG. 1
    int paragraph = 0;  // where the identifier stands
    QString text;       // after the identifier up to the next unit, paragraphs joined by '\n'
    bool knownHeading = false;  // a heading the other language has a name for
    bool repeated = false;      // a paragraph number or claim the document has already had
};

struct Document {
    Language language = Language::Japanese;
    std::vector<Unit> units;
};

// The units of a document of the given language, in order.
Document ReadDocument(const QStringList& paragraphs, Language language);

// The headings both languages name, by key ("H:符号の説明"); what a
// heading is in the other language ("Reference Signs List").
QString HeadingKey(const QString& japaneseHeading);
std::optional<QString> EnglishHeadingKey(const QString& line);
QString SignListKey();

// The unit as named in findings: its identifier as written, else the key.
QString UnitName(const Unit& unit);

}  // namespace engine::translation
