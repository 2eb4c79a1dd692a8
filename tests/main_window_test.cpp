// The main window: start-up with stored settings or a command line, the
// closing save, the file box, its dialog and drops, recent files, the task
// menu and options, colours, fonts and help.

#include "support/window_test_util.h"

namespace {

using namespace testsupport::window;

// ---------------------------------------------------------------------------
// Start-up

TEST_F(MainWindowTest, FirstStartWithAnEmptyStoreShowsTheDesignChoices) {
    auto w = open();
    EXPECT_EQ(w->windowTitle(), "Kalvendo");
    EXPECT_TRUE(w->opt[0]->isChecked());
    EXPECT_TRUE(w->OptSpace[0]->isChecked());
    EXPECT_EQ(w->SelectedTask(), 1);
    EXPECT_EQ(w->txtColor[0]->text(), "663399");
    EXPECT_EQ(w->txtColor[1]->text(), "000000");
    EXPECT_EQ(w->SwatchColour(0), 0x663399);
    EXPECT_EQ(w->SwatchColour(1), 0x000000);
    EXPECT_FALSE(w->chFont->isChecked());
    EXPECT_EQ(w->cmbFont[0]->currentText(), "ＭＳ 明朝");
    EXPECT_EQ(w->cmbFont[1]->currentText(), "Century");
    EXPECT_EQ(w->DialogFolder(), QDir::homePath());
    EXPECT_EQ(w->txtFilePath->text(), ui::text::kFilePrompt);
    EXPECT_FALSE(w->cmdOpen->isEnabled());
    EXPECT_EQ(w->LogText(), kBannerLog);
    EXPECT_EQ(w->txt->toPlainText(),
              "\n処理するWordファイルは事前に保存し閉じておいてください。処理中Wordは非表示となります。\n");
    EXPECT_EQ(w->lbl->text(), "処理開始前");
    EXPECT_EQ(w->Progress(), 0);
    EXPECT_EQ(w->ProgressBar1->minimum(), 0);
    EXPECT_EQ(w->ProgressBar1->maximum(), 100);
    // Only the options of task codes 0 and 1 are offered, and no group; the
    // chosen task is named.
    EXPECT_EQ(w->lblTask->text(), "段落振り直し");
    EXPECT_TRUE(shown(*w, w->optTask[0]));
    EXPECT_TRUE(shown(*w, w->optTask[1]));
    for (int i = 2; i < ui::kTaskCount; ++i) EXPECT_FALSE(shown(*w, w->optTask[i])) << i;
    EXPECT_FALSE(shown(*w, w->fraLanguage));
    EXPECT_FALSE(shown(*w, w->chFont));
    EXPECT_EQ(w->fraTask->height(), w->TwipsY(1100));
    // Nothing is written before the window closes.
    EXPECT_FALSE(QFile::exists(iniPath()));
}

TEST_F(MainWindowTest, EveryControlCarriesItsNameCaptionAndPlace) {
    auto w = open();
    // The menu bar sits above the client area, which starts at its design
    // size; places are relative to it.
    EXPECT_EQ(w->DesignClientSize(), QSize(w->TwipsX(8976), w->TwipsY(7512)));
    w->show();
    QTest::qWait(20);
    EXPECT_EQ(w->ClientArea()->size(), w->DesignClientSize());

    struct Expect {
        const char* name;
        QString caption;
        int left, top, width;
    };
    const Expect buttons[] = {
        {"cmdRefer", "参照(&R)", 6948, 1008, 1668},       {"cmdOpen", "Wordで開く(&O)", 6948, 1560, 1668},
        {"cmdHelp", "ヘルプ", 7308, 4104, 1272},          {"cmdEnd", "終了(&E)", 7308, 3552, 1272},
        {"cmdStart", "開始(&S)", 7308, 2448, 1272},       {"cmdStop", "中止(&C)", 7308, 3048, 1272},       {"cmdSetColor_0", "設定", 4680, 1620, 552},
        {"cmdSetColor_1", "設定", 4680, 1944, 552},       {"cmdSetColor_2", "初期値に戻す", 4824, 3528, 1308}};
    for (const Expect& e : buttons) {
        auto* b = child<QPushButton>(*w, e.name);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->text(), e.caption) << e.name;
        EXPECT_EQ(b->geometry().topLeft(), QPoint(w->TwipsX(e.left), w->TwipsY(e.top))) << e.name;
        EXPECT_EQ(b->width(), w->TwipsX(e.width)) << e.name;
    }
    const Expect options[] = {{"optTask_0", "新規段落振り(&0)", 144, 216, 2172},
                              {"optTask_1", "段落振り直し(&1)", 144, 576, 2028},
                              {"optTask_2", "原文・タグを削除(&2)", 144, 936, 2064},
                              {"optTask_3", "(1)+(2)を両方実行(&3)", 144, 1296, 2100},
                              {"optTask_4", "色分け(&4)", 144, 1656, 2172},
                              {"optTask_5", "HTML化(&5)", 144, 2052, 2172},
                              {"opt_0", "英日", 180, 288, 804},
                              {"opt_1", "日英", 180, 684, 912},
                              {"OptSpace_0", "空白１つ", 144, 288, 1500},
                              {"OptSpace_1", "空白２つ", 144, 612, 1380}};
    for (const Expect& e : options) {
        auto* o = child<QRadioButton>(*w, e.name);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o->text(), e.caption) << e.name;
        EXPECT_EQ(o->geometry().topLeft(), QPoint(w->TwipsX(e.left), w->TwipsY(e.top))) << e.name;
        EXPECT_EQ(o->width(), w->TwipsX(e.width)) << e.name;
    }
    const Expect labels[] = {{"lbl", "処理開始前", 1020, 5172, 900},
                             {"lblFilePath", "処理対象Wordファイル", 144, 348, 1692},
                             {"Label1", "進行状況：", 96, 5172, 816},
                             {"Label2", "処理：", 144, 1152, 456},
                             {"lblForCheck", "（削除結果のチェックのため）", 3132, 2592, 2244},
                             {"lblColor_0", "原文の色：", 2988, 1548, 816},
                             {"lblColor_1", "訳文の色：", 2988, 1872, 816},
                             {"lblColor_2", "日本語フォント：", 3132, 2808, 1188},
                             {"lblColor_3", "英文フォント：", 3132, 3132, 1008}};
    for (const Expect& e : labels) {
        auto* l = child<QLabel>(*w, e.name);
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l->text(), e.caption) << e.name;
        EXPECT_EQ(l->geometry().topLeft(), QPoint(w->TwipsX(e.left), w->TwipsY(e.top))) << e.name;
    }
    const Expect frames[] = {{"fraTask", "実行動作", 324, 1440, 2424},
                             {"fraLanguage", "原文・訳文の種別", 3132, 1440, 1668},
                             {"fraSpace", "文末空白数(日英)", 3132, 2988, 1668}};
    for (const Expect& e : frames) {
        auto* f = child<QGroupBox>(*w, e.name);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->title(), e.caption) << e.name;
        EXPECT_EQ(f->geometry().topLeft(), QPoint(w->TwipsX(e.left), w->TwipsY(e.top))) << e.name;
    }
    EXPECT_EQ(child<QCheckBox>(*w, "chFont")->text(), "フォント設定を行う（全文字を対象に）");
    EXPECT_EQ(child<QLineEdit>(*w, "txtFilePath")->geometry(),
              QRect(w->TwipsX(360), w->TwipsY(576), w->TwipsX(8304), w->TwipsY(396)));
    EXPECT_EQ(child<QPlainTextEdit>(*w, "txt")->geometry(),
              QRect(w->TwipsX(372), w->TwipsY(5832), w->TwipsX(8388), w->TwipsY(1584)));
    EXPECT_EQ(child<QProgressBar>(*w, "ProgressBar1")->geometry(),
              QRect(w->TwipsX(360), w->TwipsY(5496), w->TwipsX(8412), w->TwipsY(240)));
    EXPECT_NE(child<QLineEdit>(*w, "txtColor_0"), nullptr);
    EXPECT_NE(child<QLineEdit>(*w, "txtColor_1"), nullptr);
    EXPECT_NE(child<QComboBox>(*w, "cmbFont_0"), nullptr);
    EXPECT_NE(child<QComboBox>(*w, "cmbFont_1"), nullptr);
    EXPECT_TRUE(w->optTask[1]->parent() == w->fraTask && w->opt[0]->parent() == w->fraLanguage &&
                w->OptSpace[1]->parent() == w->fraSpace);
}

