#include "engine/check/check_signs.h"

#include "engine/check/check_claims.h"

#include <QSet>

#include <algorithm>
#include <map>

namespace engine::check {

namespace {

const QString kKind = QStringLiteral("符号");

// A number followed by one of these counts or measures something; it is no sign.
const QString kCounters = QStringLiteral("つ個本枚台回度倍番種段重質容当部分秒年月日時週人件名箇ヶケ行列桁点周画字以未程％%℃°×μΩ");
// Words that stand before a number that is no sign (図１, 第１, 実施例１, 約１０, 閾値５０, …).
const QStringList kNotSignBefore = {
    QStringLiteral("図"), QStringLiteral("表"), QStringLiteral("化"), QStringLiteral("数"), QStringLiteral("式"),
    QStringLiteral("項"), QStringLiteral("例"), QStringLiteral("第"), QStringLiteral("約"), QStringLiteral("号"),
    QStringLiteral("番"), QStringLiteral("節"), QStringLiteral("章"), QStringLiteral("条"), QStringLiteral("段落"),
    QStringLiteral("文献"), QStringLiteral("形態"), QStringLiteral("工程"), QStringLiteral("手順"),
    QStringLiteral("ステップ"), QStringLiteral("最大"), QStringLiteral("最小"), QStringLiteral("合計"),
    QStringLiteral("計"), QStringLiteral("比"), QStringLiteral("モード"), QStringLiteral("タイプ"),
    QStringLiteral("パターン"), QStringLiteral("ケース"), QStringLiteral("レベル"), QStringLiteral("サンプル"),
    QStringLiteral("試料"), QStringLiteral("条件"), QStringLiteral("段階"), QStringLiteral("グループ"),
    QStringLiteral("値"), QStringLiteral("率"), QStringLiteral("量"), QStringLiteral("限"), QStringLiteral("度"),
    QStringLiteral("径"), QStringLiteral("厚"), QStringLiteral("圧"), QStringLiteral("力"), QStringLiteral("時間"),
    QStringLiteral("期間"), QStringLiteral("範囲"), QStringLiteral("平成"), QStringLiteral("昭和"), QStringLiteral("令和"),
    QStringLiteral("西暦"), QStringLiteral("バージョン"), QStringLiteral("実験"), QStringLiteral("試験"),
    QStringLiteral("幅"), QStringLiteral("長"), QStringLiteral("高"), QStringLiteral("深"), QStringLiteral("積"),
    QStringLiteral("角"), QStringLiteral("距離"), QStringLiteral("間隔"), QStringLiteral("寸法"), QStringLiteral("ピッチ"),
    QStringLiteral("関係"),
};
// The headings of the embodiments, which the list's signs are written for.
const QStringList kEmbodimentHeadings = {QStringLiteral("【発明を実施するための形態】"),
                                         QStringLiteral("【発明を実施するための最良の形態】"),
                                         QStringLiteral("【発明の実施の形態】"), QStringLiteral("【実施例】")};
// The words that join two names sharing their end: 入口又は出口ポート, 第１、第２絶縁層.
const QStringList kCoordinators = {
    QStringLiteral("又は"), QStringLiteral("或いは"), QStringLiteral("あるいは"), QStringLiteral("若しくは"),
    QStringLiteral("もしくは"), QStringLiteral("及び"), QStringLiteral("および"), QStringLiteral("並びに"),
    QStringLiteral("ならびに"), QStringLiteral("と"), QStringLiteral("や"), QStringLiteral("、"), QStringLiteral("，"),
    QStringLiteral("・"), QStringLiteral(","),
};
// Words in front of a name that refer back to it (前記ガイド板): not part of the name.
const QStringList kReferringWords = {QStringLiteral("前記"), QStringLiteral("上記"), QStringLiteral("当該"),
                                     QStringLiteral("該"), QStringLiteral("各"), QStringLiteral("両")};

bool IsKanjiOrKatakana(QChar c) { return IsTermCharacter(c) && !IsLatinLetter(c); }

// A number in running text that may be a sign: not part of a longer number,
// a decimal, a range or a quantity.
bool FollowedLikeASign(QStringView text, qsizetype end) {
    if (end >= text.size()) return true;
    const QChar c = text[end];
    // A katakana word right after a number is its unit (１２８ビット, ５ボルト).
    if (kCounters.contains(c) || (c.unicode() >= 0x30A1 && c.unicode() <= 0x30FA)) return false;
    if (QStringLiteral(".．:：/／～〜－-−‐").contains(c) && end + 1 < text.size() && DigitValue(text[end + 1]) >= 0)
        return false;
    // Thousands grouped: 分子量１０，０００ (but ローラ３０，３１ are two signs).
    if ((c == u'，' || c == u',') && end + 3 < text.size()) {
        const auto group = ReadDigits(text, end + 1);
        if (group && group->length == 3 && (end + 4 >= text.size() || DigitValue(text[end + 4]) < 0)) return false;
    }
    // A unit in brackets: 画像面積率５０［％］, 温度５０（℃）.
    if (c == u'［' || c == u'[') return false;
    if ((c == u'（' || c == u'(') && end + 1 < text.size() && QStringLiteral("％%℃°").contains(text[end + 1])) return false;
    return true;
}

// A number that belongs to a name of a standard or a format, not a sign:
// H.264, IPv6, CDMA2000, JIS Z 8301, MPEG-4. (ＣＰＵ１０ may be a sign.)
bool InDesignation(QStringView text, qsizetype pos) {
    if (pos == 0) return false;
    const QChar c = text[pos - 1];
    if (IsLatinLetter(c)) return c.isLower() || ReadDigits(text, pos)->length >= 4;
    return pos >= 2 && (QStringLiteral(".．-－").contains(c) || IsBlank(c)) && IsLatinLetter(text[pos - 2]);
}

bool NumberIsNoSign(QStringView before) {
    return std::any_of(kNotSignBefore.begin(), kNotSignBefore.end(), [&](const QString& w) { return before.endsWith(w); });
}

// Where the name ending at pos begins: its kanji, katakana and letters, without 前記 in front.
qsizetype NameStart(QStringView text, qsizetype pos) {
    qsizetype start = pos;
    while (start > 0 && IsTermCharacter(text[start - 1])) --start;
    for (const QString& w : kReferringWords)
        if (text.mid(start, pos - start).startsWith(w) && pos - start > w.size()) return start + w.size();
    return start;
}

qsizetype CommonTail(QStringView a, QStringView b) {
    qsizetype n = 0;
    while (n < a.size() && n < b.size() && a[a.size() - 1 - n] == b[b.size() - 1 - n]) ++n;
    return n;
}

// Whether the name before the sign is one of coordinated names that share their
// end, the listed one the first: 入口又は出口ポート２４ (２４ 入口ポート),
// 第１、第２絶縁層３１ (３１ 第１絶縁層).
bool Coordinated(QStringView line, qsizetype nameStart, QStringView name, const QString& listed) {
    const QStringView before = line.left(nameStart);
    for (const QString& joiner : kCoordinators) {
        if (!before.endsWith(joiner)) continue;
        const qsizetype end = nameStart - joiner.size();
        qsizetype start = end;
        while (start > 0 && (IsTermCharacter(line[start - 1]) || DigitValue(line[start - 1]) >= 0)) --start;
        for (qsizetype k = start; k < end; ++k) {
            const QStringView head = line.mid(k, end - k);
            if (listed.size() > head.size() && listed.startsWith(head) && name.endsWith(QStringView(listed).mid(head.size())))
                return true;
        }
    }
    return false;
}

// Whether a name not in the list may stand for a listed one: its generic name
// (一対のガイド板 for 第１ガイド板), a name sharing its longer end, a coordinated name.
bool NamesAgree(QStringView line, qsizetype nameStart, QStringView name, const QString& listed) {
    if (name.size() >= 2 && listed.endsWith(name)) return true;
    if (CommonTail(name, listed) >= 3) return true;
    return Coordinated(line, nameStart, name, listed);
}

// Signs of one thing: １０ and １０ａ (one number), ２０ and １２０ (the same
// part in another embodiment, numbered by hundreds).
bool OneSeries(const QString& a, const QString& b) {
    const int x = ReadDigits(a, 0)->value, y = ReadDigits(b, 0)->value;
    return x % 100 == y % 100;
}

// The list's own faults: one sign given to two names, one name given two
// signs in separate entries (signs of one number, １０ and １０ａ, excepted).
void CheckListEntries(const CheckedText& text, const SignList& list, Findings& out) {
    std::map<QString, const SignEntry*> bySign, byName;
    for (const SignEntry& e : list.entries) {
        if (e.implied) continue;
        const auto [sameSign, newSign] = bySign.emplace(e.sign, &e);
        if (!newSign && sameSign->second->term != e.term && sameSign->second->written != e.written)
            out.push_back(text.finding(kKind, e.paragraph, e.offset, e.sign.size(),
                                       QStringLiteral("符号の説明で符号%1が「%2」と「%3」に付いている")
                                           .arg(e.sign, sameSign->second->term, e.term)));
        const auto [sameName, newName] = byName.emplace(e.written, &e);
        if (!newName && sameName->second->entry != e.entry && !OneSeries(sameName->second->sign, e.sign))
            out.push_back(text.finding(kKind, e.paragraph, e.offset, e.sign.size(),
                                       QStringLiteral("符号の説明で「%1」に符号%2と%3が付いている")
                                           .arg(e.term, sameName->second->sign, e.sign)));
    }
}

class SignReader {
public:
    SignReader(const CheckedText& text, const SignList& list, Findings& out) : text_(text), list_(list), out_(out) {}

