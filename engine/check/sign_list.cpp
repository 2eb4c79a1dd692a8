#include "engine/check/sign_list.h"

#include "engine/text_helpers.h"

#include <QRegularExpression>

#include <algorithm>

namespace engine::check {

namespace {

const QString kSignHeadingName = QStringLiteral("符号の説明");
const QString kSignHeading = QStringLiteral("【符号の説明】");

// Between a sign and its name in the list.
const QString kListSeparators = QStringLiteral(" 　\t…‥・：:－-─―—.．");
// Between two signs of one entry.
const QString kSignJoiners = QStringLiteral("、，,・");
// Between two signs in brackets (３０（３０ａ及び３０ｂ）), and between the ordinals of a name.
const QStringList kWordJoiners = {QStringLiteral("、"), QStringLiteral("，"), QStringLiteral(","), QStringLiteral("・"),
                                  QStringLiteral("及び"), QStringLiteral("および"), QStringLiteral("と")};
const QStringList kRangeWords = {QStringLiteral("～"), QStringLiteral("〜"), QStringLiteral("乃至"), QStringLiteral("ないし")};
// Where a name always ends, and where it ends when the next entry's sign follows.
const QString kNameEnds = QStringLiteral("。；;");
const QString kEntryBreaks = QStringLiteral("、，,：:");
// The last characters of a paragraph whose entry goes on in the next one.
const QString kUnfinished = QStringLiteral("第の、，,・…‥：:（(～〜－-");
const QString kPrimes = QStringLiteral("′'’＇″");
const QString kHyphens = QStringLiteral("－-−‐‑–");

bool IsOpening(QChar c) { return c == u'（' || c == u'('; }
bool IsClosing(QChar c) { return c == u'）' || c == u')'; }
bool IsLower(QChar c) { return (c >= u'a' && c <= u'z') || (c >= QChar(0xFF41) && c <= QChar(0xFF5A)); }

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

const SignShape kListShape{3, true};

// The signs of one entry: １０、１１ and １０～１３ (the range filled in).
std::vector<SignToken> ReadEntrySigns(QStringView line, qsizetype& pos) {
    std::vector<SignToken> signs;
    bool range = false;
    for (auto token = ReadSign(line, pos, kListShape); token; token = ReadSign(line, pos, kListShape)) {
        pos = token->end;
        if (range && !signs.empty()) ExpandRange(SignToken(signs.back()), *token, signs);
        signs.push_back(*token);
        qsizetype next = pos;
        range = false;
        if (pos < line.size() && kSignJoiners.contains(line[pos])) {
            next = pos + 1;
        } else if (const auto after = WordAt(line, pos, kRangeWords)) {
            next = *after;
            range = true;
        }
        if (next == pos || next >= line.size() || DigitValue(line[next]) < 0) break;
        pos = next;
    }
    return signs;
}

// The sub-signs in brackets after an entry's sign: ３０（３０ａ乃至３０ｄ）, ４０（４０ａ及び４０ｂ）.
std::vector<SignToken> ReadSubSigns(QStringView line, qsizetype& pos) {
    if (pos + 1 >= line.size() || !IsOpening(line[pos])) return {};
    std::vector<SignToken> subs;
    qsizetype i = pos + 1;
    bool range = false;
    while (true) {
        const auto token = ReadSign(line, i, kListShape);
        if (!token) return {};
        if (range && !subs.empty()) ExpandRange(SignToken(subs.back()), *token, subs);
        subs.push_back(*token);
        i = token->end;
        if (i < line.size() && IsClosing(line[i])) break;
        const auto range_ = WordAt(line, i, kRangeWords);
        const auto joined = range_ ? range_ : WordAt(line, i, kWordJoiners);
        if (!joined) return {};
        range = bool(range_);
        i = *joined;
    }
    for (SignToken& s : subs) s.implied = true;
    pos = i + 1;
    return subs;
}

// Whether the next entry begins at pos: a sign followed by what follows signs
// in this list (a separator, or the name itself where the list writes no separator).
bool StartsEntry(QStringView line, qsizetype pos, bool bare) {
    const auto token = ReadSign(line, pos, kListShape);
    if (!token) return false;
    return bare || token->end >= line.size() || !IsTermCharacter(line[token->end]);
}

// Where the name starting at pos ends: at a full stop, or at a comma, colon or
// blank before the next entry's sign; never inside brackets.
qsizetype NameEnd(QStringView line, qsizetype pos, bool bare) {
    int depth = 0;
    for (qsizetype i = pos; i < line.size(); ++i) {
        const QChar c = line[i];
        if (IsOpening(c)) ++depth;
        else if (IsClosing(c)) depth = std::max(0, depth - 1);
        else if (depth > 0) continue;
        else if (kNameEnds.contains(c)) return i;
        else if ((kEntryBreaks.contains(c) || IsBlank(c)) && StartsEntry(line, SkipBlanks(line, i + 1), bare)) return i;
    }
    return line.size();
}

// The bracket that closes (or opens) the one at pos, or -1.
qsizetype MatchingBracket(QStringView text, qsizetype pos, int step) {
    int depth = 0;
    for (qsizetype i = pos; i >= 0 && i < text.size(); i += step) {
        if (IsOpening(text[i])) depth += step;
        else if (IsClosing(text[i])) depth -= step;
        if (depth == 0) return i;
    }
    return -1;
}

struct Name {
    QString term;
    QStringList aliases;
};

// A gloss's names: 始動記憶手段、… gives 始動記憶手段; 以下、ＤＦガラスという gives ＤＦガラス.
QStringList GlossNames(QString gloss) {
    QStringList names;
    for (QString part : gloss.split(QRegularExpression(QStringLiteral("[、，,・]")))) {
        part = part.trimmed();
        if (part == QStringLiteral("以下")) continue;
        for (const QString& tail : {QStringLiteral("という"), QStringLiteral("と称する"), QStringLiteral("とも称する")})
            if (part.endsWith(tail)) part.chop(tail.size());
        if (!part.isEmpty() && IsTermCharacter(part.back())) names << part;
    }
    return names;
}

// A name as written: the gloss after it (読込部（リーダ）) and the qualifier
// in front of it ((第１刈刃体の)係合部) are other names for the same sign.
Name ReadName(QStringView written) {
    Name name;
    QString term = written.trimmed().toString();
    if (!term.isEmpty() && IsClosing(term.back())) {
        const qsizetype open = MatchingBracket(term, term.size() - 1, -1);
        if (open > 0) {
            name.aliases = GlossNames(term.mid(open + 1, term.size() - open - 2));
            term = term.left(open).trimmed();
        }
    }
    if (!term.isEmpty() && IsOpening(term.front())) {
        const qsizetype close = MatchingBracket(term, 0, 1);
        if (close > 0 && close + 1 < term.size()) {
            const QString qualifier = term.mid(1, close - 1);
            term = term.mid(close + 1).trimmed();
            name.aliases << qualifier + term;
        }
    }
    name.term = term;
    return name;
}

// The names a name with several ordinals stands for: 第１～第４導電層 gives
// 第１導電層 … 第４導電層, 第１、第２絶縁層 gives 第１絶縁層 and 第２絶縁層.
QStringList OrdinalNames(const QString& term) {
    const QString ordinal = QStringLiteral("第");
    if (!term.startsWith(ordinal)) return {term};
    std::vector<std::pair<int, bool>> numbers;  // the number, and whether a range leads to it
    bool halfWidth = false;
    qsizetype pos = ordinal.size();
    bool range = false;
    while (true) {
        const auto digits = ReadDigits(term, pos);
        if (!digits) return {term};
        numbers.push_back({digits->value, range});
        halfWidth = halfWidth || digits->halfWidth;
        pos += digits->length;
        const auto toRange = WordAt(term, pos, kRangeWords);
        const auto next = toRange ? toRange : WordAt(term, pos, kWordJoiners);
        if (!next || *next >= term.size()) break;
        range = bool(toRange);
        const qsizetype after = term.mid(*next).startsWith(ordinal) ? *next + ordinal.size() : *next;
        if (DigitValue(term[after]) < 0) break;
        pos = after;
    }
    const QString rest = term.mid(pos);
    if (numbers.size() < 2 || rest.isEmpty() || !IsTermCharacter(rest.front())) return {term};
    QStringList names;
    auto add = [&](int n) {
        const QString digits = QString::number(n);
        names << ordinal + (halfWidth ? digits : ToFullWidthDigits(digits)) + rest;
    };
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (numbers[i].second && i > 0 && numbers[i].first - numbers[i - 1].first <= 50)
            for (int n = numbers[i - 1].first + 1; n < numbers[i].first; ++n) add(n);
        add(numbers[i].first);
    }
    return names;
}

// Where the next entry may begin after text that is none: after a blank or an
// entry's end, at a sign.
qsizetype NextEntryStart(QStringView line, qsizetype pos) {
    for (qsizetype i = pos; i < line.size(); ++i)
        if ((IsBlank(line[i]) || kNameEnds.contains(line[i]) || kEntryBreaks.contains(line[i])) &&
            StartsEntry(line, SkipBlanks(line, i + 1), false))
            return SkipBlanks(line, i + 1);
    return line.size();
}

// Whether a paragraph goes on with the list entry of the one before: it does
// not start a new entry (a sign or a bracket), or the one before stops where
// no name ends (…第, …の, …、).
bool ContinuesEntry(QStringView before, QStringView line) {
    const qsizetype start = SkipBlanks(line, 0);
    const QStringView previous = before.trimmed();
    if (start >= line.size() || line[start] == u'【' || previous.isEmpty() || previous.back() == u'】') return false;
    // Ｓ１, Ｗ１: signs that begin with a letter, which the list does not read, are no name.
    if (IsLatinLetter(line[start])) return false;
    return DigitValue(line[start]) < 0 || kUnfinished.contains(previous.back());
}

}  // namespace

