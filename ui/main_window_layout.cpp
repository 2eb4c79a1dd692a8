// How the main window grows: it starts at its design size (or the size it
// had when it was last closed), never larger than the screen, and the user
// can enlarge it. The controls keep their design places relative to the
// top-left corner; some follow the right edge, the file boxes and the bar
// widen, and the log takes the extra width and height. On a screen smaller
// than the design size the client area scrolls instead of running off it.

#include "ui/main_window.h"
#include "ui/main_window_detail.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>

#include <algorithm>

namespace ui {

using namespace detail;

QSize frmQuorvel::DesignClientSize() const { return {TwipsX(kClientWidth), TwipsY(kClientHeight)}; }

void frmQuorvel::Anchor(QWidget* w, bool followRight, bool growWidth, bool growHeight) {
    anchors_.push_back({w, w->geometry(), followRight, growWidth, growHeight});
}

void frmQuorvel::FollowClientSize() {
    const QSize design = DesignClientSize();
    const int dx = std::max(0, client_->width() - design.width());
    const int dy = std::max(0, client_->height() - design.height());
    for (const Anchored& a : anchors_) {
        QRect r = a.design;
        if (a.followRight) r.translate(dx, 0);
        if (a.growWidth) r.setWidth(r.width() + dx);
        if (a.growHeight) r.setHeight(r.height() + dy);
        a.widget->setGeometry(r);
    }
    FitStatusLabel();
}

QString frmQuorvel::SizeText() const { return QStringLiteral("%1x%2").arg(width()).arg(height()); }

void frmQuorvel::ApplyStoredSize(const QString& text) {
    // The stored size, when it is one, at least the design size; then the
    // screen's free area (less the title bar) bounds it.
    QSize wanted(DesignClientSize().width(), DesignClientSize().height() + menuBar->sizeHint().height());
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^\\s*(\\d{1,5})\\s*x\\s*(\\d{1,5})\\s*$")).match(text);
    if (m.hasMatch()) wanted = wanted.expandedTo(QSize(m.captured(1).toInt(), m.captured(2).toInt()));
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        const QRect area = s->availableGeometry();
        const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight);
        wanted = wanted.boundedTo(QSize(area.width(), std::max(200, area.height() - titleBar)));
    }
    resize(wanted);
}

}  // namespace ui