    // Running text: a sign right after its name (読込部１０).
    void readParagraph(int p) {
        const QStringView line(text_[p]);
        for (qsizetype pos = 0; pos < line.size(); ++pos) {
            if (DigitValue(line[pos]) < 0 || (pos > 0 && DigitValue(line[pos - 1]) >= 0)) continue;
            const auto token = signAt(line, pos);
            if (!token || !FollowedLikeASign(line, token->end)) continue;
            const QString* term = TermBefore(list_, line, pos);
            pos = token->end - 1;
            if (!term && InDesignation(line, token->start)) continue;
            used_.insert(token->sign);
            used_.insert(BaseOf(token->sign));
            if (token->start > 0) judge(p, line, *token, token->start, term, false);
        }
    }

    // A claim: signs in brackets after their name (配管（１）, 弁（２ａ、２ｂ）).
    void readClaim(int p) {
        const QStringView line(text_[p]);
        for (qsizetype open = 1; open < line.size(); ++open) {
            if (line[open] != u'（' && line[open] != u'(') continue;
            std::vector<SignToken> signs;
            qsizetype pos = open + 1;
            while (const auto token = signAt(line, pos)) {
                signs.push_back(*token);
                pos = token->end;
                if (pos + 1 < line.size() && QStringLiteral("、，,・").contains(line[pos]) && DigitValue(line[pos + 1]) >= 0) ++pos;
                else break;
            }
            if (signs.empty() || pos >= line.size() || (line[pos] != u'）' && line[pos] != u')')) continue;
            judge(p, line, signs.front(), open, TermBefore(list_, line, open), true);
            // The later signs of the brackets are only checked against the list.
            for (size_t i = 1; i < signs.size(); ++i)
                if (!ownerOf(signs[i].sign)) reportUnlisted(p, line, signs[i], open);
            open = pos;
        }
    }

