// The behaviour of the main window: start-up and the closing save, the task
// choice, the file box with its dialog, drops and recent files.

#include "ui/main_window.h"
#include "ui/main_window_detail.h"

#include "engine/number_reading.h"
#include "engine/runner/task_plan.h"
#include "engine/text_helpers.h"
#include "word/automation.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <array>
#include <utility>

namespace ui {

using namespace detail;

namespace {

// Keys of the settings store with their defaults, in the order they are read and written.
const QString kSection = QStringLiteral("Settings");
const QString kKeyDocPath = QStringLiteral("DocPath");
const QString kKeyOptKind = QStringLiteral("OptKind");
const QString kKeyOptSpace = QStringLiteral("OptSpace");
const QString kKeyTask = QStringLiteral("Task");
const QString kKeyOrgColor = QStringLiteral("OrgColor");
const QString kKeyTraColor = QStringLiteral("TraColor");
const QString kKeyChFont = QStringLiteral("ChFont");
const QString kKeyFontJpn = QStringLiteral("FontJpn");
const QString kKeyFontEng = QStringLiteral("FontEng");
// Kept after the nine keys above: the options of task codes 5 and 7 and the
// documents of ファイル > 最近使ったファイル.
const QString kKeyConvertImages = QStringLiteral("ConvertImages");
const QString kKeySplitDocuments = QStringLiteral("SplitDocuments");
const QString kKeyItemFamilies = QStringLiteral("ItemFamilies");
const QString kKeyRecentFiles = QStringLiteral("RecentFiles");
const QString kKeyAnnotate = QStringLiteral("Annotate");
const QString kKeyWindowSize = QStringLiteral("WindowSize");

const QString kDefaultFontJpn = QStringLiteral("ＭＳ 明朝");
const QString kDefaultFontEng = QStringLiteral("Century");

// A stored value as text. A hand-edited file can hold an unquoted list
// ("a, b"), which the store hands back as a list: join it back.
QString ReadText(QSettings& store, const QString& key, const QString& fallback) {
    const QVariant v = store.value(key, fallback);
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QStringLiteral(", "));
    return v.toString();
}

QString OneOrZero(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

// The file box text for a choice of documents.
QString DocumentsText(const QStringList& files) {
    if (files.isEmpty()) return QString();
    if (files.size() == 1) return files.constFirst();
    return files.constFirst() + text::kMoreDocuments.arg(files.size() - 1);
}

}  // namespace

std::unique_ptr<QSettings> OpenSettingsStore() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kalvendo"),
                                       QStringLiteral("Kalvendo"));
}

bool IsDocumentName(const QString& path) {
    const QString tail = path.right(5).toLower();
    return tail.endsWith(QLatin1String(".doc")) || tail == QLatin1String(".docx") ||
           tail.endsWith(QLatin1String(".rtf"));
}

QString TaskName(int task) {
    static const std::array<QString, kTaskCount> names{
        QStringLiteral("新規段落振り"),   QStringLiteral("段落振り直し"),
        QStringLiteral("原文・タグ削除"), QStringLiteral("段落振り直し＋原文・タグ削除"),
        QStringLiteral("色分け"),         QStringLiteral("電子出願用HTML"),
        QStringLiteral("出願前チェック"), QStringLiteral("番号振り直し（請求項・図・表・化・数）"),
        QStringLiteral("翻訳チェック"),   QStringLiteral("手続補正書作成")};
    return task >= 0 && task < kTaskCount ? names[static_cast<size_t>(task)] : QString();
}


// ---------------------------------------------------------------------------
// Start-up and close

void frmQuorvel::Form_Load() {
    // Only the options of task codes 0 and 1 are shown in the task frame; the
    // menu 処理 and a stored task code select the others, and lblTask names
    // whichever is chosen.
    for (int i = 2; i <= 4; ++i) optTask[i]->setVisible(false);
    fraTask->resize(fraTask->width(), TwipsY(kTaskFrameShortHeight));
    optTask_Click(SelectedTask());

    // The stored settings are applied on both paths: a start with a document
    // on the command line would otherwise close with the design values and
    // overwrite what the user had chosen.
    dialogFolder_ = QDir::homePath();
    ApplyStoredSettings();
    FillFontLists();
    FillRecentMenu();
    CentreOnScreen();
    SetProgress(0);
    if (!arguments_.isEmpty()) CommandLineStart();
}

