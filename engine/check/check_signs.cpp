#include "engine/check/check_signs.h"

#include <QSet>

#include <algorithm>
#include <map>

namespace engine::check {

namespace {

const QString kKind = QStringLiteral("符号");
const QString kSignHeadingName = QStringLiteral("符号の説明");
const QString kSignHeading = QStringLiteral("【符号の説明】");

// Between a sign and its term in the list.
const QString kListSeparators = QStringLiteral(" 　\t…‥・：:－-─―—.．");
// Between two signs of one entry, and between two entries.
const QString kSignJoiners = QStringLiteral("、，,・");
const QString kRangeWords = QStringLiteral("～〜");
const QString kEntryEnds = QStringLiteral("、，,；;。");
const QString kPrimes = QStringLiteral("′'’＇″");
// A number followed by one of these counts or measures something; it is no sign.
const QString kCounters = QStringLiteral("つ個本枚台回度倍番種段重質容当部分秒年月日時週人件名箇ヶケ行列桁点周画字以未程％%℃°×μΩ");
// Words that stand before a number that is no sign (図１, 第１, 実施例１, 約１０, …).
const QStringList kNotSignBefore = {
    QStringLiteral("図"), QStringLiteral("表"), QStringLiteral("化"), QStringLiteral("数"), QStringLiteral("式"),
    QStringLiteral("項"), QStringLiteral("例"), QStringLiteral("第"), QStringLiteral("約"), QStringLiteral("号"),
    QStringLiteral("番"), QStringLiteral("節"), QStringLiteral("章"), QStringLiteral("条"), QStringLiteral("段落"),
    QStringLiteral("文献"), QStringLiteral("形態"), QStringLiteral("工程"), QStringLiteral("手順"),
    QStringLiteral("ステップ"), QStringLiteral("最大"), QStringLiteral("最小"), QStringLiteral("合計"),
    QStringLiteral("計"), QStringLiteral("比"), QStringLiteral("モード"), QStringLiteral("タイプ"),
    QStringLiteral("パターン"), QStringLiteral("ケース"), QStringLiteral("レベル"), QStringLiteral("サンプル"),
    QStringLiteral("試料"), QStringLiteral("条件"), QStringLiteral("段階"), QStringLiteral("グループ"),
};

// Kanji, katakana (with ー) and Latin letters: the characters a term ends in.
bool IsTermCharacter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x4E00 && u <= 0x9FFF) || u == u'々' || (u >= 0x30A1 && u <= 0x30FA) || u == u'ー' || IsLatinLetter(c);
}
bool IsKanjiOrKatakana(QChar c) { return IsTermCharacter(c) && !IsLatinLetter(c); }

// A sign at pos: digits, then a letter (10a) that does not begin a word, then primes.
struct SignToken {
    qsizetype start;
    qsizetype end;
    QString sign;  // normalised
    bool implied = false;  // inside a range of the list (１０Ａ～１０Ｄ)
};
std::optional<SignToken> ReadSign(QStringView text, qsizetype pos) {
    const auto digits = ReadDigits(text, pos);
    if (!digits || digits->length > 4) return std::nullopt;
    qsizetype end = pos + digits->length;
    if (end < text.size() && IsLatinLetter(text[end])) {
        if (end + 1 < text.size() && (IsLatinLetter(text[end + 1]) || DigitValue(text[end + 1]) >= 0)) return std::nullopt;
        ++end;
    }
    while (end < text.size() && kPrimes.contains(text[end])) ++end;
    return SignToken{pos, end, NormalisedSign(text.mid(pos, end - pos))};
}

// A number in running text that may be a sign: not part of a longer number,
// a decimal, a range or a quantity.
bool FollowedLikeASign(QStringView text, qsizetype end) {
    if (end >= text.size()) return true;
    const QChar c = text[end];
    // A katakana word right after a number is its unit (１２８ビット, ５ボルト).
    if (kCounters.contains(c) || (c.unicode() >= 0x30A1 && c.unicode() <= 0x30FA)) return false;
    if (QStringLiteral(".．:：/／～〜－-").contains(c) && end + 1 < text.size() && DigitValue(text[end + 1]) >= 0)
        return false;
    return true;
}

