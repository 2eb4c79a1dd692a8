// The whole-range passes with their fixed options, on a real document.

#include "engine/find_replace.h"
#include "support/task_test_util.h"

#include <gtest/gtest.h>

namespace {

class FindReplaceTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::shared_ptr<word::Application> app = word::Application::CreateObject("Word.Application");
    std::shared_ptr<word::Document> doc;
    word::Range range;

    void open(const QStringList& lines) {
        const QString path = dir.filePath("t.docx");
        testsupport::writeDocx(path, testsupport::paras(lines));
        doc = app->Documents().Open(path, true);
        range = doc->Content();
        range.MoveEnd(word::wdCharacter, -1);
    }
    QString text() { return doc->Content().Text(); }
    int colour(int start, int end) {
        word::Range r = doc->Content();
        r.SetRange(start, end);
        return r.Font().Color();
    }
};

TEST_F(FindReplaceTest, CaseAndWidthCount) {
    open({"error 0 ０", "Error"});
    EXPECT_FALSE(engine::ReplaceAllIn(range, "ERROR", "x"));
    EXPECT_TRUE(engine::ReplaceAllIn(range, "error", "E"));
    EXPECT_TRUE(engine::ReplaceAllIn(range, "0", "zero"));
    EXPECT_EQ(text(), "E zero ０\rError\r");
    // The range is where it was: later passes run on the same range.
    EXPECT_EQ(range.Start(), 0);
    EXPECT_EQ(range.End(), doc->Content().End() - 1);
}

TEST_F(FindReplaceTest, EmptyReplacementDeletesAndMarksWrittenMatchLater) {
    open({"a--/E", "b--/E"});
    EXPECT_TRUE(engine::ReplaceAllIn(range, "--/E", "^p--/E^p"));
    EXPECT_EQ(text(), "a\r--/E\r\rb\r--/E\r\r");
    EXPECT_TRUE(engine::ReplaceAllIn(range, "^013--/E^013", ""));
    EXPECT_EQ(text(), "a\rb\r");
}

TEST_F(FindReplaceTest, GrayKeepsTextAndLeavesNoFormattingForTheNextPass) {
    open({"x --/M y --/M", "--/M z"});
    const QString before = text();
    EXPECT_TRUE(engine::GrayAllIn(range, "--/M"));
    EXPECT_EQ(text(), before);
    const int tag = before.indexOf("--/M");
    EXPECT_EQ(colour(tag, tag + 4), word::wdColorGray20);
    EXPECT_NE(colour(0, 1), word::wdColorGray20);
    EXPECT_TRUE(engine::ReplaceAllIn(range, "z", "zz"));
    const int z = text().indexOf("zz");
    EXPECT_NE(colour(z, z + 2), word::wdColorGray20);
}

}  // namespace
