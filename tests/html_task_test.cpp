#include "engine/host.h"
#include "engine/task_runner.h"
#include "word/automation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class QuietHost : public engine::Host {
public:
    void ShowLog(int mode, const QString& text) override {
        if (mode == 1) log += text;
        else if (mode == 2) log += "\r\n" + text;
        else log = text;
    }
    void ShowStatus(const QString& text) override { status = text; }
    void SetProgress(double v) override { progress = v; }
    double Progress() const override { return progress; }
    void RefreshProgress() override {}
    void Wait1Sec() override {}
    void DoEvents() override {}
    void MessageBox(const QString& text, const QString&, bool) override { messages << text; }
    void BrowseForFile() override { ++browsed; }
    void OpenWithShell(const QString&) override {}
    QString FilePathText() const override { return filePath; }
    engine::TaskOptions Options() const override { return {}; }

    QString log, status, filePath;
    double progress = 0;
    QStringList messages;
    int browsed = 0;
};

TEST(SlimHTM, RewritesLineByLineThroughATempFileWithCrLf) {
    QTemporaryDir dir;
    const QString html = dir.filePath("spec.doc.htm");
    // Code page 932 text with LF, CR LF and lone CR line ends and no final line end.
    const QByteArray sjis("\x96\x7B\x95\xB6<BR>", 8);   // 本文<BR>
    const QByteArray nec("\x87\x40\x87\x8A<BR>", 8);    // ①㈱<BR>
    writeFile(html, "<HTML>\n" + sjis + "\r\n" + nec + "\r<BR>\r\n\r\n</HTML>");
    // A leftover from an earlier run is overwritten.
    writeFile(html + ".temp", QByteArray(100000, 'x'));

    QuietHost host;
    engine::TaskRunner runner(host);
    runner.SlimHTM(html);

    EXPECT_EQ(readAll(html), "<HTML>\r\n" + sjis + "\r\n" + nec + "\r\n<BR>\r\n\r\n</HTML>\r\n");
    EXPECT_FALSE(QFile::exists(html + ".temp"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"spec.doc.htm"}));

    // A second pass changes nothing.
    const QByteArray once = readAll(html);
    runner.SlimHTM(html);
    EXPECT_EQ(readAll(html), once);
}

TEST(SlimHTM, AMissingFileIsAnErrorAndCreatesNothing) {
    QTemporaryDir dir;
    QuietHost host;
    engine::TaskRunner runner(host);
    EXPECT_THROW(runner.SlimHTM(dir.filePath("none.htm")), word::Error);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

}  // namespace
