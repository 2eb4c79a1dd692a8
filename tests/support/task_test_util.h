#pragma once
// Helpers for tests that run tasks on real files: a scratch folder, documents
// written from lines, and the story text read back through the engine.

#include "support/docx_builder.h"
#include "support/recording_host.h"
#include "word/automation.h"

#include <QDir>
#include <QProcess>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// kalvendo-cli run as a user runs it, with its exit code and both outputs.
struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

inline CliResult cli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(KALVENDO_BINARY_DIR "/kalvendo-cli"), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// The main story of a document as the engine reads it, marks included.
inline QString storyText(const QString& path) {
    auto app = word::Application::CreateObject(QStringLiteral("Word.Application"));
    auto doc = app->Documents().Open(path, true);
    QString text = doc->Content().Text();
    doc->Close(word::wdDoNotSaveChanges);
    return text;
}

// The paragraphs' texts without their marks.
inline QStringList storyParagraphs(const QString& path) {
    QString text = storyText(path);
    if (text.endsWith(u'\r')) text.chop(1);
    return text.split(u'\r');
}

inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// File names in a folder, sorted.
inline QStringList folderEntries(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

}  // namespace testsupport