TEST_F(MainWindowTest, KeyboardOrderFollowsTheTabIndices) {
    auto w = open();
    const QList<QWidget*> expected{w->cmdRefer,       w->cmdOpen,        w->cmdHelp,       w->cmdEnd,
                                   w->txt,            w->txtFilePath,    w->opt[0],        w->opt[1],
                                   w->OptSpace[0],    w->OptSpace[1],    w->optTask[0],    w->optTask[1],
                                   w->optTask[2],     w->optTask[3],     w->cmdStart,      w->optTask[4],
                                   w->txtColor[0],    w->cmdSetColor[0], w->txtColor[1],   w->cmdSetColor[1],
                                   w->chFont,         w->cmbFont[0],     w->cmbFont[1],    w->cmdSetColor[2],
                                   w->optTask[5]};
    // Walk the focus chain once round and keep the window's own controls.
    QList<QWidget*> walked;
    QWidget* at = expected.first();
    do {
        if (expected.contains(at) && !walked.contains(at)) walked.append(at);
        at = at->nextInFocusChain();
    } while (at != expected.first());
    QStringList names, wanted;
    for (QWidget* x : walked) names << x->objectName();
    for (QWidget* x : expected) wanted << x->objectName();
    EXPECT_EQ(names.join(u' ').toStdString(), wanted.join(u' ').toStdString());
    EXPECT_EQ(w->optTask[4]->property("TabIndex").toInt(), 29);
}