bool HasCapitalLetter(const QString& sign) {
    return std::any_of(sign.begin(), sign.end(), [](QChar c) { return c.unicode() >= u'Ａ' && c.unicode() <= u'Ｚ'; });
}

QString BaseOf(const QString& sign) {
    qsizetype end = 0;
    while (end < sign.size() && DigitValue(sign[end]) >= 0) ++end;
    return sign.left(end);
}

// The list as read: signs per term, terms per sign, longest term first.
struct SignList {
    std::vector<SignEntry> entries;
    std::map<QString, QStringList> signsOfTerm;
    std::map<QString, QString> termOfSign;
    // The terms by their last character, longest first: a long list stays cheap to match.
    std::map<QChar, QStringList> termsByLastCharacter;
    int first = -1;  // the list's paragraphs [first, end)
    int end = -1;
};

SignList ReadList(const CheckedText& text, const Section& section) {
    SignList list;
    for (int p = section.first; p < section.end; ++p) {
        const QStringView line(text[p]);
        if (list.first < 0) {
            // The heading may carry the first entries after it.
            if (!line.mid(SkipBlanks(line, 0)).startsWith(kSignHeading)) continue;
            list.first = p;
        } else if (StartsWithHeading(line)) {
            list.end = p;
            break;
        }
        for (SignEntry& e : ReadSignList(text[p], p)) list.entries.push_back(std::move(e));
    }
    if (list.first >= 0 && list.end < 0) list.end = section.end;
    for (const SignEntry& e : list.entries) {
        list.signsOfTerm[e.term] << e.sign;
        list.termOfSign.emplace(e.sign, e.term);
        QStringList& terms = list.termsByLastCharacter[e.term.back()];
        if (!terms.contains(e.term)) terms << e.term;
    }
    for (auto& [last, terms] : list.termsByLastCharacter)
        std::stable_sort(terms.begin(), terms.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
    return list;
}

// The longest listed term that ends right before pos.
const QString* TermBefore(const SignList& list, QStringView text, qsizetype pos) {
    if (pos == 0) return nullptr;
    const auto terms = list.termsByLastCharacter.find(text[pos - 1]);
    if (terms == list.termsByLastCharacter.end()) return nullptr;
    const QStringView before = text.left(pos);
    for (const QString& term : terms->second)
        if (before.endsWith(term)) return &term;
    return nullptr;
}

bool NumberIsNoSign(QStringView before) {
    return std::any_of(kNotSignBefore.begin(), kNotSignBefore.end(), [&](const QString& w) { return before.endsWith(w); });
}

class SignReader {
public:
    SignReader(const CheckedText& text, const SignList& list, Findings& out) : text_(text), list_(list), out_(out) {}

    void readParagraph(int p) {
        const QStringView line(text_[p]);
        for (qsizetype pos = 0; pos < line.size(); ++pos) {
            if (DigitValue(line[pos]) < 0 || (pos > 0 && DigitValue(line[pos - 1]) >= 0)) continue;
            const auto token = ReadSign(line, pos);
            if (!token || !FollowedLikeASign(line, token->end)) continue;
            used_.insert(token->sign);
            used_.insert(BaseOf(token->sign));
            if (pos > 0) judge(p, line, *token);
            pos = token->end - 1;
        }
    }

    void reportUnused() {
        for (const SignEntry& e : list_.entries)
            if (!e.implied && !used_.contains(e.sign))
                out_.push_back(text_.finding(kKind, e.paragraph, e.offset, e.sign.size(),
                                             QStringLiteral("符号%1「%2」が本文で使われていない").arg(e.sign, e.term)));
    }

private:
    QString listedSigns(const QString& term) const { return list_.signsOfTerm.at(term).join(u'、'); }

    // Which listed term owns a sign (exactly, else by its number).
    const QString* ownerOf(const QString& sign) const {
        auto it = list_.termOfSign.find(sign);
        if (it == list_.termOfSign.end()) it = list_.termOfSign.find(BaseOf(sign));
        return it == list_.termOfSign.end() ? nullptr : &it->second;
    }

    void judge(int p, QStringView line, const SignToken& token) {
        const QString* term = TermBefore(list_, line, token.start);
        const QString& sign = token.sign;
        if (term) {
            const QStringList& own = list_.signsOfTerm.at(*term);
            if (own.contains(sign)) return;
            const auto exact = list_.termOfSign.find(sign);
            const QString* other = exact != list_.termOfSign.end() ? &exact->second : nullptr;
            if (!other && own.contains(BaseOf(sign))) return;
            // An unlisted capital after the number is as likely a unit (ヒータ１０Ｗ).
            if (!other && HasCapitalLetter(sign)) return;
            if (!other) other = ownerOf(sign);
            const qsizetype from = token.start - term->size();
            QString what = QStringLiteral("「%1」の符号が%2（符号の説明では%3").arg(*term, sign, listedSigns(*term));
            what += other ? QStringLiteral("、%1は「%2」）").arg(sign, *other) : QStringLiteral("、%1は符号の説明にない）").arg(sign);
            out_.push_back(text_.finding(kKind, p, from, token.end - from, what));
            return;
        }
        // A listed sign after a word the list does not give it. Single digits
        // are too often counts and names (モード１) to be judged this way.
        // A letter after the number is as likely a unit (１２Ｖ) unless the list has the sign itself.
        const bool letterListed = BaseOf(sign).size() == sign.size() || list_.termOfSign.count(sign);
        const QString* owner = ownerOf(sign);
        if (!owner || !letterListed || BaseOf(sign).size() < 2 || !IsKanjiOrKatakana(line[token.start - 1]) ||
            NumberIsNoSign(line.left(token.start)))
            return;
        out_.push_back(text_.finding(kKind, p, token.start, token.end - token.start,
                                     QStringLiteral("符号%1が「%2」以外の語に付いている").arg(sign, *owner)));
    }

    const CheckedText& text_;
    const SignList& list_;
    Findings& out_;
    QSet<QString> used_;
};

}  // namespace

