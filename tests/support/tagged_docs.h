#pragma once
// Helpers for the tests of the deletion task and colour-coding: tagged
// bilingual documents written from lines, a task run on them through the
// runner, and the result read back through the engine.

#include "support/docx_builder.h"
#include "support/recording_host.h"

#include "engine/runner/task_runner.h"
#include "word/automation.h"
#include "word/cp932.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace testsupport {

class TaggedDocTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RecordingHost host;
    engine::TaskRunner runner{host};
    QString docPath;

    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }

    // Writes a document with one paragraph per line and names it in the file box.
    void writeDoc(const QStringList& lines, const QString& name = QStringLiteral("doc.docx")) {
        writeDocXml(paras(lines), name);
    }
    void writeDocXml(const QString& bodyXml, const QString& name = QStringLiteral("doc.docx")) {
        docPath = path(name);
        writeDocx(docPath, bodyXml);
        host.filePathText = docPath;
    }

    // Task code 2, deleting (colour flag clear) or colouring.
    void runTask2(bool colour = false) {
        runner.SetColourFlag(colour);
        runner.RunTask(2);
    }

    // The paragraphs of the document at docPath, without their marks.
    QStringList resultParagraphs() const {
        QString text = openResult()->Content().Text();
        if (text.endsWith(u'\r')) text.chop(1);
        return text.split(u'\r');
    }

    std::shared_ptr<word::Document> openResult() const {
        auto app = word::Application::CreateObject(QStringLiteral("Word.Application"));
        return app->Documents().Open(docPath, true);
    }

    // The colour of paragraph i (1-based) without its mark, wdUndefined when mixed.
    static int paragraphColour(word::Document& doc, int i) {
        word::Range r = doc.Paragraphs().Item(i).Range().Duplicate();
        r.MoveEnd(word::wdCharacter, -1);
        return r.Font().Color();
    }

    QString report(const QString& prefix) const { return path(prefix + QStringLiteral("doc.docx.txt")); }
    QString deletedTextPath() const { return report(QStringLiteral("削除した原文-")); }
    QString findingEjPath() const { return report(QStringLiteral("削除原文中の全角含有文-")); }
    QString findingJePath() const { return report(QStringLiteral("削除原文中の半角５％以上含有文-")); }
    QString halfWidthPath() const { return report(QStringLiteral("削除原文中の半角が多い文-")); }

    static QByteArray bytesOf(const QString& file) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return f.readAll();
    }
    // A report as text (CP932 decoded).
    static QString textOf(const QString& file) { return word::cp932::decode(bytesOf(file)); }

    QStringList backups() const {
        QStringList out;
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files))
            if (name.contains(QStringLiteral("-bak"))) out << name;
        return out;
    }
};

}  // namespace testsupport