TEST_F(MainWindowTest, StoredValuesAreApplied) {
    store("DocPath", files_.path());
    store("OptKind", "01");
    store("OptSpace", "1");
    store("Task", "4.5");
    store("OrgColor", "FF");
    store("TraColor", "00FF00");
    store("ChFont", "1");
    store("FontJpn", "IPAGothic");
    store("FontEng", "Some, Latin");
    auto w = open();
    EXPECT_EQ(w->DialogFolder(), files_.path());
    EXPECT_TRUE(w->opt[1]->isChecked());
    EXPECT_TRUE(w->OptSpace[1]->isChecked());
    EXPECT_EQ(w->SelectedTask(), 4);
    EXPECT_TRUE(shown(*w, w->chFont));  // the colour group of task code 4
    EXPECT_FALSE(shown(*w, w->fraLanguage));
    EXPECT_EQ(w->txtColor[0]->text(), "FF");
    EXPECT_EQ(w->SwatchColour(0), 0x663399);  // the text only
    EXPECT_EQ(w->txtColor[1]->text(), "00FF00");
    EXPECT_TRUE(w->chFont->isChecked());
    EXPECT_EQ(w->cmbFont[0]->currentText(), "IPAGothic");
    EXPECT_EQ(w->cmbFont[1]->currentText(), "Some, Latin");
    // Filled by the switch and again at start-up, each font still stands once.
    QStringList families = QFontDatabase::families();
    families.removeFirst();
    QStringList listed;
    for (int i = 0; i < w->cmbFont[0]->count(); ++i) listed << w->cmbFont[0]->itemText(i);
    EXPECT_EQ(listed, families);
    EXPECT_EQ(w->cmbFont[1]->count(), families.size());
}

TEST_F(MainWindowTest, TheStoredTaskIsReadLenientlyAndRoundedHalfToEven) {
    const struct {
        const char* stored;
        int task;
    } cases[] = {{"4.5", 4}, {"5.5", 6}, {"2.5", 2}, {"3.5", 4}, {"7", 7},  {"7.5", 8}, {" 3 ", 3}, {"abc", 0},
                 {"", 0},    {"0", 0},   {"5", 5},   {"-1", 1},  {"2x", 2}, {"1e9", 1}};
    for (const auto& c : cases) {
        store("Task", c.stored);
        auto w = open();
        EXPECT_EQ(w->SelectedTask(), c.task) << '"' << c.stored << '"';
    }
}

TEST_F(MainWindowTest, OptionPairsFallToTheSecondOptionForAnyTextButZero) {
    for (const char* value : {"1", "01", "", " 0", "x"}) {
        store("OptKind", value);
        store("OptSpace", value);
        auto w = open();
        EXPECT_TRUE(w->opt[1]->isChecked()) << value;
        EXPECT_TRUE(w->OptSpace[1]->isChecked()) << value;
    }
    store("OptKind", "0");
    store("OptSpace", "0");
    auto w = open();
    EXPECT_TRUE(w->opt[0]->isChecked());
    EXPECT_TRUE(w->OptSpace[0]->isChecked());
}