bool IsTermCharacter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x4E00 && u <= 0x9FFF) || u == u'々' || (u >= 0x30A1 && u <= 0x30FA) || u == u'ー' || IsLatinLetter(c);
}

bool HasCapitalLetter(const QString& sign) {
    return std::any_of(sign.begin(), sign.end(), [](QChar c) { return c.unicode() >= u'Ａ' && c.unicode() <= u'Ｚ'; });
}

std::optional<SignToken> ReadSign(QStringView text, qsizetype pos, SignShape shape) {
    const auto digits = ReadDigits(text, pos);
    if (!digits || digits->length > 4) return std::nullopt;
    qsizetype end = pos + digits->length;
    if (shape.hyphenated && end + 1 < text.size() && kHyphens.contains(text[end]) && DigitValue(text[end + 1]) >= 0) {
        const auto more = ReadDigits(text, end + 1);
        if (more->length <= 4) end += 1 + more->length;
    }
    qsizetype letters = 0;
    while (end + letters < text.size() && IsLatinLetter(text[end + letters])) ++letters;
    if (letters > 0) {
        const bool lower = std::all_of(text.begin() + end, text.begin() + end + letters, IsLower);
        if (letters > 1 && (!lower || letters > shape.lowerLetters)) return std::nullopt;
        if (end + letters < text.size() && DigitValue(text[end + letters]) >= 0) return std::nullopt;
        end += letters;
    }
    while (end < text.size() && kPrimes.contains(text[end])) ++end;
    return SignToken{pos, end, NormalisedSign(text.mid(pos, end - pos))};
}

