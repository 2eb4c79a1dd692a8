// The main window's second file box (tasks 8 and 9) with its browse button,
// drops and recent files, the options of tasks 6, 8 and 9, the findings a
// drafter accepts from the log, and saving the log.

#include "support/window_test_util.h"

#include "support/task_test_util.h"
#include "word/cp932.h"

#include <QTextBlock>

namespace {

using namespace testsupport::window;

// Drops files on one control of the window (the drop goes to the window,
// which looks where it landed).
void dropFilesOn(frmQuorvel& w, QWidget* on, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    const QPointF at = on->mapTo(&w, on->rect().center());
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &drop);
    QTest::qWait(50);
}

TEST_F(MainWindowTest, TasksEightAndNineEachKeepTheirSecondDocumentWithItsDropsDialogAndRecentFiles) {
    const QString source = emptyFile(files_.filePath("原文 英語.docx"));
    const QString earlier = emptyFile(files_.filePath("出願時.docx"));
    const QString older = emptyFile(files_.filePath("前回補正.docx"));
    {
        auto w = open();
        w->show();
        w->mnuTask[8]->trigger();
        EXPECT_TRUE(w->lblCompanion->text().startsWith("原文の文書"));
        // A drop on the second box fills it and leaves the first alone.
        dropFilesOn(*w, w->cmbCompanion, {source});
        EXPECT_EQ(w->cmbCompanion->currentText(), source);
        EXPECT_EQ(w->txtFilePath->text(), ui::text::kFilePrompt);
        EXPECT_EQ(w->Options().companionPath, source);

        // Task 9 has its own: chosen in its dialog, and a cancel keeps it.
        w->mnuTask[9]->trigger();
        EXPECT_TRUE(w->lblCompanion->text().startsWith("補正前の文書"));
        EXPECT_EQ(w->cmbCompanion->currentText(), "");
        for (const QString& chosen : {older, earlier}) {
            ModalAnswers answers({[&](QWidget* m) { chooseInDialog(m, chosen); }});
            w->cmdReferCompanion->click();
            EXPECT_TRUE(answers.allAnswered());
        }
        {
            ModalAnswers answers({[](QWidget* m) { qobject_cast<QDialog*>(m)->reject(); }});
            w->cmdReferCompanion->click();
        }
        EXPECT_EQ(w->cmbCompanion->currentText(), earlier);
        EXPECT_EQ(w->RecentCompanions(9), (QStringList{earlier, older}));
        EXPECT_EQ(w->cmbCompanion->count(), 2);  // the box lists them
        w->cmbCompanion->setCurrentIndex(1);
        EXPECT_EQ(w->Options().companionPath, older);

        w->mnuTask[8]->trigger();
        EXPECT_EQ(w->cmbCompanion->currentText(), source);
        EXPECT_EQ(w->RecentCompanions(8), QStringList{source});
        w->mnuTask[9]->trigger();
        w->close();
    }
    // Both are remembered, with their recent files.
    auto w = open();
    EXPECT_EQ(w->SelectedTask(), 9);
    EXPECT_EQ(w->cmbCompanion->currentText(), older);
    EXPECT_EQ(w->RecentCompanions(9), (QStringList{earlier, older}));
    w->mnuTask[8]->trigger();
    EXPECT_EQ(w->cmbCompanion->currentText(), source);
}

TEST_F(MainWindowTest, TheOptionsOfTasksSixEightAndNineReachTheTaskAndAreStored) {
    const QString glossary = emptyFile(files_.filePath("用語集.txt"));
    {
        auto w = open();
        const engine::TaskOptions before = w->Options();
        EXPECT_FALSE(before.annotate || before.claimsEach || before.underlineClaimsOnly || before.newMatter);
        EXPECT_TRUE(before.glossaryFile.isEmpty());
        w->mnuTask[8]->trigger();
        {
            ModalAnswers answers({[&](QWidget* m) { chooseInDialog(m, glossary); }});
            w->cmdReferGlossary->click();
        }
        w->chkAnnotate->setChecked(true);
        w->chkClaimsEach->setChecked(true);
        w->chkNewMatter->setChecked(true);
        const engine::TaskOptions o = w->Options();
        EXPECT_EQ(o.glossaryFile, glossary);
        EXPECT_TRUE(o.annotate && o.claimsEach && o.newMatter);
        EXPECT_FALSE(o.underlineClaimsOnly);
        w->close();
    }
    QSettings s = stored();
    EXPECT_EQ(s.value("Settings/Annotate").toString(), "1");
    EXPECT_EQ(s.value("Settings/UnderlineClaimsOnly").toString(), "0");
    auto w = open();
    const engine::TaskOptions o = w->Options();
    EXPECT_EQ(o.glossaryFile, glossary);
    EXPECT_TRUE(o.annotate && o.claimsEach && o.newMatter);
    EXPECT_FALSE(o.underlineClaimsOnly);
}

