#include "engine/translation/translation_signs.h"

#include "engine/check/check_signs.h"
#include "engine/translation/translation_figures.h"

#include <QHash>
#include <QRegularExpression>

#include <map>

namespace engine::translation {

namespace {

const QString kKind = QStringLiteral("符号");

// Words after which a number in English is a count, a measure or a cited
// number rather than a sign: "comprises 10 layers", "at least 2", "step 3".
const QSet<QString>& NotSignAfter() {
    static const QSet<QString> words = {
        "a", "an", "the", "of", "to", "and", "or", "by", "with", "than", "least", "most", "about", "approximately",
        "from", "between", "in", "at", "on", "for", "is", "are", "be", "was", "were", "has", "have", "had",
        "comprises", "comprising", "includes", "including", "contains", "containing", "each", "every", "only", "all",
        "total", "up", "over", "under", "below", "above", "within", "per", "into", "until", "after", "before", "when",
        "step", "steps", "fig", "figs", "figure", "figures", "claim", "claims", "table", "tables", "formula",
        "equation", "expression", "example", "examples", "embodiment", "paragraph", "paragraphs", "no", "number",
        "numbers", "literature", "document", "documents", "publication", "page", "line", "lines", "column", "chem",
        "math", "version", "section", "chapter", "item", "items", "nearly", "almost", "roughly", "exactly", "some", "these",
        "those", "first", "second", "third", "jp", "us", "wo", "ep", "cn", "kr", "de", "patent", "patents",
    };
    return words;
}

// The English word before pos (letters and hyphens), lower case; empty when a
// blank and a word do not stand there.
QString EnglishWordBefore(const QString& text, qsizetype pos) {
    if (pos < 2 || text[pos - 1] != u' ') return {};
    qsizetype start = pos - 1;
    while (start > 0 && (text[start - 1].isLetter() || text[start - 1] == u'-') && text[start - 1].unicode() < 0x3000)
        --start;
    return text.mid(start, pos - 1 - start).toLower();
}

std::vector<SignInText> EnglishSigns(const QString& text) {
    static const QRegularExpression re(QStringLiteral(R"((?<![\w.,\-])(\(?)(\d{1,4}(?:[A-Za-z](?![A-Za-z\d]))?['’′″]*)(\)?))"));
    static const QRegularExpression notAfter(QStringLiteral(R"(^(?:\.\d|,\d{3}|\s?(?:mm|cm|nm|μm|µm|m|%|°|℃|wt|mol|ppm|kPa|MPa|Pa|Hz|kHz|MHz|V|W|mA|g|mg|kg|min|s|h|times|degrees|seconds|minutes|hours)\b|\s?[x×]))"));
    std::vector<SignInText> signs;
    for (auto it = re.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const bool parenthesised = m.capturedLength(1) > 0 && m.capturedLength(3) > 0;
        const qsizetype numberStart = m.capturedStart(2);
        const qsizetype wordEnd = parenthesised ? m.capturedStart(1) : numberStart;
        const QString word = EnglishWordBefore(text, wordEnd);
        if (word.isEmpty() || NotSignAfter().contains(word)) continue;
        if (!parenthesised && notAfter.match(text.mid(m.capturedEnd(2), 12)).hasMatch()) continue;
        signs.push_back({check::NormalisedSign(m.captured(2)), numberStart, m.capturedEnd(2), word});
    }
    return signs;
}

// The kanji or katakana run before a Japanese sign: the term as far as the script goes.
QString JapaneseWordBefore(const QString& text, qsizetype pos) {
    if (pos > 0 && (text[pos - 1] == u'（' || text[pos - 1] == u'(')) --pos;
    qsizetype start = pos;
    while (start > 0 && (IsJapaneseCharacter(text[start - 1]) || text[start - 1] == u'ー') &&
           text[start - 1].script() != QChar::Script_Hiragana)
        --start;
    return text.mid(start, pos - start);
}

// "substrates" and "substrate", "boxes" and "box": one word.
QString Stem(QString word) {
    if (word.endsWith(QStringLiteral("ies")) && word.size() > 4) return word.left(word.size() - 3) + u'y';
    if (word.endsWith(QStringLiteral("es")) && word.size() > 4 && (word.endsWith(QStringLiteral("xes")) || word.endsWith(QStringLiteral("ses")) || word.endsWith(QStringLiteral("ches")) || word.endsWith(QStringLiteral("shes"))))
        return word.left(word.size() - 2);
    if (word.endsWith(u's') && !word.endsWith(QStringLiteral("ss")) && word.size() > 3) return word.left(word.size() - 1);
    return word;
}

QString LastWord(const QString& term) {
    const QString folded = term.trimmed().toLower();
    return Stem(folded.mid(folded.lastIndexOf(u' ') + 1));
}

// The sign's base (digits) as a number: ３０ for ３０ａ.
int SignNumber(const QString& sign) {
    int value = 0, digits = 0;
    for (QChar c : sign) {
        const int d = check::DigitValue(c);
        if (d < 0) break;
        value = value * 10 + d;
        ++digits;
    }
    return digits ? value : -1;
}

bool TermMatches(const SignInText& s, const QString& term, Language language) {
    if (language == Language::English) return LastWord(term) == Stem(s.word);
    return s.word.endsWith(term) || term.endsWith(s.word);
}

// Which signs of the pair are compared: the listed ones when either document
// has a list (a number the list lacks is more likely a count), else all.
QStringList Differences(const QSet<QString>& a, const QSet<QString>& b) {
    QStringList out;
    for (const QString& s : a)
        if (!b.contains(s)) out << s;
    std::sort(out.begin(), out.end(), [](const QString& x, const QString& y) {
        return SignNumber(x) != SignNumber(y) ? SignNumber(x) < SignNumber(y) : x < y;
    });
    return out;
}

void CheckUnitSigns(const Comparison& c, const QSet<QString>& listed, Findings& out) {
    for (const UnitPair& pair : c.pairs) {
        if (pair.source->key == SignListKey()) continue;
        QSet<QString> source, translation;
        std::map<QString, qsizetype> sourceAt, translationAt;
        for (const SignInText& s : ReadSignsInText(pair.source->text, c.source.language))
            if (listed.isEmpty() || listed.contains(s.sign)) source.insert(s.sign), sourceAt.emplace(s.sign, s.start);
        for (const SignInText& s : ReadSignsInText(pair.translation->text, c.translation.language))
            if (listed.isEmpty() || listed.contains(s.sign)) translation.insert(s.sign), translationAt.emplace(s.sign, s.start);
        const QStringList missing = Differences(source, translation);
        const QStringList extra = Differences(translation, source);
        if (missing.isEmpty() && extra.isEmpty()) continue;
        QStringList parts;
        if (!missing.isEmpty()) parts << QStringLiteral("訳文にない符号 %1").arg(missing.join(u'、'));
        if (!extra.isEmpty()) parts << QStringLiteral("原文にない符号 %1").arg(extra.join(u'、'));
        const Place s = missing.isEmpty() ? Place{} : Place{sourceAt[missing[0]], missing[0].size()};
        const Place t = extra.isEmpty() ? Place{} : Place{translationAt[extra[0]], extra[0].size()};
        out.push_back(PairFinding(kKind, pair, parts.join(u'、'), s, t));
    }
}

// One term per sign across the translation: the term of its own list, else
// the word most often written before the sign.
void CheckTermPerSign(const Comparison& c, const std::vector<ListedSign>& list, Findings& out) {
    const Language language = c.translation.language;
    QHash<QString, QString> termOfSign;
    for (const ListedSign& e : list) termOfSign.insert(e.sign, e.term);
    struct Use {
        const Unit* unit;
        SignInText sign;
    };
    std::vector<Use> uses;
    QHash<QString, QHash<QString, int>> wordCounts;
    for (const Unit& unit : c.translation.units) {
        if (unit.key == SignListKey()) continue;
        for (SignInText& s : ReadSignsInText(unit.text, language)) {
            if (s.word.isEmpty()) continue;
            ++wordCounts[s.sign][language == Language::English ? Stem(s.word) : s.word];
            uses.push_back({&unit, std::move(s)});
        }
    }
    QHash<QString, QString> mostUsed;
    for (auto it = wordCounts.cbegin(); it != wordCounts.cend(); ++it) {
        QString best;
        int bestCount = 0;
        for (auto w = it->cbegin(); w != it->cend(); ++w)
            if (w.value() > bestCount || (w.value() == bestCount && w.key() < best)) best = w.key(), bestCount = w.value();
        // Without a list a sign written once with each of two words has no majority.
        if (bestCount * 2 > [&] { int n = 0; for (int v : *it) n += v; return n; }()) mostUsed.insert(it.key(), best);
    }
    for (const Use& use : uses) {
        const auto listed = termOfSign.constFind(use.sign.sign);
        QString expected;
        if (listed != termOfSign.constEnd()) {
            if (TermMatches(use.sign, *listed, language)) continue;
            expected = QStringLiteral("符号の説明では「%1」").arg(*listed);
        } else {
            const auto best = mostUsed.constFind(use.sign.sign);
            const QString word = language == Language::English ? Stem(use.sign.word) : use.sign.word;
            if (best == mostUsed.constEnd() || *best == word) continue;
            expected = QStringLiteral("ほかでは「%1」").arg(*best);
        }
        const qsizetype from = std::max<qsizetype>(0, use.sign.start - use.sign.word.size() - 1);
        out.push_back({kKind, UnitName(*use.unit),
                       QStringLiteral("符号%1の訳語が「%2」（%3）：訳文「%4」")
                           .arg(use.sign.sign, use.sign.word, expected,
                                check::Excerpt(use.unit->text, from, use.sign.end - from))});
    }
}

void CheckSignLists(const Comparison& c, const std::vector<ListedSign>& source, const std::vector<ListedSign>& translation,
                    Findings& out) {
    if (source.empty() || translation.empty()) return;
    QSet<QString> a, b;
    for (const ListedSign& e : source) a.insert(e.sign);
    for (const ListedSign& e : translation) b.insert(e.sign);
    const QStringList missing = Differences(a, b);
    const QStringList extra = Differences(b, a);
    if (missing.isEmpty() && extra.isEmpty()) return;
    const auto pair = std::find_if(c.pairs.begin(), c.pairs.end(), [](const UnitPair& p) { return p.source->key == SignListKey(); });
    const QString where = pair == c.pairs.end() ? QStringLiteral("符号の説明") : UnitName(*pair->translation);
    QStringList parts;
    for (const QString& s : missing) parts << QStringLiteral("訳文の符号の説明に%1がない").arg(s);
    for (const QString& s : extra) parts << QStringLiteral("原文の符号の説明に%1がない").arg(s);
    out.push_back({kKind, where, parts.join(u'、')});
}

}  // namespace

std::vector<SignInText> ReadSignsInText(const QString& text, Language language) {
    if (language == Language::English) return EnglishSigns(text);
    std::vector<SignInText> out;
    for (const check::TextSign& s : check::ReadTextSigns(text))
        out.push_back({s.sign, s.start, s.end, JapaneseWordBefore(text, s.start)});
    return out;
}

QSet<int> SignNumbers(const QString& text, Language language) {
    QSet<int> numbers;
    for (const SignInText& s : ReadSignsInText(text, language)) numbers.insert(SignNumber(s.sign));
    return numbers;
}

std::vector<ListedSign> ReadDocumentSignList(const Document& document) {
    std::vector<ListedSign> list;
    bool inList = false;
    for (const Unit& unit : document.units) {
        if (unit.kind == UnitKind::Heading || unit.kind == UnitKind::PartName) inList = unit.key == SignListKey();
        if (!inList) continue;
        for (const QString& line : unit.text.split(u'\n')) {
            // An entry starts its line with its sign; a paragraph of running
            // text after the list is no entry, whatever signs it holds.
            const std::vector<check::SignEntry> entries = check::ReadSignList(line, 0);
            if (entries.empty() || entries.front().offset > check::SkipBlanks(line, 0)) continue;
            for (const check::SignEntry& e : entries) {
                QString term = e.term;
                while (term.endsWith(u'.') || term.endsWith(u';')) term.chop(1);
                list.push_back({e.sign, term.trimmed()});
            }
        }
    }
    return list;
}

Findings CheckSigns(const Comparison& c) {
    Findings out;
    const std::vector<ListedSign> sourceList = ReadDocumentSignList(c.source);
    const std::vector<ListedSign> translationList = ReadDocumentSignList(c.translation);
    QSet<QString> listed;
    for (const auto* list : {&sourceList, &translationList})
        for (const ListedSign& e : *list) listed.insert(e.sign);
    CheckUnitSigns(c, listed, out);
    CheckTermPerSign(c, translationList, out);
    CheckSignLists(c, sourceList, translationList, out);
    return out;
}

}  // namespace engine::translation
