// The main window's colours and fonts (task code 4): the colour boxes with
// their dialog and reset, the font switch and the lists of screen fonts.

#include "ui/main_window.h"
#include "ui/main_window_detail.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>

namespace ui {

using namespace detail;

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

}  // namespace ui