TEST_F(MainWindowTest, TheFontSwitchTakesOnlyZeroOrOneReadStrictly) {
    const struct {
        const char* stored;
        bool checked;
    } cases[] = {{"1", true}, {" 1 ", true}, {"0.6", true}, {"0", false}, {"2", false},
                 {"x", false}, {"", false}, {"1x", false}};
    for (const auto& c : cases) {
        store("ChFont", c.stored);
        auto w = open();
        EXPECT_EQ(w->chFont->isChecked(), c.checked) << '"' << c.stored << '"';
    }
}

// ---------------------------------------------------------------------------
// The closing save

TEST_F(MainWindowTest, TheClosingSaveWritesTheNineKeysAndTheNewOptions) {
    const QString doc = files_.filePath("spec.docx");
    auto w = open();
    w->txtFilePath->setText(doc);
    w->cmdOpen_Click();  // sets the document path
    w->opt[1]->setChecked(true);
    w->optTask[0]->setChecked(true);
    w->txtColor[0]->setText("FF");
    w->chFont->setChecked(true);
    w->cmbFont[0]->setEditText("A font nobody has");
    w->cmbFont[1]->setEditText("");
    w->chkConvertImages->setChecked(false);
    w->chkItem[1]->setChecked(false);
    w->close();

    QSettings s = stored();
    s.beginGroup("Settings");
    EXPECT_EQ(s.childKeys(),
              (QStringList{"Annotate",       "ChFont",      "ClaimsEach",  "ConvertImages",       "DocPath",
                           "EarlierDocument", "EarlierRecent", "FontEng",  "FontJpn",             "Glossary",
                           "ItemFamilies",   "NewMatter",   "OptKind",     "OptSpace",            "OrgColor",
                           "RecentFiles",    "SourceDocument", "SourceRecent", "SplitDocuments",  "Task",
                           "TraColor",       "UnderlineClaimsOnly", "WindowSize"}));
    EXPECT_EQ(s.value("DocPath").toString(), files_.path() + "/");
    EXPECT_EQ(s.value("OptKind").toString(), "1");
    EXPECT_EQ(s.value("OptSpace").toString(), "0");
    EXPECT_EQ(s.value("Task").toString(), "0");
    EXPECT_EQ(s.value("OrgColor").toString(), "FF");
    EXPECT_EQ(s.value("TraColor").toString(), "000000");
    EXPECT_EQ(s.value("ChFont").toString(), "1");
    EXPECT_EQ(s.value("FontJpn").toString(), "A font nobody has");
    EXPECT_EQ(s.value("FontEng").toString(), "");
    EXPECT_EQ(s.value("ConvertImages").toString(), "0");
    EXPECT_EQ(s.value("SplitDocuments").toString(), "0");
    EXPECT_EQ(s.value("ItemFamilies").toString(), "請求項,表,化,数");
    s.endGroup();
    EXPECT_EQ(s.childGroups(), QStringList{"Settings"});
}

TEST_F(MainWindowTest, WithoutADocumentPathTheStoredFolderStays) {
    store("DocPath", "/kept/");
    auto w = open();
    w->close();
    QSettings s = stored();
    EXPECT_EQ(s.value("Settings/DocPath").toString(), "/kept/");
    EXPECT_EQ(s.value("Settings/Task").toString(), "1");
    EXPECT_EQ(s.value("Settings/FontJpn").toString(), "ＭＳ 明朝");
}

TEST_F(MainWindowTest, WhatWasStoredComesBackAtTheNextStart) {
    {
        auto w = open();
        w->OptSpace[1]->setChecked(true);
        w->txtColor[1]->setText("0000FF");
        w->cmbFont[1]->setEditText("Latin Modern");
        w->chkSplitDocuments->setChecked(true);
        w->chkItem[0]->setChecked(false);
        w->cmdEnd->click();
        EXPECT_FALSE(w->isVisible());
    }
    auto w = open();
    EXPECT_TRUE(w->OptSpace[1]->isChecked());
    EXPECT_EQ(w->txtColor[1]->text(), "0000FF");
    EXPECT_EQ(w->SwatchColour(1), 0x000000);
    EXPECT_EQ(w->cmbFont[1]->currentText(), "Latin Modern");
    const engine::TaskOptions o = w->Options();
    EXPECT_TRUE(o.convertImages);
    EXPECT_TRUE(o.splitDocuments);
    EXPECT_EQ(o.itemFamilies, (QStringList{"図", "表", "化", "数"}));
}

