// The main window's runs: the start button and its task plans, real runs
// through the window, several documents in one run, 中止, the log with its
// links, the status line, progress and the pause.

#include "support/window_test_util.h"

#include "bench/patent_generator.h"
#include "support/task_test_util.h"

namespace {

using namespace testsupport::window;

// Answers the runner's "choose a file" message and cancels the browse dialog
// that follows it, keeping the message text.
std::deque<std::function<void(QWidget*)>> noFileAnswers(int runs, QStringList* messages) {
    std::deque<std::function<void(QWidget*)>> answers;
    for (int i = 0; i < runs; ++i) {
        answers.push_back([messages](QWidget* m) {
            auto* box = qobject_cast<QMessageBox*>(m);
            ASSERT_NE(box, nullptr);
            messages->append(box->text());
            box->button(QMessageBox::Ok)->click();
        });
        answers.push_back([](QWidget* m) {
            ASSERT_NE(qobject_cast<QFileDialog*>(m), nullptr);
            qobject_cast<QDialog*>(m)->reject();
        });
    }
    return answers;
}

TEST_F(MainWindowTest, StartMakesTheRunsOfTheSelectedTaskWithTheirHeadingsAndColourFlag) {
    auto w = open();
    const struct {
        int task;
        QString log;
        bool colourFlag;
    } cases[] = {{3, "\r\n段落振り処理\r\n原文･タグ削除処理", false},
                 {4, "\r\n色分け処理", true},
                 {2, "\r\n原文･タグ削除処理", false},
                 {0, "\r\n新規段落振り処理", false},
                 {5, "\r\nHTML化処理", false},
                 {1, "\r\n段落振り処理", false}};
    for (const auto& c : cases) {
        const QString before = w->LogText();
        w->optTask[c.task]->setChecked(true);
        const int runs = c.task == 3 ? 2 : 1;
        QStringList messages;
        {
            ModalAnswers answers(noFileAnswers(runs, &messages));
            w->cmdStart->click();
            EXPECT_TRUE(answers.allAnswered()) << c.task;
        }
        EXPECT_EQ(w->LogText(), before + c.log) << c.task;
        EXPECT_EQ(w->Runner().ColourFlag(), c.colourFlag) << c.task;
        ASSERT_EQ(messages.size(), runs);
        EXPECT_EQ(messages[0], "[参照]ボタンを押して処理するWordファイルを指定してください");
        // The box held no document, so no run went further than its check.
        EXPECT_EQ(w->Progress(), 0);
        EXPECT_TRUE(w->cmdStart->isEnabled() && w->cmdEnd->isEnabled() && w->cmdRefer->isEnabled() &&
                    w->cmdHelp->isEnabled());
        // Enabling after a run enables Word-open whatever the box holds; the
        // cancelled browse dialog left the box as it was.
        EXPECT_TRUE(w->cmdOpen->isEnabled());
        EXPECT_EQ(w->txtFilePath->text(), ui::text::kFilePrompt);
    }
}

QString writeSpecification(const QString& path) {
    testsupport::writeDocx(path, testsupport::paras({"【技術分野】", "　本発明は試験に関する。", "【背景技術】",
                                                     "　背景を説明する。", "　さらに説明する。"}));
    return path;
}

QStringList paragraphTexts(const QString& docxPath) {
    const QString xml = QString::fromUtf8(testsupport::readZipEntry(docxPath, "word/document.xml"));
    QStringList texts;
    qsizetype at = 0;
    while ((at = xml.indexOf("<w:p", at)) >= 0) {
        if (at + 4 < xml.size() && xml[at + 4] != u'>' && xml[at + 4] != u' ') {
            at += 4;
            continue;
        }
        const qsizetype end = xml.indexOf("</w:p>", at);
        if (end < 0) break;
        const QString p = xml.mid(at, end - at);
        QString text;
        qsizetype t = 0;
        while ((t = p.indexOf("<w:t", t)) >= 0) {
            const qsizetype open = p.indexOf('>', t);
            const qsizetype close = p.indexOf("</w:t>", open);
            if (p[t + 4] == u'>' || p[t + 4] == u' ') text += p.mid(open + 1, close - open - 1);
            t = open;
        }
        texts << text;
        at = end;
    }
    return texts;
}

TEST_F(MainWindowTest, NewNumberingOfARealDocumentThroughTheWindow) {
    const QString doc = writeSpecification(files_.filePath("spec.docx"));
    const QByteArray input = [&] {
        QFile f(doc);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }();
    auto w = open(doc);
    w->optTask[0]->setChecked(true);

    struct DuringRun {
        bool seen = false;
        bool anyEnabled = true;
        bool stopEnabled = false;
    } during;
    QTimer::singleShot(400, w.get(), [&] {
        during.seen = true;
        during.anyEnabled = w->cmdEnd->isEnabled() || w->cmdOpen->isEnabled() || w->cmdRefer->isEnabled() ||
                            w->cmdHelp->isEnabled() || w->optTask[0]->isEnabled() || w->optTask[1]->isEnabled() ||
                            w->mnuTask[2]->isEnabled() || w->mnuOpen->isEnabled() || w->cmdStart->isEnabled();
        during.stopEnabled = w->cmdStop->isEnabled();
    });
    w->cmdStart->click();

    // During the run only 中止 can be pressed; after it, everything but 中止.
    EXPECT_TRUE(during.seen);
    EXPECT_FALSE(during.anyEnabled);
    EXPECT_TRUE(during.stopEnabled);
    EXPECT_FALSE(w->cmdStop->isEnabled());
    EXPECT_TRUE(w->cmdStart->isEnabled() && w->cmdEnd->isEnabled() && w->cmdOpen->isEnabled() &&
                w->cmdRefer->isEnabled() && w->cmdHelp->isEnabled() && w->optTask[1]->isEnabled());

    const QString size = word::backup::SizeText(QFileInfo(doc).size());
    EXPECT_EQ(w->LogText(), kBannerLog + "\r\nコマンドライン引数の指定あり：" + doc +
                                "\r\n新規段落振り処理 .. Word 初期処理成功 .. 保存成功：" + doc + " " + size +
                                "kB\r\n .. 処理完了-ユーザ操作待ち\r\n .. バックアップ：" +
                                word::backup::Candidate(doc, 1));
    EXPECT_EQ(w->Progress(), 100);
    EXPECT_EQ(w->ProgressBar1->value(), 100);
    EXPECT_EQ(w->lbl->text(), "段落振り完了");
    EXPECT_EQ(w->Runner().DocumentPath(), doc);

    EXPECT_EQ(paragraphTexts(doc),
              (QStringList{"【技術分野】", "　【０００１】", "　本発明は試験に関する。", "【背景技術】",
                           "　【０００２】", "　背景を説明する。", "　【０００３】", "　さらに説明する。"}));
    // The input is kept, untouched, as the first backup.
    QFile backup(word::backup::Candidate(doc, 1));
    ASSERT_TRUE(backup.open(QIODevice::ReadOnly)) << backup.fileName().toStdString();
    EXPECT_EQ(backup.readAll(), input);

    // The folder of the processed document is stored at close.
    w->close();
    EXPECT_EQ(stored().value("Settings/DocPath").toString(), files_.path() + "/");
}

TEST_F(MainWindowTest, ADocumentThatCannotBeOpenedReportsAndOffersTheBrowseDialog) {
    const QString missing = files_.filePath("missing.docx");
    auto w = open(missing);
    w->optTask[1]->setChecked(true);
    QString message;
    ModalAnswers answers({okMessage(&message), [](QWidget* m) { qobject_cast<QDialog*>(m)->reject(); }});
    w->cmdStart->click();
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(message.startsWith("ファイルを開けませんでした。ファイルを指定し直してください。"));
    // The bar is not left where the run gave up; the status says how it ended.
    EXPECT_EQ(w->ProgressBar1->value(), 0);
    EXPECT_EQ(w->lbl->text(), "処理できませんでした：missing.docx");
    EXPECT_TRUE(w->LogText().endsWith("\r\n段落振り処理 .. Word 初期処理成功"));
    EXPECT_TRUE(w->cmdStart->isEnabled() && w->cmdRefer->isEnabled());
}

// ---------------------------------------------------------------------------
// Log, status, progress and the pause

QString writeDocument(const QString& path, bool good) {
    if (good) return writeSpecification(path);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("not a word document");
    return path;
}

TEST_F(MainWindowTest, SeveralDocumentsRunInTurnAFailureStopsNoneAndTheLogLinksTheFiles) {
    const QStringList docs{writeDocument(files_.filePath("one.docx"), true),
                           writeDocument(files_.filePath("bad.docx"), false),
                           writeDocument(files_.filePath("three.docx"), true)};
    auto w = open();
    w->show();
    w->optTask[0]->setChecked(true);
    w->SetDocuments(docs);
    QString message;
    {
        // One message, the summary at the end, and no browse dialog in between.
        ModalAnswers answers({okMessage(&message)});
        w->cmdStart->click();
        EXPECT_EQ(answers.answered(), 1);
    }
    EXPECT_TRUE(message.startsWith("3 件中 2 件成功、1 件失敗")) << message.toStdString();
    const QString log = w->LogText();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(log.contains(QStringLiteral("\r\n文書 %1/3：%2\r\n新規段落振り処理").arg(i + 1).arg(docs[i])));
    EXPECT_TRUE(log.contains("\r\n .. ファイルを開けませんでした。")) << log.toStdString();
    EXPECT_TRUE(log.endsWith("\r\n3 件中 2 件成功、1 件失敗")) << log.toStdString();
    EXPECT_EQ(log.count(" .. 保存成功："), 2);
    for (const QString& good : {docs[0], docs[2]}) {
        const QString backup = word::backup::Candidate(good, 1);
        EXPECT_TRUE(QFileInfo::exists(backup));
        EXPECT_TRUE(log.contains(" .. バックアップ：" + backup));
    }
    EXPECT_EQ(w->txtFilePath->text(), docs[0] + "（他 2 件）");
    EXPECT_EQ(w->RecentFiles().mid(0, 3), (QStringList{docs[2], docs[1], docs[0]}));

    // A click on a path in the log opens that file.
    const QString backup = word::backup::Candidate(docs[2], 1);
    QTextCursor found = w->txt->document()->find(backup);
    ASSERT_FALSE(found.isNull());
    QTextCursor inside(w->txt->document());
    inside.setPosition(found.selectionStart() + 2);
    w->txt->setTextCursor(inside);
    w->txt->ensureCursorVisible();
    QTest::mouseClick(w->txt->viewport(), Qt::LeftButton, {}, w->txt->cursorRect(inside).center());
    ASSERT_FALSE(shell_.opened.isEmpty());
    EXPECT_EQ(shell_.opened.constLast(), QUrl::fromLocalFile(backup));
}

TEST_F(MainWindowTest, StopEndsALongRunWithoutWritingAndSkipsTheDocumentsNotStarted) {
    const QString big = files_.filePath("long.docx");
    ASSERT_EQ(kalvendo::bench::WritePatentDocument(big.toStdString(), 10000), "");
    const QString small = writeSpecification(files_.filePath("small.docx"));
    const QByteArray bigBytes = testsupport::fileBytes(big);
    const QByteArray smallBytes = testsupport::fileBytes(small);
    auto w = open();
    w->optTask[0]->setChecked(true);
    w->SetDocuments({big, small});

    // 中止 is pressed once the passes have started on the long document.
    QString caption;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (w->Progress() < 30 || !caption.isEmpty()) return;
        caption = w->cmdStop->text();
        w->cmdStop->click();
    });
    poll.start();
    ModalAnswers none({});  // no message may appear
    w->cmdStart->click();
    poll.stop();

    EXPECT_EQ(caption, "中止(&C)");
    EXPECT_EQ(none.answered(), 0);
    EXPECT_EQ(testsupport::fileBytes(big), bigBytes);
    EXPECT_EQ(testsupport::fileBytes(small), smallBytes);
    EXPECT_EQ(QDir(files_.path()).entryList(QDir::Files), (QStringList{"long.docx", "small.docx"}));
    const QString log = w->LogText();
    EXPECT_TRUE(log.endsWith(" .. 処理中断：中止しました\r\n2 件中 0 件成功、0 件失敗、2 件中止")) << log.toStdString();
    EXPECT_FALSE(log.contains("文書 2/2"));
    EXPECT_EQ(w->lbl->text(), "2 件中 0 件成功、0 件失敗、2 件中止");
    EXPECT_EQ(w->cmdStart->text(), "開始(&S)");
    EXPECT_TRUE(w->cmdRefer->isEnabled() && w->mnuTask[0]->isEnabled());
}

