// The main window's second file box (task 8's source document, task 9's
// earlier version) with its own browse button and recent files, task 8's
// glossary, the option frames of tasks 6 and 9, the findings a drafter
// accepts from the log, and saving the log.

#include "ui/main_window.h"
#include "ui/main_window_detail.h"

#include "engine/text_helpers.h"
#include "word/atomic_file.h"
#include "word/cp932.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTextBlock>
#include <QUrl>

#include <memory>

namespace ui {

using namespace detail;

namespace {

// The keys of the second file box, per task (8, 9), and of the options of tasks 8 and 9.
struct CompanionKeys {
    QString text;
    QString recent;
    QString caption;
    QString dialogTitle;
};
const std::array<CompanionKeys, 2> kCompanionKeys{
    CompanionKeys{QStringLiteral("SourceDocument"), QStringLiteral("SourceRecent"),
                  QStringLiteral("原文の文書（空欄のときは対訳タグ付きの文書として読みます）："),
                  QStringLiteral("原文の文書を指定します")},
    CompanionKeys{QStringLiteral("EarlierDocument"), QStringLiteral("EarlierRecent"),
                  QStringLiteral("補正前の文書（出願時または前回補正後）："), QStringLiteral("補正前の文書を指定します")}};
const QString kKeyGlossary = QStringLiteral("Glossary");
const QString kKeyClaimsEach = QStringLiteral("ClaimsEach");
const QString kKeyUnderlineClaimsOnly = QStringLiteral("UnderlineClaimsOnly");
const QString kKeyNewMatter = QStringLiteral("NewMatter");
// Accepted findings live in a section of their own, one key per document.
const QString kAcceptedSection = QStringLiteral("AcceptedFindings");

bool IsCompanionTask(int task) { return task == 8 || task == 9; }
size_t CompanionSlot(int task) { return static_cast<size_t>(task - 8); }

QString DocumentKey(const QString& document) {
    return QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(document).absoluteFilePath()));
}

}  // namespace

QString AcceptedFindingLine(const QString& kind, const QString& what) {
    const qsizetype open = what.indexOf(u'「');
    const qsizetype close = open < 0 ? -1 : what.indexOf(u'」', open + 1);
    const QString quoted = close > open ? what.mid(open + 1, close - open - 1) : what;
    return kind + u'\t' + quoted;
}

// ---------------------------------------------------------------------------
// Showing the controls of the chosen task

void frmQuorvel::ShowCompanionOptions(int task) {
    KeepCompanionText();
    const bool companion = IsCompanionTask(task);
    for (QWidget* w : std::initializer_list<QWidget*>{lblCompanion, cmbCompanion, cmdReferCompanion})
        w->setVisible(companion);
    for (QWidget* w : std::initializer_list<QWidget*>{lblGlossary, txtGlossary, cmdReferGlossary})
        w->setVisible(task == 8);
    fraCheck->setVisible(task == 6);
    fraAmendment->setVisible(task == 9);
    if (!companion) return;
    lblCompanion->setText(kCompanionKeys[CompanionSlot(task)].caption);
    FillCompanionBox(task);
}

void frmQuorvel::KeepCompanionText() {
    if (IsCompanionTask(companionTask_)) companions_[CompanionSlot(companionTask_)].text = cmbCompanion->currentText();
}

void frmQuorvel::FillCompanionBox(int task) {
    companionTask_ = task;
    const Companion& c = companions_[CompanionSlot(task)];
    const QSignalBlocker quiet(cmbCompanion);
    cmbCompanion->clear();
    cmbCompanion->addItems(c.recent);
    cmbCompanion->setCurrentIndex(-1);
    cmbCompanion->setEditText(c.text);
}

void frmQuorvel::SetCompanion(const QString& file) {
    if (!IsCompanionTask(companionTask_)) return;
    Companion& c = companions_[CompanionSlot(companionTask_)];
    c.text = file;
    if (!file.trimmed().isEmpty()) {
        c.recent.removeAll(file);
        c.recent.prepend(file);
        while (c.recent.size() > kRecentCount) c.recent.removeLast();
    }
    FillCompanionBox(companionTask_);
}

QStringList frmQuorvel::RecentCompanions(int task) const {
    return IsCompanionTask(task) ? companions_[CompanionSlot(task)].recent : QStringList();
}

void frmQuorvel::ReadCompanionSettings(QSettings& store) {
    for (size_t i = 0; i < companions_.size(); ++i) {
        companions_[i].text = store.value(kCompanionKeys[i].text).toString();
        companions_[i].recent = store.value(kCompanionKeys[i].recent).toStringList().mid(0, kRecentCount);
        companions_[i].recent.removeAll(QString());
    }
    txtGlossary->setText(store.value(kKeyGlossary).toString());
    chkClaimsEach->setChecked(store.value(kKeyClaimsEach).toString() == QLatin1String("1"));
    chkUnderlineClaimsOnly->setChecked(store.value(kKeyUnderlineClaimsOnly).toString() == QLatin1String("1"));
    chkNewMatter->setChecked(store.value(kKeyNewMatter).toString() == QLatin1String("1"));
    if (IsCompanionTask(SelectedTask())) FillCompanionBox(SelectedTask());
}