// ---------------------------------------------------------------------------
// The command line

TEST_F(MainWindowTest, EachArgumentIsOneDocumentWholeAndTheCommandLineIsLogged) {
    const QString here = QDir::currentPath();
    const struct {
        QStringList arguments;
        QString box;
        QStringList documents;
    } cases[] = {
        // A folder name with a blank is everyday: the argument stays whole.
        {{"/work/山田 太郎/三浦 仕様書.docx"}, "/work/山田 太郎/三浦 仕様書.docx", {"/work/山田 太郎/三浦 仕様書.docx"}},
        {{"/w/新しいフォルダー (2)/a.doc"}, "/w/新しいフォルダー (2)/a.doc", {"/w/新しいフォルダー (2)/a.doc"}},
        // Several arguments are several documents, as a drop is.
        {{"/w/a.docx", "/w/b c.rtf"}, "/w/a.docx（他 1 件）", {"/w/a.docx", "/w/b c.rtf"}},
        // A relative path is taken from the folder the program started in.
        {{"sub/x y.docx"}, here + "/sub/x y.docx", {here + "/sub/x y.docx"}},
        // Blanks only: the prompt stays.
        {{"   "}, ui::text::kFilePrompt, {ui::text::kFilePrompt}},
    };
    for (const auto& c : cases) {
        auto w = open(c.arguments);
        EXPECT_EQ(w->txtFilePath->text(), c.box) << c.arguments.join('|').toStdString();
        EXPECT_EQ(w->ChosenDocuments(), c.documents) << c.arguments.join('|').toStdString();
        EXPECT_EQ(w->LogText(), kBannerLog + "\r\nコマンドライン引数の指定あり：" + c.arguments.join(' '));
    }
}

TEST_F(MainWindowTest, ACommandLineStartAlsoAppliesAndKeepsTheStoredSettings) {
    store("Task", "0");
    store("FontJpn", "IPAGothic");
    store("FontEng", "Times");
    store("OrgColor", "123456");
    auto w = open("/work/b.docx");
    EXPECT_EQ(w->txtFilePath->text(), "/work/b.docx");
    EXPECT_EQ(w->SelectedTask(), 0);
    EXPECT_EQ(w->cmbFont[0]->currentText(), "IPAGothic");
    EXPECT_GT(w->cmbFont[0]->count(), 0);
    w->close();
    QSettings s = stored();
    EXPECT_EQ(s.value("Settings/FontJpn").toString(), "IPAGothic");
    EXPECT_EQ(s.value("Settings/FontEng").toString(), "Times");
    EXPECT_EQ(s.value("Settings/OrgColor").toString(), "123456");
    EXPECT_EQ(s.value("Settings/Task").toString(), "0");
}

// ---------------------------------------------------------------------------
// The file box, the browse dialog and drops

TEST_F(MainWindowTest, TheDocumentNameRuleLooksAtTheEndingInAnyCase) {
    for (const char* yes : {"/w/a.doc", "/w/A.DOC", "/w/a.docx", "/w/a.DocX", ".doc", ".docx", "/w/a.rtf", "/w/B.RTF"})
        EXPECT_TRUE(ui::IsDocumentName(QString::fromUtf8(yes))) << yes;
    for (const char* no : {"/w/a.doc ", "/w/a.txt", "", "doc", "/w/a.docm", "/w/adoc", "/w/a.doc/x", "/w/a.rtfx", "/w/artf"})
        EXPECT_FALSE(ui::IsDocumentName(QString::fromUtf8(no))) << no;

    auto w = open();
    w->txtFilePath->setText("/w/REPORT.DOCX");
    EXPECT_TRUE(w->cmdOpen->isEnabled());
    w->txtFilePath->setText("/w/a.doc ");
    EXPECT_FALSE(w->cmdOpen->isEnabled());
    w->txtFilePath->setText("");
    EXPECT_FALSE(w->cmdOpen->isEnabled());
}

