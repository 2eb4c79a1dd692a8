#include "engine/check/check_text.h"

#include <algorithm>

namespace engine::check {

const QStringList kFindingKinds = {
    QStringLiteral("段落番号"), QStringLiteral("請求項番号"), QStringLiteral("請求項引用"),
    QStringLiteral("マルチマルチ"), QStringLiteral("図番号"), QStringLiteral("図引用"),
    QStringLiteral("表番号"), QStringLiteral("化番号"), QStringLiteral("数番号"),
    QStringLiteral("表引用"), QStringLiteral("化引用"), QStringLiteral("数引用"),
    QStringLiteral("符号"), QStringLiteral("使用不可文字"), QStringLiteral("見出し"),
    QStringLiteral("イメージ"),
    QStringLiteral("前記"), QStringLiteral("サポート"), QStringLiteral("表記揺れ"), QStringLiteral("様式"),
};

namespace {

const QString kDocumentName = QStringLiteral("【書類名】");
const QString kBeginning = QStringLiteral("冒頭");
constexpr qsizetype kContextBefore = 10;
constexpr qsizetype kContextAfter = 20;
constexpr qsizetype kContextLongest = 40;

SectionKind KindOfDocumentName(const QString& name) {
    if (name == QStringLiteral("明細書")) return SectionKind::Description;
    if (name == QStringLiteral("特許請求の範囲") || name == QStringLiteral("実用新案登録請求の範囲"))
        return SectionKind::Claims;
    if (name == QStringLiteral("要約書")) return SectionKind::Abstract;
    if (name == QStringLiteral("図面")) return SectionKind::Drawings;
    return SectionKind::Other;
}

std::vector<Section> SplitSections(const QStringList& paragraphs) {
    std::vector<Section> sections;
    const int count = int(paragraphs.size());
    for (int p = 0; p < count; ++p) {
        const QStringView text(paragraphs[p]);
        const qsizetype start = SkipBlanks(text, 0);
        if (!text.mid(start).startsWith(kDocumentName)) continue;
        if (!sections.empty()) sections.back().end = p;
        else if (p > 0) sections.push_back({SectionKind::Unnamed, 0, p});
        const QString name = text.mid(start + kDocumentName.size()).toString().trimmed();
        sections.push_back({KindOfDocumentName(name), p, count});
    }
    if (sections.empty()) sections.push_back({SectionKind::Unnamed, 0, count});
    return sections;
}

const QStringList kItemFamilies = {QStringLiteral("請求項"), QStringLiteral("図"), QStringLiteral("表"),
                                   QStringLiteral("化"), QStringLiteral("数")};

}  // namespace

int DigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'０' && u <= u'９') return u - u'０';
    return -1;
}

std::optional<DigitRun> ReadDigits(QStringView text, qsizetype pos) {
    DigitRun run;
    while (pos + run.length < text.size() && run.length < 9) {
        const QChar c = text[pos + run.length];
        const int d = DigitValue(c);
        if (d < 0) break;
        run.value = run.value * 10 + d;
        if (c.unicode() < 0x80) run.halfWidth = true;
        ++run.length;
    }
    if (run.length == 0) return std::nullopt;
    return run;
}

bool StartsWithHeading(QStringView line) {
    const auto bracket = BracketAt(line, SkipBlanks(line, 0));
    return bracket && !ReadItemName(bracket->inner);
}

bool IsBlank(QChar c) { return c == u' ' || c == u'　' || c == u'\t'; }

qsizetype SkipBlanks(QStringView text, qsizetype pos) {
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    return pos;
}

std::optional<qsizetype> WordAt(QStringView text, qsizetype pos, const QStringList& words) {
    for (const QString& w : words)
        if (text.mid(pos).startsWith(w)) return pos + w.size();
    return std::nullopt;
}

qsizetype LineStart(QStringView text) {
    const qsizetype start = SkipBlanks(text, 0);
    if (start < text.size() && (text[start] == u'(' || text[start] == u'（')) {
        const auto code = ReadDigits(text, start + 1);
        const qsizetype close = code ? start + 1 + code->length : -1;
        if (close > 0 && close < text.size() && (text[close] == u')' || text[close] == u'）'))
            return SkipBlanks(text, close + 1);
    }
    return start;
}

bool StartsGazettePart(QStringView line) {
    static const QStringList parts = {QStringLiteral("要約"), QStringLiteral("特許請求の範囲"),
                                      QStringLiteral("実用新案登録請求の範囲"), QStringLiteral("発明の詳細な説明"),
                                      QStringLiteral("考案の詳細な説明")};
    const auto bracket = BracketAt(line, LineStart(line));
    return bracket && parts.contains(bracket->inner.toString());
}

std::optional<Bracketed> BracketAt(QStringView text, qsizetype pos) {
    if (pos >= text.size() || text[pos] != u'【') return std::nullopt;
    for (qsizetype i = pos + 1; i < text.size(); ++i) {
        if (text[i] == u'】') return Bracketed{text.mid(pos + 1, i - pos - 1), i + 1};
        if (text[i] == u'【') break;
    }
    return std::nullopt;
}

