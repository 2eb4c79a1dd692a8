// Word comments added to a story: where their marks stand, what the comments
// part holds, and that a document's own comments stay.

#include "support/docx_builder.h"
#include "word/ooxml/document_model.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace testsupport;
using word::ooxml::DocumentModel;

namespace {

// The text the document's XML holds between the range marks of comment `id`.
QString AnchoredText(const QByteArray& documentXml, int id) {
    const QString xml = QString::fromUtf8(documentXml);
    const QRegularExpression span(QStringLiteral("<w:commentRangeStart w:id=\"%1\"/>(.*)<w:commentRangeEnd w:id=\"%1\"/>").arg(id));
    const QRegularExpressionMatch m = span.match(xml);
    if (!m.hasMatch()) return QStringLiteral("<none>");
    QString inner = m.captured(1);
    inner.replace(QRegularExpression(QStringLiteral("</w:p>")), QStringLiteral("|"));
    inner.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    return inner;
}

class StoryComments : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
};

TEST_F(StoryComments, MarksStandAtTheAnchorsEdgesAndTheCommentsPartIsRegistered) {
    const QString in = path("in.docx");
    writeDocx(in, paraRuns({"前記基", "板１０を", "備える。"}) + para("第二の段落。"));
    auto model = DocumentModel::open(in);
    const QString before = model->text();
    const int sign = int(before.indexOf(QStringLiteral("基板１０")));
    const int second = int(before.indexOf(QStringLiteral("第二")));
    model->addComments({{sign, sign + 4, "Kalvendo", "K", "符号\n基板の符号がない"},
                        {sign + 6, second + 2, "Kalvendo", "K", "段落"}});
    const QString out = path("out.docx");
    model->save(out);

    const QByteArray documentXml = readZipEntry(out, "word/document.xml");
    EXPECT_EQ(AnchoredText(documentXml, 0), QStringLiteral("基板１０"));
    EXPECT_EQ(AnchoredText(documentXml, 1), QStringLiteral("える。|第二"));
    const QString comments = QString::fromUtf8(readZipEntry(out, "word/comments.xml"));
    EXPECT_EQ(comments.count(QStringLiteral("<w:comment ")), 2);
    EXPECT_TRUE(comments.contains(QStringLiteral("w:author=\"Kalvendo\"")));
    EXPECT_TRUE(comments.contains(QStringLiteral("基板の符号がない")));
    EXPECT_TRUE(QString::fromUtf8(readZipEntry(out, "[Content_Types].xml")).contains("/word/comments.xml"));
    EXPECT_TRUE(QString::fromUtf8(readZipEntry(out, "word/_rels/document.xml.rels")).contains("relationships/comments"));

    // The text is the same but for one reference character after each anchor;
    // the runs around the anchors keep their formatting.
    QString expected = before;
    expected.insert(second + 2, QChar(0x0005));
    expected.insert(sign + 4, QChar(0x0005));
    EXPECT_EQ(DocumentModel::open(out)->text(), expected);
    EXPECT_EQ(QString::fromUtf8(documentXml).count(QStringLiteral("<w:b/>")),
              QString::fromUtf8(readZipEntry(in, "word/document.xml")).count(QStringLiteral("<w:b/>")) * 2);
}

TEST_F(StoryComments, ADocumentsOwnCommentsStayAndNewOnesTakeFreeIds) {
    const QString first = path("first.docx");
    writeDocx(first, para("一つ目の段落。") + para("二つ目の段落。"));
    auto model = DocumentModel::open(first);
    model->addComments({{0, 3, "Reviewer", "R", "前からのコメント"}});
    const QString annotated = path("annotated.docx");
    model->save(annotated);

    auto again = DocumentModel::open(annotated);
    again->addComments({{9, 12, "Kalvendo", "K", "新しいコメント"}});
    const QString out = path("out.docx");
    again->save(out);
    const QString comments = QString::fromUtf8(readZipEntry(out, "word/comments.xml"));
    EXPECT_TRUE(comments.contains(QStringLiteral("前からのコメント")));
    EXPECT_TRUE(comments.contains(QStringLiteral("w:id=\"1\"")));
    EXPECT_EQ(zipEntryNames(out).filter("comments").size(), 1);
    const QByteArray documentXml = readZipEntry(out, "word/document.xml");
    EXPECT_EQ(AnchoredText(documentXml, 0), QStringLiteral("一つ目"));
    EXPECT_EQ(AnchoredText(documentXml, 1), QStringLiteral("二つ目"));
}

}  // namespace
