#include "word/ooxml/equation_pictures.h"

#include "word/automation.h"
#include "word/ooxml/html_styles.h"

#include <QImage>
#include <QPainter>

#include <zip.h>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace word::ooxml {

namespace {

constexpr double kEmuPerInch = 914400;
constexpr int kPageDpi = 96;          // the resolution of LibreOffice's page pictures
constexpr int kPictureDpi = 300;      // the equations' pictures are made at this resolution
constexpr double kWordDefaultPoints = 10.5;
// The equations are drawn at four times their size (at least 48 pt), which
// gives more than 300 dots per inch of the printed equation.
constexpr int kEnlargement = 4;
constexpr int kMinRenderPoints = 48, kMaxRenderPoints = 200;
// The page the enlarged equations are drawn on: 40 × 10 inches with half-inch
// margins holds an equation of 8.3 × 1.9 inches at 10.5 pt. A taller page
// would hold more, but LibreOffice's time goes mostly into the dots of the
// page (40 × 22 inches: eight equations in 8.3 s; 40 × 8 inches: 4.7 s).
constexpr int kPageWidthTwips = 57600, kPageHeightTwips = 14400, kMarginTwips = 720;
constexpr size_t kDocumentsPerRun = 40;  // about 0.5 s each after LibreOffice's start

bool isEquation(pugi::xml_node n) {
    const std::string l = html::localName(n.name());
    return l == "oMath" || l == "oMathPara";
}

// The equations of a paragraph in order, deleted revisions left out.
void collectEquations(pugi::xml_node n, std::vector<pugi::xml_node>& out) {
    for (pugi::xml_node c : n.children()) {
        if (c.type() != pugi::node_element) continue;
        if (isEquation(c)) {
            out.push_back(c);
            continue;
        }
        const std::string l = html::localName(c.name());
        if (l == "del" || l == "moveFrom" || l == "pPr" || l == "rPr") continue;
        collectEquations(c, out);
    }
}

// The size Word sets the equations in: their first w:sz (half points).
double equationPoints(const std::vector<pugi::xml_node>& equations) {
    for (pugi::xml_node e : equations) {
        const pugi::xpath_node sz = e.select_node(".//*[local-name()='sz']");
        for (pugi::xml_attribute a : sz.node().attributes())
            if (html::localName(a.name()) == "val" && a.as_int() > 0) return a.as_int() / 2.0;
    }
    return kWordDefaultPoints;
}

// A main part holding only the equations, on a page wide and tall enough for
// them at the enlarged size, under the original root's namespace declarations.
QByteArray equationDocumentXml(pugi::xml_node documentElement, const std::vector<pugi::xml_node>& equations) {
    const std::string w = html::prefixOf(documentElement.name());
    auto name = [&w](const char* local) { return w.empty() ? std::string(local) : w + ":" + local; };
    pugi::xml_document doc;
    pugi::xml_node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    pugi::xml_node root = doc.append_child(documentElement.name());
    for (pugi::xml_attribute a : documentElement.attributes()) root.append_copy(a);
    pugi::xml_node body = root.append_child(name("body").c_str());
    pugi::xml_node p = body.append_child(name("p").c_str());
    for (size_t i = 0; i < equations.size(); ++i) {
        if (i > 0) {  // inline equations of one paragraph apart by a blank
            pugi::xml_node t = p.append_child(name("r").c_str()).append_child(name("t").c_str());
            t.append_attribute("xml:space") = "preserve";
            t.text() = "  ";
        }
        p.append_copy(equations[i]);
    }
    pugi::xml_node sect = body.append_child(name("sectPr").c_str());
    pugi::xml_node size = sect.append_child(name("pgSz").c_str());
    size.append_attribute(name("w").c_str()) = kPageWidthTwips;
    size.append_attribute(name("h").c_str()) = kPageHeightTwips;
    pugi::xml_node margin = sect.append_child(name("pgMar").c_str());
    for (const char* side : {"top", "right", "bottom", "left"})
        margin.append_attribute(name(side).c_str()) = kMarginTwips;
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw);
    return QByteArray::fromStdString(out.str());
}

