#pragma once
// What the end-to-end task benchmarks share: a minimal .docx written from the
// XML of its body, and a host that plays the window without showing anything.

#include "engine/runner/host.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <zip.h>

#include <ctime>
#include <vector>

namespace bench {

inline QByteArray EscapeXml(const QByteArray& text) {
    QByteArray out = text;
    out.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;");
    return out;
}

// Writes a package with the content types, the package relationships and a
// main document part holding bodyXml (paragraphs) and a section properties element.
inline bool WriteDocx(const QString& path, const QByteArray& bodyXml) {
    const QByteArray document =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>" +
        bodyXml + "<w:sectPr/></w:body></w:document>";
    const QByteArray contentTypes =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/word/document.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";
    const QByteArray rels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
        "Target=\"word/document.xml\"/></Relationships>";
    // libzip reads the buffers when the archive is closed.
    const std::vector<std::pair<const char*, const QByteArray*>> entries = {
        {"[Content_Types].xml", &contentTypes}, {"_rels/.rels", &rels}, {"word/document.xml", &document}};
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip) return false;
    bool ok = true;
    for (const auto& [name, data] : entries) {
        zip_source_t* src = zip_source_buffer(zip, data->constData(), static_cast<zip_uint64_t>(data->size()), 0);
        ok = ok && src && zip_file_add(zip, name, src, ZIP_FL_ENC_UTF_8) >= 0;
    }
    return zip_close(zip) == 0 && ok;
}

// The window's part without a window: counts what a window would show.
class BenchHost : public engine::Host {
public:
    QString file;
    engine::TaskOptions options;
    int statuses = 0;
    QString log;
    QStringList messages;
    QStringList opened;

    void ShowLog(int mode, const QString& text) override { log += (mode == 2 ? QStringLiteral("\n") : QString()) + text; }
    void ShowStatus(const QString&) override { ++statuses; }
    void SetProgress(double v) override { progress_ = v; }
    double Progress() const override { return progress_; }
    void RefreshProgress() override {}
    void Wait1Sec() override {}
    void DoEvents() override {}
    using engine::Host::MessageBox;
    void MessageBox(const QString& text, const QString& title, bool) override { messages << title + ": " + text; }
    void BrowseForFile() override {}
    void OpenWithShell(const QString& path) override { opened << path; }
    QString FilePathText() const override { return file; }
    engine::TaskOptions Options() const override { return options; }

private:
    double progress_ = 0;
};

// The benchmark host, counting the findings of the checks as they are reported.
class CountingHost : public BenchHost {
public:
    int findings = 0;
    void ReportFinding(const QString&, const QString&, const QString&) override { ++findings; }
};

// The process's CPU time so far.
inline double CpuMs() { return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC; }

}  // namespace bench
