// Office Math in the filing HTML: written as text with superscripts and
// subscripts where text can show it; paragraphs with structures it cannot
// show are reported, or, when their picture was drawn, written as an
// 【数ｎ】 item with the picture.

#include "word/ooxml/html_walk_class.h"

namespace word::ooxml::html {

namespace {

// Structures that plain text with superscripts and subscripts cannot
// show: matrices, equation arrays, accents, bars, grouping characters,
// limits over and under, prescripts, boxes with borders.
const std::set<std::string> kNotAsText = {"m", "eqArr", "acc", "bar", "groupChr",
                                          "limLow", "limUpp", "sPre", "borderBox"};

}  // namespace

const FilingPicture* HtmlWalk::equationPicture() const {
    if (!options_.equationPictures) return nullptr;
    auto it = options_.equationPictures->find(paragraph_);
    return it == options_.equationPictures->end() ? nullptr : &it->second;
}

void HtmlWalk::noteMathHeading(pugi::xml_node p) {
    static const QRegularExpression kHeading(QStringLiteral("^【数([0-9０-９]+)】$"));
    QString lead;
    leadingText(p, 40, lead);
    lead = lead.trimmed();
    const auto m = kHeading.match(lead);
    if (m.hasMatch()) {
        bool ok = false;
        const int n = m.captured(1).normalized(QString::NormalizationForm_KC).toInt(&ok);
        if (ok) {
            lastMathNumber_ = n;
            headingWaiting_ = true;
        }
    } else if (!lead.isEmpty()) {
        headingWaiting_ = false;
    }
}

void HtmlWalk::equationItem(const FilingPicture& picture) {
    static const QRegularExpression kTagsAndBlanks(QStringLiteral("<[^>]*>|\\s|\u3000"));
    if (QString(line_).remove(kTagsAndBlanks).isEmpty()) {
        line_.clear();
        lineOpen_ = false;
        open_ = Look{};
    } else {
        finishLine();
    }
    if (!headingWaiting_) ++lastMathNumber_;
    const QString heading = QStringLiteral("【数%1】").arg(fullWidthDigits(lastMathNumber_));
    if (!headingWaiting_) tagLine(heading + QStringLiteral("<BR>"));
    headingWaiting_ = false;
    if (quiet()) return;
    const QString fileName = addPicture(QStringLiteral("equation:%1").arg(paragraph_), picture);
    result_.equationItems.push_back({paragraph_, heading, fileName});
    tagLine(imgTag(fileName) + QStringLiteral("<BR>"));
}

QString HtmlWalk::fullWidthDigits(int n) {
    QString out;
    for (QChar c : QString::number(n)) out += QChar(0xFF10 + (c.unicode() - '0'));
    return out;
}

void HtmlWalk::math(pugi::xml_node n, Look look) {
    const std::string m = mathPrefix_ + ":";
    for (pugi::xml_node c : n.children()) {
        if (c.type() != pugi::node_element) continue;
        const std::string name = c.name();
        if (name.rfind(m, 0) != 0) {
            if (wLocal(c) == "r") runContent(c);
            continue;
        }
        const std::string l = name.substr(m.size());
        if (l == "naryPr") {  // the operator of a sum or integral, ∫ unless it says
            text(mathCharacter(c, "chr", QStringLiteral("∫")), look);
            continue;
        }
        if (l.size() > 2 && l.compare(l.size() - 2, 2, "Pr") == 0) continue;  // properties
        if (kNotAsText.count(l) || (l == "rad" && hasMathText(c.child((m + "deg").c_str()))))
            noteEquationNotAsText();
        if (l == "d") {
            // Delimiters: "(a|b)" unless the properties name other characters.
            pugi::xml_node dPr = c.child((m + "dPr").c_str());
            text(mathCharacter(dPr, "begChr", QStringLiteral("(")), look);
            bool first = true;
            for (pugi::xml_node e : c.children((m + "e").c_str())) {
                if (!first) text(mathCharacter(dPr, "sepChr", QStringLiteral("|")), look);
                first = false;
                math(e, look);
            }
            text(mathCharacter(dPr, "endChr", QStringLiteral(")")), look);
        } else if (l == "t") {
            // The invisible operators (function application, invisible
            // times, separator, plus) show nothing and are left out.
            QString t = QString::fromUtf8(c.text().get());
            t.removeIf([](QChar ch) { return ch.unicode() >= 0x2061 && ch.unicode() <= 0x2064; });
            text(t, look);
        } else if (l == "sup" || l == "sub") {
            Look inner = look;
            inner.sup = l == "sup";
            inner.sub = l == "sub";
            math(c, inner);
        } else if (l == "f") {
            text(QStringLiteral("("), look);
            math(c.child((m + "num").c_str()), look);
            text(QStringLiteral(")/("), look);
            math(c.child((m + "den").c_str()), look);
            text(QStringLiteral(")"), look);
        } else if (l == "rad") {
            text(QStringLiteral("√("), look);
            math(c.child((m + "e").c_str()), look);
            text(QStringLiteral(")"), look);
        } else {
            math(c, look);
        }
    }
}

QString HtmlWalk::mathCharacter(pugi::xml_node properties, const char* local, const QString& fallback) const {
    pugi::xml_node p = properties.child((mathPrefix_ + ":" + local).c_str());
    if (!p) return fallback;
    return QString::fromUtf8(p.attribute((mathPrefix_ + ":val").c_str()).value());
}

bool HtmlWalk::hasMathText(pugi::xml_node n) const {
    for (pugi::xml_node c : n.children()) {
        if (c.type() != pugi::node_element) continue;
        if (localName(c.name()) == "t" && *c.text().get()) return true;
        if (hasMathText(c)) return true;
    }
    return false;
}

void HtmlWalk::noteEquationNotAsText() {
    if (quiet()) return;
    auto& list = result_.equationsNotAsText;
    if (!list.empty() && list.back() == paragraph_) return;
    list.push_back(paragraph_);
    result_.equationParagraphs.push_back({paragraph_, paragraphNode_});
}

}  // namespace word::ooxml::html
