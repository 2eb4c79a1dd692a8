#include "engine/check/check_headings.h"

#include <QSet>

#include <map>

namespace engine::check {

namespace {

const QString kKind = QStringLiteral("見出し");

// One expected order of headings: each slot holds the names that may stand
// there (the same heading under the names of several eras).
using HeadingOrder = std::vector<QStringList>;

// The description (明細書) in the form used since 2009, the form of 2002 to
// 2009, and the older form that still held the claims. A document is held to
// the form it follows best, so that an old publication is not read as out of order.
const std::vector<HeadingOrder>& DescriptionOrders() {
    static const std::vector<HeadingOrder> orders = {
        {{"書類名"}, {"発明の名称", "考案の名称"}, {"発明の詳細な説明", "考案の詳細な説明"},
         {"技術分野"}, {"背景技術"}, {"先行技術文献"}, {"特許文献"}, {"非特許文献"},
         {"発明の概要", "考案の概要"}, {"発明が解決しようとする課題", "考案が解決しようとする課題"},
         {"課題を解決するための手段"}, {"発明の効果", "考案の効果"}, {"図面の簡単な説明"},
         {"発明を実施するための形態", "考案を実施するための形態"}, {"実施例"}, {"産業上の利用可能性"},
         {"符号の説明"}, {"受託番号"}, {"配列表フリーテキスト"}, {"配列表"}},
        {{"書類名"}, {"発明の名称", "考案の名称"}, {"発明の詳細な説明", "考案の詳細な説明"},
         {"技術分野"}, {"背景技術"}, {"特許文献"}, {"非特許文献"}, {"発明の開示", "考案の開示"},
         {"発明が解決しようとする課題", "考案が解決しようとする課題"}, {"課題を解決するための手段"},
         {"発明の効果", "考案の効果"},
         {"発明を実施するための最良の形態", "考案を実施するための最良の形態", "発明を実施するための形態"},
         {"実施例"}, {"産業上の利用可能性"}, {"図面の簡単な説明"}, {"符号の説明"}, {"受託番号"},
         {"配列表フリーテキスト"}, {"配列表"}},
        {{"書類名"}, {"発明の名称", "考案の名称"}, {"特許請求の範囲", "実用新案登録請求の範囲"},
         {"発明の詳細な説明", "考案の詳細な説明"},
         {"発明の属する技術分野", "考案の属する技術分野", "産業上の利用分野", "技術分野"},
         {"従来の技術", "背景技術"}, {"発明が解決しようとする課題", "考案が解決しようとする課題"},
         {"課題を解決するための手段"}, {"作用"}, {"発明の実施の形態", "考案の実施の形態"}, {"実施例"},
         {"発明の効果", "考案の効果"}, {"図面の簡単な説明"}, {"符号の説明"}, {"配列表"}},
    };
    return orders;
}

const std::vector<HeadingOrder>& AbstractOrders() {
    static const std::vector<HeadingOrder> orders = {
        {{"書類名"}, {"要約"}, {"課題"}, {"解決手段"}, {"選択図"}},
        {{"書類名"}, {"要約"}, {"目的"}, {"構成"}, {"効果"}, {"選択図"}},
    };
    return orders;
}

const std::vector<HeadingOrder>& NoOrders() {
    static const std::vector<HeadingOrder> none = {{{"書類名"}}};
    return none;
}

const std::vector<HeadingOrder>& OrdersOf(SectionKind kind) {
    switch (kind) {
    case SectionKind::Description: return DescriptionOrders();
    case SectionKind::Abstract: return AbstractOrders();
    default: return NoOrders();
    }
}

// Names followed by a number: items that are not headings (特許文献１) and
// a heading that may be numbered (実施例１).
const QStringList kNumberedItems = {QStringLiteral("特許文献"), QStringLiteral("非特許文献")};
const QString kNumberedHeading = QStringLiteral("実施例");

// The identifiers of a published gazette's front page and of its parts
// (a gazette has no 【書類名】 lines; its parts begin with these headings).
const QStringList kGazetteNames = {
    "発行国", "公報種別", "公開番号", "公表番号", "特許番号", "登録番号", "実用新案登録番号", "公開日",
    "公表日", "発行日", "登録日", "国際特許分類", "ＦＩ", "FI", "審査請求", "請求項の数", "出願形態",
    "全頁数", "出願番号", "出願日", "原出願日", "優先権主張番号", "優先日", "優先権主張国", "国際出願番号",
    "国際公開番号", "国際公開日", "国際出願日", "指定国", "出願人", "特許権者", "実用新案権者", "識別番号",
    "氏名又は名称", "住所又は居所", "発明者", "考案者", "氏名", "代理人", "弁理士", "テーマコード（参考）",
    "テーマコード(参考)", "Ｆターム（参考）", "Fターム(参考)", "Ｆターム(参考)", "参考文献", "審査官",
    "前置審査", "特許請求の範囲", "実用新案登録請求の範囲", "発明の詳細な説明", "考案の詳細な説明",
    "要約", "課題", "解決手段", "選択図", "図面"};

// Every heading name of every section, for documents without 【書類名】 and
// for the bracket check.
const QSet<QString>& AllHeadingNames() {
    static const QSet<QString> names = [] {
        QSet<QString> all(kGazetteNames.begin(), kGazetteNames.end());
        for (const auto* orders : {&DescriptionOrders(), &AbstractOrders()})
            for (const HeadingOrder& order : *orders)
                for (const QStringList& slot : order)
                    for (const QString& name : slot) all.insert(name);
        return all;
    }();
    return names;
}

// A heading at the start of a paragraph.
struct Heading {
    int paragraph;
    qsizetype offset;
    qsizetype length;
    QString name;      // 実施例３ read as 実施例
    bool numbered;     // 実施例３: may repeat under other numbers
};

// The name with a trailing number taken off, and whether there was one.
std::pair<QString, bool> WithoutNumber(QStringView inner) {
    qsizetype end = inner.size();
    while (end > 0 && DigitValue(inner[end - 1]) >= 0) --end;
    return {inner.left(end).toString(), end < inner.size()};
}

std::optional<Heading> HeadingAt(const CheckedText& text, int p) {
    const QStringView line(text[p]);
    const qsizetype start = SkipBlanks(line, 0);
    const auto bracket = BracketAt(line, start);
    if (!bracket || ReadItemName(bracket->inner)) return std::nullopt;
    auto [name, numbered] = WithoutNumber(bracket->inner);
    if (numbered && kNumberedItems.contains(name)) return std::nullopt;
    return Heading{p, start, bracket->end - start, name, numbered};
}

int SlotOf(const HeadingOrder& order, const QString& name) {
    for (size_t i = 0; i < order.size(); ++i)
        if (order[i].contains(name)) return int(i);
    return -1;
}

// The headings of one order that come too late or a second time; headings the
// order does not know count against it.
struct OrderReading {
    int misfits = 0;
    std::vector<std::pair<const Heading*, QString>> faults;
};

OrderReading ReadAgainst(const HeadingOrder& order, const std::vector<Heading>& headings) {
    OrderReading reading;
    int highest = -1;
    std::map<int, const Heading*> seen;
    for (const Heading& h : headings) {
        const int slot = SlotOf(order, h.name);
        if (slot < 0) {
            ++reading.misfits;
            continue;
        }
        if (seen.count(slot) && !(h.numbered && seen[slot]->numbered)) {
            reading.faults.push_back({&h, QStringLiteral("見出しが重複している")});
        } else if (slot < highest) {
            reading.faults.push_back({&h, QStringLiteral("見出しの順序が違う（【%1】より後にある）").arg(order[highest].front())});
        } else {
            highest = slot;
        }
        seen.emplace(slot, &h);
    }
    reading.misfits += int(reading.faults.size());
    return reading;
}

bool IsKnownHeading(SectionKind kind, const QString& name) {
    if (name == kNumberedHeading) return kind == SectionKind::Description || kind == SectionKind::Unnamed;
    if (kind == SectionKind::Unnamed) return AllHeadingNames().contains(name);
    for (const HeadingOrder& order : OrdersOf(kind))
        if (SlotOf(order, name) >= 0) return true;
    return false;
}

// A description heading: after one, a document without 【書類名】 is read as a
// description; before it stands a gazette's front page, whose identifiers
// vary by kind and era and are not judged.
bool OpensDescription(const QString& name) {
    const HeadingOrder& current = DescriptionOrders().front();
    return SlotOf(current, name) > 1 || SlotOf(DescriptionOrders().back(), name) > 1;
}

void CheckSection(const CheckedText& text, const Section& section, Findings& out) {
    std::vector<Heading> known;
    bool judged = section.kind != SectionKind::Unnamed;
    for (int p = section.first; p < section.end; ++p) {
        const auto heading = HeadingAt(text, p);
        if (!heading) continue;
        if (!judged && OpensDescription(heading->name)) judged = true;
        if (!judged) continue;
        if (!IsKnownHeading(section.kind, heading->name) || (heading->numbered && heading->name != kNumberedHeading)) {
            out.push_back(text.finding(kKind, p, heading->offset, heading->length,
                                       QStringLiteral("この書類にない見出し")));
            continue;
        }
        known.push_back(*heading);
    }
    if (section.kind == SectionKind::Unnamed) return;
    std::optional<OrderReading> best;
    for (const HeadingOrder& order : OrdersOf(section.kind)) {
        OrderReading reading = ReadAgainst(order, known);
        if (!best || reading.misfits < best->misfits) best = std::move(reading);
    }
    for (const auto& [heading, what] : best->faults)
        out.push_back(text.finding(kKind, heading->paragraph, heading->offset, heading->length, what));
}

}  // namespace

bool IsOfficeBracketWord(QStringView inner) {
    if (ReadItemName(inner)) return true;
    const auto [name, numbered] = WithoutNumber(inner);
    if (numbered) return kNumberedItems.contains(name) || name == kNumberedHeading;
    return AllHeadingNames().contains(name);
}

Findings CheckHeadings(const CheckedText& text) {
    Findings out;
    for (const Section& section : text.sections())
        if (section.kind != SectionKind::Other) CheckSection(text, section, out);
    return out;
}

}  // namespace engine::check
