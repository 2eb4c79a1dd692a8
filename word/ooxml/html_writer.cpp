#include "word/ooxml/html_writer.h"

#include "word/atomic_file.h"
#include "word/automation.h"
#include "word/legacy/legacy.h"
#include "word/ooxml/document_model.h"
#include "word/ooxml/html_walk.h"
#include "word/ooxml/list_numbers.h"
#include "word/ooxml/package.h"
#include "word/ooxml/story_pictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

#include <pugixml.hpp>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <thread>
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
    out.source.relationshipIsExternal = [&pkg, main](const QString& id) {
        return pkg.relationshipIsExternal(main, id);
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

// The options of a walk for what the story holds (pictures, equations,
// sections, refused characters) rather than for a file: no HTML is made.
WalkOptions listingOptions(bool readPictures, bool listCharacters) {
    WalkOptions options;
    options.readPictures = readPictures;
    options.pictureBase = QStringLiteral("x.htm");
    options.writeHtml = false;
    options.listCharacters = listCharacters;
    return options;
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

// What a picture's name adds to its HTML file's base ("_123.jpeg", with room to spare).
constexpr int kPictureNameRoom = 16;

// The HTML files of the sections, one per name: unique, without path
// characters, and each short enough for the file system with room for its
// pictures' "_12.jpeg".
QStringList sectionHtmlPaths(const QString& htmlPath, const QStringList& names) {
    QStringList out;
    for (int i = 0; i < names.size(); ++i) {
        QString name = names[i];
        name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|\\s]+")), QStringLiteral("_"));
        if (name.isEmpty()) name = QStringLiteral("書類%1").arg(i + 1);
        QString path = sectionHtmlPath(htmlPath, name);
        for (int n = 2; out.contains(path); ++n) path = sectionHtmlPath(htmlPath, name, n);
        out << path;
    }
    return out;
}

// The pictures an earlier export left beside an HTML file ("spec.docx_7.png")
// that the new one does not show: removed once the new files are in place.
void removeStalePictures(const QString& htmlPath, const QStringList& current) {
    const QFileInfo base(htmlBase(htmlPath));
    static const QString kExtensions = QStringLiteral("png|jpe?g|jfif|gif|bmp|tiff?|emf|wmf|svg|wdp|bin");
    const QRegularExpression picture(QStringLiteral("^%1_\\d+\\.(%2)$")
                                         .arg(QRegularExpression::escape(base.fileName()), kExtensions),
                                     QRegularExpression::CaseInsensitiveOption);
    QDir folder = base.dir();
    for (const QString& name : folder.entryList(QDir::Files | QDir::System | QDir::Hidden)) {
        const QString path = folder.filePath(name);
        if (picture.match(name).hasMatch() && !current.contains(path)) QFile::remove(path);
    }
}

// Converts the pictures of the story before the walks that write them,
// several at a time (each picture is independent and the conversions are the
// bulk of the work). Each part is prepared once, at the size it first shows.
std::map<QString, FilingPicture> convertedPictures(const WalkResult& story, const MetafileRenderer& render) {
    struct Job {
        const html::Picture* picture;
        qint64 cx = 0, cy = 0;
        FilingPicture result;
        std::exception_ptr failure;
    };
    std::vector<Job> jobs;
    for (const html::Picture& p : story.pictures) {
        const auto use = std::find_if(story.pictureUses.begin(), story.pictureUses.end(),
                                      [&](const html::PictureUse& u) { return u.partName == p.partName; });
        jobs.push_back({&p, use == story.pictureUses.end() ? 0 : use->cxEmu,
                        use == story.pictureUses.end() ? 0 : use->cyEmu, {}, {}});
    }
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i; (i = next++) < jobs.size();) {
            Job& job = jobs[i];
            try {
                job.result = PrepareFilingPicture(job.picture->file.bytes, job.picture->file.extension, job.cx,
                                                  job.cy, render);
            } catch (...) {
                job.failure = std::current_exception();
            }
        }
    };
    const size_t helpers = std::min<size_t>(jobs.size(), std::max(1, QThread::idealThreadCount())) - (jobs.empty() ? 0 : 1);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < helpers; ++i) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();

    std::map<QString, FilingPicture> out;
    for (Job& job : jobs) {
        if (job.failure) std::rethrow_exception(job.failure);
        out[job.picture->partName] = std::move(job.result);
    }
    return out;
}

// The equations that text cannot show, drawn as pictures (all in one run of
// LibreOffice); those that cannot be drawn stay text and are reported.
EquationPictures drawnEquations(DocumentModel& model, const WalkResult& story, const PageRenderer& render) {
    if (story.equationParagraphs.empty()) return {};
    std::vector<EquationSource> sources;
    for (const html::EquationParagraph& e : story.equationParagraphs) sources.push_back({e.paragraph, e.node});
    return drawEquations(model.xml().document_element(), sources, render);
}

}  // namespace

QString pictureFileName(const QString& htmlPath, int number, const QString& extension) {
    return QStringLiteral("%1_%2.%3").arg(htmlBase(htmlPath)).arg(number).arg(extension);
}

QString sectionHtmlPath(const QString& htmlPath, const QString& sectionName, int number) {
    const QFileInfo base(htmlBase(htmlPath));
    const QString suffix = number > 1 ? QStringLiteral("%1.htm").arg(number) : QStringLiteral(".htm");
    const QString name = files::FittedFileName(base.fileName() + u'-', sectionName, suffix, kPictureNameRoom);
    return base.path() + u'/' + name;
}