QString NormalisedSign(QStringView sign) {
    QString out;
    for (const QChar c : sign) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9') out += QChar(char16_t(u - u'0' + u'０'));
        else if (u >= u'a' && u <= u'z') out += QChar(char16_t(u - u'a' + u'ａ'));
        else if (u >= u'A' && u <= u'Z') out += QChar(char16_t(u - u'A' + u'Ａ'));
        else if (kPrimes.contains(c)) out += c == u'″' ? QStringLiteral("′′") : QStringLiteral("′");
        else out += c;
    }
    return out;
}

// The signs between the two ends of a range in the list: １０Ａ～１０Ｄ gives
// １０Ｂ and １０Ｃ, １０～１３ gives １１ and １２. They are marked as implied.
void ExpandRange(const SignToken& from, const SignToken& to, std::vector<SignToken>& signs) {
    const QString a = BaseOf(from.sign), b = BaseOf(to.sign);
    const bool lettered = from.sign.size() == a.size() + 1 && to.sign.size() == b.size() + 1 &&
                          IsLatinLetter(from.sign.back()) && IsLatinLetter(to.sign.back());
    if (lettered && a == b) {
        for (char16_t c = char16_t(from.sign.back().unicode() + 1); c < to.sign.back().unicode(); ++c)
            signs.push_back({from.start, to.end, a + QChar(c), true});
        return;
    }
    if (a.size() != from.sign.size() || b.size() != to.sign.size()) return;
    const int first = ReadDigits(a, 0)->value, last = ReadDigits(b, 0)->value;
    if (last <= first || last - first > 50) return;
    for (int n = first + 1; n < last; ++n) signs.push_back({from.start, to.end, NormalisedSign(QString::number(n)), true});
}