TEST_F(MainWindowTest, ABatchRunsToItsEndWithoutAMessageBoxAndEndsWithOneSummaryNamingTheFailures) {
    const QStringList docs{writeDocument(files_.filePath("a.docx"), true),
                           writeDocument(files_.filePath("壊れた 1.docx"), false),
                           writeDocument(files_.filePath("c.docx"), true),
                           writeDocument(files_.filePath("壊れた 2.docx"), false)};
    auto w = open(docs);
    w->optTask[0]->setChecked(true);
    ASSERT_EQ(w->ChosenDocuments(), docs);
    int modalsBeforeTheEnd = 0;
    QString summary;
    {
        ModalAnswers answers({[&](QWidget* m) {
            // The only box is the one after the last document.
            if (w->IsRunning()) ++modalsBeforeTheEnd;
            okMessage(&summary)(m);
        }});
        w->cmdStart->click();
        EXPECT_EQ(answers.answered(), 1);
    }
    EXPECT_EQ(modalsBeforeTheEnd, 0);
    EXPECT_TRUE(summary.startsWith("4 件中 2 件成功、2 件失敗")) << summary.toStdString();
    for (const char* bad : {"壊れた 1.docx", "壊れた 2.docx"})
        EXPECT_TRUE(summary.contains(QStringLiteral("・%1：ファイルを開けませんでした。").arg(QString::fromUtf8(bad))))
            << summary.toStdString();
    // Each reason is in the log under its document's heading.
    const QString log = w->LogText();
    for (int bad : {1, 3}) {
        const qsizetype heading = log.indexOf(QStringLiteral("文書 %1/4：%2").arg(bad + 1).arg(docs[bad]));
        ASSERT_GE(heading, 0);
        const qsizetype next = log.indexOf("文書 ", heading + 1);
        EXPECT_TRUE(log.mid(heading, next - heading).contains(" .. ファイルを開けませんでした。")) << bad;
    }
    EXPECT_EQ(log.count(" .. 保存成功："), 2);
}