TEST_F(MainWindowTest, TheBrowseDialogPutsTheChosenFileOrTheInvalidFileTextInTheBox) {
    const QString doc = emptyFile(files_.filePath("A.DOC"));
    const QString other = emptyFile(files_.filePath("a.txt"));
    store("DocPath", files_.path());
    auto w = open();

    QString title, folder;
    QStringList filters;
    bool mustExist = false;
    {
        ModalAnswers answers({[&](QWidget* m) {
            auto* d = qobject_cast<QFileDialog*>(m);
            ASSERT_NE(d, nullptr);
            title = d->windowTitle();
            filters = d->nameFilters();
            folder = d->directory().absolutePath();
            mustExist = d->fileMode() == QFileDialog::ExistingFiles;
            chooseInDialog(d, doc);
        }});
        w->cmdRefer->click();
        EXPECT_TRUE(answers.allAnswered());
    }
    EXPECT_EQ(title, "処理するWordファイルを指定します");
    EXPECT_EQ(filters, (QStringList{"Wordファイル (*.doc *.docx *.rtf)", "すべてのファイル (*)"}));
    EXPECT_EQ(folder, QDir(files_.path()).absolutePath());
    EXPECT_TRUE(mustExist);
    EXPECT_EQ(w->txtFilePath->text(), doc);
    EXPECT_TRUE(w->cmdOpen->isEnabled());

    {
        ModalAnswers answers({[&](QWidget* m) {
            auto* d = qobject_cast<QFileDialog*>(m);
            ASSERT_NE(d, nullptr);
            d->selectNameFilter("すべてのファイル (*)");
            chooseInDialog(d, other);
        }});
        w->cmdRefer_Click();
    }
    EXPECT_EQ(w->txtFilePath->text(), "< DOCファイルまたはDOCXファイルを指定してください 無効ファイル：" + other + " >");
    EXPECT_FALSE(w->cmdOpen->isEnabled());

}

TEST_F(MainWindowTest, CancellingTheBrowseDialogKeepsTheFileInTheBox) {
    const QString chosen = emptyFile(files_.filePath("chosen.docx"));
    const QString dropped = emptyFile(files_.filePath("dropped.docx"));
    auto cancel = [](QWidget* m) { qobject_cast<QDialog*>(m)->reject(); };
    // Before anything was chosen, after a choice in the dialog, and after a
    // drop or a recent file replaced that choice: a cancel changes nothing.
    auto w = open();
    {
        ModalAnswers answers({cancel});
        w->cmdRefer_Click();
    }
    EXPECT_EQ(w->txtFilePath->text(), ui::text::kFilePrompt);
    QString opensOn;
    {
        ModalAnswers answers({[&](QWidget* m) { chooseInDialog(qobject_cast<QFileDialog*>(m), chosen); }});
        w->cmdRefer_Click();
    }
    ASSERT_EQ(w->txtFilePath->text(), chosen);
    dropFiles(*w, {dropped});
    {
        ModalAnswers answers({[&](QWidget* m) {
            auto* d = qobject_cast<QFileDialog*>(m);
            opensOn = d->selectedFiles().value(0);
            d->reject();
        }});
        w->cmdRefer_Click();
    }
    EXPECT_EQ(w->txtFilePath->text(), dropped);
    EXPECT_EQ(w->ChosenDocuments(), QStringList{dropped});
    EXPECT_EQ(opensOn, dropped);  // the dialog opens on the box's document
    w->findChild<QAction*>("mnuRecent_1")->trigger();  // the one chosen in the dialog
    {
        ModalAnswers answers({cancel});
        w->mnuOpen->trigger();
    }
    EXPECT_EQ(w->txtFilePath->text(), chosen);
}