    // Signs the list lacks are looked for from this paragraph on: the
    // background may cite the signs of earlier publications' figures.
    void lookForUnlistedFrom(int paragraph) { unlistedFrom_ = paragraph; }

    void reportUnused() {
        for (const SignEntry& e : list_.entries)
            if (!e.implied && !used_.contains(e.sign))
                out_.push_back(text_.finding(kKind, e.paragraph, e.offset, e.sign.size(),
                                             QStringLiteral("符号%1「%2」が本文で使われていない").arg(e.sign, e.term)));
    }

private:
    // The sign at pos: a sign with a hyphen or two letters (１０７－１３, ２３ｓｐ) only when listed.
    std::optional<SignToken> signAt(QStringView line, qsizetype pos) const {
        const auto listedLong = ReadSign(line, pos, {3, true});
        if (listedLong && list_.longSigns.count(listedLong->sign)) return listedLong;
        return ReadSign(line, pos);
    }

    // The signs the list writes for a name (not those it implies).
    QString listedSigns(const QString& term) const {
        QStringList written;
        for (const QString& sign : list_.signsOfTerm.at(term))
            if (!list_.implied.count(sign)) written << sign;
        return written.join(u'、');
    }

    // Which listed term owns a sign (exactly, else by its number).
    const QString* ownerOf(const QString& sign) const {
        auto it = list_.termOfSign.find(sign);
        if (it == list_.termOfSign.end()) it = list_.termOfSign.find(BaseOf(sign));
        return it == list_.termOfSign.end() ? nullptr : &it->second;
    }

    // A capital after a number is a unit (ヒータ１０Ｗ) unless the list gives
    // this number or this name signs with capitals (キャスター２８Ａ).
    bool capitalIsUnit(const QString& sign, const QStringList& own) const {
        return HasCapitalLetter(sign) && !list_.capitalBases.count(BaseOf(sign)) &&
               std::none_of(own.begin(), own.end(), HasCapitalLetter);
    }

