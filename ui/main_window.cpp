#include "ui/main_window.h"

#include "engine/text_helpers.h"
#include "engine/number_reading.h"
#include "engine/task_plan.h"
#include "word/automation.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTextCursor>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <utility>

namespace ui {

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

const QString kDefaultOrgColor = QStringLiteral("663399");
const QString kDefaultTraColor = QStringLiteral("000000");
const QString kDefaultFontJpn = QStringLiteral("ＭＳ 明朝");
const QString kDefaultFontEng = QStringLiteral("Century");

constexpr int kDefaultOrgBgr = 0x663399;
constexpr int kDefaultTraBgr = 0x000000;
// Text colour of the colour boxes, 0xBBGGRR.
constexpr int kSwatchTextBgr = 0xC0FFFF;

// Client area and the one size that changes at start-up, in twips.
constexpr int kClientWidth = 8976;
constexpr int kClientHeight = 7512;
constexpr int kTaskFrameShortHeight = 1100;

QColor FromBgr(int bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

// A stored value as text. A hand-edited file can hold an unquoted list
// ("a, b"), which the store hands back as a list: join it back.
QString ReadText(QSettings& store, const QString& key, const QString& fallback) {
    const QVariant v = store.value(key, fallback);
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QStringLiteral(", "));
    return v.toString();
}

// Log and message texts use CR LF; the widgets take plain line feeds.
QString ForDisplay(QString s) {
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(u'\r', u'\n');
    return s;
}

}  // namespace

std::unique_ptr<QSettings> OpenSettingsStore() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kalvendo"),
                                       QStringLiteral("Kalvendo"));
}

bool IsDocumentName(const QString& path) {
    return path.right(4).toLower() == QLatin1String(".doc") || path.right(5).toLower() == QLatin1String(".docx");
}

// ---------------------------------------------------------------------------
// Construction and layout

frmQuorvel::frmQuorvel(const QString& commandLine, QWidget* parent)
    : QWidget(parent), runner_(*this), commandLine_(commandLine) {
    setObjectName(QStringLiteral("frmQuorvel"));
    setWindowTitle(text::kAppTitle);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    // A Japanese user-interface face first where the system has one.
    QFont face = font();
    QStringList families{QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"),
                         QStringLiteral("IPAGothic"), QStringLiteral("VL PGothic"), QStringLiteral("TakaoPGothic")};
    families.append(face.families().isEmpty() ? QStringList{face.family()} : face.families());
    face.setFamilies(families);
    face.setPointSize(9);
    setFont(face);

    setFixedSize(TwipsX(kClientWidth), TwipsY(kClientHeight));
    setAcceptDrops(true);

    CreateControls();
    SetTabOrder();
    ConnectHandlers();
    Form_Load();
}

frmQuorvel::~frmQuorvel() = default;

int frmQuorvel::TwipsX(int twips) const {
    return static_cast<int>(std::lround(static_cast<double>(twips) * logicalDpiX() / 1440.0));
}

int frmQuorvel::TwipsY(int twips) const {
    return static_cast<int>(std::lround(static_cast<double>(twips) * logicalDpiY() / 1440.0));
}

void frmQuorvel::Place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(TwipsX(left), TwipsY(top), TwipsX(width), TwipsY(height));
    if (auto* label = qobject_cast<QLabel*>(w)) {
        // A label never cuts its own line of text off at the bottom.
        const int needed = label->fontMetrics().height();
        if (label->height() < needed) label->resize(label->width(), needed);
    }
}

