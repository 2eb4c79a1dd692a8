// Qt's own texts in Japanese: the file and colour dialogs and the text
// boxes' context menus.

#include "support/window_test_util.h"

namespace {

using namespace testsupport::window;

TEST_F(MainWindowTest, QtsOwnDialogsAndMenusSpeakJapanese) {
    ASSERT_TRUE(engine::InstallQtJapanese(*QCoreApplication::instance()));
    for (const auto& [context, source] : {std::pair{"QFileDialog", "Look in:"}, std::pair{"QWidgetTextControl", "&Copy"},
                                          std::pair{"QColorDialog", "&Basic colors"}}) {
        const QString translated = QCoreApplication::translate(context, source);
        EXPECT_NE(translated, QString::fromLatin1(source)) << context;
        EXPECT_TRUE(translated.contains(QRegularExpression("[\\x{3040}-\\x{30FF}\\x{4E00}-\\x{9FFF}]")))
            << translated.toStdString();
    }
}

}  // namespace
