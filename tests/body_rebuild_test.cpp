// A body built anew from paragraphs of the current one and new lines, and
// the underline format on a range.

#include "support/docx_builder.h"
#include "word/ooxml/document_model.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace testsupport;
using word::ooxml::BuiltParagraph;
using word::ooxml::DocumentModel;

namespace {

class BodyRebuild : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    std::unique_ptr<DocumentModel> Open(const QString& body) {
        writeDocx(path("in.docx"), body);
        return DocumentModel::open(path("in.docx"));
    }
    QString MainPart(const QString& file) { return QString::fromUtf8(readZipEntry(path(file), "word/document.xml")); }
};

const QString kTable = QStringLiteral(
    "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>セル１</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r><w:t>セル２</w:t></w:r></w:p></w:tc>"
    "</w:tr></w:tbl>");

TEST_F(BodyRebuild, CopiesKeepTheirFormattingNewLinesTakeTheModelsAndThePageSetUpStays) {
    auto model = Open(para("【書類名】明細書") + paraXml(run("太字", "<w:b/>") + run("普通")) + kTable + para("最後"));
    model->rebuildBody({{-1, QStringLiteral("【書類名】手続補正書"), 0},
                        {1, {}, 0},
                        {2, {}, 0},  // the table, once for its two cells
                        {3, {}, 0},
                        {-1, QStringLiteral("終\tわり"), 1}});
    EXPECT_EQ(model->text(), QStringLiteral("【書類名】手続補正書\r太字普通\rセル１\aセル２\a終\tわり\r"));
    model->save(path("out.docx"));
    const QString xml = MainPart("out.docx");
    EXPECT_EQ(xml.count(QStringLiteral("<w:tbl>")), 1);
    EXPECT_EQ(xml.count(QStringLiteral("<w:b/>")), 2);  // the copy, and the new line like it
    EXPECT_TRUE(xml.contains(QStringLiteral("<w:sectPr")));
    EXPECT_FALSE(xml.contains(QStringLiteral("最後")));
    auto reread = DocumentModel::open(path("out.docx"));
    EXPECT_EQ(reread->text(), model->text());
}

TEST_F(BodyRebuild, AnUnderlineIsSetOnARangeAndRemovedAgain) {
    auto model = Open(para("あいうえお") + paraXml(run("かきく", "<w:u w:val=\"single\"/>")));
    model->setUnderline(1, 3, true);
    model->setUnderline(6, 7, false);
    QString underlined;
    for (int pos = 0; pos < model->length(); ++pos)
        if (model->underlinedAt(pos)) underlined += model->text()[pos];
    EXPECT_EQ(underlined, QStringLiteral("いうきく"));
    EXPECT_EQ(model->text(), QStringLiteral("あいうえお\rかきく\r"));
}

}  // namespace