TEST_F(MainWindowTest, AnAcceptedFindingIsKeptForItsDocumentAndHandedToTheNextCheck) {
    const struct {
        QString kind, what, line;
    } lines[] = {{"符号", "「弾性部材」の符号が１０（符号の説明では２０）", "符号\t弾性部材"},
                 {"段落番号", "番号が飛んでいます", "段落番号\t番号が飛んでいます"},
                 {"a", "「」", "a\t"}};
    for (const auto& c : lines) EXPECT_EQ(ui::AcceptedFindingLine(c.kind, c.what), c.line);

    const QString doc = files_.filePath("check me.docx");
    ASSERT_TRUE(QFile::copy(QStringLiteral(KALVENDO_SOURCE_DIR) + "/samples/check-me.docx", doc));
    auto w = open(doc);
    w->mnuTask[6]->trigger();
    {
        ModalAnswers answers({okMessage(nullptr)});
        w->cmdStart->click();
    }
    ASSERT_EQ(w->Runner().LastOutcome(), engine::RunOutcome::Completed);
    EXPECT_TRUE(w->Options().acceptedFindings.isEmpty());
    // The banner's lines are no findings; the first line that is one is accepted.
    EXPECT_FALSE(w->AcceptFindingAt(1));
    int accepted = -1;
    for (int b = 0; b < w->txt->document()->blockCount() && accepted < 0; ++b)
        if (w->AcceptFindingAt(b)) accepted = b;
    ASSERT_GE(accepted, 0);
    const QStringList kept = w->Options().acceptedFindings;
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(w->txt->document()->findBlockByNumber(accepted).text().startsWith(" .. " + kept[0].section('\t', 0, 0)));
    EXPECT_TRUE(w->LogText().endsWith(" .. 了承（次から挙げません）：" + kept[0].section('\t', 0, 0) + "　" +
                                      kept[0].section('\t', 1)));
    EXPECT_TRUE(w->AcceptFindingAt(accepted));  // twice: still one line
    EXPECT_EQ(w->Options().acceptedFindings, kept);
    w->close();

    // Kept for that document only, across starts.
    EXPECT_EQ(open(doc)->Options().acceptedFindings, kept);
    EXPECT_TRUE(open(files_.filePath("other.docx"))->Options().acceptedFindings.isEmpty());
}

TEST_F(MainWindowTest, TheLogIsSavedWithCrLfInCodePage932OrUtf8WhenItHoldsOtherCharacters) {
    auto w = open();
    w->ShowLog(2, "保存の試験");
    const QString plain = files_.filePath("log.txt");
    ASSERT_TRUE(w->SaveLogTo(plain));
    EXPECT_EQ(testsupport::fileBytes(plain), word::cp932::encode(QString(w->LogText())));
    EXPECT_TRUE(testsupport::fileBytes(plain).contains("\r\n"));

    w->ShowLog(2, QStringLiteral("使えない文字：\U0001F600"));
    const QString wide = files_.filePath("wide.txt");
    ASSERT_TRUE(w->SaveLogTo(wide));
    EXPECT_EQ(testsupport::fileBytes(wide), QByteArray("\xEF\xBB\xBF") + w->LogText().toUtf8());

    QString message;
    ModalAnswers answers({okMessage(&message)});
    EXPECT_FALSE(w->SaveLogTo(files_.filePath("no such folder/log.txt")));
    EXPECT_TRUE(message.startsWith("ログを保存できませんでした：")) << message.toStdString();
}

}  // namespace
