#include "support/amendment_round_trip.h"

#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace testsupport {

namespace {

const QRegularExpression kNumberLabel(QStringLiteral("^【([０-９0-9]+)(?:の([０-９0-9]+))?】"));
const QRegularExpression kItemLabel(QStringLiteral("^【(請求項|図|表|化|数)[０-９0-9]+[Ａ-Ｚａ-ｚA-Za-z]?】"));
const QRegularExpression kAnyLabel(QStringLiteral("^【[^【】]+】"));

QString Trimmed(const QString& s) {
    qsizetype a = 0, b = s.size();
    auto blank = [](QChar c) { return c == u' ' || c == u'　' || c == u'\t'; };
    while (a < b && blank(s[a])) ++a;
    while (b > a && blank(s[b - 1])) --b;
    return s.mid(a, b - a);
}

int Number(const QString& digits) {
    int n = 0;
    for (QChar c : digits) n = n * 10 + (c.unicode() >= u'０' ? c.unicode() - u'０' : c.unicode() - u'0');
    return n;
}

// The label a line starts with, as the amendment names the item: ０００５の２, 請求項３, 図２, 発明の名称.
QString LabelName(const QString& line) {
    const QString t = Trimmed(line);
    if (const auto m = kAnyLabel.match(t); m.hasMatch()) return m.captured(0).mid(1, m.capturedLength() - 2);
    return {};
}

bool IsHeading(const QString& line) {
    const QString t = Trimmed(line);
    return kAnyLabel.match(t).hasMatch() && !kNumberLabel.match(t).hasMatch() && !kItemLabel.match(t).hasMatch() &&
           !t.startsWith(QStringLiteral("【発明の名称】"));
}

struct Unit {
    QString name;
    QStringList headings, body;
    QStringList lines() const { return headings + body; }
};

struct Section {
    QString kind;        // 明細書, 特許請求の範囲, 要約書, 図面, or other
    QStringList before;  // the 【書類名】 line and what precedes the first unit
    std::vector<Unit> units;
    QStringList after;   // headings left after the last unit
};

std::vector<Section> ReadSections(const QStringList& paragraphs) {
    std::vector<Section> sections(1);
    for (const QString& p : paragraphs) {
        const QString t = Trimmed(p);
        if (t.startsWith(QStringLiteral("【書類名】"))) {
            sections.push_back({});
            sections.back().kind = t.mid(5);
            sections.back().before << p;
            continue;
        }
        Section& s = sections.back();
        const QString label = LabelName(p);
        bool opens = false;
        if (s.kind == QStringLiteral("明細書")) opens = kNumberLabel.match(t).hasMatch() || label == QStringLiteral("発明の名称");
        else if (s.kind == QStringLiteral("特許請求の範囲")) opens = label.startsWith(QStringLiteral("請求項"));
        else if (s.kind == QStringLiteral("図面")) opens = label.startsWith(u'図');
        if (opens) {
            Unit u{label, s.after, {p}};
            s.after.clear();
            s.units.push_back(u);
        } else if (s.kind == QStringLiteral("明細書") && IsHeading(p)) {
            s.after << p;
        } else if (!s.after.isEmpty() || s.units.empty()) {
            (s.units.empty() ? s.before : s.after) << p;
        } else {
            s.units.back().body << p;
        }
    }
    return sections;
}

QStringList Render(const std::vector<Section>& sections) {
    QStringList out;
    for (const Section& s : sections) {
        out << s.before;
        for (const Unit& u : s.units) out << u.lines();
        out << s.after;
    }
    return out;
}

struct Block {
    QString document, item, method;
    QStringList content;
};

std::vector<Block> ReadBlocks(const QStringList& amendment) {
    std::vector<Block> blocks;
    bool inContent = false;
    for (const QString& p : amendment) {
        const QString t = Trimmed(p);
        if (t.startsWith(QStringLiteral("【手続補正")) && !t.startsWith(QStringLiteral("【手続補正書"))) {
            blocks.push_back({});
            inContent = false;
        } else if (blocks.empty()) {
            continue;
        } else if (inContent) {
            blocks.back().content << p;
        } else if (t.startsWith(QStringLiteral("【補正対象書類名】"))) {
            blocks.back().document = t.mid(9);
        } else if (t.startsWith(QStringLiteral("【補正対象項目名】"))) {
            blocks.back().item = t.mid(9);
        } else if (t.startsWith(QStringLiteral("【補正方法】"))) {
            blocks.back().method = t.mid(6);
        } else if (t == QStringLiteral("【補正の内容】")) {
            inContent = true;
        }
    }
    return blocks;
}

// Orders paragraph numbers with their branches, claims and figures by number.
std::pair<int, int> Order(const QString& name) {
    if (const auto m = kNumberLabel.match(u'【' + name + u'】'); m.hasMatch())
        return {Number(m.captured(1)), m.captured(2).isEmpty() ? 0 : Number(m.captured(2))};
    QString digits;
    for (QChar c : name)
        if (c.isDigit()) digits += c;
    return {digits.isEmpty() ? -1 : Number(digits), 0};
}

void Apply(std::vector<Section>& sections, const Block& b) {
    auto section = std::find_if(sections.begin(), sections.end(), [&](const Section& s) { return s.kind == b.document; });
    if (section == sections.end()) throw std::runtime_error("no section " + b.document.toStdString());
    if (b.item == QStringLiteral("全文")) {
        Section whole;
        whole.kind = b.document;
        whole.before = b.content;
        *section = whole;
        return;
    }
    auto& units = section->units;
    auto at = std::find_if(units.begin(), units.end(), [&](const Unit& u) { return u.name == b.item; });
    if (b.method == QStringLiteral("削除")) {
        if (at == units.end()) throw std::runtime_error("nothing to delete: " + b.item.toStdString());
        // Its headings stay, in front of what follows.
        const QStringList headings = at->headings;
        at = units.erase(at);
        if (at != units.end()) at->headings = headings + at->headings;
        else section->after = headings + section->after;
        return;
    }
    // The content as a unit: headings, then the label's line and the rest.
    Unit content{b.item, {}, {}};
    for (const QString& line : b.content) {
        if (content.body.isEmpty() && IsHeading(line)) content.headings << line;
        else content.body << line;
    }
    if (b.method == QStringLiteral("変更")) {
        if (at == units.end()) throw std::runtime_error("nothing to change: " + b.item.toStdString());
        if (content.headings.isEmpty()) content.headings = at->headings;
        *at = content;
        return;
    }
    if (at != units.end()) throw std::runtime_error("added twice: " + b.item.toStdString());
    const auto order = Order(b.item);
    auto before = std::find_if(units.begin(), units.end(), [&](const Unit& u) {
        return u.name != QStringLiteral("発明の名称") && Order(u.name) > order;
    });
    units.insert(before, content);
}

}  // namespace

QStringList ApplyAmendment(const QStringList& earlier, const QStringList& amendment) {
    std::vector<Section> sections = ReadSections(earlier);
    for (const Block& b : ReadBlocks(amendment)) Apply(sections, b);
    return Render(sections);
}

QString ComparedText(const QStringList& paragraphs, bool maskNumbers) {
    QStringList out;
    for (const QString& p : paragraphs) {
        QString t = Trimmed(p);
        if (t.isEmpty()) continue;
        if (maskNumbers) t.replace(kNumberLabel, QStringLiteral("【＃】"));
        out << t;
    }
    return out.join(u'\n');
}

}  // namespace testsupport