void frmQuorvel::ApplyStoredSettings() {
    const auto store = OpenSettingsStore();
    store->beginGroup(kSection);

    dialogFolder_ = ReadText(*store, kKeyDocPath, QDir::homePath());
    opt[ReadText(*store, kKeyOptKind, QStringLiteral("0")) == QLatin1String("0") ? 0 : 1]->setChecked(true);
    OptSpace[ReadText(*store, kKeyOptSpace, QStringLiteral("0")) == QLatin1String("0") ? 0 : 1]->setChecked(true);

    const double task = engine::RoundHalfEven(engine::LenientNumber(ReadText(*store, kKeyTask, QStringLiteral("1"))));
    if (task >= 0 && task < kTaskCount) optTask[static_cast<size_t>(task)]->setChecked(true);

    txtColor[0]->setText(ReadText(*store, kKeyOrgColor, kDefaultOrgColor));
    txtColor[1]->setText(ReadText(*store, kKeyTraColor, kDefaultTraColor));

    if (const auto fontSwitch = engine::StrictShort(ReadText(*store, kKeyChFont, QStringLiteral("0")))) {
        if (*fontSwitch == 0) chFont->setChecked(false);
        else if (*fontSwitch == 1) chFont->setChecked(true);
    }

    cmbFont[0]->setEditText(ReadText(*store, kKeyFontJpn, kDefaultFontJpn));
    cmbFont[1]->setEditText(ReadText(*store, kKeyFontEng, kDefaultFontEng));

    chkConvertImages->setChecked(ReadText(*store, kKeyConvertImages, QStringLiteral("1")) != QLatin1String("0"));
    chkSplitDocuments->setChecked(ReadText(*store, kKeySplitDocuments, QStringLiteral("0")) == QLatin1String("1"));
    QStringList families;
    for (const QString& f : ReadText(*store, kKeyItemFamilies, kItemFamilies.join(u',')).split(u','))
        families << f.trimmed();
    for (int i = 0; i < 5; ++i) chkItem[i]->setChecked(families.contains(kItemFamilies[i]));
    recentFiles_ = store->value(kKeyRecentFiles).toStringList().mid(0, kRecentCount);
    recentFiles_.removeAll(QString());
    chkAnnotate->setChecked(ReadText(*store, kKeyAnnotate, QStringLiteral("0")) == QLatin1String("1"));
    ReadCompanionSettings(*store);
    ApplyStoredSize(ReadText(*store, kKeyWindowSize, QString()));
    store->endGroup();
}

void frmQuorvel::CentreOnScreen() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect area = s->availableGeometry();
    move(area.x() + std::max(0, (area.width() - width()) / 2), area.y() + std::max(0, (area.height() - height()) / 2));
}

void frmQuorvel::CommandLineStart() {
    // The arguments arrive split by the system, each one whole: a path with
    // blanks ("山田 太郎/仕様書.docx") is one document. A relative path is
    // taken from the folder the program was started in.
    QStringList files;
    for (const QString& argument : arguments_) {
        if (argument.trimmed().isEmpty()) continue;
        files << (QDir::isRelativePath(argument) ? QFileInfo(argument).absoluteFilePath() : argument);
    }
    ShowLog(2, text::kCommandLineLog + arguments_.join(u' '));
    if (files.size() == 1) txtFilePath->setText(files.constFirst());
    else if (files.size() > 1) TakeDocuments(files);
}

void frmQuorvel::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;

    const auto store = OpenSettingsStore();
    store->beginGroup(kSection);
    const QString documentPath = runner_.DocumentPath();
    if (!documentPath.isEmpty()) store->setValue(kKeyDocPath, engine::GetFolderPart(documentPath));
    store->setValue(kKeyOptKind, opt[0]->isChecked() ? QStringLiteral("0") : QStringLiteral("1"));
    store->setValue(kKeyOptSpace, OptSpace[0]->isChecked() ? QStringLiteral("0") : QStringLiteral("1"));
    const int task = SelectedTask();
    if (task >= 0) store->setValue(kKeyTask, QString::number(task));
    store->setValue(kKeyOrgColor, txtColor[0]->text());
    store->setValue(kKeyTraColor, txtColor[1]->text());
    store->setValue(kKeyChFont, OneOrZero(chFont->isChecked()));
    store->setValue(kKeyFontJpn, cmbFont[0]->currentText());
    store->setValue(kKeyFontEng, cmbFont[1]->currentText());
    store->setValue(kKeyConvertImages, OneOrZero(chkConvertImages->isChecked()));
    store->setValue(kKeySplitDocuments, OneOrZero(chkSplitDocuments->isChecked()));
    store->setValue(kKeyItemFamilies, Options().itemFamilies.join(u','));
    store->setValue(kKeyRecentFiles, recentFiles_);
    store->setValue(kKeyAnnotate, OneOrZero(chkAnnotate->isChecked()));
    WriteCompanionSettings(*store);
    store->setValue(kKeyWindowSize, SizeText());
    store->endGroup();
    store->sync();
}

