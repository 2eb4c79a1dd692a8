// The start button of the main window: a run of the chosen task over one or
// several documents, the stop, what the status line and the bar show of it,
// and the end of a batch with its summary.

#include "ui/main_window.h"
#include "ui/main_window_detail.h"

#include "engine/runner/task_plan.h"
#include "engine/text_helpers.h"
#include "word/automation.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace ui {

using namespace detail;

void frmQuorvel::SetButtonEnable(int flag) {
    const bool on = flag != 0;
    cmdEnd->setEnabled(on);
    cmdOpen->setEnabled(on);
    cmdRefer->setEnabled(on);
    cmdHelp->setEnabled(on);
    cmdReferCompanion->setEnabled(on);
    cmdReferGlossary->setEnabled(on);
    // The task options and their menu too: a second start could otherwise
    // arrive through the pauses of a run, and the runner must not be entered
    // twice. 開始 and 中止 take turns: a click on either that arrives late
    // finds it disabled.
    for (QRadioButton* o : optTask) o->setEnabled(on);
    for (QAction* a : mnuTask) a->setEnabled(on);
    for (QAction* a : {mnuOpen, mnuExit, mnuHelp, mnuAbout}) a->setEnabled(on);
    mnuRecent->setEnabled(on);
    cmdStart->setEnabled(on);
    cmdStop->setEnabled(!on);
}

void frmQuorvel::cmdStart_Click() {
    if (running_) return;
    const int task = SelectedTask();
    if (engine::PlanTask(task).empty()) {
        MessageBox(text::kNoTask);
        return;
    }
    const QStringList documents = ChosenDocuments();
    // A second document typed into its box joins the box's recent files.
    if ((task == 8 || task == 9) && QFileInfo(cmbCompanion->currentText()).isFile())
        SetCompanion(cmbCompanion->currentText());
    running_ = true;
    severalInRun_ = documents.size() > 1;
    failures_.clear();
    runner_.ClearStopRequest();
    sinceEvents_.start();
    SetButtonEnable(0);
    // Each document in turn, as the command line does; a failure in one does
    // not stop the others, a stop skips those not yet started.
    int succeeded = 0;
    int failed = 0;
    try {
        for (int i = 0; i < documents.size() && !runner_.StopRequested(); ++i) {
            if (RunDocument(task, documents[i], i, static_cast<int>(documents.size()))) ++succeeded;
            else if (runner_.LastOutcome() != engine::RunOutcome::Stopped) ++failed;
        }
    } catch (const word::Error& e) {
        MessageBox(e.message(), text::kAppTitle, true);
    } catch (const std::exception& e) {
        MessageBox(QString::fromLocal8Bit(e.what()), text::kAppTitle, true);
    }
    const bool stopped = runner_.StopRequested();
    running_ = false;
    const bool several = std::exchange(severalInRun_, false);
    runDocument_.clear();
    runner_.ClearStopRequest();
    SetButtonEnable(1);
    if (several) SummariseBatch(documents, succeeded, failed, stopped);
    if (std::exchange(closeAfterRun_, false)) QTimer::singleShot(0, this, [this] { close(); });
}

bool frmQuorvel::RunDocument(int task, const QString& document, int index, int count) {
    runDocument_ = document;
    documentMessage_.clear();
    if (severalInRun_) ShowLog(2, QStringLiteral("文書 %1/%2：%3").arg(index + 1).arg(count).arg(document));
    if (QFileInfo(document).isFile()) RememberDocuments({document});
    runner_.TakeBackupsMade();
    openedInRun_.clear();
    // Each document starts with its own status and an empty bar; the runs
    // the task makes share the bar among them.
    plannedRuns_ = std::max<int>(1, static_cast<int>(engine::PlanTask(task).size()));
    plannedRun_ = -1;
    barShown_ = 0;
    ProgressBar1->setValue(0);
    const QString name = engine::GetFileNamePart(document);
    ShowStatus(count > 1 ? QStringLiteral("処理中 %1/%2：%3").arg(index + 1).arg(count).arg(name)
                         : QStringLiteral("処理中：%1").arg(name));
    const bool completed =
        engine::RunStartButton(runner_, *this, task, [this](bool enable) { plannedRun_ += enable ? 0 : 1; });
    LogResultFiles();
    ShowOutcome(document);
    if (!completed && runner_.LastOutcome() != engine::RunOutcome::Stopped) {
        const QString why = documentMessage_.isEmpty() ? QStringLiteral("処理できませんでした") : documentMessage_;
        failures_ << QStringLiteral("・%1：%2").arg(name, why);
    }
    return completed;
}

void frmQuorvel::ShowOutcome(const QString& document) {
    // The end of a document's run says how it ended: a completed run keeps
    // the task's closing status and a full bar; anything else empties the
    // bar and says so, so that nothing of the run before stays on show.
    switch (runner_.LastOutcome()) {
    case engine::RunOutcome::Completed:
        ProgressBar1->setValue(100);
        return;
    case engine::RunOutcome::Stopped:
        ShowStatus(QStringLiteral("中止しました"));
        break;
    default:
        ShowStatus(QStringLiteral("処理できませんでした：%1").arg(engine::GetFileNamePart(document)));
        break;
    }
    progress_ = 0;
    barShown_ = 0;
    ProgressBar1->setValue(0);
}

void frmQuorvel::SummariseBatch(const QStringList& documents, int succeeded, int failed, bool stopped) {
    const auto notDone = documents.size() - succeeded - failed;
    QString summary = QStringLiteral("%1 件中 %2 件成功、%3 件失敗").arg(documents.size()).arg(succeeded).arg(failed);
    if (notDone > 0) summary += QStringLiteral("、%1 件中止").arg(notDone);
    ShowLog(2, summary);
    ShowStatus(summary);
    // One message for the whole batch, naming each document that failed and
    // why; the messages of each document are in the log under its heading.
    if (stopped) return;
    QString message = summary;
    if (!failures_.isEmpty())
        message += QStringLiteral("\r\n\r\n処理できなかった文書：\r\n") + failures_.join(QStringLiteral("\r\n"));
    message += QStringLiteral("\r\n\r\n各文書のメッセージはログにあります。");
    MessageBox(message, text::kAppTitle, !failures_.isEmpty());
}

void frmQuorvel::LogResultFiles() {
    // The backups this run made and the reports it opened, as lines the user
    // can click; the saved document and the HTML are named by the runner.
    for (const QString& backup : runner_.TakeBackupsMade()) ShowLog(2, QStringLiteral(" .. バックアップ：") + backup);
    for (const QString& report : std::exchange(openedInRun_, {}))
        ShowLog(2, QStringLiteral(" .. レポート：") + report);
}

void frmQuorvel::StopRun() {
    if (!running_ || runner_.StopRequested()) return;
    runner_.RequestStop();
    cmdStop->setEnabled(false);
    ShowStatus(QStringLiteral("中止しています…"));
}

}  // namespace ui
