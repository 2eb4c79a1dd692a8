#pragma once
// The 【符号の説明】 list as the check reads it: its entries with their signs
// and the names the text may write for each, and the signs as written in the
// list or in running text.

#include "engine/check/check_text.h"

#include <map>
#include <set>

namespace engine::check {

// One sign of the list: "１０　読込部", "１０…読込部", "10：読込部",
// "１０、１１　読込部" (two signs of one entry), "１０ａ　第１読込部",
// "１０Ａ～１０Ｄ　ローラ", "２１～２４…第１～第４導電層" (four, one name
// each), "３０（３０ａ乃至３０ｄ）…ローラ" (the sub-signs implied).
struct SignEntry {
    QString sign;  // normalised: full-width digits and letters, ′ for a prime, － for a hyphen
    QString term;  // the name as the text writes it: a qualifier in front and a gloss after left out
    int paragraph = 0;
    qsizetype offset = 0;
    bool implied = false;  // between the ends of a range (１０Ａ～１０Ｄ) or a sub-sign in brackets, not itself used
    // Other names the text may write: the glosses (第１コンタクトガラス（ＤＦガラス）)
    // and the name with its qualifier ((第１刈刃体の)係合部: 第１刈刃体の係合部).
    QStringList aliases;
    QString written;  // the name as the list writes it, qualifier and gloss included
    int entry = 0;    // the entry it belongs to: signs of one entry share it
    bool part = false;  // a sub-sign in brackets, a part of the entry's thing with no name of its own
};
std::vector<SignEntry> ReadSignList(QStringView paragraph, int paragraphIndex);

// A sign as written (10a, １０ａ, 10', １０′, １０７-１３) in its normalised form.
QString NormalisedSign(QStringView sign);
// The number a sign begins with: １０ of １０ａ′ and of １０－１.
QString BaseOf(const QString& sign);

// Kanji, katakana (with ー) and Latin letters: the characters a name is made of.
bool IsTermCharacter(QChar c);
// Whether a normalised sign carries a capital letter (２８Ａ).
bool HasCapitalLetter(const QString& sign);

// A sign at pos: digits, then a letter that does not begin a word, then primes.
struct SignToken {
    qsizetype start;
    qsizetype end;
    QString sign;  // normalised
    bool implied = false;
};
struct SignShape {
    int lowerLetters = 1;  // up to this many small letters (２３ｓｐ); a capital only alone
    bool hyphenated = false;  // １０７－１３ read as one sign
};
std::optional<SignToken> ReadSign(QStringView text, qsizetype pos, SignShape shape = {});

// The list of one description: every name it gives a sign, and the paragraphs it spans.
struct SignList {
    std::vector<SignEntry> entries;
    std::map<QString, QStringList> signsOfTerm;  // by every name, aliases included
    std::map<QString, QString> termOfSign;       // the first entry's name
    // The names by their last character, longest first: a long list stays cheap to match.
    std::map<QChar, QStringList> termsByLastCharacter;
    std::set<QString> capitalBases;  // numbers listed with a capital letter (２８Ａ): their capitals are signs
    std::set<QString> longSigns;     // signs with a hyphen or two letters, which running text reads only when listed
    std::set<QString> parts;         // sub-signs in brackets (３０（３０ａ乃至３０ｄ）)
    std::set<QString> implied;       // signs the list does not write itself
    int first = -1;                  // the list's paragraphs [first, end)
    int end = -1;
};
// The list in a section; an entry broken over two paragraphs ("３１…第" /
// "１層") is read as one.
SignList ReadList(const CheckedText& text, const Section& section);

// The longest listed name that ends right before pos.
const QString* TermBefore(const SignList& list, QStringView text, qsizetype pos);

}  // namespace engine::check
