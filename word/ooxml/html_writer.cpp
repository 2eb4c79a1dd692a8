#include "word/ooxml/html_writer.h"

#include "word/automation.h"
#include "word/cp932.h"
#include "word/legacy/legacy.h"
#include "word/ooxml/document_model.h"
#include "word/ooxml/html_walk.h"
#include "word/ooxml/list_numbers.h"
#include "word/ooxml/package.h"
#include "word/ooxml/story_pictures.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <pugixml.hpp>

#include <cstring>
#include <map>
#include <memory>

namespace word::ooxml {

using html::Source;
using html::WalkOptions;
using html::WalkResult;

namespace {

// A part the main document refers to by relationship type ("/styles",
// "/numbering"); empty when there is none.
QString relatedPartName(const Package& pkg, const char* typeEnd) {
    const QString main = pkg.mainPartName();
    const int slash = main.lastIndexOf('/');
    const QString folder = slash >= 0 ? main.left(slash + 1) : QString();
    const QString rels = folder + "_rels/" + main.mid(slash + 1) + ".rels";
    if (!pkg.hasPart(rels)) return {};
    pugi::xml_document doc;
    const QByteArray bytes = pkg.readPart(rels);
    if (!doc.load_buffer(bytes.constData(), bytes.size(), pugi::parse_default & ~pugi::parse_doctype))
        return {};
    const size_t n = std::strlen(typeEnd);
    for (pugi::xml_node r : doc.document_element().children()) {
        const std::string type = r.attribute("Type").value();
        if (type.size() >= n && type.compare(type.size() - n, n, typeEnd) == 0 &&
            std::string(r.attribute("TargetMode").value()) != "External")
            return pkg.relationshipTarget(main, QString::fromUtf8(r.attribute("Id").value()));
    }
    return {};
}

// Styles and numbering only add to the text: a damaged part is passed over
// rather than refusing the export.
bool loadRelatedPart(Package& pkg, const char* typeEnd, pugi::xml_document& into) {
    const QString part = relatedPartName(pkg, typeEnd);
    if (part.isEmpty() || !pkg.hasPart(part)) return false;
    const QByteArray bytes = pkg.readPart(part);
    return bool(into.load_buffer(bytes.constData(), bytes.size(), pugi::parse_default & ~pugi::parse_doctype));
}

// What one walk reads; the list numbers count, so every walk has its own.
struct ModelSource {
    Source source;
    pugi::xml_document styles, numbering;
    std::unique_ptr<ListNumbers> listNumbers;
};

void fillSource(DocumentModel& model, ModelSource& out) {
    Package& pkg = model.package();
    out.source.doc = &model.xml();
    out.source.w = model.wordPrefix();
    const QString main = pkg.mainPartName();
    out.source.relationshipTarget = [&pkg, main](const QString& id) {
        return pkg.relationshipTarget(main, id);
    };
    out.source.readPart = [&pkg](const QString& part) {
        return pkg.hasPart(part) ? pkg.readPart(part) : QByteArray();
    };
    if (loadRelatedPart(pkg, "/styles", out.styles)) out.source.styles = &out.styles;
    const bool hasNumbering = loadRelatedPart(pkg, "/numbering", out.numbering);
    out.listNumbers = std::make_unique<ListNumbers>(hasNumbering ? &out.numbering : nullptr, out.source.styles,
                                                    out.source.w);
    out.source.listNumbers = out.listNumbers.get();
}

WalkResult walk(DocumentModel& model, const WalkOptions& options) {
    ModelSource ms;
    fillSource(model, ms);
    return html::walkMainStory(ms.source, options);
}

QString htmlBase(const QString& htmlPath) {
    QString base = htmlPath;
    for (const char* ext : {".htm", ".html"})
        if (base.endsWith(QLatin1String(ext), Qt::CaseInsensitive) && base.size() > int(strlen(ext))) {
            base.chop(int(strlen(ext)));
            break;
        }
    return base;
}

void writeAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw Error(QStringLiteral("ファイルを書き込めませんでした：%1（%2）").arg(path, f.errorString()));
}

QByteArray htmlBytes(const QStringList& bodyLines, const QString& htmlPath) {
    QStringList out;
    out << QStringLiteral("<HTML>") << QStringLiteral("<HEAD>")
        << QStringLiteral("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">")
        << QStringLiteral("</HEAD>") << QStringLiteral("<BODY>");
    out << bodyLines;
    out << QStringLiteral("</BODY>") << QStringLiteral("</HTML>");
    bool lossy = false;
    const QByteArray bytes = cp932::encode(out.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"), &lossy);
    if (lossy)  // every character the code page lacks was written as a reference
        throw Error(QStringLiteral("HTMLの文字コード変換に失敗しました：%1").arg(htmlPath));
    return bytes;
}

// Section names as parts of file names: unique, without path characters.
QStringList sectionFileNames(const QStringList& names) {
    QStringList out;
    for (int i = 0; i < names.size(); ++i) {
        QString name = names[i];
        name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|\\s]+")), QStringLiteral("_"));
        if (name.isEmpty()) name = QStringLiteral("書類%1").arg(i + 1);
        QString unique = name;
        for (int n = 2; out.contains(unique); ++n) unique = QStringLiteral("%1%2").arg(name).arg(n);
        out << unique;
    }
    return out;
}

html::PicturePreparer picturePreparer(const FilingHtmlOptions& options) {
    if (!options.convertPictures) return {};
    const MetafileRenderer render = options.renderMetafile ? options.renderMetafile : legacy::renderMetafileToPng;
    return [render](const QString&, const QByteArray& bytes, const QString& extension, qint64 cx, qint64 cy) {
        return PrepareFilingPicture(bytes, extension, cx, cy, render);
    };
}

}  // namespace

QString pictureFileName(const QString& htmlPath, int number, const QString& extension) {
    return QStringLiteral("%1_%2.%3").arg(htmlBase(htmlPath)).arg(number).arg(extension);
}

QString sectionHtmlPath(const QString& htmlPath, const QString& sectionName) {
    return QStringLiteral("%1-%2.htm").arg(htmlBase(htmlPath), sectionName);
}

FilingHtmlReport writeFilingHtml(DocumentModel& model, const QString& htmlPath, const FilingHtmlOptions& options) {
    WalkOptions walkOptions;
    walkOptions.prepare = picturePreparer(options);

    // The files to write: the whole story, or one per section.
    std::vector<std::pair<QString, WalkResult>> files;
    QStringList sections;
    if (options.splitDocuments) {
        WalkOptions names;
        names.readPictures = false;
        names.pictureBase = htmlPath;
        sections = walk(model, names).sectionNames;
    }
    if (sections.size() >= 2) {
        const QStringList fileNames = sectionFileNames(sections);
        for (int i = 0; i < fileNames.size(); ++i) {
            const QString path = sectionHtmlPath(htmlPath, fileNames[i]);
            walkOptions.pictureBase = path;
            walkOptions.section = i;
            files.emplace_back(path, walk(model, walkOptions));
        }
    } else {
        walkOptions.pictureBase = htmlPath;
        files.emplace_back(htmlPath, walk(model, walkOptions));
    }

    // Pictures first, each HTML after its pictures; on a failure the files of
    // this call are removed again, so no half-made export remains.
    FilingHtmlReport report;
    std::vector<QString> written;
    try {
        for (const auto& [path, result] : files) {
            const QByteArray bytes = htmlBytes(result.lines, path);
            const QString folder = QFileInfo(path).absolutePath();
            for (const html::Picture& p : result.pictures) {
                const QString picturePath = folder + "/" + p.fileName;
                writeAtomically(picturePath, p.file.bytes);
                written.push_back(picturePath);
                if (!p.file.change.isEmpty())
                    report.pictureLog << QStringLiteral("%1：%2").arg(p.fileName, p.file.change);
                if (!p.file.byHand.isEmpty())
                    report.pictureLog << QStringLiteral("%1：%2。手作業で変換してください").arg(p.fileName, p.file.byHand);
            }
            writeAtomically(path, bytes);
            written.push_back(path);
            report.htmlFiles << path;
        }
    } catch (...) {
        for (const QString& path : written) QFile::remove(path);
        throw;
    }
    return report;
}

std::vector<RefusedCharacter> refusedCharacters(DocumentModel& model) {
    WalkOptions options;
    options.readPictures = false;
    options.pictureBase = QStringLiteral("x.htm");
    return walk(model, options).refused;
}

std::vector<StoryPicture> storyPictures(DocumentModel& model) {
    WalkOptions options;
    options.pictureBase = QStringLiteral("x.htm");
    const WalkResult result = walk(model, options);
    std::map<QString, const html::Picture*> byPart;
    for (const html::Picture& p : result.pictures) byPart[p.partName] = &p;
    std::vector<StoryPicture> out;
    for (const html::PictureUse& use : result.pictureUses)
        out.push_back({use.paragraph - 1, use.partName, byPart.at(use.partName)->file.bytes, use.cxEmu, use.cyEmu});
    return out;
}

}  // namespace word::ooxml