void frmQuorvel::CreateControls() {
    auto button = [this](const QString& name, const QString& caption, QWidget* parent) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    auto label = [](const QString& name, const QString& caption, QWidget* parent) {
        auto* l = new QLabel(caption, parent);
        l->setObjectName(name);
        l->setTextFormat(Qt::PlainText);
        return l;
    };
    auto option = [](const QString& name, const QString& caption, QWidget* parent) {
        auto* o = new QRadioButton(caption, parent);
        o->setObjectName(name);
        o->setAutoExclusive(false);  // the button groups below make each array exclusive
        return o;
    };
    auto frame = [](const QString& name, const QString& caption, QWidget* parent) {
        auto* f = new QGroupBox(caption, parent);
        f->setObjectName(name);
        return f;
    };

    // File box and its buttons.
    lblFilePath = label(QStringLiteral("lblFilePath"), QStringLiteral("処理対象Wordファイル"), this);
    Place(lblFilePath, 144, 348, 1692, 180);
    txtFilePath = new QLineEdit(text::kFilePrompt, this);
    txtFilePath->setObjectName(QStringLiteral("txtFilePath"));
    txtFilePath->setAcceptDrops(false);  // files dropped here go to the window
    Place(txtFilePath, 360, 576, 8304, 396);
    cmdRefer = button(QStringLiteral("cmdRefer"), QStringLiteral("参照(&R)"), this);
    Place(cmdRefer, 6948, 1008, 1668, 516);
    cmdOpen = button(QStringLiteral("cmdOpen"), QStringLiteral("Wordで開く(&O)"), this);
    Place(cmdOpen, 6948, 1560, 1668, 450);
    cmdOpen->setEnabled(false);

    // Task frame.
    Label2 = label(QStringLiteral("Label2"), QStringLiteral("処理："), this);
    Place(Label2, 144, 1152, 456, 180);
    fraTask = frame(QStringLiteral("fraTask"), QStringLiteral("実行動作"), this);
    Place(fraTask, 324, 1440, 2424, 2136);
    const std::array<QString, 6> taskCaptions{
        QStringLiteral("新規段落振り(&0)"),    QStringLiteral("段落振り直し(&1)"), QStringLiteral("原文・タグを削除(&2)"),
        QStringLiteral("(1)+(2)を両方実行(&3)"), QStringLiteral("色分け(&4)"),       QStringLiteral("HTML化(&5)")};
    const int taskGeometry[6][4] = {{144, 216, 2172, 336},  {144, 576, 2028, 336},  {144, 936, 2064, 336},
                                    {144, 1296, 2100, 336}, {144, 1656, 2172, 336}, {144, 2052, 2172, 336}};
    taskGroup_ = new QButtonGroup(this);
    for (int i = 0; i < 6; ++i) {
        optTask[i] = option(QStringLiteral("optTask_%1").arg(i), taskCaptions[i], fraTask);
        Place(optTask[i], taskGeometry[i][0], taskGeometry[i][1], taskGeometry[i][2], taskGeometry[i][3]);
        taskGroup_->addButton(optTask[i], i);
    }
    optTask[1]->setChecked(true);
    optTask[5]->setVisible(false);

    // Language group.
    fraLanguage = frame(QStringLiteral("fraLanguage"), QStringLiteral("原文・訳文の種別"), this);
    Place(fraLanguage, 3132, 1440, 1668, 1128);
    opt[0] = option(QStringLiteral("opt_0"), QStringLiteral("英日"), fraLanguage);
    Place(opt[0], 180, 288, 804, 336);
    opt[1] = option(QStringLiteral("opt_1"), QStringLiteral("日英"), fraLanguage);
    Place(opt[1], 180, 684, 912, 264);
    auto* languageGroup = new QButtonGroup(this);
    languageGroup->addButton(opt[0], 0);
    languageGroup->addButton(opt[1], 1);
    opt[0]->setChecked(true);
    lblForCheck = label(QStringLiteral("lblForCheck"), QStringLiteral("（削除結果のチェックのため）"), this);
    Place(lblForCheck, 3132, 2592, 2244, 228);
    fraSpace = frame(QStringLiteral("fraSpace"), QStringLiteral("文末空白数(日英)"), this);
    Place(fraSpace, 3132, 2988, 1668, 1092);
    OptSpace[0] = option(QStringLiteral("OptSpace_0"), QStringLiteral("空白１つ"), fraSpace);
    Place(OptSpace[0], 144, 288, 1500, 336);
    OptSpace[1] = option(QStringLiteral("OptSpace_1"), QStringLiteral("空白２つ"), fraSpace);
    Place(OptSpace[1], 144, 612, 1380, 372);
    auto* spaceGroup = new QButtonGroup(this);
    spaceGroup->addButton(OptSpace[0], 0);
    spaceGroup->addButton(OptSpace[1], 1);
    OptSpace[0]->setChecked(true);
    for (QWidget* w : std::initializer_list<QWidget*>{fraLanguage, opt[0], opt[1], fraSpace, OptSpace[0],
                                                      OptSpace[1], lblForCheck})
        w->setVisible(false);

    // Colour group.
    const std::array<QString, 4> colourCaptions{QStringLiteral("原文の色："), QStringLiteral("訳文の色："),
                                                QStringLiteral("日本語フォント："), QStringLiteral("英文フォント：")};
    const int labelGeometry[4][4] = {
        {2988, 1548, 816, 180}, {2988, 1872, 816, 180}, {3132, 2808, 1188, 180}, {3132, 3132, 1008, 180}};
    for (int i = 0; i < 4; ++i) {
        lblColor[i] = label(QStringLiteral("lblColor_%1").arg(i), colourCaptions[i], this);
        Place(lblColor[i], labelGeometry[i][0], labelGeometry[i][1], labelGeometry[i][2], labelGeometry[i][3]);
    }
    const int colourBoxGeometry[2][4] = {{3852, 1584, 804, 264}, {3852, 1944, 804, 264}};
    const std::array<QString, 2> colourTexts{kDefaultOrgColor, kDefaultTraColor};
    for (int i = 0; i < 2; ++i) {
        txtColor[i] = new QLineEdit(colourTexts[i], this);
        txtColor[i]->setObjectName(QStringLiteral("txtColor_%1").arg(i));
        txtColor[i]->setAcceptDrops(false);
        txtColor[i]->setTextMargins(0, 0, 0, 0);
        Place(txtColor[i], colourBoxGeometry[i][0], colourBoxGeometry[i][1], colourBoxGeometry[i][2],
              colourBoxGeometry[i][3]);
    }
    SetSwatch(0, kDefaultOrgBgr);
    SetSwatch(1, kDefaultTraBgr);
    const std::array<QString, 3> setCaptions{QStringLiteral("設定"), QStringLiteral("設定"),
                                             QStringLiteral("初期値に戻す")};
    const int setGeometry[3][4] = {{4680, 1620, 552, 264}, {4680, 1944, 552, 264}, {4824, 3528, 1308, 300}};
    for (int i = 0; i < 3; ++i) {
        cmdSetColor[i] = button(QStringLiteral("cmdSetColor_%1").arg(i), setCaptions[i], this);
        Place(cmdSetColor[i], setGeometry[i][0], setGeometry[i][1], setGeometry[i][2], setGeometry[i][3]);
    }
    chFont = new QCheckBox(QStringLiteral("フォント設定を行う（全文字を対象に）"), this);
    chFont->setObjectName(QStringLiteral("chFont"));
    Place(chFont, 2988, 2448, 3360, 300);
    const int fontGeometry[2][4] = {{4356, 2808, 1776, 276}, {4356, 3096, 1776, 276}};
    for (int i = 0; i < 2; ++i) {
        cmbFont[i] = new QComboBox(this);
        cmbFont[i]->setObjectName(QStringLiteral("cmbFont_%1").arg(i));
        cmbFont[i]->setEditable(true);
        cmbFont[i]->setInsertPolicy(QComboBox::NoInsert);  // the list stays the list of screen fonts
        cmbFont[i]->setAcceptDrops(false);
        cmbFont[i]->lineEdit()->setAcceptDrops(false);
        Place(cmbFont[i], fontGeometry[i][0], fontGeometry[i][1], fontGeometry[i][2], fontGeometry[i][3]);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{chFont, txtColor[0], txtColor[1], cmbFont[0], cmbFont[1],
                                                      cmdSetColor[0], cmdSetColor[1], cmdSetColor[2], lblColor[0],
                                                      lblColor[1], lblColor[2], lblColor[3]})
        w->setVisible(false);

    // Command buttons on the right.
    cmdStart = button(QStringLiteral("cmdStart"), QStringLiteral("開始(&S)"), this);
    Place(cmdStart, 7308, 2448, 1272, 552);
    cmdEnd = button(QStringLiteral("cmdEnd"), QStringLiteral("終了(&E)"), this);
    Place(cmdEnd, 7308, 3348, 1272, 528);
    cmdHelp = button(QStringLiteral("cmdHelp"), QStringLiteral("ヘルプ"), this);
    Place(cmdHelp, 7308, 4104, 1272, 396);

    // Status line, progress bar and log.
    Label1 = label(QStringLiteral("Label1"), QStringLiteral("進行状況："), this);
    Place(Label1, 96, 5172, 816, 180);
    lbl = label(QStringLiteral("lbl"), QStringLiteral("処理開始前"), this);
    Place(lbl, 1020, 5172, 900, 180);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    Place(ProgressBar1, 360, 5496, 8412, 240);
    txt = new QPlainTextEdit(this);
    txt->setObjectName(QStringLiteral("txt"));
    txt->setLineWrapMode(QPlainTextEdit::NoWrap);
    txt->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txt->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txt->setReadOnly(true);  // only the program writes the log; it can still be selected and copied
    txt->setAcceptDrops(false);
    txt->viewport()->setAcceptDrops(false);
    Place(txt, 372, 5832, 8388, 1584);
    logText_ = text::kLogBanner;
    txt->setPlainText(ForDisplay(logText_));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->setSingleShot(true);  // the tick ends the timer, as its handler would
}