QString NormalisedSign(QStringView sign) {
    QString out;
    for (const QChar c : sign) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9') out += QChar(char16_t(u - u'0' + u'０'));
        else if (u >= u'a' && u <= u'z') out += QChar(char16_t(u - u'a' + u'ａ'));
        else if (u >= u'A' && u <= u'Z') out += QChar(char16_t(u - u'A' + u'Ａ'));
        else if (kPrimes.contains(c)) out += c == u'″' ? QStringLiteral("′′") : QStringLiteral("′");
        else if (kHyphens.contains(c)) out += u'－';
        else out += c;
    }
    return out;
}

QString BaseOf(const QString& sign) {
    qsizetype end = 0;
    while (end < sign.size() && DigitValue(sign[end]) >= 0) ++end;
    return sign.left(end);
}

std::vector<SignEntry> ReadSignList(QStringView line, int paragraphIndex) {
    std::vector<SignEntry> entries;
    qsizetype pos = SkipBlanks(line, 0);
    // The heading or a paragraph number in front of the entries.
    while (const auto bracket = BracketAt(line, pos)) {
        if (!ReadItemName(bracket->inner) && bracket->inner != kSignHeadingName) break;
        pos = SkipBlanks(line, bracket->end);
    }
    // A list that writes the name right after the sign ("１０読込部、２０検出部").
    const auto first = ReadSign(line, pos, kListShape);
    const bool bare = first && first->end < line.size() && IsTermCharacter(line[first->end]);
    int entry = 0;
    while (pos < line.size()) {
        while (pos < line.size() && (IsBlank(line[pos]) || kNameEnds.contains(line[pos]) || kEntryBreaks.contains(line[pos])))
            ++pos;
        std::vector<SignToken> signs = ReadEntrySigns(line, pos);
        if (signs.empty()) {
            // Text that is no entry: the entries after it are still read.
            pos = NextEntryStart(line, pos);
            continue;
        }
        const std::vector<SignToken> subs = ReadSubSigns(line, pos);
        while (pos < line.size() && kListSeparators.contains(line[pos])) ++pos;
        const qsizetype nameStart = pos;
        pos = NameEnd(line, pos, bare);
        const QStringView written = line.mid(nameStart, pos - nameStart).trimmed();
        const Name name = ReadName(written);
        if (name.term.isEmpty()) continue;
        const QStringList names = OrdinalNames(name.term);
        // One ordinal for each sign (２１～２４…第１～第４導電層), else every name for every sign.
        const bool paired = names.size() > 1 && names.size() == qsizetype(signs.size());
        auto add = [&](const SignToken& s, int i, bool part) {
            SignEntry e{s.sign, paired ? names[i] : names.front(), paragraphIndex, s.start, s.implied, name.aliases,
                        paired ? names[i] : written.toString(), entry, part};
            if (!paired) e.aliases += names.mid(1);
            entries.push_back(std::move(e));
        };
        for (size_t i = 0; i < signs.size(); ++i) add(signs[i], int(i), false);
        for (const SignToken& s : subs) add(s, 0, true);
        ++entry;
    }
    return entries;
}