TEST_F(MainWindowTest, ADropTakesEveryDocumentUnlessTheFirstFileIsNone) {
    auto w = open();
    dropFiles(*w, {"/w/first.docx", "/w/notes.txt", "/w/second.doc"});
    EXPECT_EQ(w->txtFilePath->text(), "/w/first.docx（他 1 件）");
    EXPECT_EQ(w->ChosenDocuments(), (QStringList{"/w/first.docx", "/w/second.doc"}));
    EXPECT_TRUE(w->cmdOpen->isEnabled());
    dropFiles(*w, {"/w/only.docx"});
    EXPECT_EQ(w->txtFilePath->text(), "/w/only.docx");

    QString message, title;
    ModalAnswers answers({okMessage(&message, &title)});
    dropFiles(*w, {"/w/notes.txt", "/w/third.doc"});
    EXPECT_EQ(answers.answered(), 1);
    EXPECT_EQ(message, "docファイルをドラッグ＆ドロップしてください");
    EXPECT_EQ(title, "Kalvendo");
    EXPECT_EQ(w->txtFilePath->text(), "/w/only.docx");
    // Typing in the box replaces the choice of several.
    dropFiles(*w, {"/w/a.docx", "/w/b.docx"});
    w->txtFilePath->setText("/w/typed.docx");
    EXPECT_EQ(w->ChosenDocuments(), QStringList{"/w/typed.docx"});
}

TEST_F(MainWindowTest, FilesDroppedOnTheTextBoxesGoToTheWindow) {
    auto w = open();
    EXPECT_TRUE(w->acceptDrops());
    // A drag goes to the innermost widget that accepts drops; none of the
    // window's own text widgets may take a file's name as text.
    for (QWidget* c : w->findChildren<QWidget*>())
        EXPECT_FALSE(c->acceptDrops()) << c->metaObject()->className() << ' ' << c->objectName().toStdString();
}

TEST_F(MainWindowTest, OpenInWordHandsTheDocumentToTheDesktop) {
    auto w = open();
    QString message;
    {
        ModalAnswers answers({okMessage(&message)});
        w->cmdOpen_Click();  // the prompt is still in the box
    }
    EXPECT_EQ(message, "参照ボタンを押して有効なファイル名を設定してください");
    EXPECT_TRUE(shell_.opened.isEmpty());

    w->txtFilePath->setText("/w/a.doc");
    w->cmdOpen->click();
    ASSERT_EQ(shell_.opened.size(), 1);
    EXPECT_EQ(shell_.opened[0], QUrl::fromLocalFile("/w/a.doc"));
    EXPECT_EQ(w->Runner().DocumentPath(), "/w/a.doc");
}

// ---------------------------------------------------------------------------
// Task options and the start button

TEST_F(MainWindowTest, TheTaskMenuAndTheOptionsChooseTogetherNameTheTaskAndShowItsOptionsOnly) {
    auto w = open();
    // Per task: the language group, the colour group, the frames of 5, 6, 7
    // and 9, the second file box, the glossary.
    struct Shows {
        bool language = false, colour = false, html = false, check = false, items = false, amendment = false,
             companion = false, glossary = false;
    };
    const Shows shows[ui::kTaskCount] = {{},
                               {},
                               {.language = true},
                               {.language = true},
                               {.colour = true},
                               {.html = true},
                               {.check = true},
                               {.items = true},
                               {.companion = true, .glossary = true},
                               {.amendment = true, .companion = true}};
    for (int task : {2, 4, 0, 3, 5, 6, 7, 1, 8, 9, 4, 7, 2, 9}) {
        // Even tasks from the menu, odd ones from the task options.
        if (task % 2 == 0) w->mnuTask[task]->trigger();
        else w->optTask[task]->setChecked(true);
        const auto& e = shows[task];
        EXPECT_EQ(w->SelectedTask(), task);
        EXPECT_TRUE(w->mnuTask[task]->isChecked()) << task;
        // The chosen task's name stands beside 処理：, as the menu has it.
        EXPECT_EQ(w->lblTask->text() + "(&" + QString::number(task) + ")", w->mnuTask[task]->text()) << task;
        EXPECT_TRUE(shown(*w, w->lblTask));
        for (QWidget* c : {static_cast<QWidget*>(w->fraSpace), static_cast<QWidget*>(w->OptSpace[0]),
                           static_cast<QWidget*>(w->lblForCheck)})
            EXPECT_EQ(shown(*w, c), e.language) << task << ' ' << c->objectName().toStdString();
        // Task 8 reads the language direction too.
        EXPECT_EQ(shown(*w, w->opt[1]), e.language || task == 8) << task;
        for (QWidget* c : {static_cast<QWidget*>(w->chFont), static_cast<QWidget*>(w->txtColor[1]),
                           static_cast<QWidget*>(w->cmbFont[0]), static_cast<QWidget*>(w->cmdSetColor[2]),
                           static_cast<QWidget*>(w->lblColor[3])})
            EXPECT_EQ(shown(*w, c), e.colour) << task << ' ' << c->objectName().toStdString();
        EXPECT_EQ(shown(*w, w->chkSplitDocuments), e.html) << task;
        EXPECT_EQ(shown(*w, w->chkAnnotate), e.check) << task;
        EXPECT_EQ(shown(*w, w->chkItem[4]), e.items) << task;
        EXPECT_EQ(shown(*w, w->chkNewMatter), e.amendment) << task;
        EXPECT_EQ(shown(*w, w->cmbCompanion) && shown(*w, w->cmdReferCompanion), e.companion) << task;
        EXPECT_EQ(shown(*w, w->txtGlossary) && shown(*w, w->cmdReferGlossary), e.glossary) << task;
        // The task frame keeps showing the options of task codes 0 and 1 only.
        for (int i = 0; i < ui::kTaskCount; ++i) EXPECT_EQ(shown(*w, w->optTask[i]), i < 2) << task << ' ' << i;
    }
    EXPECT_EQ(w->mnuTask[3]->text(), "段落振り直し＋原文・タグ削除(&3)");
    EXPECT_EQ(w->mnuTask[7]->text(), "番号振り直し（請求項・図・表・化・数）(&7)");
    EXPECT_EQ(w->mnuTask[8]->text(), "翻訳チェック(&8)");
    EXPECT_EQ(w->mnuTask[9]->text(), "手続補正書作成(&9)");
    w->optTask_Click(10);  // outside the array: nothing
    w->close();
    EXPECT_EQ(stored().value("Settings/Task").toString(), "9");
}