void frmQuorvel::closeEvent(QCloseEvent* event) {
    if (running_) {
        // A run in progress is stopped first (at its next boundary, without
        // saving), when the user says so; the window closes once it has ended.
        event->ignore();
        QMessageBox ask(QMessageBox::Question, text::kAppTitle,
                        QStringLiteral("処理中です。処理を中止して終了しますか？\n（処理中の文書は変更されません）"),
                        QMessageBox::Yes | QMessageBox::No, this);
        ask.setDefaultButton(QMessageBox::No);
        if (ask.exec() != QMessageBox::Yes || !running_) return;
        closeAfterRun_ = true;
        StopRun();
        return;
    }
    Form_Unload();
    event->accept();
}

void frmQuorvel::cmdEnd_Click() { close(); }

// ---------------------------------------------------------------------------
// Task selection and buttons

int frmQuorvel::SelectedTask() const {
    for (int i = 0; i < kTaskCount; ++i)
        if (optTask[i]->isChecked()) return i;
    return -1;
}

void frmQuorvel::optTask_Click(int index) {
    if (index < 0 || index >= kTaskCount) return;
    if (!optTask[index]->isChecked()) return;
    mnuTask[index]->setChecked(true);
    // The chosen task is named beside 処理：, whichever way it was chosen;
    // the options of tasks 2 to 9 are hidden in the task frame.
    lblTask->setText(TaskName(index));
    // Each group is shown for its tasks only; they share the area right of the task frame.
    const bool language = index == 2 || index == 3;
    if (!language) HideLanguageOptions();
    if (index != 4) HideColorOptions();
    ShowHtmlOptions(index == 5);
    ShowItemOptions(index == 7);
    if (language) ShowLanguageOptions();
    if (index == 4) ShowColorOptions();
    // The translation check reads the language direction only.
    if (index == 8)
        for (QWidget* w : std::initializer_list<QWidget*>{fraLanguage, opt[0], opt[1]}) w->setVisible(true);
    ShowCompanionOptions(index);
}

void frmQuorvel::ShowLanguageOptions() {
    for (QWidget* w : std::initializer_list<QWidget*>{fraLanguage, opt[0], opt[1], fraSpace, OptSpace[0],
                                                      OptSpace[1], lblForCheck})
        w->setVisible(true);
}

void frmQuorvel::HideLanguageOptions() {
    for (QWidget* w : std::initializer_list<QWidget*>{fraLanguage, opt[0], opt[1], fraSpace, OptSpace[0],
                                                      OptSpace[1], lblForCheck})
        w->setVisible(false);
}

void frmQuorvel::ShowColorOptions() {
    for (QWidget* w : std::initializer_list<QWidget*>{chFont, txtColor[0], txtColor[1], cmbFont[0], cmbFont[1],
                                                      cmdSetColor[0], cmdSetColor[1], cmdSetColor[2], lblColor[0],
                                                      lblColor[1], lblColor[2], lblColor[3]})
        w->setVisible(true);
}

void frmQuorvel::HideColorOptions() {
    for (QWidget* w : std::initializer_list<QWidget*>{chFont, txtColor[0], txtColor[1], cmbFont[0], cmbFont[1],
                                                      cmdSetColor[0], cmdSetColor[1], cmdSetColor[2], lblColor[0],
                                                      lblColor[1], lblColor[2], lblColor[3]})
        w->setVisible(false);
}

void frmQuorvel::ShowHtmlOptions(bool on) { fraHtml->setVisible(on); }

void frmQuorvel::ShowItemOptions(bool on) { fraItems->setVisible(on); }

// ---------------------------------------------------------------------------
// The document file

QStringList frmQuorvel::ChosenDocuments() const {
    if (documents_.size() > 1 && txtFilePath->text() == DocumentsText(documents_)) return documents_;
    return {txtFilePath->text()};
}

