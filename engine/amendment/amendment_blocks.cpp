#include "engine/amendment/amendment_blocks.h"

#include "engine/amendment/amendment_alignment.h"
#include "engine/text_helpers.h"

#include <map>

namespace engine::amendment {

namespace {

QString Bracketed(const QString& item) { return u'【' + item + u'】'; }

using SpanMap = std::map<int, std::vector<std::pair<qsizetype, qsizetype>>>;

// Adds the characters of `lines` (joined by \n into `amended`) that are not
// in `earlier` (null: all of them) to the spans of their paragraphs.
void AddSpans(const QString* earlier, const QString& amended, const std::vector<UnitLine>& lines, SpanMap& spans) {
    const std::vector<bool> added =
        earlier ? AddedCharacters(*earlier, amended) : std::vector<bool>(amended.size(), true);
    qsizetype pos = 0;
    for (const UnitLine& line : lines) {
        for (qsizetype x = 0; x < line.length; ++x) {
            if (!added[size_t(pos + x)]) continue;
            auto& list = spans[line.paragraph];
            const qsizetype at = line.offset + x;
            if (!list.empty() && list.back().second == at) ++list.back().second;
            else list.push_back({at, at + 1});
        }
        pos += line.length + 1;  // the \n between lines
    }
}

// The characters of a unit to underline, as spans of its paragraphs: those
// the amended text adds or changes (`earlier` null: all of them), in its
// headings too when they are shown (`earlierHeadings` what they replace).
SpanMap UnderlinedSpans(const Unit* earlier, const Unit& amended, const QString* earlierHeadings = nullptr) {
    SpanMap spans;
    AddSpans(earlier ? &earlier->text : nullptr, amended.text, amended.lines, spans);
    if (!earlier || earlierHeadings) AddSpans(earlierHeadings, amended.headingText, amended.headingLines, spans);
    return spans;
}

// The content of a changed or added unit: its paragraphs from `from` on,
// the label rewritten when `label` is given, the spans underlined.
std::vector<ContentParagraph> ContentOf(const Unit& unit, int from, const QString& label,
                                        const std::map<int, std::vector<std::pair<qsizetype, qsizetype>>>& spans) {
    std::vector<ContentParagraph> content;
    for (int p = from; p < unit.end; ++p) {
        ContentParagraph cp;
        cp.paragraph = p;
        if (p == unit.labelParagraph && !label.isEmpty()) {
            cp.labelStart = unit.labelStart;
            cp.labelEnd = unit.labelEnd;
            cp.label = label;
        }
        if (auto it = spans.find(p); it != spans.end()) cp.underlined = it->second;
        content.push_back(std::move(cp));
    }
    return content;
}

bool Renumbered(const std::vector<AlignedUnit>& aligned, const std::vector<Unit>& earlier, const std::vector<Unit>& amended) {
    for (const AlignedUnit& a : aligned) {
        if (a.earlier < 0 || a.amended < 0) continue;
        const Unit& e = earlier[a.earlier];
        const Unit& m = amended[a.amended];
        if (e.fixedName.isEmpty() && (e.number != m.number || e.branch != m.branch || e.suffix != m.suffix)) return true;
    }
    return false;
}

class BlockMaker {
public:
    BlockMaker(const DocumentUnits& earlier, const DocumentUnits& amended, const AmendmentOptions& options)
        : earlier_(earlier), amended_(amended), options_(options) {}

    Amendment Make() {
        Description();
        Claims();
        Abstract();
        Drawings();
        return std::move(result_);
    }

private:
    void Add(DocumentKind document, const QString& item, Method method, std::vector<ContentParagraph> content = {}) {
        result_.blocks.push_back({document, item, method, std::move(content)});
    }

    // Numbered paragraphs and the title: one block per unit; an inserted
    // paragraph takes the next free branch number after the filed paragraph
    // it follows.
    void Description() {
        const auto& e = earlier_.description;
        const auto& m = amended_.description;
        const auto aligned = AlignUnits(e, m);
        result_.paragraphsRenumbered = Renumbered(aligned, e, m);
        std::map<int, int> lastBranch;
        for (const Unit& u : e)
            if (u.fixedName.isEmpty()) lastBranch[u.number] = std::max(lastBranch[u.number], u.branch);
        const bool underline = options_.underlineDescription;
        // The headings of deleted paragraphs stay in the text: they stand in
        // front of the next paragraph that remains.
        QStringList carried;
        for (const AlignedUnit& a : aligned) {
            if (a.amended < 0) {
                Add(DocumentKind::Description, ItemName(e[a.earlier]), Method::Deleted);
                if (!e[a.earlier].headingText.isEmpty()) carried << e[a.earlier].headingText;
                continue;
            }
            const Unit& unit = m[a.amended];
            if (a.earlier >= 0) {
                const Unit& old = e[a.earlier];
                QStringList before = carried;
                if (!old.headingText.isEmpty()) before << old.headingText;
                carried.clear();
                const QString oldHeadings = before.join(u'\n');
                const bool headingsChanged = oldHeadings != unit.headingText;
                if (!a.changed && !headingsChanged) continue;
                // Headings in front are shown only when they changed.
                const int from = headingsChanged ? unit.first : unit.bodyFirst;
                const QString label = old.fixedName.isEmpty() ? Bracketed(ItemName(old)) : QString();
                Add(DocumentKind::Description, ItemName(old), Method::Changed,
                    ContentOf(unit, from, label,
                              underline ? UnderlinedSpans(&old, unit, headingsChanged ? &oldHeadings : nullptr) : SpanMap()));
                continue;
            }
            carried.clear();
            Unit named = unit;
            if (unit.fixedName.isEmpty()) {
                named.number = 0;
                for (int k = a.after; k >= 0; --k)
                    if (e[k].fixedName.isEmpty()) {
                        named.number = e[k].number;
                        break;
                    }
                named.branch = ++lastBranch[named.number];
                if (named.branch == 1) named.branch = ++lastBranch[named.number];  // ０００５の２ is the first
            }
            const QString label = unit.fixedName.isEmpty() ? Bracketed(ItemName(named)) : QString();
            Add(DocumentKind::Description, ItemName(named), Method::Added,
                ContentOf(unit, unit.first, label, underline ? UnderlinedSpans(nullptr, unit) : SpanMap()));
        }
    }