SignList ReadList(const CheckedText& text, const Section& section) {
    SignList list;
    // The paragraphs of one entry joined, and where each begins in the joined text.
    struct Piece {
        int paragraph;
        qsizetype start;  // in the joined text
        qsizetype skipped;  // blanks of the paragraph left out in front
    };
    QString joined;
    std::vector<Piece> pieces;
    int entries = 0;
    auto flush = [&] {
        if (pieces.empty()) return;
        int last = -1;
        for (SignEntry& e : ReadSignList(joined, pieces.front().paragraph)) {
            const auto piece = std::prev(std::upper_bound(pieces.begin(), pieces.end(), e.offset,
                                                          [](qsizetype at, const Piece& p) { return at < p.start; }));
            e.paragraph = piece->paragraph;
            e.offset = e.offset - piece->start + piece->skipped;
            last = std::max(last, e.entry);
            e.entry += entries;
            list.entries.push_back(std::move(e));
        }
        entries += last + 1;
        joined.clear();
        pieces.clear();
    };
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
        if (!pieces.empty() && ContinuesEntry(joined, line)) {
            const qsizetype skipped = SkipBlanks(line, 0);
            pieces.push_back({p, joined.size(), skipped});
            joined += line.mid(skipped);
        } else {
            flush();
            pieces.push_back({p, 0, 0});
            joined = line.toString();
        }
    }
    flush();
    if (list.first >= 0 && list.end < 0) list.end = section.end;
    for (const SignEntry& e : list.entries) {
        for (const QString& name : QStringList{e.term} + e.aliases) {
            QStringList& signs = list.signsOfTerm[name];
            if (!signs.contains(e.sign)) signs << e.sign;
            QStringList& terms = list.termsByLastCharacter[name.back()];
            if (!terms.contains(name)) terms << name;
        }
        list.termOfSign.emplace(e.sign, e.term);
        if (HasCapitalLetter(e.sign)) list.capitalBases.insert(BaseOf(e.sign));
        if (e.part) list.parts.insert(e.sign);
        if (e.implied) list.implied.insert(e.sign);
        if (e.sign.contains(u'－') || (e.sign.size() > 1 && IsLatinLetter(e.sign.back()) && IsLatinLetter(e.sign[e.sign.size() - 2])))
            list.longSigns.insert(e.sign);
    }
    for (auto& [last, terms] : list.termsByLastCharacter)
        std::stable_sort(terms.begin(), terms.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
    return list;
}

const QString* TermBefore(const SignList& list, QStringView text, qsizetype pos) {
    if (pos == 0) return nullptr;
    const auto terms = list.termsByLastCharacter.find(text[pos - 1]);
    if (terms == list.termsByLastCharacter.end()) return nullptr;
    const QStringView before = text.left(pos);
    for (const QString& term : terms->second)
        if (before.endsWith(term)) return &term;
    return nullptr;
}

}  // namespace engine::check
