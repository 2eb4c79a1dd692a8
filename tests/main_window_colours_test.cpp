// The main window's colours and fonts (task code 4): the colour dialog, the
// reset, the font switch and its lists.

#include "support/window_test_util.h"

namespace {

using namespace testsupport::window;

std::function<void(QWidget*)> chooseColour(QColor colour) {
    return [colour](QWidget* m) {
        auto* d = qobject_cast<QColorDialog*>(m);
        ASSERT_NE(d, nullptr);
        d->setCurrentColor(colour);
        d->accept();
    };
}

TEST_F(MainWindowTest, TheColourDialogWritesTheColourAsBlueGreenRedHex) {
    store("Task", "4");
    auto w = open();
    const struct {
        QColor colour;
        QString text;
        int bgr;
    } cases[] = {{QColor(255, 0, 0), "FF", 0x0000FF},
                 {QColor(0, 0, 255), "FF0000", 0xFF0000},
                 {QColor(255, 255, 255), "FFFFFF", 0xFFFFFF},
                 {QColor(0, 0, 0), "0", 0},
                 {QColor(0x12, 0x34, 0x56), "563412", 0x563412}};
    for (const auto& c : cases) {
        ModalAnswers answers({chooseColour(c.colour)});
        w->cmdSetColor[0]->click();
        EXPECT_EQ(w->txtColor[0]->text(), c.text);
        EXPECT_EQ(w->SwatchColour(0), c.bgr);
    }
    {
        ModalAnswers answers({chooseColour(Qt::green)});
        w->cmdSetColor_Click(1);
    }
    EXPECT_EQ(w->txtColor[1]->text(), "FF00");
    EXPECT_EQ(w->Options().translationColour, "FF00");
    // A cancel changes nothing.
    {
        ModalAnswers answers({[](QWidget* m) { qobject_cast<QDialog*>(m)->reject(); }});
        w->cmdSetColor_Click(1);
    }
    EXPECT_EQ(w->txtColor[1]->text(), "FF00");
    EXPECT_EQ(w->SwatchColour(1), 0x00FF00);
    // Reset.
    w->cmdSetColor[2]->click();
    EXPECT_EQ(w->txtColor[0]->text(), "663399");
    EXPECT_EQ(w->SwatchColour(0), 0x663399);
    EXPECT_EQ(w->txtColor[1]->text(), "000000");
    EXPECT_EQ(w->SwatchColour(1), 0);
    w->cmdSetColor_Click(3);  // outside the array: nothing
}

TEST_F(MainWindowTest, TheFontSwitchFillsTheListsOnceAndKeepsTheNames) {
    auto w = open();
    QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    const QString first = families.takeFirst();
    w->cmbFont[0]->setEditText("Typed Font");
    w->chFont->setChecked(false);
    w->chFont->setChecked(true);
    w->chFont->setChecked(false);  // clearing keeps the lists
    EXPECT_EQ(w->cmbFont[0]->count(), families.size());
    w->chFont->setChecked(true);
    EXPECT_EQ(w->cmbFont[0]->count(), families.size());
    EXPECT_EQ(w->cmbFont[1]->count(), families.size());
    EXPECT_EQ(w->cmbFont[0]->findText(first, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0,
              families.contains(first));  // entry 0 only appears when listed twice
    EXPECT_EQ(w->cmbFont[0]->currentText(), "Typed Font");
    EXPECT_EQ(w->cmbFont[1]->currentText(), "Century");
    const engine::TaskOptions o = w->Options();
    EXPECT_TRUE(o.fontSwitch);
    EXPECT_EQ(o.fontJapanese, "Typed Font");
    EXPECT_EQ(o.fontLatin, "Century");
    EXPECT_TRUE(o.englishToJapanese);
    EXPECT_TRUE(o.oneBlank);
}

}  // namespace
