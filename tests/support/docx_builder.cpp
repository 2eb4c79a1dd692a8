#include "support/docx_builder.h"

#include <zip.h>

#include <stdexcept>
#include <vector>

namespace testsupport {

QString xmlEscape(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

QString run(const QString& text, const QString& rPr) {
    QString props = rPr.isEmpty() ? QString() : "<w:rPr>" + rPr + "</w:rPr>";
    return "<w:r>" + props + "<w:t xml:space=\"preserve\">" + xmlEscape(text) + "</w:t></w:r>";
}

QString paraXml(const QString& runsXml, const QString& pPr) {
    QString props = pPr.isEmpty() ? QString() : "<w:pPr>" + pPr + "</w:pPr>";
    return "<w:p>" + props + runsXml + "</w:p>";
}

QString para(const QString& text) {
    return paraXml(text.isEmpty() ? QString() : run(text));
}

QString paraRuns(const QStringList& runTexts) {
    QString runs;
    for (int i = 0; i < runTexts.size(); ++i)
        runs += run(runTexts[i], i % 2 ? QStringLiteral("<w:b/>") : QString());
    return paraXml(runs);
}

QString paras(const QStringList& lines) {
    QString out;
    for (const QString& l : lines) out += para(l);
    return out;
}

namespace {

const char* kContentTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Default Extension=\"png\" ContentType=\"image/png\"/>"
    "<Override PartName=\"/word/document.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
    "</Types>";

const char* kRootRels =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"word/document.xml\"/>"
    "</Relationships>";

const char* kDocRels =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"></Relationships>";

}  // namespace

void writeDocx(const QString& path, const QString& bodyXml,
               const std::map<QString, QByteArray>& extraParts) {
    QByteArray document =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
        "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
        "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
        "xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\" "
        "xmlns:v=\"urn:schemas-microsoft-com:vml\" "
        "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\">"
        "<w:body>" + bodyXml.toUtf8() +
        "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/></w:sectPr></w:body></w:document>";

    std::map<QString, QByteArray> parts = {
        {"[Content_Types].xml", kContentTypes},
        {"_rels/.rels", kRootRels},
        {"word/_rels/document.xml.rels", kDocRels},
        {"word/document.xml", document},
    };
    for (const auto& [name, data] : extraParts) parts[name] = data;

    int err = 0;
    zip_t* z = zip_open(path.toUtf8().constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z) throw std::runtime_error("cannot create zip");
    // The content types part goes first, as in files Word writes.
    std::vector<QString> order = {"[Content_Types].xml"};
    for (const auto& [name, data] : parts)
        if (name != "[Content_Types].xml") order.push_back(name);
    std::vector<QByteArray> keep;
    keep.reserve(order.size());
    for (const QString& name : order) {
        keep.push_back(parts[name]);
        zip_source_t* src = zip_source_buffer(z, keep.back().constData(), keep.back().size(), 0);
        if (zip_file_add(z, name.toUtf8().constData(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(src);
            zip_discard(z);
            throw std::runtime_error("cannot add zip entry");
        }
    }
    if (zip_close(z) < 0) {
        zip_discard(z);
        throw std::runtime_error("cannot write zip");
    }
}

QByteArray readZipEntry(const QString& zipPath, const QString& entryName) {
    int err = 0;
    zip_t* z = zip_open(zipPath.toUtf8().constData(), ZIP_RDONLY, &err);
    if (!z) return {};
    QByteArray out;
    zip_stat_t st;
    if (zip_stat(z, entryName.toUtf8().constData(), 0, &st) == 0) {
        zip_file_t* f = zip_fopen_index(z, st.index, 0);
        if (f) {
            out.resize(static_cast<qsizetype>(st.size));
            zip_fread(f, out.data(), st.size);
            zip_fclose(f);
        }
    }
    zip_discard(z);
    return out;
}

QStringList zipEntryNames(const QString& zipPath) {
    int err = 0;
    QStringList names;
    zip_t* z = zip_open(zipPath.toUtf8().constData(), ZIP_RDONLY, &err);
    if (!z) return names;
    zip_int64_t n = zip_get_num_entries(z, 0);
    for (zip_int64_t i = 0; i < n; ++i) names << QString::fromUtf8(zip_get_name(z, i, 0));
    zip_discard(z);
    return names;
}

}  // namespace testsupport