    // The sign at token, its name ending at `at`: a listed name with another
    // sign, a listed sign after another name, a sign the list lacks.
    void judge(int p, QStringView line, const SignToken& token, qsizetype at, const QString* term, bool bracketed) {
        const QString& sign = token.sign;
        if (term) {
            judgeListedName(p, line, token, at, *term);
            return;
        }
        if (at == 0 || !IsKanjiOrKatakana(line[at - 1]) || NumberIsNoSign(line.left(at))) return;
        // Single digits in running text are too often counts and names (モード１) to be judged.
        if (!bracketed && BaseOf(sign).size() < 2) return;
        const QString* owner = ownerOf(sign);
        if (!owner) {
            // A letter after an unlisted number is as likely a unit (１０ｍ, １２Ｖ).
            if (BaseOf(sign).size() == sign.size()) reportUnlisted(p, line, token, at);
            return;
        }
        // A letter after the number is as likely a unit (１２Ｖ) unless the list has the sign itself.
        // A part in brackets (操作部４０（４０ａ及び４０ｂ）) has no name of its own to compare.
        const bool letterListed = BaseOf(sign).size() == sign.size() || list_.termOfSign.count(sign);
        const qsizetype nameStart = NameStart(line, at);
        if (!letterListed || list_.parts.count(sign) ||
            NamesAgree(line, nameStart, line.mid(nameStart, at - nameStart), *owner))
            return;
        out_.push_back(text_.finding(kKind, p, token.start, token.end - token.start,
                                     QStringLiteral("符号%1が「%2」以外の語に付いている").arg(sign, *owner)));
    }

    void judgeListedName(int p, QStringView line, const SignToken& token, qsizetype at, const QString& term) {
        const QString& sign = token.sign;
        const QStringList& own = list_.signsOfTerm.at(term);
        if (own.contains(sign)) return;
        const auto exact = list_.termOfSign.find(sign);
        const QString* other = exact != list_.termOfSign.end() ? &exact->second : nullptr;
        if (!other && own.contains(BaseOf(sign))) return;
        if (!other && capitalIsUnit(sign, own)) return;
        if (!other) other = ownerOf(sign);
        const qsizetype from = at - term.size();
        // The generic name of the listed one (ガイド板１１ for １１ 第１ガイド板), or coordinated names.
        if (other && ((*other != term && other->endsWith(term)) || Coordinated(line, from, term, *other))) return;
        QString what = QStringLiteral("「%1」の符号が%2（符号の説明では%3").arg(term, sign, listedSigns(term));
        what += other ? QStringLiteral("、%1は「%2」）").arg(sign, *other) : QStringLiteral("、%1は符号の説明にない）").arg(sign);
        out_.push_back(text_.finding(kKind, p, from, token.end - from, what));
    }

    // A sign after a name, neither of them in the list (新部材９９).
    void reportUnlisted(int p, QStringView line, const SignToken& token, qsizetype at) {
        const qsizetype nameStart = NameStart(line, at);
        if (nameStart == at || p < unlistedFrom_) return;
        out_.push_back(text_.finding(kKind, p, nameStart, token.end - nameStart,
                                     QStringLiteral("「%1」の符号%2が符号の説明にない")
                                         .arg(line.mid(nameStart, at - nameStart).toString(), token.sign)));
    }

    const CheckedText& text_;
    const SignList& list_;
    Findings& out_;
    QSet<QString> used_;
    int unlistedFrom_ = 0;
};

// Where the embodiments begin in a description; its beginning when it has no such heading.
int EmbodimentsStart(const CheckedText& text, const Section& section) {
    for (int p = section.first; p < section.end; ++p) {
        const QStringView line = QStringView(text[p]).trimmed();
        if (std::any_of(kEmbodimentHeadings.begin(), kEmbodimentHeadings.end(), [&](const QString& h) { return line.startsWith(h); }))
            return p;
    }
    return section.first;
}

}  // namespace

Findings CheckReferenceSigns(const CheckedText& text) {
    Findings out;
    std::optional<SignList> firstList;
    for (const Section& section : text.sections()) {
        if (!section.isDescription()) continue;
        SignList list = ReadList(text, section);
        if (list.entries.empty()) continue;
        CheckListEntries(text, list, out);
        SignReader reader(text, list, out);
        reader.lookForUnlistedFrom(EmbodimentsStart(text, section));
        for (int p = section.first; p < section.end; ++p)
            if (p < list.first || p >= list.end) reader.readParagraph(p);
        reader.reportUnused();
        if (!firstList) firstList = std::move(list);
    }
    // The claims write their signs in brackets; they are judged against the description's list.
    if (firstList) {
        Findings claims;
        SignReader reader(text, *firstList, claims);
        for (const Claim& claim : ReadClaims(text))
            for (int p = claim.paragraph; p <= claim.lastParagraph; ++p) reader.readClaim(p);
        out.insert(out.end(), claims.begin(), claims.end());
    }
    return out;
}

}  // namespace engine::check