void frmQuorvel::WriteCompanionSettings(QSettings& store) {
    KeepCompanionText();
    for (size_t i = 0; i < companions_.size(); ++i) {
        store.setValue(kCompanionKeys[i].text, companions_[i].text);
        store.setValue(kCompanionKeys[i].recent, companions_[i].recent);
    }
    store.setValue(kKeyGlossary, txtGlossary->text());
    auto oneOrZero = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    store.setValue(kKeyClaimsEach, oneOrZero(chkClaimsEach->isChecked()));
    store.setValue(kKeyUnderlineClaimsOnly, oneOrZero(chkUnderlineClaimsOnly->isChecked()));
    store.setValue(kKeyNewMatter, oneOrZero(chkNewMatter->isChecked()));
}

// ---------------------------------------------------------------------------
// The browse buttons of the second box and the glossary

namespace {

// A file chosen in an open dialog, or empty after a cancel.
QString ChooseFile(QWidget* parent, const QString& name, const QString& title, const QString& current,
                   const QString& folder, const QStringList& filters) {
    QFileDialog dialog(parent, title, QFileInfo(current).isFile() ? QFileInfo(current).absolutePath() : folder);
    dialog.setObjectName(name);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    if (QFileInfo(current).isFile()) dialog.selectFile(current);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

}  // namespace

void frmQuorvel::cmdReferCompanion_Click() {
    if (!IsCompanionTask(companionTask_)) return;
    const QString chosen =
        ChooseFile(this, QStringLiteral("CompanionDialog"), kCompanionKeys[CompanionSlot(companionTask_)].dialogTitle,
                   cmbCompanion->currentText(), dialogFolder_, {text::kWordFilter, text::kAllFilter});
    // A cancel keeps the box as it was, as the first box does.
    if (!chosen.isEmpty()) SetCompanion(chosen);
}

void frmQuorvel::cmdReferGlossary_Click() {
    const QString chosen = ChooseFile(this, QStringLiteral("GlossaryDialog"), QStringLiteral("用語集を指定します"),
                                      txtGlossary->text(), dialogFolder_,
                                      {QStringLiteral("用語集 (*.txt *.tsv *.csv)"), text::kAllFilter});
    if (!chosen.isEmpty()) txtGlossary->setText(chosen);
}

// ---------------------------------------------------------------------------
// Accepted findings (task 6)

QStringList frmQuorvel::AcceptedFindings(const QString& document) const {
    if (document.isEmpty() || document.startsWith(u'<')) return {};
    const auto store = OpenSettingsStore();
    store->beginGroup(kAcceptedSection);
    return store->value(DocumentKey(document)).toStringList();
}

bool frmQuorvel::AcceptFindingAt(int block) {
    const auto found = loggedFindings_.constFind(block);
    if (found == loggedFindings_.constEnd() || found->document.isEmpty()) return false;
    const QString line = AcceptedFindingLine(found->kind, found->what);
    QStringList accepted = AcceptedFindings(found->document);
    if (!accepted.contains(line)) accepted << line;
    // Written at once: an accepted finding is not lost if the program ends.
    const auto store = OpenSettingsStore();
    store->beginGroup(kAcceptedSection);
    store->setValue(DocumentKey(found->document), accepted);
    store->endGroup();
    store->sync();
    ShowLog(2, QStringLiteral(" .. 了承（次から挙げません）：%1　%2")
                   .arg(found->kind, line.mid(found->kind.size() + 1)));
    return true;
}

void frmQuorvel::ShowLogMenu(const QPoint& at) {
    std::unique_ptr<QMenu> menu(txt->createStandardContextMenu(at));
    const int block = txt->cursorForPosition(at).blockNumber();
    if (loggedFindings_.contains(block)) {
        menu->addSeparator();
        QAction* accept = menu->addAction(text::kAccept + QStringLiteral("（この指摘を次から挙げない）"));
        accept->setObjectName(QStringLiteral("actAcceptFinding"));
        connect(accept, &QAction::triggered, this, [this, block] { AcceptFindingAt(block); });
    }
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("ログを保存…")), &QAction::triggered, this, [this] { SaveLog(); });
    menu->exec(txt->viewport()->mapToGlobal(at));
}

// ---------------------------------------------------------------------------
// Saving the log

void frmQuorvel::SaveLog() {
    QFileDialog dialog(this, QStringLiteral("ログを保存します"), dialogFolder_);
    dialog.setObjectName(QStringLiteral("SaveLogDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({QStringLiteral("テキストファイル (*.txt)"), text::kAllFilter});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(QStringLiteral("Kalvendo-ログ.txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    SaveLogTo(dialog.selectedFiles().constFirst());
}

bool frmQuorvel::SaveLogTo(const QString& path) {
    // Files for people are code page 932 with CR LF, as the reports are; a
    // log that holds characters outside it (a refused-character list) is
    // written as UTF-8 with its mark instead, so that nothing is lost.
    QString text = logText_;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    text.replace(u'\n', QStringLiteral("\r\n"));
    bool lossy = false;
    QByteArray bytes = word::cp932::encode(text, &lossy);
    if (lossy) bytes = QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    try {
        word::files::WriteAtomically(path, bytes);
    } catch (const word::Error& e) {
        MessageBox(QStringLiteral("ログを保存できませんでした：%1\r\n%2").arg(path, e.message()), text::kAppTitle, true);
        return false;
    }
    ShowStatus(QStringLiteral("ログを保存しました：%1").arg(engine::GetFileNamePart(path)));
    return true;
}

}  // namespace ui