TEST_F(MainWindowTest, TheStatusAndTheBarAfterARunAreThatRunsAndTheBarOnlyMovesForward) {
    // Long enough for the renumbering's progress to come round again.
    const QString big = files_.filePath("long.docx");
    ASSERT_EQ(kalvendo::bench::WritePatentDocument(big.toStdString(), 3000), "");
    const QString bad = writeDocument(files_.filePath("bad.docx"), false);
    auto w = open(big);
    w->optTask[1]->setChecked(true);
    QList<int> bar;
    QTimer poll;
    poll.setInterval(2);
    QObject::connect(&poll, &QTimer::timeout, [&] { bar << w->ProgressBar1->value(); });
    poll.start();
    w->cmdStart->click();
    poll.stop();
    ASSERT_EQ(w->Runner().LastOutcome(), engine::RunOutcome::Completed);
    ASSERT_GT(bar.size(), 3);
    EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end())) << QString::number(bar.size()).toStdString();
    EXPECT_EQ(w->ProgressBar1->value(), 100);
    EXPECT_EQ(w->lbl->text(), "段落振り完了");

    // The next run, on a document that cannot be opened, starts from nothing
    // and ends saying so: nothing of the run before stays on show.
    w->txtFilePath->setText(bad);
    QString status;
    ModalAnswers answers({[&](QWidget* m) {
                              status = w->lbl->text();
                              okMessage(nullptr)(m);
                          },
                          [](QWidget* m) { qobject_cast<QDialog*>(m)->reject(); }});
    w->cmdStart->click();
    EXPECT_EQ(status, "処理中：bad.docx");
    EXPECT_EQ(w->lbl->text(), "処理できませんでした：bad.docx");
    EXPECT_EQ(w->ProgressBar1->value(), 0);
}

