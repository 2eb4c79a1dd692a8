// What the task runner sees of the main window (log, status line, progress,
// pauses, messages, the option values), the links in the log, help and the
// version information.

#include "ui/main_window.h"
#include "ui/main_window_detail.h"

#include "engine/text_helpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTimer>
#include <QUrl>

#include <algorithm>

#ifndef KALVENDO_VERSION
#define KALVENDO_VERSION "0"
#endif

namespace ui {

using namespace detail;

namespace {

// Events run at most this often at the boundaries of a run: often enough for
// a click on 中止 to be taken up at once, rarely enough to cost nothing.
constexpr qint64 kPollMilliseconds = 40;

// The longest end of `line` after a "：" that names an existing file:
// "保存成功：/a/b c.docx 12.3kB" gives "/a/b c.docx". Empty when none does.
struct FileMention {
    qsizetype start = -1;
    QString path;
};

FileMention FindFileMention(const QString& line) {
    for (qsizetype colon = line.indexOf(u'：'); colon >= 0; colon = line.indexOf(u'：', colon + 1)) {
        QString candidate = line.mid(colon + 1);
        // Shorter and shorter, cut at blanks: a path may hold blanks itself.
        for (int cuts = 0; cuts < 4 && !candidate.isEmpty(); ++cuts) {
            if (QFileInfo(candidate).isFile()) return {colon + 1, candidate};
            const qsizetype blank = candidate.lastIndexOf(u' ');
            if (blank <= 0) break;
            candidate.truncate(blank);
        }
    }
    return {};
}

// "soffice --version" without waiting long; empty when it says nothing.
QString LibreOfficeVersion(const QString& program) {
    QProcess p;
    p.start(program, {QStringLiteral("--version")});
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished(1000);
        return QString();
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

}  // namespace

// ---------------------------------------------------------------------------
// Help, version information and the shell

void frmQuorvel::cmdHelp_Click() {
    const QString folder = QCoreApplication::applicationDirPath();
    const QString compiled = engine::JoinPath(folder, text::kHelpFile);
    if (QFileInfo::exists(compiled)) {
        OpenWithShell(compiled);
        return;
    }
    OpenWithShell(engine::JoinPath(engine::JoinPath(folder, QStringLiteral("help")), QStringLiteral("index.html")));
}

void frmQuorvel::ShowAbout() {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    QString libreOffice = QStringLiteral("見つかりません（.doc・RTF の文書を処理するには LibreOffice が必要です）");
    if (!soffice.isEmpty()) {
        const QString version = LibreOfficeVersion(soffice);
        libreOffice = QStringLiteral("あり（%1）").arg(version.isEmpty() ? soffice : version);
    }
    const QString message = QStringLiteral("%1 バージョン %2\r\nQt %3（実行時 %4）\r\nLibreOffice：%5")
                                .arg(text::kAppTitle, QStringLiteral(KALVENDO_VERSION),
                                     QStringLiteral(QT_VERSION_STR), QString::fromLatin1(qVersion()), libreOffice);
    MessageBox(message, QStringLiteral("バージョン情報"), false);
}

void frmQuorvel::OpenWithShell(const QString& path) {
    // Files a run hands to the desktop (its reports) are named in the log too.
    if (running_) openedInRun_ << path;
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path))) return;
    // Nothing on this desktop opens files (xdg-open missing, or no
    // application for the kind of file): say so rather than nothing.
    MessageBox(QStringLiteral("「%1」を開けませんでした。\r\nこのデスクトップにはファイルを開くプログラム（xdg-open、"
                              "パッケージ xdg-utils）がないか、この種類のファイルを開くアプリケーションがありません。")
                   .arg(QDir::toNativeSeparators(path)),
               text::kAppTitle, true);
}

bool frmQuorvel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) FollowClientSize();
    if (watched == txt->viewport()) {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QString href = txt->anchorAt(mouse->position().toPoint());
            if (mouse->button() == Qt::LeftButton && !href.isEmpty()) OpenWithShell(QUrl(href).toLocalFile());
        } else if (event->type() == QEvent::MouseMove) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const bool onLink = !txt->anchorAt(mouse->position().toPoint()).isEmpty();
            txt->viewport()->setCursor(onLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Host: status, log, progress, pauses, messages

void frmQuorvel::ShowLog(int mode, const QString& text) {
    if (mode == 1 || mode == 2) {
        const QString added = mode == 2 ? QStringLiteral("\r\n") + text : text;
        logText_ += added;
        AppendToLogBox(added);
    } else {
        logText_ = text;
        txt->clear();
        loggedFindings_.clear();
        AppendToLogBox(logText_);
    }
    // Keep the newest line in view.
    txt->verticalScrollBar()->setValue(txt->verticalScrollBar()->maximum());
}

void frmQuorvel::AppendToLogBox(const QString& text) {
    QTextCursor cursor(txt->document());
    cursor.movePosition(QTextCursor::End);
    const QTextCharFormat plain;
    const QStringList lines = ForDisplay(text).split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) cursor.insertText(QStringLiteral("\n"), plain);
        const QString& line = lines[i];
        const FileMention file = FindFileMention(line);
        if (file.start < 0) {
            cursor.insertText(line, plain);
            continue;
        }
        // The path opens through the desktop when clicked.
        QTextCharFormat link;
        link.setAnchor(true);
        link.setAnchorHref(QUrl::fromLocalFile(file.path).toString());
        link.setForeground(txt->palette().color(QPalette::Link));
        link.setFontUnderline(true);
        cursor.insertText(line.left(file.start), plain);
        cursor.insertText(file.path, link);
        cursor.insertText(line.mid(file.start + file.path.size()), plain);
    }
}

