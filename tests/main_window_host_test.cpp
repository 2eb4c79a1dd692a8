// What the runner sees of the main window (the log, the status line, the
// bar, the pauses), help and the version information, and files the desktop
// cannot open.

#include "support/window_test_util.h"

namespace {

using namespace testsupport::window;

TEST_F(MainWindowTest, HelpOpensTheCompiledHelpWhenItExistsElseTheHtmlHelp) {
    auto w = open();
    const QString folder = QCoreApplication::applicationDirPath();
    const QString chm = folder + "/Kalvendo.chm";
    QFile::remove(chm);
    w->cmdHelp->click();
    ASSERT_EQ(shell_.opened.size(), 1);
    EXPECT_EQ(shell_.opened[0], QUrl::fromLocalFile(folder + "/help/index.html"));

    {
        QFile f(chm);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    w->cmdHelp_Click();
    QFile::remove(chm);
    ASSERT_EQ(shell_.opened.size(), 2);
    EXPECT_EQ(shell_.opened[1], QUrl::fromLocalFile(chm));
}

TEST_F(MainWindowTest, TheHtmlHelpShipsBesideTheProgram) {
    QFile help(QStringLiteral(KALVENDO_BINARY_DIR) + "/help/index.html");
    ASSERT_TRUE(help.open(QIODevice::ReadOnly)) << help.fileName().toStdString();
    const QString html = QString::fromUtf8(help.readAll());
    for (const char* needle : {"新規段落振り", "段落振り直し", "原文・タグを削除", "色分け", "HTML化", "--/H", "-bak",
                               "出願前チェック", "マルチマルチ", "イメージ", "番号振り直し", "中止"})
        EXPECT_TRUE(html.contains(QString::fromUtf8(needle))) << needle;
}

TEST_F(MainWindowTest, AFileTheDesktopCannotOpenIsNamedInAMessage) {
    auto w = open();
    w->txtFilePath->setText("/w/山田 太郎/a.docx");
    // No opener at all: the offscreen desktop opens nothing once the test's recorder is gone.
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QString message;
    ModalAnswers answers({okMessage(&message)});
    w->cmdOpen->click();
    EXPECT_EQ(answers.answered(), 1);
    EXPECT_TRUE(message.startsWith("「/w/山田 太郎/a.docx」を開けませんでした。")) << message.toStdString();
}

TEST_F(MainWindowTest, TheHelpMenuOpensTheHelpAndTellsTheVersions) {
    auto w = open();
    w->mnuHelp->trigger();
    ASSERT_EQ(shell_.opened.size(), 1);
    EXPECT_TRUE(shell_.opened[0].toLocalFile().endsWith("/help/index.html"));
    QString text, title;
    ModalAnswers answers({okMessage(&text, &title)});
    w->mnuAbout->trigger();
    EXPECT_EQ(title, "バージョン情報");
    EXPECT_TRUE(text.startsWith("Kalvendo バージョン ")) << text.toStdString();
    EXPECT_TRUE(text.contains("Qt " QT_VERSION_STR)) << text.toStdString();
    EXPECT_TRUE(text.contains("LibreOffice：")) << text.toStdString();
}

TEST_F(MainWindowTest, ShowLogAppendsContinuesOrReplaces) {
    auto w = open();
    w->ShowLog(1, "A");  // the log ends with CR LF: A starts a new line
    EXPECT_EQ(w->LogText(), kBannerLog + "A");
    w->ShowLog(1, " .. B");
    w->ShowLog(2, "C");
    w->ShowLog(2, "");
    EXPECT_EQ(w->LogText(), kBannerLog + "A .. B\r\nC\r\n");
    EXPECT_EQ(w->txt->toPlainText(), QString(kBannerLog + "A .. B\r\nC\r\n").replace("\r\n", "\n"));
    for (int mode : {0, 3, -1}) {
        w->ShowLog(mode, QStringLiteral("replaced %1").arg(mode));
        EXPECT_EQ(w->LogText(), QStringLiteral("replaced %1").arg(mode));
        EXPECT_EQ(w->txt->toPlainText(), QStringLiteral("replaced %1").arg(mode));
    }
}

TEST_F(MainWindowTest, ShowStatusShowsTheWholeTextAndProgressStaysInRange) {
    auto w = open();
    w->show();
    w->ShowStatus("処理完了-ユーザ操作待ち");
    EXPECT_EQ(w->lbl->text(), "処理完了-ユーザ操作待ち");
    EXPECT_GE(w->lbl->width(), w->lbl->fontMetrics().horizontalAdvance(w->lbl->text()));
    w->SetProgress(62.5);
    EXPECT_EQ(w->Progress(), 62.5);
    EXPECT_EQ(w->ProgressBar1->value(), 62);
    w->SetProgress(140);
    EXPECT_EQ(w->ProgressBar1->value(), 100);
    w->RefreshProgress();
}

TEST_F(MainWindowTest, Wait1SecProcessesEventsWithoutSpinning) {
    auto w = open();
    bool ranDuringPause = false;
    QTimer::singleShot(200, w.get(), [&] { ranDuringPause = true; });
    QElapsedTimer wall;
    wall.start();
    const std::clock_t cpuStart = std::clock();
    w->Wait1Sec();
    const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const qint64 elapsed = wall.elapsed();
    EXPECT_TRUE(ranDuringPause);
    EXPECT_GE(elapsed, 900);
    EXPECT_LT(elapsed, 3000);
    EXPECT_LT(cpuSeconds, 0.5) << "the pause must block, not spin";
}

TEST_F(MainWindowTest, NestedPausesEndAtTheSameTick) {
    auto w = open();
    QElapsedTimer wall;
    qint64 innerEnd = -1;
    QTimer::singleShot(400, w.get(), [&] {
        w->Wait1Sec();
        innerEnd = wall.elapsed();
    });
    wall.start();
    w->Wait1Sec();
    const qint64 outerEnd = wall.elapsed();
    ASSERT_GE(innerEnd, 0);
    EXPECT_LT(outerEnd, 1350) << "the outer pause must not wait for a second tick";
    EXPECT_LT(outerEnd - innerEnd, 150);
}

// Writes a specification that task 0 numbers, or bytes that are no document.

}  // namespace
