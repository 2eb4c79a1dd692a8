#pragma once
// Builds real .docx files for tests from paragraphs and runs.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>

namespace testsupport {

// Escapes text for XML content.
QString xmlEscape(const QString& text);
// <w:r> with optional run properties (the inside of <w:rPr>, e.g. "<w:b/>").
QString run(const QString& text, const QString& rPr = {});
// <w:p> from the XML of its runs, with optional paragraph properties (inside <w:pPr>).
QString paraXml(const QString& runsXml, const QString& pPr = {});
// A paragraph with its text in one run.
QString para(const QString& text);
// A paragraph whose text is split into the given runs, alternating bold and
// plain formatting so that the runs stay distinct.
QString paraRuns(const QStringList& runTexts);
// One paragraph per line of `lines`, each with one run.
QString paras(const QStringList& lines);

// Writes a .docx whose body holds `bodyXml` followed by a section properties
// element. `extraParts` adds or replaces parts (name -> bytes).
void writeDocx(const QString& path, const QString& bodyXml,
               const std::map<QString, QByteArray>& extraParts = {});

// Reads one part of a zip file (empty when absent).
QByteArray readZipEntry(const QString& zipPath, const QString& entryName);
// All entry names of a zip file, in order.
QStringList zipEntryNames(const QString& zipPath);

}  // namespace testsupport