// ---------------------------------------------------------------------------
// Several documents and recent files

TEST_F(MainWindowTest, TheBrowseDialogTakesSeveralDocuments) {
    QStringList docs;
    for (const char* name : {"a.docx", "b.doc", "c.docx"}) {
        docs << files_.filePath(name);
        QFile f(docs.last());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    store("DocPath", files_.path());
    auto w = open();
    ModalAnswers answers({[](QWidget* m) {
        auto* d = qobject_cast<QFileDialog*>(m);
        ASSERT_NE(d, nullptr);
        auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(R"("a.docx" "b.doc" "c.docx")");
        static_cast<QDialog*>(d)->accept();
    }});
    w->mnuOpen->trigger();
    EXPECT_TRUE(answers.allAnswered());
    QStringList chosen = w->ChosenDocuments();
    chosen.sort();
    EXPECT_EQ(chosen, docs);
    EXPECT_EQ(w->txtFilePath->text(), w->ChosenDocuments().constFirst() + "（他 2 件）");
    EXPECT_TRUE(w->cmdOpen->isEnabled());
}
TEST_F(MainWindowTest, RecentFilesKeepTheLastTenAndPutTheChosenOneInTheBox) {
    QStringList stored;
    for (int i = 0; i < 10; ++i) stored << QStringLiteral("/w/old%1.docx").arg(i);
    {
        QSettings s(iniPath(), QSettings::IniFormat);
        s.setValue("Settings/RecentFiles", stored);
    }
    auto w = open();
    ASSERT_EQ(w->mnuRecent->actions().size(), 10);
    EXPECT_EQ(w->mnuRecent->actions()[9]->text(), "1&0 /w/old9.docx");
    dropFiles(*w, {"/w/new.docx", "/w/old5.docx"});
    const QStringList expected = QStringList{"/w/new.docx", "/w/old5.docx", "/w/old0.docx", "/w/old1.docx",
                                             "/w/old2.docx", "/w/old3.docx", "/w/old4.docx", "/w/old6.docx",
                                             "/w/old7.docx", "/w/old8.docx"};
    EXPECT_EQ(w->RecentFiles(), expected);
    w->findChild<QAction*>("mnuRecent_2")->trigger();
    EXPECT_EQ(w->txtFilePath->text(), "/w/old0.docx");
    EXPECT_EQ(w->ChosenDocuments(), QStringList{"/w/old0.docx"});
    w->close();
    EXPECT_EQ(this->stored().value("Settings/RecentFiles").toStringList(), expected);
}

}  // namespace
