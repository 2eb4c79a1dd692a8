#pragma once
// What the three source files of the main window share: the design values
// of the colour boxes, the client area and the text conversion for display.

#include "engine/runner/host.h"

#include <QColor>
#include <QString>
#include <QStringList>

namespace ui::detail {

inline const QString kDefaultOrgColor = QStringLiteral("663399");
inline const QString kDefaultTraColor = QStringLiteral("000000");
constexpr int kDefaultOrgBgr = 0x663399;
constexpr int kDefaultTraBgr = 0x000000;
// Text colour of the colour boxes, 0xBBGGRR.
constexpr int kSwatchTextBgr = 0xC0FFFF;

// Client area and the one size that changes at start-up, in twips.
constexpr int kClientWidth = 8976;
constexpr int kClientHeight = 7512;
constexpr int kTaskFrameShortHeight = 1100;

// The item families of task code 7, in the order of their check boxes.
inline const QStringList kItemFamilies = engine::TaskOptions{}.itemFamilies;

inline QColor FromBgr(int bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

// Log and message texts use CR LF; the widgets take plain line feeds.
inline QString ForDisplay(QString s) {
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(u'\r', u'\n');
    return s;
}

}  // namespace ui::detail
