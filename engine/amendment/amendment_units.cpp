#include "engine/amendment/amendment_units.h"

#include "engine/check/check_claims.h"
#include "engine/text_helpers.h"

namespace engine::amendment {

namespace {

const QString kTitle = QStringLiteral("発明の名称");
const QString kWhole = QStringLiteral("全文");
const QString kFigure = QStringLiteral("図");

// The line's characters without the blanks at its ends, from `from` on.
UnitLine TrimmedLine(int paragraph, QStringView line, qsizetype from) {
    qsizetype start = check::SkipBlanks(line, from);
    qsizetype end = line.size();
    while (end > start && check::IsBlank(line[end - 1])) --end;
    return {paragraph, start, end - start};
}

// Fills a unit's lines and compared texts from its paragraphs.
void ReadCompared(Unit& unit, const check::CheckedText& text, const PictureDigests& pictures) {
    QStringList lines, headings, digests;
    for (int p = unit.first; p < unit.end; ++p) {
        const qsizetype from = p == unit.labelParagraph ? unit.labelEnd : 0;
        const UnitLine line = TrimmedLine(p, text[p], from);
        if (auto it = pictures.find(p); it != pictures.end()) digests << it->second;
        if (line.length == 0) continue;
        const QString chars = text[p].mid(line.offset, line.length);
        if (p < unit.bodyFirst) {
            unit.headingLines.push_back(line);
            headings << chars;
        } else {
            unit.lines.push_back(line);
            lines << chars;
        }
    }
    unit.text = lines.join(u'\n');
    unit.headingText = headings.join(u'\n');
    unit.key = digests.isEmpty() ? unit.text : unit.text + u'\0' + digests.join(u'\0');
}

void ReadDescription(const check::CheckedText& text, const check::Section& section, const PictureDigests& pictures,
                     std::vector<Unit>& out) {
    int pendingHeadings = -1;
    bool open = false;
    auto close = [&] {
        if (open) ReadCompared(out.back(), text, pictures);
        open = false;
    };
    const int start = section.kind == check::SectionKind::Unnamed ? section.first : section.first + 1;
    for (int p = start; p < section.end; ++p) {
        const QStringView line(text[p]);
        const qsizetype pos = check::SkipBlanks(line, 0);
        if (const auto bracket = check::BracketAt(line, pos)) {
            const auto label = check::ReadParagraphLabel(bracket->inner);
            const bool title = bracket->inner == kTitle;
            if (label || title) {
                close();
                Unit unit;
                unit.document = DocumentKind::Description;
                if (label) unit.number = label->number, unit.branch = label->branch;
                else unit.fixedName = kTitle;
                unit.first = pendingHeadings >= 0 ? pendingHeadings : p;
                unit.bodyFirst = unit.labelParagraph = p;
                unit.labelStart = pos;
                unit.labelEnd = bracket->end;
                unit.end = p + 1;
                out.push_back(std::move(unit));
                open = true;
                pendingHeadings = -1;
                continue;
            }
            if (!check::ReadItemName(bracket->inner)) {
                // A heading ends the paragraph before it and opens the next one.
                close();
                if (pendingHeadings < 0) pendingHeadings = p;
                continue;
            }
        }
        if (open) out.back().end = p + 1;
    }
    close();
}

void ReadFigures(const check::CheckedText& text, const check::Section& section, const PictureDigests& pictures,
                 std::vector<Unit>& out) {
    bool open = false;
    for (int p = section.first + 1; p < section.end; ++p) {
        if (const auto item = check::LeadingItemOf(text[p], kFigure)) {
            if (open) ReadCompared(out.back(), text, pictures);
            Unit unit;
            unit.document = DocumentKind::Drawings;
            unit.number = item->name.number;
            unit.suffix = item->name.suffix;
            unit.first = unit.bodyFirst = unit.labelParagraph = p;
            unit.labelStart = item->start;
            unit.labelEnd = item->end;
            unit.end = p + 1;
            out.push_back(std::move(unit));
            open = true;
        } else if (open) {
            out.back().end = p + 1;
        }
    }
    if (open) ReadCompared(out.back(), text, pictures);
}

// A whole document of the application: its 【書類名】 line is not compared.
Unit WholeDocument(DocumentKind kind, const check::CheckedText& text, const check::Section& section,
                   const PictureDigests& pictures) {
    Unit unit;
    unit.document = kind;
    unit.fixedName = kWhole;
    unit.first = unit.bodyFirst = unit.labelParagraph = section.first;
    unit.labelStart = 0;
    unit.labelEnd = text[section.first].size();
    unit.end = section.end;
    ReadCompared(unit, text, pictures);
    return unit;
}

}  // namespace

QString DocumentName(DocumentKind kind) {
    switch (kind) {
    case DocumentKind::Description: return QStringLiteral("明細書");
    case DocumentKind::Claims: return QStringLiteral("特許請求の範囲");
    case DocumentKind::Abstract: return QStringLiteral("要約書");
    case DocumentKind::Drawings: return QStringLiteral("図面");
    }
    return {};
}

QString ItemName(const Unit& unit) {
    if (!unit.fixedName.isEmpty()) return unit.fixedName;
    const QString number = ToFullWidthDigits(QString::number(unit.number));
    switch (unit.document) {
    case DocumentKind::Description: {
        QString name = number.rightJustified(4, u'０');
        if (unit.branch > 0) name += u'の' + ToFullWidthDigits(QString::number(unit.branch));
        return name;
    }
    case DocumentKind::Claims: return QStringLiteral("請求項") + number;
    case DocumentKind::Drawings: return kFigure + number + unit.suffix;
    case DocumentKind::Abstract: return kWhole;
    }
    return {};
}

DocumentUnits ReadUnits(const check::CheckedText& text, const PictureDigests& pictures) {
    DocumentUnits units;
    const check::Section* claimsSection = nullptr;
    for (const check::Section& section : text.sections()) {
        switch (section.kind) {
        case check::SectionKind::Description:
        case check::SectionKind::Unnamed:
            ReadDescription(text, section, pictures, units.description);
            break;
        case check::SectionKind::Claims:
            if (!claimsSection) claimsSection = &section;
            break;
        case check::SectionKind::Abstract:
            if (!units.hasAbstract) units.abstract = WholeDocument(DocumentKind::Abstract, text, section, pictures);
            units.hasAbstract = true;
            break;
        case check::SectionKind::Drawings:
            ReadFigures(text, section, pictures, units.drawings);
            break;
        case check::SectionKind::Other:
            break;
        }
    }
    if (claimsSection) {
        units.hasClaims = true;
        units.allClaims = WholeDocument(DocumentKind::Claims, text, *claimsSection, pictures);
        for (const check::Claim& claim : check::ReadClaims(text)) {
            if (claim.paragraph <= claimsSection->first || claim.paragraph >= claimsSection->end) continue;
            Unit unit;
            unit.document = DocumentKind::Claims;
            unit.number = claim.number;
            unit.first = unit.bodyFirst = unit.labelParagraph = claim.paragraph;
            unit.labelStart = claim.offset;
            unit.labelEnd = claim.offset + claim.length;
            unit.end = claim.lastParagraph + 1;
            ReadCompared(unit, text, pictures);
            units.claims.push_back(std::move(unit));
        }
    }
    return units;
}

}  // namespace engine::amendment