// A .docx of the three parts Word and LibreOffice need, built in memory.
QByteArray docxPackage(const QByteArray& documentXml) {
    static const QByteArray kContentTypes =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";
    static const QByteArray kRootRels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "officeDocument\" Target=\"word/document.xml\"/></Relationships>";
    const std::pair<const char*, const QByteArray*> parts[] = {
        {"[Content_Types].xml", &kContentTypes}, {"_rels/.rels", &kRootRels}, {"word/document.xml", &documentXml}};

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* zip = buffer ? zip_open_from_source(buffer, ZIP_TRUNCATE, &error) : nullptr;
    auto fail = [&] {
        zip_error_fini(&error);
        throw Error(QStringLiteral("数式を描くための文書を作れませんでした"));
    };
    if (!zip) {
        if (buffer) zip_source_free(buffer);
        fail();
    }
    zip_source_keep(buffer);
    for (const auto& [entry, bytes] : parts) {
        zip_source_t* src = zip_source_buffer(zip, bytes->constData(), zip_uint64_t(bytes->size()), 0);
        if (!src || zip_file_add(zip, entry, src, ZIP_FL_ENC_UTF_8) < 0) {
            if (src) zip_source_free(src);
            zip_discard(zip);
            zip_source_free(buffer);
            fail();
        }
    }
    if (zip_close(zip) < 0) {
        zip_discard(zip);
        zip_source_free(buffer);
        fail();
    }
    QByteArray out;
    zip_stat_t st;
    if (zip_source_stat(buffer, &st) == 0 && zip_source_open(buffer) == 0) {
        out.resize(qsizetype(st.size));
        if (zip_source_read(buffer, out.data(), st.size) != zip_int64_t(st.size)) out.clear();
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    zip_error_fini(&error);
    if (out.isEmpty()) throw Error(QStringLiteral("数式を描くための文書を作れませんでした"));
    return out;
}

// The page picture cut to the ink with a small margin, on white paper. An
// equation whose ink reaches into the page margins did not fit the page and
// may be cut off: it is refused rather than drawn in part.
QImage croppedToInk(const QImage& drawn) {
    const QImage page = drawn.convertToFormat(QImage::Format_ARGB32);
    int left = page.width(), right = -1, top = page.height(), bottom = -1;
    for (int y = 0; y < page.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(page.constScanLine(y));
        for (int x = 0; x < page.width(); ++x) {
            if (qAlpha(line[x]) < 128 || qGray(line[x]) >= 192) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) throw Error(QStringLiteral("LibreOffice が数式を描きませんでした"));
    const int marginDots = kMarginTwips * kPageDpi / 1440;
    if (right >= page.width() - marginDots || bottom >= page.height() - marginDots)
        throw Error(QStringLiteral("数式が大きすぎて画像にできませんでした"));
    const int margin = 4;
    const QRect ink = QRect(QPoint(left, top), QPoint(right, bottom)).adjusted(-margin, -margin, margin, margin);
    QImage paper(ink.size(), QImage::Format_RGB32);
    paper.fill(Qt::white);
    {
        QPainter painter(&paper);
        painter.drawImage(QPoint(0, 0), page, ink);
    }
    return paper.convertToFormat(QImage::Format_Grayscale8);
}


// The equation's picture at the filing resolution and its printed size:
// the page was drawn at `renderPoints` for an equation Word sets at `wordPoints`.
FilingPicture filingPicture(const QByteArray& pagePng, double wordPoints, int renderPoints) {
    const QImage ink = croppedToInk(QImage::fromData(pagePng));
    const double dotsPerInch = double(kPageDpi) * renderPoints / wordPoints;
    const double scale = kPictureDpi / dotsPerInch;
    const QImage sized = ink.scaled(std::max(1, int(std::lround(ink.width() * scale))),
                                    std::max(1, int(std::lround(ink.height() * scale))), Qt::IgnoreAspectRatio,
                                    Qt::SmoothTransformation);
    const qint64 cxEmu = qint64(ink.width() / dotsPerInch * kEmuPerInch);
    const qint64 cyEmu = qint64(ink.height() / dotsPerInch * kEmuPerInch);
    const MetafileRenderer noMetafiles = [](const QByteArray&, const QString&, QSize) -> QByteArray {
        throw Error(QStringLiteral("メタファイルではありません"));
    };
    return PrepareFilingPicture(EncodeAtDpi(sized, "png", kPictureDpi), QStringLiteral("png"), cxEmu, cyEmu, noMetafiles);
}

}  // namespace

EquationPictures drawEquations(pugi::xml_node documentElement, const std::vector<EquationSource>& equations,
                               const PageRenderer& render) {
    EquationPictures out;
    std::vector<QByteArray> documents;
    std::vector<double> points;
    std::vector<int> paragraphs;
    double largest = 0;
    try {
        for (const EquationSource& source : equations) {
            std::vector<pugi::xml_node> nodes;
            collectEquations(source.node, nodes);
            if (nodes.empty()) continue;
            documents.push_back(docxPackage(equationDocumentXml(documentElement, nodes)));
            points.push_back(equationPoints(nodes));
            paragraphs.push_back(source.paragraph);
            largest = std::max(largest, points.back());
        }
        if (documents.empty()) return out;
        const int renderPoints =
            std::clamp(int(std::ceil(largest * kEnlargement)), kMinRenderPoints, kMaxRenderPoints);
        // Several documents to one run of LibreOffice (its start takes seconds),
        // in batches that each finish well within its time limit.
        std::vector<QByteArray> pages;
        for (size_t from = 0; from < documents.size(); from += kDocumentsPerRun) {
            const auto to = documents.begin() + std::ptrdiff_t(std::min(documents.size(), from + kDocumentsPerRun));
            const std::vector<QByteArray> batch(documents.begin() + std::ptrdiff_t(from), to);
            std::vector<QByteArray> drawn = render(batch, renderPoints);
            drawn.resize(batch.size());
            pages.insert(pages.end(), drawn.begin(), drawn.end());
        }
        for (size_t i = 0; i < documents.size(); ++i) {
            try {
                if (pages[i].isEmpty())
                    throw Error(QStringLiteral("LibreOffice が数式を描きませんでした"));
                out.byParagraph[paragraphs[i]] = filingPicture(pages[i], points[i], renderPoints);
            } catch (const Error& e) {
                out.failure = e.message();
            }
        }
    } catch (const Error& e) {
        out.failure = e.message();
    }
    return out;
}

}  // namespace word::ooxml