void frmQuorvel::FitStatusLabel() {
    // The status texts are longer than the label's design width: it grows to
    // the right as far as the window allows.
    const int designWidth = TwipsX(900);
    const int room = client_->width() - lbl->x() - TwipsX(144);
    const int wanted = lbl->fontMetrics().horizontalAdvance(lbl->text()) + 4;
    lbl->resize(std::clamp(wanted, designWidth, std::max(designWidth, room)), lbl->height());
}

void frmQuorvel::ShowStatus(const QString& text) {
    lbl->setText(text);
    FitStatusLabel();
    lbl->repaint();
}

void frmQuorvel::SetProgress(double value) {
    // The runner reads back what it set; the bar shows it as the share of the
    // task's runs done and never moves back within a document (the passes
    // of a long walk count round and start again).
    progress_ = value;
    const double clamped = std::clamp(value, 0.0, 100.0);
    if (!running_) {
        ProgressBar1->setValue(static_cast<int>(clamped));
        return;
    }
    const double share = (std::max(plannedRun_, 0) * 100.0 + clamped) / std::max(plannedRuns_, 1);
    barShown_ = std::max(barShown_, share);
    ProgressBar1->setValue(static_cast<int>(barShown_));
}

void frmQuorvel::RefreshProgress() { ProgressBar1->repaint(); }

void frmQuorvel::Wait1Sec() {
    // Starting a running timer would push its tick back; a pause that begins
    // while another one waits ends at the same tick. A stop ends it at once.
    if (!Timer1->isActive()) Timer1->start();
    while (Timer1->isActive() && !runner_.StopRequested())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void frmQuorvel::DoEvents() { QCoreApplication::processEvents(); }

void frmQuorvel::PollEvents() {
    if (sinceEvents_.isValid() && sinceEvents_.elapsed() < kPollMilliseconds) return;
    QCoreApplication::processEvents();
    sinceEvents_.start();
}

void frmQuorvel::MessageBox(const QString& message, const QString& title, bool exclamation) {
    if (running_ && severalInRun_) {
        // A batch does not wait for anyone: the message goes into the log
        // under the document's heading, and its first line is the reason
        // the summary gives when the document fails.
        const QStringList lines = ForDisplay(message).split(u'\n', Qt::SkipEmptyParts);
        for (const QString& line : lines) ShowLog(2, QStringLiteral(" .. ") + line);
        if (documentMessage_.isEmpty() && !lines.isEmpty()) documentMessage_ = lines.constFirst();
        return;
    }
    // During a run the title names the document the message is about.
    QString caption = title;
    if (running_ && title == text::kAppTitle && !runDocument_.isEmpty())
        caption = QStringLiteral("%1：%2").arg(title, engine::GetFileNamePart(runDocument_));
    QMessageBox box(exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, caption, ForDisplay(message),
                    QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void frmQuorvel::BrowseForFile() {
    // In a run over several documents the next one follows instead.
    if (!severalInRun_) cmdRefer_Click();
}

QString frmQuorvel::FilePathText() const { return severalInRun_ ? runDocument_ : txtFilePath->text(); }

void frmQuorvel::ReportFinding(const QString& kind, const QString& where, const QString& what) {
    (void)where;
    // The check logged the finding just before: its line can be accepted.
    loggedFindings_.insert(txt->document()->blockCount() - 1, {runDocument_, kind, what});
}

engine::TaskOptions frmQuorvel::Options() const {
    engine::TaskOptions o;
    o.englishToJapanese = opt[0]->isChecked();
    o.oneBlank = OptSpace[0]->isChecked();
    o.sourceColour = txtColor[0]->text();
    o.translationColour = txtColor[1]->text();
    o.fontSwitch = chFont->isChecked();
    o.fontJapanese = cmbFont[0]->currentText();
    o.fontLatin = cmbFont[1]->currentText();
    o.convertImages = chkConvertImages->isChecked();
    o.splitDocuments = chkSplitDocuments->isChecked();
    o.itemFamilies.clear();
    for (int i = 0; i < 5; ++i)
        if (chkItem[i]->isChecked()) o.itemFamilies << kItemFamilies[i];
    o.annotate = chkAnnotate->isChecked();
    o.acceptedFindings = AcceptedFindings(FilePathText());
    o.companionPath = cmbCompanion->currentText().trimmed();
    o.glossaryFile = txtGlossary->text().trimmed();
    o.claimsEach = chkClaimsEach->isChecked();
    o.underlineClaimsOnly = chkUnderlineClaimsOnly->isChecked();
    o.newMatter = chkNewMatter->isChecked();
    return o;
}

}  // namespace ui
