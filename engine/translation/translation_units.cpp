// Reading the units of a Japanese or English specification. Each identifier is
// recognised where it stands at the start of a paragraph (after its blanks);
// a paragraph may open two units, a paragraph number and the item after it
// (【００１２】【表１】, "[0008] FIG. 1 is …").

#include "engine/translation/translation_units.h"

#include "engine/check/check_text.h"

#include <QHash>
#include <QSet>
#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace engine::translation {

namespace {

using check::BracketAt;
using check::ReadItemName;
using check::SkipBlanks;

// The headings of a specification: the Japanese heading and the English
// names a translation gives it (lower case, without "the").
struct HeadingNames {
    const char16_t* japanese;
    std::vector<const char16_t*> english;
};
const std::vector<HeadingNames>& Headings() {
    static const std::vector<HeadingNames> headings = {
        {u"発明の名称", {u"title of invention", u"title of the invention", u"title"}},
        {u"技術分野", {u"technical field", u"field", u"field of the invention", u"field of invention"}},
        {u"背景技術", {u"background art", u"background", u"background of the invention", u"description of related art", u"related art"}},
        {u"先行技術文献", {u"citation list", u"prior art documents", u"prior art literature", u"related art documents"}},
        {u"特許文献", {u"patent literature", u"patent documents", u"patent document"}},
        {u"非特許文献", {u"non patent literature", u"non-patent literature", u"non-patent documents", u"non patent documents"}},
        {u"発明の概要", {u"summary of invention", u"summary of the invention", u"summary"}},
        {u"発明が解決しようとする課題", {u"technical problem", u"problems to be solved by the invention", u"problem to be solved by the invention", u"problem to be solved"}},
        {u"課題を解決するための手段", {u"solution to problem", u"means for solving the problems", u"means for solving the problem", u"solution to the problem"}},
        {u"発明の効果", {u"advantageous effects of invention", u"advantageous effects of the invention", u"effects of the invention", u"advantageous effects", u"effect of the invention"}},
        {u"図面の簡単な説明", {u"brief description of drawings", u"brief description of the drawings"}},
        {u"発明を実施するための形態", {u"description of embodiments", u"mode for carrying out the invention", u"modes for carrying out the invention", u"detailed description", u"detailed description of the invention", u"detailed description of embodiments", u"description of the embodiments", u"embodiments for carrying out the invention"}},
        {u"実施例", {u"examples", u"example", u"working examples"}},
        {u"産業上の利用可能性", {u"industrial applicability"}},
        {u"符号の説明", {u"reference signs list", u"description of reference numerals", u"explanation of reference numerals", u"reference numerals", u"description of reference signs", u"explanation of reference signs", u"list of reference signs", u"reference signs"}},
        {u"参照符号の説明", {}},
        {u"要約", {}},
        {u"課題", {u"problem"}},
        {u"解決手段", {u"solution", u"means for solution"}},
        {u"選択図", {u"selected drawing", u"representative drawing", u"selected figure"}},
        {u"図面", {}},
    };
    return headings;
}

// Japanese headings that are another name of one in the table.
QString CanonicalJapanese(const QString& heading) {
    if (heading == QStringLiteral("参照符号の説明")) return QStringLiteral("符号の説明");
    return heading;
}

// A line in lower case, blanks folded, "the"/"a" and a closing colon dropped.
QString FoldedEnglish(QString line) {
    line = line.trimmed().toLower();
    if (line.endsWith(u':') || line.endsWith(u'.')) line.chop(1);
    line = line.simplified();
    if (line.startsWith(QStringLiteral("the "))) line = line.mid(4);
    return line;
}

const QHash<QString, QString>& EnglishHeadings() {
    static const QHash<QString, QString> map = [] {
        QHash<QString, QString> m;
        for (const HeadingNames& h : Headings())
            for (const char16_t* e : h.english) m.insert(QString::fromUtf16(e), QStringLiteral("H:") + QString::fromUtf16(h.japanese));
        return m;
    }();
    return map;
}

// The Japanese headings an English translation has a name for.
const QSet<QString>& KnownJapaneseHeadings() {
    static const QSet<QString> known = [] {
        QSet<QString> k;
        for (const HeadingNames& h : Headings())
            if (!h.english.empty()) k.insert(QString::fromUtf16(h.japanese));
        return k;
    }();
    return known;
}

struct PartName {
    Part part;
    const char16_t* japanese;
    std::vector<const char16_t*> english;
};
const std::array<PartName, 4> kParts = {{
    {Part::Description, u"明細書", {u"description", u"specification"}},
    {Part::Claims, u"特許請求の範囲", {u"claims", u"what is claimed is", u"we claim", u"i claim", u"the invention claimed is", u"claim", u"scope of claims", u"what is claimed"}},
    {Part::Abstract, u"要約書", {u"abstract", u"abstract of the disclosure", u"abstract of the invention"}},
    {Part::Drawings, u"図面", {u"drawings", u"figures"}},
}};

// 【書類名】明細書, a gazette's 【特許請求の範囲】, "DESCRIPTION", "[Document Name] Claims".
std::optional<Part> PartNamed(const QString& line, Language language) {
    const QString trimmed = line.trimmed();
    if (language == Language::Japanese) {
        const QString documentName = QStringLiteral("【書類名】");
        QString name;
        if (trimmed.startsWith(documentName)) name = trimmed.mid(documentName.size()).trimmed();
        else if (check::StartsGazettePart(trimmed)) name = trimmed.mid(1, trimmed.indexOf(u'】') - 1);
        else return std::nullopt;
        if (name == QStringLiteral("実用新案登録請求の範囲") || name == QStringLiteral("請求の範囲")) return Part::Claims;
        if (name == QStringLiteral("要約")) return Part::Abstract;
        if (name == QStringLiteral("発明の詳細な説明") || name == QStringLiteral("考案の詳細な説明")) return Part::Description;
        for (const PartName& p : kParts)
            if (name == QString::fromUtf16(p.japanese)) return p.part;
        return std::nullopt;
    }
    QString folded = FoldedEnglish(trimmed);
    const QString documentName = QStringLiteral("[document name]");
    if (folded.startsWith(documentName)) folded = folded.mid(documentName.size()).trimmed();
    else if (folded.startsWith(u'[') && folded.endsWith(u']')) folded = folded.mid(1, folded.size() - 2).trimmed();
    for (const PartName& p : kParts)
        for (const char16_t* e : p.english)
            if (folded == QString::fromUtf16(e)) return p.part;
    return std::nullopt;
}

// An identifier at the start of a line (after pos): what it opens and where its text begins.
struct Opening {
    UnitKind kind;
    QString key;
    int number = 0;
    QString name;
    qsizetype end = 0;
    bool knownHeading = false;
};

QString ItemKeyLetter(const QString& family) {
    if (family == QStringLiteral("図")) return QStringLiteral("F");
    if (family == QStringLiteral("表")) return QStringLiteral("T");
    if (family == QStringLiteral("化")) return QStringLiteral("K");
    if (family == QStringLiteral("数")) return QStringLiteral("M");
    return QStringLiteral("C");
}

// Sub-figure letters compared in lower half width: Ａ, a, (a) all give "a".
QString FoldedSuffix(const QString& suffix) {
    QString out;
    for (QChar c : suffix) {
        if (c >= QChar(0xFF21) && c <= QChar(0xFF3A)) c = QChar(char16_t(c.unicode() - 0xFF21 + u'a'));
        else if (c >= QChar(0xFF41) && c <= QChar(0xFF5A)) c = QChar(char16_t(c.unicode() - 0xFF41 + u'a'));
        if (c.isLetter()) out += c.toLower();
    }
    return out;
}

std::optional<Opening> JapaneseOpening(const QString& line, qsizetype pos) {
    const auto bracket = BracketAt(line, pos);
    if (!bracket) return std::nullopt;
    const QString name = line.mid(pos, bracket->end - pos);
    if (const auto item = ReadItemName(bracket->inner)) {
        if (item->family.isEmpty())
            return Opening{UnitKind::Paragraph, QStringLiteral("P%1").arg(item->number), item->number, name, bracket->end};
        const UnitKind kind = item->family == QStringLiteral("請求項") ? UnitKind::Claim
                              : item->family == QStringLiteral("図")    ? UnitKind::Figure
                                                                         : UnitKind::Item;
        return Opening{kind, ItemKeyLetter(item->family) + QString::number(item->number) + FoldedSuffix(item->suffix),
                       item->number, name, bracket->end};
    }
    const QString heading = CanonicalJapanese(bracket->inner.toString());
    if (heading == QStringLiteral("書類名")) return std::nullopt;
    const bool known = KnownJapaneseHeadings().contains(heading);
    // 【特許文献１】特開… labels an entry of a list; it heads no unit.
    if (!known && !line.mid(bracket->end).trimmed().isEmpty()) return std::nullopt;
    return Opening{UnitKind::Heading, HeadingKey(heading), 0, name, bracket->end, known};
}

// [0001], 【0001】, [Claim 1], [Fig. 1], [FIG. 1A], [Table 1], [Chem. 1], [Math. 1], [Formula 1].
std::optional<Opening> EnglishBracketOpening(const QString& line, qsizetype pos) {
    static const QRegularExpression re(
        QStringLiteral(R"(\G[\[【]\s*(?:(\d{4,6})|(claim|fig\.?|figure|table|chem\.?|chemical formula|math\.?|formula|equation)\s*(\d+)\s*(\(?[A-Za-z]\)?)?)\s*[\]】])"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(line, pos);
    if (!m.hasMatch()) return std::nullopt;
    const QString name = m.captured(0);
    if (m.capturedLength(1)) {
        const int n = m.captured(1).toInt();
        return Opening{UnitKind::Paragraph, QStringLiteral("P%1").arg(n), n, name, m.capturedEnd(0)};
    }
    const QString word = m.captured(2).toLower();
    const int n = m.captured(3).toInt();
    if (word == QStringLiteral("claim")) return Opening{UnitKind::Claim, QStringLiteral("C%1").arg(n), n, name, m.capturedEnd(0)};
    if (word.startsWith(QStringLiteral("fig")))
        return Opening{UnitKind::Figure, QStringLiteral("F%1").arg(n) + FoldedSuffix(m.captured(4)), n, name, m.capturedEnd(0)};
    const QString letter = word.startsWith(QStringLiteral("table")) ? QStringLiteral("T")
                           : word.startsWith(QStringLiteral("chem"))  ? QStringLiteral("K")
                                                                       : QStringLiteral("M");
    return Opening{UnitKind::Item, letter + QString::number(n), n, name, m.capturedEnd(0)};
}

// "FIG. 1 is …", "Fig. 2A shows …" at the start of a line of the brief
// description of the drawings, and "FIG. 1" alone on a line of the drawings.
std::optional<Opening> EnglishFigureLine(const QString& line, qsizetype pos, bool describing) {
    static const QRegularExpression re(QStringLiteral(R"(\G(?:FIG\.?|Fig\.?|Figure)\s*(\d+)\s*(\([A-Za-z]\)|[A-Za-z](?![A-Za-z]))?)"));
    const auto m = re.match(line, pos);
    if (!m.hasMatch()) return std::nullopt;
    const QString rest = line.mid(m.capturedEnd(0)).trimmed();
    if (!rest.isEmpty() && !describing) return std::nullopt;
    if (!rest.isEmpty() && (rest.startsWith(u',') || rest.startsWith(QStringLiteral("and")) || rest.startsWith(QStringLiteral("to"))))
        return std::nullopt;  // "FIG. 1 and FIG. 2 are …" cites; it opens no unit
    const int n = m.captured(1).toInt();
    return Opening{UnitKind::Figure, QStringLiteral("F%1").arg(n) + FoldedSuffix(m.captured(2)), n, m.captured(0).trimmed(),
                   m.capturedEnd(0)};
}

// The claims of an English claims part: "1. A device …", "2 . The device of claim 1".
std::optional<Opening> EnglishClaimLine(const QString& line, qsizetype pos) {
    static const QRegularExpression re(QStringLiteral(R"(\G(?:Claim\s+)?(\d{1,3})\s*[.．:)](?!\d)\s*)"));
    const auto m = re.match(line, pos);
    if (!m.hasMatch()) return std::nullopt;
    const int n = m.captured(1).toInt();
    return Opening{UnitKind::Claim, QStringLiteral("C%1").arg(n), n, QStringLiteral("Claim %1").arg(n), m.capturedEnd(0)};
}

// A heading line: "Technical Field", "TECHNICAL FIELD", "[Technical Field]",
// "[Title of Invention] Image reader", "Title of Invention: Image reader".
std::optional<Opening> EnglishHeadingLine(const QString& line, qsizetype pos) {
    const QString rest = line.mid(pos);
    if (rest.startsWith(u'[') || rest.startsWith(u'【')) {
        const qsizetype close = rest.indexOf(rest[0] == u'[' ? u']' : u'】');
        if (close > 0) {
            if (const auto key = EnglishHeadingKey(rest.mid(1, close - 1)))
                return Opening{UnitKind::Heading, *key, 0, rest.left(close + 1), pos + close + 1, true};
        }
        return std::nullopt;
    }
    if (rest.size() <= 80)
        if (const auto key = EnglishHeadingKey(rest)) return Opening{UnitKind::Heading, *key, 0, rest.trimmed(), line.size(), true};
    const qsizetype colon = rest.indexOf(u':');
    if (colon > 0 && colon <= 60)
        if (const auto key = EnglishHeadingKey(rest.left(colon)))
            return Opening{UnitKind::Heading, *key, 0, rest.left(colon), pos + colon + 1, true};
    return std::nullopt;
}

class Reader {
public:
    Reader(Language language) : language_(language) {}

    Document read(const QStringList& paragraphs) {
        document_.language = language_;
        start(Opening{UnitKind::Start, QStringLiteral("S"), 0, {}, 0}, 0);
        for (int p = 0; p < paragraphs.size(); ++p) readLine(paragraphs[p], p);
        for (Unit& u : document_.units) {
            while (u.text.endsWith(u'\n')) u.text.chop(1);
        }
        return std::move(document_);
    }

private:
    void readLine(const QString& line, int p) {
        if (const auto part = PartNamed(line, language_)) {
            // A gazette's 【要約】 after 【書類名】要約書 names the part again.
            if (*part == part_ && partOpened_) return;
            part_ = *part;
            partOpened_ = true;
            describingFigures_ = false;
            start(Opening{UnitKind::PartName, QStringLiteral("D%1").arg(int(part_)), 0, line.trimmed(), line.size()}, p);
            return;
        }
        qsizetype pos = SkipBlanks(line, 0);
        bool opened = false;
        for (int step = 0; step < 2; ++step) {
            const std::optional<Opening> opening = openingAt(line, pos, step > 0);
            if (!opening) break;
            if (opening->kind == UnitKind::Heading)
                describingFigures_ = opening->key == HeadingKey(QStringLiteral("図面の簡単な説明"));
            start(*opening, p);
            opened = true;
            pos = SkipBlanks(line, opening->end);
            if (opening->kind != UnitKind::Paragraph) break;
        }
        Unit& unit = document_.units.back();
        if (!opened) pos = 0;
        unit.text += QStringView(line).mid(pos);
        unit.text += u'\n';
    }

    std::optional<Opening> openingAt(const QString& line, qsizetype pos, bool afterParagraphNumber) const {
        if (language_ == Language::Japanese) {
            auto opening = JapaneseOpening(line, pos);
            if (opening && afterParagraphNumber && opening->kind == UnitKind::Heading) return std::nullopt;
            return opening;
        }
        if (auto opening = EnglishBracketOpening(line, pos)) return opening;
        if (part_ == Part::Claims && !afterParagraphNumber)
            if (auto opening = EnglishClaimLine(line, pos)) return opening;
        if (auto opening = EnglishFigureLine(line, pos, describingFigures_ && part_ != Part::Drawings)) return opening;
        if (!afterParagraphNumber) return EnglishHeadingLine(line, pos);
        return std::nullopt;
    }

    void start(const Opening& opening, int paragraph) {
        Unit unit;
        unit.kind = opening.kind;
        unit.part = part_;
        unit.number = opening.number;
        unit.name = opening.name;
        unit.paragraph = paragraph;
        unit.knownHeading = opening.knownHeading;
        // Figures, tables and formulas are named again in each part; a
        // paragraph number or claim once in the document.
        const bool perPart = opening.kind == UnitKind::Figure || opening.kind == UnitKind::Item;
        QString key = perPart ? QStringLiteral("%1@%2").arg(opening.key).arg(int(part_)) : opening.key;
        const int seen = seen_[key]++;
        if (seen > 0) {
            unit.repeated = opening.kind == UnitKind::Paragraph || opening.kind == UnitKind::Claim;
            key += QStringLiteral("#%1").arg(seen + 1);
        }
        unit.key = key;
        document_.units.push_back(std::move(unit));
    }

    Language language_;
    Part part_ = Part::Front;
    bool describingFigures_ = false;
    bool partOpened_ = false;
    QHash<QString, int> seen_;
    Document document_;
};

}  // namespace

bool IsJapaneseCharacter(QChar c) {
    const QChar::Script s = c.script();
    return s == QChar::Script_Han || s == QChar::Script_Hiragana || s == QChar::Script_Katakana;
}

bool HasJapanese(QStringView text) { return std::any_of(text.begin(), text.end(), IsJapaneseCharacter); }

Language DetectLanguage(const QStringList& paragraphs) {
    qint64 japanese = 0, latin = 0, read = 0;
    for (const QString& p : paragraphs) {
        for (QChar c : p) {
            // Full-width forms and the Japanese brackets and stops count as Japanese too:
            // a short text such as 【０００１】５ｍｍ has no kana.
            if (IsJapaneseCharacter(c) || (c.unicode() >= 0x3000 && c.unicode() <= 0x303F) ||
                (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E))
                ++japanese;
            else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) ++latin;
        }
        // A long document decides in its first part.
        if ((read += p.size()) > 200000) break;
    }
    return japanese * 5 > latin ? Language::Japanese : Language::English;
}

QString LanguageName(Language language) {
    return language == Language::Japanese ? QStringLiteral("日本語") : QStringLiteral("英語");
}

QString HeadingKey(const QString& japaneseHeading) { return QStringLiteral("H:") + CanonicalJapanese(japaneseHeading); }

std::optional<QString> EnglishHeadingKey(const QString& line) {
    const auto it = EnglishHeadings().constFind(FoldedEnglish(line));
    if (it == EnglishHeadings().constEnd()) return std::nullopt;
    return *it;
}

QString SignListKey() { return HeadingKey(QStringLiteral("符号の説明")); }

QString UnitName(const Unit& unit) {
    if (!unit.name.isEmpty()) return unit.name;
    return unit.kind == UnitKind::Start ? QStringLiteral("冒頭") : unit.key;
}

Document ReadDocument(const QStringList& paragraphs, Language language) { return Reader(language).read(paragraphs); }

}  // namespace engine::translation