TEST_F(MainWindowTest, ClosingTheWindowDuringARunAsksThenStopsItAndCloses) {
    const QString big = files_.filePath("long.docx");
    ASSERT_EQ(kalvendo::bench::WritePatentDocument(big.toStdString(), 10000), "");
    const QByteArray before = testsupport::fileBytes(big);
    auto w = open(big);
    w->optTask[0]->setChecked(true);
    w->show();
    QString question;
    int asked = 0;
    ModalAnswers answers({[&](QWidget* m) {
        auto* box = qobject_cast<QMessageBox*>(m);
        ASSERT_NE(box, nullptr);
        question = box->text();
        ++asked;
        box->button(asked == 1 ? QMessageBox::No : QMessageBox::Yes)->click();
    }, [&](QWidget* m) {
        auto* box = qobject_cast<QMessageBox*>(m);
        ASSERT_NE(box, nullptr);
        ++asked;
        box->button(QMessageBox::Yes)->click();
    }});
    QTimer poll;
    poll.setInterval(5);
    int closes = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (w->Progress() < 30 || closes >= 2 || QApplication::activeModalWidget()) return;
        ++closes;
        w->close();
    });
    poll.start();
    w->cmdStart->click();
    poll.stop();
    QTest::qWait(50);
    // The first question was answered No and the run went on; the second Yes.
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(question.startsWith("処理中です。")) << question.toStdString();
    EXPECT_EQ(w->Runner().LastOutcome(), engine::RunOutcome::Stopped);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(testsupport::fileBytes(big), before);
}

}  // namespace
