// The deletion walk of task code 2: the first walk classifies every paragraph
// (tag or text), the second deletes the source paragraphs that the classes
// point out and writes them to the deleted-text file, or colours them in
// colour-coding mode. The check of the deleted text follows
// (deletion_check.cpp).

#include "engine/deletion/deletion.h"
#include "engine/text_helpers.h"
#include "engine/runner/task_runner.h"
#include "word/atomic_file.h"
#include "word/cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>
#include <utility>
#include <vector>

namespace engine {

namespace {

const QChar kFullWidthBlank(0x3000);

// The classes of the paragraphs by position: 0 is the place before the first
// paragraph, positions past the last one read as kClassNone.
class ClassTable {
public:
    ClassTable() { classes_.reserve(5000); classes_.push_back(kClassStart); }
    void append(ParagraphClass c) { classes_.push_back(c); }
    ParagraphClass at(qint64 position) const {
        return position >= 0 && position < static_cast<qint64>(classes_.size()) ? classes_[position] : kClassNone;
    }
    qint64 paragraphCount() const { return static_cast<qint64>(classes_.size()) - 1; }

private:
    std::vector<ParagraphClass> classes_;
};

QString WithoutMark(const QString& paragraphText) {
    return paragraphText.isEmpty() ? paragraphText : paragraphText.left(paragraphText.size() - 1);
}

// Removes the files of this run again when it fails before they are complete:
// they would describe a deletion that was never saved.
class FilesOfThisRun {
public:
    void add(const QString& path) { paths_.append(path); }
    // The files, now in the caller's care.
    QStringList release() { return std::exchange(paths_, {}); }
    ~FilesOfThisRun() {
        for (const QString& path : paths_) QFile::remove(path);
    }

private:
    QStringList paths_;
};

}  // namespace

ParagraphClass ClassifyParagraph(const QString& text) {
    if (text.size() != 4 || !text.startsWith(QStringLiteral("--/"))) return kClassText;
    switch (text.at(3).unicode()) {
    case u'H':
    case u'D':
        return kClassOpening;
    case u'M':
        return kClassM;
    case u'E':
        return kClassE;
    case u'Y':
        return kClassY;
    case u'Z':
        return kClassZ;
    default:
        return kClassText;
    }
}

DeletionReportPaths MakeDeletionReportPaths(const QString& documentPath, bool englishToJapanese) {
    // A path without a folder would otherwise put the reports into the root.
    const QString path = GetFolderPart(documentPath).isEmpty() ? QDir::cleanPath(QFileInfo(documentPath).absoluteFilePath())
                                                               : documentPath;
    const QString folder = GetFolderPart(path);
    const QString name = GetFileNamePart(path);
    auto report = [&](const QString& prefix) {
        return JoinPath(folder, ReportFileName(prefix, name, QStringLiteral(".txt")));
    };
    DeletionReportPaths paths;
    paths.deletedText = report(QStringLiteral("削除した原文-"));
    paths.finding = report(englishToJapanese ? QStringLiteral("削除原文中の全角含有文-")
                                             : QStringLiteral("削除原文中の半角５％以上含有文-"));
    paths.halfWidth = report(QStringLiteral("削除原文中の半角が多い文-"));
    paths.document = documentPath;
    return paths;
}

void TaskRunner::DeleteOriginals() {
    word::Paragraphs paragraphs = document_->Paragraphs();

    // First walk: the class of every paragraph.
    ClassTable classes;
    qint64 n = 1;
    for (std::optional<word::Paragraph> p = paragraphs.First(); p; p = p->Next()) {
        classes.append(ClassifyParagraph(WithoutMark(p->Range().Text())));
        ++n;
        host_.ShowStatus(QStringLiteral("確認処理：") + NumWithSignBlank(n));
        if (n % 20 == 1) {
            host_.SetProgress(30 + ((n / 50) % 20));
            host_.RefreshProgress();
            host_.DoEvents();
        }
    }

    // The deleted-text file, started empty, and the names of the check reports.
    const bool colouring = colourFlag_;
    // The direction names the finding report and steers the check; it is read
    // once, so that both agree even if the option changes during the walk.
    const bool englishToJapanese = host_.Options().englishToJapanese;
    // The deleted text is written to a new file that takes the report's name
    // once it is complete (word/atomic_file.h).
    FilesOfThisRun files;
    DeletionReportPaths reports;
    std::optional<word::files::AtomicFile> deletedFile;
    if (!colouring) {
        reports = MakeDeletionReportPaths(documentPath_, englishToJapanese);
        RemoveIfExists(reports.deletedText);
        try {
            deletedFile.emplace(reports.deletedText, documentPath_);
        } catch (const word::files::FileError& e) {
            ThrowFileError(QStringLiteral("作成"), reports.deletedText, e.err());
        }
        files.add(reports.deletedText);
    }

    // Second walk: delete (or colour) the source paragraphs. n counts the
    // paragraphs of the first walk. The paragraph after the current one is
    // taken before the current one is edited: its range moves with the edits,
    // so the walk goes on with it whether the current paragraph was deleted,
    // emptied (the last paragraph of a table cell keeps its mark) or split in
    // two by the heading rewrite, and n stays with the paragraph it counts.
    n = 1;
    bool lossy = false;  // a deleted character the code page lacks was written as "?"
    std::optional<word::Paragraph> p = paragraphs.First();
    while (p) {
        std::optional<word::Paragraph> next = p->Next();
        range_ = p->Range();
        const QString s = range_.Text();
        const ParagraphClass before = classes.at(n - 1);
        const ParagraphClass self = classes.at(n);
        const ParagraphClass after = classes.at(n + 1);

        // Source text: the first text paragraph after an opening, M or E tag,
        // followed by its translation, unless five or more text paragraphs
        // start there.
        if (IsSourceText([&](int k) { return classes.at(n + k); })) {
            if (colouring) {
                range_.Font().SetColor(ColourValueOfBox(host_.Options(), 0));
            } else {
                range_.SetText(QString());
                bool recordLossy = false;
                const QByteArray record = word::cp932::encode(s + QStringLiteral("\r\n"), &recordLossy);
                lossy = lossy || recordLossy;
                try {
                    deletedFile->Write(record);
                } catch (const word::files::FileError& e) {
                    ThrowFileError(QStringLiteral("書き込み"), reports.deletedText, e.err());
                }
            }
            changed_ = true;
        }

        // A lone text paragraph between an opening tag and an M or E tag: a
        // heading. A bracketed four-character marker opening it (【０００１】,
        // 【技術分野】) gets a two-blank indent and a paragraph of one blank
        // after it: "　　" + text + CR + "　" + its mark. The two insertions
        // leave the text itself, with its formatting, where it is; the mark
        // (the end of a table cell, a section break) closes the new paragraph.
        if (self == kClassText && before == kClassOpening && (after == kClassM || after == kClassE) && !colouring) {
            changed_ = true;
            if (s.size() > 5 && s.at(0) == QChar(0x3010) && s.at(5) == QChar(0x3011)) {
                const int start = range_.Start();
                const int end = range_.End();
                word::Range insert = range_.Duplicate();
                insert.SetRange(end - 1, end - 1);
                insert.SetText(QStringLiteral("\r") + kFullWidthBlank);
                insert.SetRange(start, start);
                insert.SetText(QString(2, kFullWidthBlank));
            }
        }

        ++n;
        host_.ShowStatus(QStringLiteral("置き換え処理：") + NumWithSignBlank(n));
        if (n % 20 == 1) {
            host_.SetProgress(50 + ((n / 50) % 20));
            host_.RefreshProgress();
            host_.DoEvents();
        }
        p = std::move(next);
    }
    range_ = word::Range();

    if (!colouring) {
        try {
            deletedFile->Commit();
        } catch (const word::files::FileError& e) {
            ThrowFileError(QStringLiteral("書き込み"), reports.deletedText, e.err());
        }
        if (lossy)
            host_.ShowLog(1, QStringLiteral(" .. 削除した原文のうちShift_JISで表せない文字は「?」として書き出しました"));
    }
    host_.SetProgress(72);
    if (colouring) {
        host_.SetProgress(78);
        return;
    }
    files.add(reports.finding);
    files.add(reports.halfWidth);
    // Told once the result is saved; the reports go again if it is not.
    pendingCheck_ = WriteDeletionCheckReports(host_, reports, englishToJapanese);
    reportsOfThisRun_ = files.release();
}

}  // namespace engine