std::vector<SignEntry> ReadSignList(QStringView line, int paragraphIndex) {
    std::vector<SignEntry> entries;
    qsizetype pos = SkipBlanks(line, 0);
    // The heading or a paragraph number in front of the entries.
    while (const auto bracket = BracketAt(line, pos)) {
        if (!ReadItemName(bracket->inner) && bracket->inner != kSignHeadingName) break;
        pos = SkipBlanks(line, bracket->end);
    }
    while (true) {
        while (pos < line.size() && (IsBlank(line[pos]) || kEntryEnds.contains(line[pos]))) ++pos;
        std::vector<SignToken> signs;
        for (auto token = ReadSign(line, pos); token; token = ReadSign(line, pos)) {
            pos = token->end;
            const bool range = pos + 1 < line.size() && kRangeWords.contains(line[pos]);
            if (!signs.empty() && signs.back().end + 1 == token->start && kRangeWords.contains(line[token->start - 1]))
                ExpandRange(SignToken(signs.back()), *token, signs);
            signs.push_back(*token);
            if (pos + 1 < line.size() && (kSignJoiners.contains(line[pos]) || range) && DigitValue(line[pos + 1]) >= 0) ++pos;
            else break;
        }
        if (signs.empty()) break;
        while (pos < line.size() && kListSeparators.contains(line[pos])) ++pos;
        const qsizetype termStart = pos;
        // The term ends at a comma or full stop, or at blanks before the next entry's sign.
        auto termEndsAt = [&](qsizetype i) {
            if (kEntryEnds.contains(line[i])) return true;
            if (!IsBlank(line[i])) return false;
            const qsizetype next = SkipBlanks(line, i);
            return next < line.size() && DigitValue(line[next]) >= 0;
        };
        while (pos < line.size() && !termEndsAt(pos)) ++pos;
        QString term = line.mid(termStart, pos - termStart).toString().trimmed();
        // "読込部（リーダ）": the text writes the term without its gloss.
        if (term.endsWith(u'）') && term.contains(u'（')) term = term.left(term.indexOf(u'（')).trimmed();
        if (term.isEmpty()) break;
        for (const SignToken& s : signs) entries.push_back({s.sign, term, paragraphIndex, s.start, s.implied});
    }
    return entries;
}

std::vector<TextSign> ReadTextSigns(QStringView line) {
    std::vector<TextSign> signs;
    for (qsizetype pos = 1; pos < line.size(); ++pos) {
        if (DigitValue(line[pos]) < 0 || DigitValue(line[pos - 1]) >= 0) continue;
        const auto token = ReadSign(line, pos);
        if (!token) continue;
        pos = token->end - 1;
        // 基板（１０）: the word stands before the parenthesis.
        qsizetype wordEnd = token->start;
        const bool parenthesised = (line[wordEnd - 1] == u'（' || line[wordEnd - 1] == u'(') && token->end < line.size() &&
                                   (line[token->end] == u'）' || line[token->end] == u')');
        if (parenthesised) --wordEnd;
        if (wordEnd == 0 || !IsKanjiOrKatakana(line[wordEnd - 1]) || NumberIsNoSign(line.left(wordEnd))) continue;
        if (!parenthesised && !FollowedLikeASign(line, token->end)) continue;
        signs.push_back({token->sign, token->start, token->end});
    }
    return signs;
}

Findings CheckReferenceSigns(const CheckedText& text) {
    Findings out;
    for (const Section& section : text.sections()) {
        if (!section.isDescription()) continue;
        const SignList list = ReadList(text, section);
        if (list.entries.empty()) continue;
        SignReader reader(text, list, out);
        for (int p = section.first; p < section.end; ++p)
            if (p < list.first || p >= list.end) reader.readParagraph(p);
        reader.reportUnused();
    }
    return out;
}

}  // namespace engine::check