    // The claims as a whole (全文), or claim by claim while no claim was
    // renumbered. Labels are never underlined: they are no part of the
    // compared text.
    void Claims() {
        if (!earlier_.hasClaims || !amended_.hasClaims) return;
        const auto& e = earlier_.claims;
        const auto& m = amended_.claims;
        const auto aligned = AlignUnits(e, m);
        result_.claimsRenumbered = Renumbered(aligned, e, m);
        bool anyChange = earlier_.allClaims.headingText != amended_.allClaims.headingText;
        for (const AlignedUnit& a : aligned) anyChange = anyChange || !a.same();
        if (!anyChange) return;
        const bool each = options_.claimsEach && !result_.claimsRenumbered;
        result_.claimsAsWhole = options_.claimsEach && !each;
        if (!each) {
            SpanMap spans;
            for (const AlignedUnit& a : aligned) {
                if (a.amended < 0 || a.same()) continue;
                for (auto& [p, list] : UnderlinedSpans(a.earlier >= 0 ? &e[a.earlier] : nullptr, m[a.amended]))
                    spans[p] = list;
            }
            const Unit& whole = amended_.allClaims;
            Add(DocumentKind::Claims, ItemName(whole), Method::Changed, ContentOf(whole, whole.first, {}, spans));
            return;
        }
        for (const AlignedUnit& a : aligned) {
            if (a.same()) continue;
            if (a.amended < 0) {
                Add(DocumentKind::Claims, ItemName(e[a.earlier]), Method::Deleted);
                continue;
            }
            const Unit& unit = m[a.amended];
            const Unit* old = a.earlier >= 0 ? &e[a.earlier] : nullptr;
            Add(DocumentKind::Claims, ItemName(unit), old ? Method::Changed : Method::Added,
                ContentOf(unit, unit.first, {}, UnderlinedSpans(old, unit)));
        }
    }

    void Abstract() {
        if (!earlier_.hasAbstract || !amended_.hasAbstract) return;
        const Unit& old = earlier_.abstract;
        const Unit& unit = amended_.abstract;
        if (old.key == unit.key) return;
        Add(DocumentKind::Abstract, ItemName(unit), Method::Changed,
            ContentOf(unit, unit.first, {}, options_.underlineDescription ? UnderlinedSpans(&old, unit) : SpanMap()));
    }

    // Each figure whose picture or text changed: its new picture is the
    // content, nothing underlined.
    void Drawings() {
        const auto& e = earlier_.drawings;
        const auto& m = amended_.drawings;
        for (const AlignedUnit& a : AlignUnits(e, m)) {
            if (a.same()) continue;
            if (a.amended < 0) {
                Add(DocumentKind::Drawings, ItemName(e[a.earlier]), Method::Deleted);
                continue;
            }
            const Unit& unit = m[a.amended];
            const QString item = ItemName(a.earlier >= 0 ? e[a.earlier] : unit);
            Add(DocumentKind::Drawings, item, a.earlier >= 0 ? Method::Changed : Method::Added,
                ContentOf(unit, unit.first, Bracketed(item), {}));
        }
    }

    const DocumentUnits& earlier_;
    const DocumentUnits& amended_;
    const AmendmentOptions options_;
    Amendment result_;
};

}  // namespace

QString MethodName(Method method) {
    switch (method) {
    case Method::Changed: return QStringLiteral("変更");
    case Method::Added: return QStringLiteral("追加");
    case Method::Deleted: return QStringLiteral("削除");
    }
    return {};
}

Amendment MakeAmendment(const DocumentUnits& earlier, const DocumentUnits& amended, const AmendmentOptions& options) {
    return BlockMaker(earlier, amended, options).Make();
}

}  // namespace engine::amendment
