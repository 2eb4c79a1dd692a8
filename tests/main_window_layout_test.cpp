// The main window grows: its boxes, bar and log follow, its size is kept,
// and a screen smaller than the window scrolls it.

#include "support/window_test_util.h"

namespace {

using namespace testsupport::window;

TEST_F(MainWindowTest, TheWindowGrowsItsBoxesAndLogFollowAndItsSizeIsKept) {
    QSize grown;
    {
        auto w = open();
        w->show();
        QTest::qWait(20);
        const QSize start = w->size();
        const QRect box = w->txtFilePath->geometry(), log = w->txt->geometry(), start_ = w->cmdStart->geometry(),
                    bar = w->ProgressBar1->geometry(), task = w->fraTask->geometry();
        EXPECT_LT(w->minimumSize().width(), w->maximumSize().width());
        w->resize(start + QSize(200, 150));
        QTest::qWait(20);
        grown = w->size();
        ASSERT_EQ(grown, start + QSize(200, 150));
        EXPECT_EQ(w->txtFilePath->geometry(), box.adjusted(0, 0, 200, 0));
        EXPECT_EQ(w->ProgressBar1->geometry(), bar.adjusted(0, 0, 200, 0));
        EXPECT_EQ(w->txt->geometry(), log.adjusted(0, 0, 200, 150));
        EXPECT_EQ(w->cmdStart->geometry(), start_.translated(200, 0));
        EXPECT_EQ(w->fraTask->geometry(), task);
        // Long findings wrap instead of running off to the right.
        EXPECT_EQ(w->txt->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        w->close();
    }
    EXPECT_EQ(stored().value("Settings/WindowSize").toString(),
              QStringLiteral("%1x%2").arg(grown.width()).arg(grown.height()));
    auto w = open();
    EXPECT_EQ(w->size(), grown);
    // A stored size beyond the screen is brought within it; the client area
    // then scrolls rather than shrinking below its design size.
    store("WindowSize", "9000x9000");
    auto big = open();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(big->width(), screen.width());
    EXPECT_LE(big->height(), screen.height());
    EXPECT_GE(big->ClientArea()->minimumWidth(), big->DesignClientSize().width());
}

}  // namespace