void frmQuorvel::SetDocuments(const QStringList& files) {
    documents_ = files;
    txtFilePath->setText(DocumentsText(files));
    txtFilePath_Change();
}

void frmQuorvel::RememberDocuments(const QStringList& files) {
    for (auto it = files.crbegin(); it != files.crend(); ++it) {
        recentFiles_.removeAll(*it);
        recentFiles_.prepend(*it);
    }
    while (recentFiles_.size() > kRecentCount) recentFiles_.removeLast();
    FillRecentMenu();
}

void frmQuorvel::FillRecentMenu() {
    mnuRecent->clear();
    for (int i = 0; i < recentFiles_.size(); ++i) {
        const QString path = recentFiles_[i];
        // "&1" … "&9", then "1&0": each entry has its own key.
        const QString key = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
        QAction* a = mnuRecent->addAction(key + u' ' + path);
        a->setObjectName(QStringLiteral("mnuRecent_%1").arg(i));
        connect(a, &QAction::triggered, this, [this, path] { SetDocuments({path}); });
    }
    if (recentFiles_.isEmpty()) mnuRecent->addAction(QStringLiteral("（なし）"))->setEnabled(false);
}

void frmQuorvel::cmdRefer_Click() {
    // The dialog opens on the document in the box, when it names one.
    const QString current = ChosenDocuments().constFirst();
    const bool currentIsFile = QFileInfo(current).isFile();
    QFileDialog dialog(this, text::kBrowseTitle, currentIsFile ? QFileInfo(current).absolutePath() : dialogFolder_);
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters({text::kWordFilter, text::kAllFilter});
    dialog.selectNameFilter(text::kWordFilter);
    if (currentIsFile) dialog.selectFile(current);
    // A cancel leaves the box as it was: the next 開始 runs on the document
    // the user chose, never on one the dialog happened to show.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    QStringList files;
    for (const QString& f : dialog.selectedFiles()) files << QDir::toNativeSeparators(f);
    // The next browse starts where this one ended.
    dialogFolder_ = QFileInfo(files.constFirst()).absolutePath();
    if (!IsDocumentName(files.constFirst())) {
        documents_.clear();
        txtFilePath->setText(text::kInvalidFileHead + files.constFirst() + text::kInvalidFileTail);
        txtFilePath_Change();
        return;
    }
    TakeDocuments(files);
}

void frmQuorvel::TakeDocuments(const QStringList& files) {
    QStringList documents = files;
    documents.removeIf([](const QString& f) { return !IsDocumentName(f); });
    // What was left out is said, so that no file disappears without a word.
    for (const QString& f : files)
        if (!IsDocumentName(f)) ShowLog(2, QStringLiteral("Word の文書ではないため除きました：") + f);
    SetDocuments(documents);
    RememberDocuments(documents);
}

void frmQuorvel::Form_OLEDragDrop(const QStringList& files) {
    if (files.isEmpty() || running_) return;
    if (!IsDocumentName(files.constFirst())) {
        MessageBox(text::kDropMessage);
        return;
    }
    TakeDocuments(files);
}

void frmQuorvel::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void frmQuorvel::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void frmQuorvel::dropEvent(QDropEvent* event) {
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls())
        files.append(url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString());
    event->acceptProposedAction();
    // A file dropped on the second file box goes there.
    const QPoint at = event->position().toPoint();
    const bool onCompanion = cmbCompanion->isVisible() && !files.isEmpty() &&
                             cmbCompanion->rect().contains(cmbCompanion->mapFrom(this, at));
    // The message box of a refused drop must not run inside the drag's own loop.
    QTimer::singleShot(0, this, [this, files, onCompanion] {
        if (onCompanion) {
            if (!running_) SetCompanion(files.constFirst());
            return;
        }
        Form_OLEDragDrop(files);
    });
}

void frmQuorvel::txtFilePath_Change() { cmdOpen->setEnabled(IsDocumentName(ChosenDocuments().constFirst())); }

void frmQuorvel::cmdOpen_Click() {
    runner_.SetDocumentPath(ChosenDocuments().constFirst());
    const QString& path = runner_.DocumentPath();
    if (path.isEmpty() || path.startsWith(u'<')) {
        MessageBox(text::kOpenNoFile);
        return;
    }
    OpenWithShell(path);
}

}  // namespace ui
