#include "word/ooxml/html_walk.h"

#include "word/image_rules.h"
#include "word/ooxml/html_walk_class.h"

// The HTML follows the text rules of the main story (document_model.cpp):
// body paragraphs in order with table cells, deleted revisions and field
// instructions left out, text boxes, headers, footers and notes being other
// stories. One line per paragraph, each ending in <BR>.

namespace word::ooxml::html {

namespace {

const char* const kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char* const kRelNsStrict = "http://purl.oclc.org/ooxml/officeDocument/relationships";
const char* const kMathNs = "http://schemas.openxmlformats.org/officeDocument/2006/math";
const char* const kVmlNs = "urn:schemas-microsoft-com:vml";

}  // namespace

std::optional<std::pair<qint64, qint64>> displayedExtent(pugi::xml_node n) {
    const std::string l = localName(n.name());
    if (l == "inline" || l == "anchor") {
        for (pugi::xml_node c : n.children())
            if (localName(c.name()) == "extent")
                return std::make_pair(c.attribute("cx").as_llong(), c.attribute("cy").as_llong());
        return std::nullopt;
    }
    if (l != "shape" && l != "rect" && l != "image") return std::nullopt;
    static const QRegularExpression kLength(
        QStringLiteral("(?:^|;)\\s*(width|height)\\s*:\\s*([0-9.]+)\\s*(pt|in|cm|mm|px|pc)?"));
    qint64 size[2] = {0, 0};
    auto it = kLength.globalMatch(QString::fromUtf8(n.attribute("style").value()));
    while (it.hasNext()) {
        const auto m = it.next();
        const QString unit = m.captured(3);
        const double perUnit = unit == "in" ? 914400 : unit == "cm" ? 360000 : unit == "mm" ? 36000
                             : unit == "px" ? 9525 : unit == "pc" ? 152400 : 12700;
        size[m.captured(1) == "height"] = qint64(m.captured(2).toDouble() * perUnit);
    }
    return std::make_pair(size[0], size[1]);
}

HtmlWalk::HtmlWalk(const Source& src, const WalkOptions& options)
    : src_(src), styles_(src.styles, src.w), options_(options) {
    // Prefixes bound to the relationships and math namespaces on the root.
    for (pugi::xml_attribute a : src.doc->document_element().attributes()) {
        const std::string name = a.name();
        if (name.rfind("xmlns:", 0) != 0) continue;
        const std::string uri = a.value();
        if (uri == kRelNs || uri == kRelNsStrict) relPrefixes_.insert(name.substr(6));
        if (uri == kMathNs) mathPrefix_ = name.substr(6);
        if (uri == kVmlNs) vmlPrefix_ = name.substr(6);
    }
    if (vmlPrefix_.empty()) vmlPrefix_ = "v";
    if (relPrefixes_.empty()) relPrefixes_.insert("r");
    if (mathPrefix_.empty()) mathPrefix_ = "m";
}

QString imageExtension(const QString& partName, const QByteArray& bytes) {
    const QString suffix = QFileInfo(partName).suffix().toLower();
    static const QRegularExpression kPlain(QStringLiteral("^[a-z0-9]{1,5}$"));
    if (!suffix.isEmpty() && kPlain.match(suffix).hasMatch()) return suffix;
    const QString format = PictureFormatBySignature(bytes).toLower();
    return format.isEmpty() ? QStringLiteral("bin") : format;
}

WalkResult walkMainStory(const Source& source, const WalkOptions& options) {
    HtmlWalk walk(source, options);
    walk.run();
    return std::move(walk.result());
}

}  // namespace word::ooxml::html
