// The control table of the main window: every control with its caption,
// place in twips at the window's design size and keyboard order, the option
// frames of tasks 5 and 7 and the menu bar. The behaviour lives in main_window.cpp.

#include "ui/main_window.h"
#include "ui/main_window_detail.h"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <utility>
#include <vector>

namespace ui {

using namespace detail;

// ---------------------------------------------------------------------------
// Construction and layout

frmQuorvel::frmQuorvel(const QStringList& arguments, QWidget* parent)
    : QWidget(parent), runner_(*this), arguments_(arguments) {
    setObjectName(QStringLiteral("frmQuorvel"));
    setWindowTitle(text::kAppTitle);

    // A Japanese user-interface face first where the system has one.
    QFont face = font();
    QStringList families{QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"),
                         QStringLiteral("IPAGothic"), QStringLiteral("VL PGothic"), QStringLiteral("TakaoPGothic")};
    families.append(face.families().isEmpty() ? QStringList{face.family()} : face.families());
    face.setFamilies(families);
    face.setPointSize(9);
    setFont(face);

    setAcceptDrops(true);

    // The menu bar sits above the client area. The controls have their
    // places relative to the client area at its design size; the client area
    // grows with the window (main_window_layout.cpp), and a screen smaller
    // than the design size scrolls it.
    client_ = new QWidget;
    client_->setObjectName(QStringLiteral("ClientArea"));
    client_->setMinimumSize(DesignClientSize());
    client_->resize(DesignClientSize());
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("ClientScroll"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setWidget(client_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(scroll_);

    CreateControls();
    CreateOptionFrames();
    CreateCompanionControls();
    CreateMenus();
    layout->setMenuBar(menuBar);
    resize(DesignClientSize().width(), DesignClientSize().height() + menuBar->sizeHint().height());
    layout->activate();
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
    auto button = [](const QString& name, const QString& caption, QWidget* parent) {
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
    lblFilePath = label(QStringLiteral("lblFilePath"), QStringLiteral("処理対象Wordファイル"), client_);
    Place(lblFilePath, 144, 348, 1692, 180);
    txtFilePath = new QLineEdit(text::kFilePrompt, client_);
    txtFilePath->setObjectName(QStringLiteral("txtFilePath"));
    txtFilePath->setAcceptDrops(false);  // files dropped here go to the window
    Place(txtFilePath, 360, 576, 8304, 396);
    cmdRefer = button(QStringLiteral("cmdRefer"), QStringLiteral("参照(&R)"), client_);
    Place(cmdRefer, 6948, 1008, 1668, 516);
    cmdOpen = button(QStringLiteral("cmdOpen"), QStringLiteral("Wordで開く(&O)"), client_);
    Place(cmdOpen, 6948, 1560, 1668, 450);
    cmdOpen->setEnabled(false);

    // Task frame, and the chosen task's name beside 処理：.
    Label2 = label(QStringLiteral("Label2"), QStringLiteral("処理："), client_);
    Place(Label2, 144, 1152, 456, 180);
    lblTask = label(QStringLiteral("lblTask"), QString(), client_);
    QFont bold = lblTask->font();
    bold.setBold(true);
    lblTask->setFont(bold);
    Place(lblTask, 600, 1128, 6200, 240);
    fraTask = frame(QStringLiteral("fraTask"), QStringLiteral("実行動作"), client_);
    Place(fraTask, 324, 1440, 2424, 2136);
    const std::array<QString, kTaskCount> taskCaptions{
        QStringLiteral("新規段落振り(&0)"),      QStringLiteral("段落振り直し(&1)"), QStringLiteral("原文・タグを削除(&2)"),
        QStringLiteral("(1)+(2)を両方実行(&3)"), QStringLiteral("色分け(&4)"),       QStringLiteral("HTML化(&5)"),
        QStringLiteral("出願前チェック(&6)"),    QStringLiteral("番号振り直し(&7)"), QStringLiteral("翻訳チェック(&8)"),
        QStringLiteral("手続補正書作成(&9)")};
    const int taskGeometry[kTaskCount][4] = {{144, 216, 2172, 336},  {144, 576, 2028, 336},  {144, 936, 2064, 336},
                                             {144, 1296, 2100, 336}, {144, 1656, 2172, 336}, {144, 2052, 2172, 336},
                                             {144, 2412, 2172, 336}, {144, 2772, 2172, 336}, {144, 3132, 2172, 336},
                                             {144, 3492, 2172, 336}};
    taskGroup_ = new QButtonGroup(this);
    for (int i = 0; i < kTaskCount; ++i) {
        optTask[i] = option(QStringLiteral("optTask_%1").arg(i), taskCaptions[i], fraTask);
        Place(optTask[i], taskGeometry[i][0], taskGeometry[i][1], taskGeometry[i][2], taskGeometry[i][3]);
        taskGroup_->addButton(optTask[i], i);
    }
    optTask[1]->setChecked(true);
    for (int i = 5; i < kTaskCount; ++i) optTask[i]->setVisible(false);

    // Language group.
    fraLanguage = frame(QStringLiteral("fraLanguage"), QStringLiteral("原文・訳文の種別"), client_);
    Place(fraLanguage, 3132, 1440, 1668, 1128);
    opt[0] = option(QStringLiteral("opt_0"), QStringLiteral("英日"), fraLanguage);
    Place(opt[0], 180, 288, 804, 336);
    opt[1] = option(QStringLiteral("opt_1"), QStringLiteral("日英"), fraLanguage);
    Place(opt[1], 180, 684, 912, 264);
    auto* languageGroup = new QButtonGroup(this);
    languageGroup->addButton(opt[0], 0);
    languageGroup->addButton(opt[1], 1);
    opt[0]->setChecked(true);
    lblForCheck = label(QStringLiteral("lblForCheck"), QStringLiteral("（削除結果のチェックのため）"), client_);
    Place(lblForCheck, 3132, 2592, 2244, 228);
    fraSpace = frame(QStringLiteral("fraSpace"), QStringLiteral("文末空白数(日英)"), client_);
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
        lblColor[i] = label(QStringLiteral("lblColor_%1").arg(i), colourCaptions[i], client_);
        Place(lblColor[i], labelGeometry[i][0], labelGeometry[i][1], labelGeometry[i][2], labelGeometry[i][3]);
    }
    const int colourBoxGeometry[2][4] = {{3852, 1584, 804, 264}, {3852, 1944, 804, 264}};
    const std::array<QString, 2> colourTexts{kDefaultOrgColor, kDefaultTraColor};
    for (int i = 0; i < 2; ++i) {
        txtColor[i] = new QLineEdit(colourTexts[i], client_);
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
        cmdSetColor[i] = button(QStringLiteral("cmdSetColor_%1").arg(i), setCaptions[i], client_);
        Place(cmdSetColor[i], setGeometry[i][0], setGeometry[i][1], setGeometry[i][2], setGeometry[i][3]);
    }
    chFont = new QCheckBox(QStringLiteral("フォント設定を行う（全文字を対象に）"), client_);
    chFont->setObjectName(QStringLiteral("chFont"));
    Place(chFont, 2988, 2448, 3360, 300);
    const int fontGeometry[2][4] = {{4356, 2808, 1776, 276}, {4356, 3096, 1776, 276}};
    for (int i = 0; i < 2; ++i) {
        cmbFont[i] = new QComboBox(client_);
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

    // Command buttons on the right. 中止 has its own button and key, enabled
    // only during a run; Esc presses it too.
    cmdStart = button(QStringLiteral("cmdStart"), text::kStart, client_);
    Place(cmdStart, 7308, 2448, 1272, 552);
    cmdStop = button(QStringLiteral("cmdStop"), text::kStop, client_);
    Place(cmdStop, 7308, 3048, 1272, 432);
    cmdStop->setEnabled(false);
    cmdEnd = button(QStringLiteral("cmdEnd"), QStringLiteral("終了(&E)"), client_);
    Place(cmdEnd, 7308, 3552, 1272, 480);
    cmdHelp = button(QStringLiteral("cmdHelp"), QStringLiteral("ヘルプ"), client_);
    Place(cmdHelp, 7308, 4104, 1272, 396);

    // Status line, progress bar and log.
    Label1 = label(QStringLiteral("Label1"), QStringLiteral("進行状況："), client_);
    Place(Label1, 96, 5172, 816, 180);
    lbl = label(QStringLiteral("lbl"), QStringLiteral("処理開始前"), client_);
    Place(lbl, 1020, 5172, 900, 180);
    ProgressBar1 = new QProgressBar(client_);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    Place(ProgressBar1, 360, 5496, 8412, 240);
    txt = new QPlainTextEdit(client_);
    txt->setObjectName(QStringLiteral("txt"));
    // Long findings wrap at the box's width, which grows with the window.
    txt->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txt->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txt->setContextMenuPolicy(Qt::CustomContextMenu);
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

void frmQuorvel::CreateOptionFrames() {
    // Every option frame sits right of the task frame; one is shown at a time.
    auto frame = [this](const QString& name, const QString& caption, int width, int height) {
        auto* f = new QGroupBox(caption, client_);
        f->setObjectName(name);
        Place(f, 3132, 1440, width, height);
        f->setVisible(false);
        return f;
    };
    auto check = [this](QWidget* parent, const QString& name, const QString& caption, int top, int width) {
        auto* c = new QCheckBox(caption, parent);
        c->setObjectName(name);
        Place(c, 180, top, width, 300);
        return c;
    };

    // Task code 5: how pictures and 【書類名】 sections are written.
    fraHtml = frame(QStringLiteral("fraHtml"), QStringLiteral("HTML化の設定"), 3600, 1008);
    chkConvertImages = check(fraHtml, QStringLiteral("chkConvertImages"),
                             QStringLiteral("画像を出願の規則に合わせて変換する"), 288, 3300);
    chkConvertImages->setChecked(true);
    chkSplitDocuments = check(fraHtml, QStringLiteral("chkSplitDocuments"), QStringLiteral("書類ごとに分ける"), 612, 3300);

    // Task code 7: the item families to renumber.
    fraItems = frame(QStringLiteral("fraItems"), QStringLiteral("振り直す番号"), 2400, 1920);
    const std::array<QString, 5> itemCaptions{QStringLiteral("請求項（【請求項１】）"), QStringLiteral("図（【図１】）"),
                                              QStringLiteral("表（【表１】）"), QStringLiteral("化学式（【化１】）"),
                                              QStringLiteral("数式（【数１】）")};
    for (int i = 0; i < 5; ++i) {
        chkItem[i] = check(fraItems, QStringLiteral("chkItem_%1").arg(i), itemCaptions[i], 288 + 312 * i, 2100);
        chkItem[i]->setChecked(true);
    }

    // Task code 6: the copy with the findings as Word comments.
    fraCheck = frame(QStringLiteral("fraCheck"), QStringLiteral("出願前チェックの設定"), 3600, 1008);
    chkAnnotate = check(fraCheck, QStringLiteral("chkAnnotate"), QStringLiteral("コメント付きの写しを作る"), 288, 3300);
    auto* acceptHint = new QLabel(QStringLiteral("ログの指摘は右クリックで了承できます"), fraCheck);
    acceptHint->setObjectName(QStringLiteral("lblAcceptHint"));
    Place(acceptHint, 180, 636, 3300, 240);

    // Task code 9: how the amendment is made.
    fraAmendment = frame(QStringLiteral("fraAmendment"), QStringLiteral("手続補正書の設定"), 3720, 1332);
    chkClaimsEach = check(fraAmendment, QStringLiteral("chkClaimsEach"),
                          QStringLiteral("特許請求の範囲を請求項ごとに補正する"), 288, 3480);
    chkUnderlineClaimsOnly = check(fraAmendment, QStringLiteral("chkUnderlineClaimsOnly"),
                                   QStringLiteral("下線は特許請求の範囲だけに引く"), 612, 3480);
    chkNewMatter = check(fraAmendment, QStringLiteral("chkNewMatter"),
                         QStringLiteral("新規事項の疑いがある文を挙げる"), 936, 3480);
}

void frmQuorvel::CreateCompanionControls() {
    // Tasks 8 and 9: the second document, in a row below the options. The
    // box is editable and lists the task's recent files.
    lblCompanion = new QLabel(client_);
    lblCompanion->setObjectName(QStringLiteral("lblCompanion"));
    lblCompanion->setTextFormat(Qt::PlainText);
    Place(lblCompanion, 144, 4176, 5600, 240);
    cmbCompanion = new QComboBox(client_);
    cmbCompanion->setObjectName(QStringLiteral("cmbCompanion"));
    cmbCompanion->setEditable(true);
    cmbCompanion->setInsertPolicy(QComboBox::NoInsert);
    cmbCompanion->setAcceptDrops(false);  // files dropped here go to the window, which puts them here
    cmbCompanion->lineEdit()->setAcceptDrops(false);
    Place(cmbCompanion, 360, 4440, 5520, 396);
    cmdReferCompanion = new QPushButton(QStringLiteral("参照(&B)…"), client_);
    cmdReferCompanion->setObjectName(QStringLiteral("cmdReferCompanion"));
    cmdReferCompanion->setAutoDefault(false);
    Place(cmdReferCompanion, 5976, 4440, 1188, 396);

    // Task 8: the translator's glossary, below the language group.
    lblGlossary = new QLabel(QStringLiteral("用語集（原語<TAB>訳語、省略可）："), client_);
    lblGlossary->setObjectName(QStringLiteral("lblGlossary"));
    lblGlossary->setTextFormat(Qt::PlainText);
    Place(lblGlossary, 3132, 2700, 3700, 240);
    txtGlossary = new QLineEdit(client_);
    txtGlossary->setObjectName(QStringLiteral("txtGlossary"));
    txtGlossary->setAcceptDrops(false);
    Place(txtGlossary, 3132, 2976, 2736, 336);
    cmdReferGlossary = new QPushButton(QStringLiteral("参照(&G)…"), client_);
    cmdReferGlossary->setObjectName(QStringLiteral("cmdReferGlossary"));
    cmdReferGlossary->setAutoDefault(false);
    Place(cmdReferGlossary, 5940, 2964, 900, 360);
    for (QWidget* w : std::initializer_list<QWidget*>{lblCompanion, cmbCompanion, cmdReferCompanion, lblGlossary,
                                                      txtGlossary, cmdReferGlossary})
        w->setVisible(false);

    // How each control follows the window as it grows: the file boxes and
    // the bar widen, the buttons on the right move with the right edge, the
    // log takes the rest.
    Anchor(txtFilePath, false, true, false);
    for (QWidget* w : std::initializer_list<QWidget*>{cmdRefer, cmdOpen, cmdStart, cmdStop, cmdEnd, cmdHelp,
                                                      cmdReferCompanion})
        Anchor(w, true, false, false);
    Anchor(cmbCompanion, false, true, false);
    Anchor(ProgressBar1, false, true, false);
    Anchor(txt, false, true, true);
}

void frmQuorvel::CreateMenus() {
    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    menuBar->setNativeMenuBar(false);  // part of the window on every desktop

    mnuFileMenu = menuBar->addMenu(QStringLiteral("ファイル(&F)"));
    mnuFileMenu->setObjectName(QStringLiteral("mnuFileMenu"));
    mnuOpen = mnuFileMenu->addAction(QStringLiteral("開く(&O)…"));
    mnuOpen->setObjectName(QStringLiteral("mnuOpen"));
    mnuOpen->setShortcut(QKeySequence::Open);
    mnuRecent = mnuFileMenu->addMenu(QStringLiteral("最近使ったファイル(&R)"));
    mnuRecent->setObjectName(QStringLiteral("mnuRecent"));
    mnuSaveLog = mnuFileMenu->addAction(QStringLiteral("ログを保存(&L)…"));
    mnuSaveLog->setObjectName(QStringLiteral("mnuSaveLog"));
    mnuFileMenu->addSeparator();
    mnuExit = mnuFileMenu->addAction(QStringLiteral("終了(&X)"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));

    // One entry per task code, exclusive like the task options it mirrors.
    mnuTaskMenu = menuBar->addMenu(QStringLiteral("処理(&T)"));
    mnuTaskMenu->setObjectName(QStringLiteral("mnuTaskMenu"));
    taskMenuGroup_ = new QActionGroup(this);
    taskMenuGroup_->setExclusive(true);
    for (int i = 0; i < kTaskCount; ++i) {
        mnuTask[i] = mnuTaskMenu->addAction(QStringLiteral("%1(&%2)").arg(TaskName(i)).arg(i));
        mnuTask[i]->setObjectName(QStringLiteral("mnuTask_%1").arg(i));
        mnuTask[i]->setCheckable(true);
        taskMenuGroup_->addAction(mnuTask[i]);
    }
    mnuTask[1]->setChecked(true);

    mnuHelpMenu = menuBar->addMenu(QStringLiteral("ヘルプ(&H)"));
    mnuHelpMenu->setObjectName(QStringLiteral("mnuHelpMenu"));
    mnuHelp = mnuHelpMenu->addAction(QStringLiteral("ヘルプ(&H)"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelp->setShortcut(QKeySequence::HelpContents);
    mnuAbout = mnuHelpMenu->addAction(QStringLiteral("バージョン情報(&A)"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
}

void frmQuorvel::SetTabOrder() {
    // Keyboard order of the window; labels, frames and the timer take no focus.
    std::vector<std::pair<int, QWidget*>> order{
        {0, cmdRefer},        {1, cmdOpen},         {5, cmdHelp},       {6, cmdEnd},        {7, txt},
        {8, lbl},             {9, txtFilePath},     {10, lblFilePath},  {11, ProgressBar1}, {12, Label1},
        {13, Label2},         {15, fraLanguage},    {16, opt[0]},       {17, opt[1]},       {18, lblForCheck},
        {19, fraSpace},       {20, OptSpace[0]},    {21, OptSpace[1]},  {23, fraTask},      {24, optTask[0]},
        {25, optTask[1]},     {26, optTask[2]},     {27, optTask[3]},   {28, cmdStart},     {29, optTask[4]},
        {30, lblColor[0]},    {31, txtColor[0]},    {32, cmdSetColor[0]}, {33, lblColor[1]}, {34, txtColor[1]},
        {35, cmdSetColor[1]}, {36, chFont},         {37, lblColor[2]},  {38, cmbFont[0]},   {39, lblColor[3]},
        {40, cmbFont[1]},     {41, cmdSetColor[2]}, {42, optTask[5]},   {43, optTask[6]},   {44, optTask[7]},
        {45, fraHtml},        {46, chkConvertImages}, {47, chkSplitDocuments}, {48, fraItems}};
    for (int i = 0; i < 5; ++i) order.emplace_back(49 + i, chkItem[i]);
    // The controls added since: 中止 after 開始's group, then the options of
    // tasks 6, 8 and 9 and the second file box.
    int next = 54;
    for (QWidget* w : std::initializer_list<QWidget*>{optTask[8], optTask[9], cmdStop, fraCheck, chkAnnotate,
                                                      txtGlossary, cmdReferGlossary, fraAmendment, chkClaimsEach,
                                                      chkUnderlineClaimsOnly, chkNewMatter, cmbCompanion,
                                                      cmdReferCompanion})
        order.emplace_back(next++, w);
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
    connect(cmdStop, &QPushButton::clicked, this, [this] { cmdStop_Click(); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        if (cmdStop->isEnabled()) cmdStop->click();
    });
    connect(cmdReferCompanion, &QPushButton::clicked, this, [this] { cmdReferCompanion_Click(); });
    connect(cmdReferGlossary, &QPushButton::clicked, this, [this] { cmdReferGlossary_Click(); });
    connect(mnuSaveLog, &QAction::triggered, this, [this] { SaveLog(); });
    connect(txt, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) { ShowLogMenu(at); });
    connect(cmdRefer, &QPushButton::clicked, this, [this] { cmdRefer_Click(); });
    connect(cmdOpen, &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(cmdEnd, &QPushButton::clicked, this, [this] { cmdEnd_Click(); });
    for (int i = 0; i < kTaskCount; ++i) {
        connect(optTask[i], &QRadioButton::toggled, this, [this, i] { optTask_Click(i); });
        connect(mnuTask[i], &QAction::triggered, this, [this, i] { optTask[i]->setChecked(true); });
    }
    connect(mnuOpen, &QAction::triggered, this, [this] { cmdRefer_Click(); });
    connect(mnuExit, &QAction::triggered, this, [this] { cmdEnd_Click(); });
    connect(mnuHelp, &QAction::triggered, this, [this] { cmdHelp_Click(); });
    connect(mnuAbout, &QAction::triggered, this, [this] { ShowAbout(); });
    // The controls follow the client area's size.
    client_->installEventFilter(this);
    // Links in the log open their file.
    txt->viewport()->installEventFilter(this);
    txt->viewport()->setMouseTracking(true);
    for (int i = 0; i < 3; ++i)
        connect(cmdSetColor[i], &QPushButton::clicked, this, [this, i] { cmdSetColor_Click(i); });
    connect(chFont, &QCheckBox::stateChanged, this, [this] { chFont_Click(); });
    connect(txtFilePath, &QLineEdit::textChanged, this, [this] { txtFilePath_Change(); });
}

}  // namespace ui