void frmQuorvel::SetTabOrder() {
    // Keyboard order of the window; labels, frames and the timer take no focus.
    const std::vector<std::pair<int, QWidget*>> order{
        {0, cmdRefer},        {1, cmdOpen},         {5, cmdHelp},       {6, cmdEnd},        {7, txt},
        {8, lbl},             {9, txtFilePath},     {10, lblFilePath},  {11, ProgressBar1}, {12, Label1},
        {13, Label2},         {15, fraLanguage},    {16, opt[0]},       {17, opt[1]},       {18, lblForCheck},
        {19, fraSpace},       {20, OptSpace[0]},    {21, OptSpace[1]},  {23, fraTask},      {24, optTask[0]},
        {25, optTask[1]},     {26, optTask[2]},     {27, optTask[3]},   {28, cmdStart},     {29, optTask[4]},
        {30, lblColor[0]},    {31, txtColor[0]},    {32, cmdSetColor[0]}, {33, lblColor[1]}, {34, txtColor[1]},
        {35, cmdSetColor[1]}, {36, chFont},         {37, lblColor[2]},  {38, cmbFont[0]},   {39, lblColor[3]},
        {40, cmbFont[1]},     {41, cmdSetColor[2]}, {42, optTask[5]}};
    QWidget* previous = nullptr;
    for (const auto& [index, w] : order) {
        w->setProperty("TabIndex", index);
        if (w->focusPolicy() == Qt::NoFocus) continue;
        if (previous) QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

void frmQuorvel::ConnectHandlers() {
    connect(cmdStart, &QPushButton::clicked, this, [this] { cmdStart_Click(); });
    connect(cmdRefer, &QPushButton::clicked, this, [this] { cmdRefer_Click(); });
    connect(cmdOpen, &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(cmdEnd, &QPushButton::clicked, this, [this] { cmdEnd_Click(); });
    for (int i = 0; i < 6; ++i)
        connect(optTask[i], &QRadioButton::toggled, this, [this, i] { optTask_Click(i); });
    for (int i = 0; i < 3; ++i)
        connect(cmdSetColor[i], &QPushButton::clicked, this, [this, i] { cmdSetColor_Click(i); });
    connect(chFont, &QCheckBox::stateChanged, this, [this] { chFont_Click(); });
    connect(txtFilePath, &QLineEdit::textChanged, this, [this] { txtFilePath_Change(); });
}

// ---------------------------------------------------------------------------
// Start-up and close

void frmQuorvel::Form_Load() {
    // Only the options of task codes 0 and 1 are offered; a stored task code
    // can still select one of the others.
    for (int i = 2; i <= 4; ++i) optTask[i]->setVisible(false);
    fraTask->resize(fraTask->width(), TwipsY(kTaskFrameShortHeight));

    // The stored settings are applied on both paths: a start with a document
    // on the command line would otherwise close with the design values and
    // overwrite what the user had chosen.
    dialogFolder_ = QDir::homePath();
    ApplyStoredSettings();
    FillFontLists();
    CentreOnScreen();
    SetProgress(0);
    if (!commandLine_.isEmpty()) CommandLineStart();
}

void frmQuorvel::ApplyStoredSettings() {
    const auto store = OpenSettingsStore();
    store->beginGroup(kSection);

    dialogFolder_ = ReadText(*store, kKeyDocPath, QDir::homePath());
    opt[ReadText(*store, kKeyOptKind, QStringLiteral("0")) == QLatin1String("0") ? 0 : 1]->setChecked(true);
    OptSpace[ReadText(*store, kKeyOptSpace, QStringLiteral("0")) == QLatin1String("0") ? 0 : 1]->setChecked(true);

    const double task = engine::RoundHalfEven(engine::LenientNumber(ReadText(*store, kKeyTask, QStringLiteral("1"))));
    if (task >= 0 && task <= 5) optTask[static_cast<size_t>(task)]->setChecked(true);

    txtColor[0]->setText(ReadText(*store, kKeyOrgColor, kDefaultOrgColor));
    txtColor[1]->setText(ReadText(*store, kKeyTraColor, kDefaultTraColor));

    if (const auto fontSwitch = engine::StrictShort(ReadText(*store, kKeyChFont, QStringLiteral("0")))) {
        if (*fontSwitch == 0) chFont->setChecked(false);
        else if (*fontSwitch == 1) chFont->setChecked(true);
    }

    cmbFont[0]->setEditText(ReadText(*store, kKeyFontJpn, kDefaultFontJpn));
    cmbFont[1]->setEditText(ReadText(*store, kKeyFontEng, kDefaultFontEng));
    store->endGroup();
}

void frmQuorvel::CentreOnScreen() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect area = s->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void frmQuorvel::CommandLineStart() {
    int count = 0;
    QStringList words;
    engine::SplitCommandLine(commandLine_, count, words);
    if (count >= 1) txtFilePath->setText(words.at(0));
    ShowLog(2, text::kCommandLineLog + commandLine_);
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
    store->setValue(kKeyChFont, chFont->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    store->setValue(kKeyFontJpn, cmbFont[0]->currentText());
    store->setValue(kKeyFontEng, cmbFont[1]->currentText());
    store->endGroup();
    store->sync();
}

void frmQuorvel::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmQuorvel::cmdEnd_Click() { close(); }

// ---------------------------------------------------------------------------
// Task selection and buttons

int frmQuorvel::SelectedTask() const {
    for (int i = 0; i < 6; ++i)
        if (optTask[i]->isChecked()) return i;
    return -1;
}

void frmQuorvel::optTask_Click(int index) {
    if (index < 0 || index > 5) return;
    if (!optTask[index]->isChecked()) return;
    switch (index) {
    case 2:
    case 3:
        HideColorOptions();
        ShowLanguageOptions();
        break;
    case 4:
        HideLanguageOptions();
        ShowColorOptions();
        break;
    default:
        HideLanguageOptions();
        HideColorOptions();
        break;
    }
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

void frmQuorvel::SetButtonEnable(int flag) {
    const bool on = flag != 0;
    cmdEnd->setEnabled(on);
    cmdOpen->setEnabled(on);
    cmdRefer->setEnabled(on);
    cmdHelp->setEnabled(on);
    // Start and the task options too: a second start could otherwise arrive
    // through the pauses of a run, and the runner must not be entered twice.
    cmdStart->setEnabled(on);
    for (QRadioButton* o : optTask) o->setEnabled(on);
}

void frmQuorvel::cmdStart_Click() {
    // The runs of the selected task, their log headings and the colour flag
    // come from the plan shared with the command line.
    try {
        engine::RunStartButton(runner_, *this, SelectedTask(), [this](bool on) { SetButtonEnable(on ? 1 : 0); });
    } catch (const word::Error& e) {
        SetButtonEnable(1);
        MessageBox(e.message(), text::kAppTitle, true);
    } catch (const std::exception& e) {
        SetButtonEnable(1);
        MessageBox(QString::fromLocal8Bit(e.what()), text::kAppTitle, true);
    }
}

// ---------------------------------------------------------------------------
// The document file

void frmQuorvel::cmdRefer_Click() {
    QFileDialog dialog(this, text::kBrowseTitle, dialogFolder_);
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({text::kWordFilter, text::kAllFilter});
    dialog.selectNameFilter(text::kWordFilter);
    if (!dialogFileName_.isEmpty()) dialog.selectFile(dialogFileName_);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        dialogFileName_ = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
        // The next browse starts where this one ended.
        dialogFolder_ = QFileInfo(dialogFileName_).absolutePath();
    }
    // After a cancel the box gets the last choice again (empty before the first).
    txtFilePath->setText(dialogFileName_);
    if (!IsDocumentName(txtFilePath->text()))
        txtFilePath->setText(text::kInvalidFileHead + txtFilePath->text() + text::kInvalidFileTail);
    txtFilePath_Change();
}

void frmQuorvel::Form_OLEDragDrop(const QStringList& files) {
    if (files.isEmpty()) return;
    const QString& first = files.constFirst();
    if (IsDocumentName(first)) txtFilePath->setText(first);
    else MessageBox(text::kDropMessage);
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
    // The message box of a refused drop must not run inside the drag's own loop.
    QTimer::singleShot(0, this, [this, files] { Form_OLEDragDrop(files); });
}

void frmQuorvel::txtFilePath_Change() { cmdOpen->setEnabled(IsDocumentName(txtFilePath->text())); }

void frmQuorvel::cmdOpen_Click() {
    runner_.SetDocumentPath(txtFilePath->text());
    const QString& path = runner_.DocumentPath();
    if (path.isEmpty() || path.startsWith(u'<')) {
        MessageBox(text::kOpenNoFile);
        return;
    }
    OpenWithShell(path);
}

// ---------------------------------------------------------------------------
// Colours and fonts

void frmQuorvel::SetSwatch(int index, int bgr) {
    swatch_[static_cast<size_t>(index)] = bgr;
    txtColor[index]->setStyleSheet(QStringLiteral("QLineEdit { background-color: %1; color: %2; }")
                                       .arg(FromBgr(bgr).name(), FromBgr(kSwatchTextBgr).name()));
}

void frmQuorvel::cmdSetColor_Click(int index) {
    if (index < 0 || index > 2) return;
    if (index == 2) {
        SetSwatch(0, kDefaultOrgBgr);
        txtColor[0]->setText(kDefaultOrgColor);
        SetSwatch(1, kDefaultTraBgr);
        txtColor[1]->setText(kDefaultTraColor);
        return;
    }
    QColorDialog dialog(this);
    dialog.setObjectName(QStringLiteral("ColorDialog"));
    if (dialog.exec() != QDialog::Accepted) return;
    const QColor chosen = dialog.selectedColor();
    if (!chosen.isValid()) return;
    const int bgr = (chosen.blue() << 16) | (chosen.green() << 8) | chosen.red();
    SetSwatch(index, bgr);
    txtColor[index]->setText(QString::number(bgr, 16).toUpper());
}

void frmQuorvel::FillFontLists() {
    // Each fill starts from empty lists, so that each font stands once; the
    // names in the boxes are kept whether or not the list holds them.
    QStringList families = QFontDatabase::families();
    if (!families.isEmpty()) families.removeFirst();  // entry 0 is not offered
    for (QComboBox* box : cmbFont) {
        const QString name = box->currentText();
        const QSignalBlocker quiet(box);
        box->clear();
        box->addItems(families);
        box->setCurrentIndex(box->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive));
        box->setEditText(name);
    }
}

void frmQuorvel::chFont_Click() {
    if (chFont->checkState() == Qt::Checked) FillFontLists();
}

// ---------------------------------------------------------------------------
// Help and the shell

void frmQuorvel::cmdHelp_Click() {
    const QString folder = QCoreApplication::applicationDirPath();
    const QString compiled = engine::JoinPath(folder, text::kHelpFile);
    if (QFileInfo::exists(compiled)) {
        OpenWithShell(compiled);
        return;
    }
    OpenWithShell(engine::JoinPath(engine::JoinPath(folder, QStringLiteral("help")), QStringLiteral("index.html")));
}

void frmQuorvel::OpenWithShell(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

// ---------------------------------------------------------------------------
// Host: status, log, progress, pauses, messages

void frmQuorvel::ShowLog(int mode, const QString& text) {
    QString added;
    if (mode == 1) added = text;
    else if (mode == 2) added = QStringLiteral("\r\n") + text;

    if (mode == 1 || mode == 2) {
        logText_ += added;
        QTextCursor cursor(txt->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(ForDisplay(added));
    } else {
        logText_ = text;
        txt->setPlainText(ForDisplay(logText_));
    }
    // Keep the newest line in view.
    txt->verticalScrollBar()->setValue(txt->verticalScrollBar()->maximum());
}

void frmQuorvel::FitStatusLabel() {
    // The status texts are longer than the label's design width: it grows to
    // the right as far as the window allows.
    const int designWidth = TwipsX(900);
    const int room = width() - lbl->x() - TwipsX(144);
    const int wanted = lbl->fontMetrics().horizontalAdvance(lbl->text()) + 4;
    lbl->resize(std::clamp(wanted, designWidth, std::max(designWidth, room)), lbl->height());
}

void frmQuorvel::ShowStatus(const QString& text) {
    lbl->setText(text);
    FitStatusLabel();
    lbl->repaint();
}

void frmQuorvel::SetProgress(double value) {
    progress_ = value;
    ProgressBar1->setValue(static_cast<int>(std::clamp(value, 0.0, 100.0)));
}

void frmQuorvel::RefreshProgress() { ProgressBar1->repaint(); }

void frmQuorvel::Wait1Sec() {
    // Starting a running timer would push its tick back; a pause that begins
    // while another one waits ends at the same tick.
    if (!Timer1->isActive()) Timer1->start();
    while (Timer1->isActive()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void frmQuorvel::DoEvents() { QCoreApplication::processEvents(); }

void frmQuorvel::MessageBox(const QString& message, const QString& title, bool exclamation) {
    QMessageBox box(exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, title, ForDisplay(message),
                    QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString frmQuorvel::FilePathText() const { return txtFilePath->text(); }

engine::TaskOptions frmQuorvel::Options() const {
    engine::TaskOptions o;
    o.englishToJapanese = opt[0]->isChecked();
    o.oneBlank = OptSpace[0]->isChecked();
    o.sourceColour = txtColor[0]->text();
    o.translationColour = txtColor[1]->text();
    o.fontSwitch = chFont->isChecked();
    o.fontJapanese = cmbFont[0]->currentText();
    o.fontLatin = cmbFont[1]->currentText();
    return o;
}

}  // namespace ui