FilingHtmlReport writeFilingHtml(DocumentModel& model, const QString& htmlPath, const FilingHtmlOptions& options) {
    // One walk lists what the story holds (its pictures, the equations text
    // cannot show, its sections) without making its text; the walks that
    // write the files follow.
    WalkResult story;
    if (options.convertPictures || options.splitDocuments)
        story = walk(model, listingOptions(options.convertPictures, false));
    WalkOptions walkOptions;
    std::map<QString, FilingPicture> converted;
    EquationPictures equations;
    if (options.convertPictures) {
        equations = drawnEquations(
            model, story, options.renderPages ? options.renderPages : PageRenderer(legacy::renderFirstPagesToPng));
        walkOptions.equationPictures = &equations.byParagraph;
        converted = convertedPictures(
            story, options.renderMetafile ? options.renderMetafile : MetafileRenderer(legacy::renderMetafileToPng));
        walkOptions.prepare = [&converted](const QString& part, const QByteArray& bytes, const QString& extension,
                                           qint64, qint64) {
            auto it = converted.find(part);
            return it != converted.end() ? it->second : FilingPicture{bytes, extension, {}, {}};
        };
    }
    const QStringList sections = options.splitDocuments ? story.sectionNames : QStringList();
    story = {};  // the pictures as stored are not needed any more

    // The files to write: the whole story, or one per section.
    std::vector<std::pair<QString, WalkResult>> files;
    if (sections.size() >= 2) {
        const QStringList paths = sectionHtmlPaths(htmlPath, sections);
        for (int i = 0; i < paths.size(); ++i) {
            walkOptions.pictureBase = paths[i];
            walkOptions.section = i;
            files.emplace_back(paths[i], walk(model, walkOptions));
        }
    } else {
        walkOptions.pictureBase = htmlPath;
        files.emplace_back(htmlPath, walk(model, walkOptions));
    }

    // The HTML files and their pictures are one result (word/atomic_file.h):
    // each is written whole under a temporary name, and only when all are
    // complete do they take their names, pictures first, each HTML after its
    // pictures. A failure before that leaves the earlier export as it was.
    FilingHtmlReport report;
    if (!equations.failure.isEmpty())
        report.pictureLog << QStringLiteral("数式を画像にできませんでした（%1）").arg(equations.failure);
    files::FileSet set(model.package().sourcePath());
    QStringList written;
    for (const auto& [path, result] : files) {
        if (result.lossy)  // every character the code page lacks was written as a reference
            throw Error(QStringLiteral("HTMLの文字コード変換に失敗しました：%1").arg(path));
        const QString folder = QFileInfo(path).absolutePath();
        for (const html::Picture& p : result.pictures) {
            const QString picturePath = folder + "/" + p.fileName;
            set.Add(picturePath, p.file.bytes);
            written << picturePath;
            if (p.partName.startsWith(QLatin1String("equation:"))) continue;  // listed with its item below
            if (!p.file.change.isEmpty())
                report.pictureLog << QStringLiteral("%1：%2").arg(p.fileName, p.file.change);
        }
        for (const html::EquationItem& item : result.equationItems) {
            const QString change = equations.byParagraph.at(item.paragraph).change;
            report.pictureLog << QStringLiteral("%1：【段落 %2】の数式 → %3、%4")
                                     .arg(item.fileName)
                                     .arg(item.paragraph)
                                     .arg(item.heading, change.mid(change.indexOf(QStringLiteral("→ ")) + 2));
        }
        report.refused.insert(report.refused.end(), result.refused.begin(), result.refused.end());
        report.handWork.insert(report.handWork.end(), result.handWork.begin(), result.handWork.end());
        for (const html::TableProblem& problem : result.tableProblems)
            report.tableLog << QStringLiteral("【段落 %1】%2").arg(problem.paragraph).arg(problem.what);
        set.Add(path, result.html);
        written << path;
        report.htmlFiles << path;
        report.equationsNotAsText.insert(report.equationsNotAsText.end(), result.equationsNotAsText.begin(),
                                         result.equationsNotAsText.end());
    }
    set.Commit();
    for (const auto& file : files) removeStalePictures(file.first, written);
    return report;
}

std::vector<RefusedCharacter> refusedCharacters(DocumentModel& model) {
    return walk(model, listingOptions(false, true)).refused;
}

std::vector<StoryPicture> storyPictures(DocumentModel& model) {
    const WalkResult result = walk(model, listingOptions(true, false));
    std::map<QString, const html::Picture*> byPart;
    for (const html::Picture& p : result.pictures) byPart[p.partName] = &p;
    std::vector<StoryPicture> out;
    for (const html::PictureUse& use : result.pictureUses)
        out.push_back({use.paragraph - 1, use.partName, byPart.at(use.partName)->file.bytes, {}, use.cxEmu, use.cyEmu});
    for (const HandWork& missing : result.handWork)
        if (missing.missingPicture) out.push_back({missing.paragraph - 1, {}, {}, missing.what, 0, 0});
    std::stable_sort(out.begin(), out.end(),
                     [](const StoryPicture& a, const StoryPicture& b) { return a.paragraph < b.paragraph; });
    return out;
}

}  // namespace word::ooxml