std::optional<ItemName> ReadItemName(QStringView inner) {
    ItemName name;
    qsizetype pos = 0;
    for (const QString& family : kItemFamilies) {
        if (inner.startsWith(family)) {
            name.family = family;
            pos = family.size();
            break;
        }
    }
    const auto digits = ReadDigits(inner, pos);
    if (!digits) return std::nullopt;
    pos += digits->length;
    name.number = digits->value;
    // A figure may be split into 図１Ａ, 図１Ｂ, … or 図２６-１, 図２６-２, …
    if (name.family == QStringLiteral("図") && pos + 1 == inner.size() && IsLatinLetter(inner[pos])) {
        name.suffix = inner.mid(pos).toString();
        ++pos;
    } else if (name.family == QStringLiteral("図") && pos + 1 < inner.size() &&
               QStringLiteral("-－‐−").contains(inner[pos])) {
        const auto part = ReadDigits(inner, pos + 1);
        if (part && pos + 1 + part->length == inner.size()) {
            name.suffix = inner.mid(pos).toString();
            pos = inner.size();
        }
    }
    if (pos != inner.size()) return std::nullopt;
    return name;
}

std::optional<ParagraphLabel> ReadParagraphLabel(QStringView inner) {
    const auto digits = ReadDigits(inner, 0);
    if (!digits) return std::nullopt;
    ParagraphLabel label{digits->value, 0};
    qsizetype pos = digits->length;
    if (pos < inner.size() && inner[pos] == u'の') {
        const auto branch = ReadDigits(inner, pos + 1);
        if (!branch) return std::nullopt;
        label.branch = branch->value;
        pos += 1 + branch->length;
    }
    if (pos != inner.size()) return std::nullopt;
    return label;
}

std::optional<LeadingItem> LeadingItemOf(QStringView paragraph, const QString& family) {
    qsizetype pos = SkipBlanks(paragraph, 0);
    for (int step = 0; step < 2; ++step) {
        const auto bracket = BracketAt(paragraph, pos);
        if (!bracket) return std::nullopt;
        const auto name = ReadItemName(bracket->inner);
        if (!name) return std::nullopt;
        if (name->family == family) return LeadingItem{*name, pos, bracket->end};
        // Only a paragraph number may stand in front of the item.
        if (!name->family.isEmpty()) return std::nullopt;
        pos = SkipBlanks(paragraph, bracket->end);
    }
    return std::nullopt;
}

CheckedText::CheckedText(QStringList paragraphs)
    : paragraphs_(std::move(paragraphs)), sections_(SplitSections(paragraphs_)) {
    identifiers_.resize(paragraphs_.size());
    lastIdentifierBefore_.resize(paragraphs_.size(), -1);
    int last = -1;
    for (int p = 0; p < size(); ++p) {
        lastIdentifierBefore_[p] = last;
        const QStringView text(paragraphs_[p]);
        for (qsizetype pos = text.indexOf(u'【'); pos >= 0; pos = text.indexOf(u'【', pos + 1)) {
            const auto bracket = BracketAt(text, pos);
            if (!bracket || !ReadItemName(bracket->inner)) continue;
            identifiers_[p].push_back({pos, text.mid(pos, bracket->end - pos).toString()});
        }
        if (!identifiers_[p].empty()) last = p;
    }
}

QString CheckedText::whereAt(int paragraph, qsizetype offset) const {
    if (paragraph < 0 || paragraph >= size()) return kBeginning;
    const Identifier* found = nullptr;
    for (const Identifier& id : identifiers_[paragraph]) {
        if (id.offset > offset) break;
        found = &id;
    }
    if (found) return found->text;
    const int before = lastIdentifierBefore_[paragraph];
    return before < 0 ? kBeginning : identifiers_[before].back().text;
}

QString Excerpt(QStringView text, qsizetype offset, qsizetype length) {
    const qsizetype from = std::max<qsizetype>(0, offset - kContextBefore);
    const qsizetype to = std::min({text.size(), std::max(offset + length, offset + kContextAfter), from + kContextLongest});
    QString out;
    out.reserve(to - from);
    for (qsizetype i = from; i < to; ++i) {
        const QChar c = text[i];
        if (c.unicode() >= 0x20) out += c;
        else if (c == u'\t' || c == u'\n') out += u' ';
    }
    return out.trimmed();
}

QString CheckedText::excerpt(int paragraph, qsizetype offset, qsizetype length) const {
    return Excerpt(paragraphs_[paragraph], offset, length);
}

Finding CheckedText::finding(const QString& kind, int paragraph, qsizetype offset, qsizetype length,
                             const QString& what) const {
    return {kind, whereAt(paragraph, offset), QStringLiteral("%1：「%2」").arg(what, excerpt(paragraph, offset, length)),
            paragraph, offset, length};
}

const terms::Tokens& CheckedText::tokens(int paragraph) const {
    if (tokens_.empty()) tokens_.resize(paragraphs_.size());
    auto& tokens = tokens_[paragraph];
    if (!tokens) {
        if (!analyser_) analyser_ = std::make_unique<terms::JapaneseAnalyser>();
        tokens = analyser_->Analyse(paragraphs_[paragraph]);
    }
    return *tokens;
}

}  // namespace engine::check
