// The written amendment end to end: two built versions of an application,
// task 9 run on them, the amendment read back. Every pair also passes the
// round trip (the blocks applied to the earlier version give the amended one).

#include "engine/runner/task_runner.h"
#include "support/amendment_round_trip.h"
#include "support/task_test_util.h"
#include "word/ooxml/document_model.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>

#include <functional>

using namespace testsupport;

namespace {

const QString kPicture = QStringLiteral("<picture>");

// A small application: description, claims, abstract, one figure.
QStringList Application() {
    return {
        "【書類名】明細書",
        "【発明の名称】締結装置",
        "【技術分野】",
        "【０００１】",
        "　本発明は、締結装置に関する。",
        "【背景技術】",
        "【０００２】",
        "　従来、ボルトとナットが用いられている。",
        "【０００３】",
        "　しかし、振動で緩みやすい。",
        "【発明の概要】",
        "【０００４】",
        "　本発明の締結装置は、座金を備える。座金は平座金である。",
        "【０００５】",
        "　座金は鋼製である。",
        "【０００６】",
        "　ナットは六角ナットである。",
        "【０００７】",
        "　以上のとおり、緩みにくい。",
        "【書類名】特許請求の範囲",
        "【請求項１】",
        "　ボルトと座金とを備える締結装置。",
        "【請求項２】",
        "　前記座金は鋼製である請求項１に記載の締結装置。",
        "【請求項３】",
        "　前記ナットは六角ナットである請求項１又は２に記載の締結装置。",
        "【書類名】要約書",
        "【要約】",
        "【課題】緩みにくい締結装置を提供する。",
        "【書類名】図面",
        "【図１】",
        kPicture,
    };
}

QByteArray Png(QRgb colour) {
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return bytes;
}

struct Version {
    QStringList lines;
    QRgb picture = qRgb(0, 0, 0);
    bool splitRuns = false;  // each line in two runs of different formatting
};

void Write(const QString& path, const Version& v) {
    QString body;
    for (const QString& line : v.lines) {
        if (line == kPicture) {
            body += paraXml(QStringLiteral(
                "<w:r><w:drawing><wp:inline><wp:extent cx=\"914400\" cy=\"914400\"/><wp:docPr id=\"1\" name=\"p\"/>"
                "<a:graphic><a:graphicData><pic:pic><pic:blipFill><a:blip r:embed=\"rId1\"/></pic:blipFill>"
                "</pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>"));
        } else if (v.splitRuns && line.size() > 2) {
            body += paraRuns({line.left(line.size() / 2), line.mid(line.size() / 2)});
        } else {
            body += para(line);
        }
    }
    const QString rels = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" Target=\"media/image1.png\"/>"
        "</Relationships>");
    writeDocx(path, body, {{"word/_rels/document.xml.rels", rels.toUtf8()}, {"word/media/image1.png", Png(v.picture)}});
}

QStringList Replaced(QStringList lines, const QString& from, const QStringList& to) {
    const qsizetype at = lines.indexOf(from);
    EXPECT_GE(at, 0) << from.toStdString();
    lines.remove(at);
    for (qsizetype k = 0; k < to.size(); ++k) lines.insert(at + k, to[k]);
    return lines;
}

// Paragraph numbers made consecutive again, as task 1 does after an insertion.
QStringList Renumbered(QStringList lines) {
    int n = 0;
    for (QString& l : lines)
        if (l.startsWith(QStringLiteral("【０")) && l.endsWith(u'】') && l.size() == 6)
            l = QStringLiteral("【%1】").arg(QString::number(++n).rightJustified(4, u'0'));
    for (QString& l : lines)
        for (QChar& c : l)
            if (c >= u'0' && c <= u'9') c = QChar(c.unicode() - u'0' + u'０');
    return lines;
}

struct Outcome {
    QStringList blockLines;  // the log's block lines
    QString log;
    QString underlined;      // the underlined spans of the amendment, joined by |
    QStringList amendment;   // its paragraphs
    bool written = false;
};

class AmendmentTask : public ::testing::Test {
protected:
    QTemporaryDir top;
    QString folder;  // a folder of its own for each pair
    int pairs = 0;
    QString earlierPath() const { return folder + "/出願時.docx"; }
    QString amendedPath() const { return folder + "/補正後.docx"; }
    QString outputPath() const { return folder + "/手続補正書-補正後.docx"; }

    Outcome Run(const Version& earlier, const Version& amended, engine::TaskOptions options = {}, bool masked = false) {
        folder = top.filePath(QString::number(++pairs));
        QDir().mkpath(folder);
        Write(earlierPath(), earlier);
        Write(amendedPath(), amended);
        const QByteArray earlierBytes = fileBytes(earlierPath()), amendedBytes = fileBytes(amendedPath());
        RecordingHost host;
        host.filePathText = amendedPath();
        options.companionPath = earlierPath();
        host.options = options;
        engine::TaskRunner runner{host};
        runner.RunTask(9);
        EXPECT_EQ(runner.LastOutcome(), engine::RunOutcome::Completed) << host.log.toStdString();
        // Neither input is changed and none is kept as a backup.
        EXPECT_EQ(fileBytes(earlierPath()), earlierBytes);
        EXPECT_EQ(fileBytes(amendedPath()), amendedBytes);
        Outcome out;
        out.log = host.log;
        for (const QString& line : host.logLines())
            if (line.startsWith(QStringLiteral(" .. 手続補正")) && !line.startsWith(QStringLiteral(" .. 手続補正書")))
                out.blockLines << line;
        out.written = QFile::exists(outputPath());
        EXPECT_EQ(folderEntries(folder).size(), out.written ? 3 : 2);
        if (!out.written) return out;
        out.amendment = storyParagraphs(outputPath());
        auto model = word::ooxml::DocumentModel::open(outputPath());
        const QString text = model->text();
        bool inSpan = false;
        for (int pos = 0; pos < text.size(); ++pos) {
            const bool u = model->underlinedAt(pos);
            if (u && !inSpan && !out.underlined.isEmpty()) out.underlined += u'|';
            if (u) out.underlined += text[pos];
            inSpan = u;
        }
        // The round trip.
        auto asRead = [](QStringList lines) {
            lines.replaceInStrings(kPicture, QString(QChar(0x0001)));
            return lines;
        };
        const QStringList applied = ApplyAmendment(asRead(earlier.lines), out.amendment);
        EXPECT_EQ(ComparedText(applied, masked).toStdString(), ComparedText(asRead(amended.lines), masked).toStdString())
            << out.amendment.join("\n").toStdString();
        return out;
    }
};

QString BlockLine(int n, const QString& rest) {
    return QStringLiteral(" .. 手続補正%1：%2").arg(QString(QChar(u'０' + n)), rest);
}

struct EditCase {
    const char* name;
    std::function<QStringList(QStringList)> edit;
    QStringList blocks;     // "明細書 ０００５ 変更", … in order
    QString underlined;     // the underlined spans
    bool renumbered = false;
};

TEST_F(AmendmentTask, DescriptionEditsAreAmendedParagraphByParagraph) {
    const std::vector<EditCase> cases = {
        {"a word changed",
         [](QStringList l) { return Replaced(l, "　座金は鋼製である。", {"　座金はステンレス鋼製である。"}); },
         {"明細書 ０００５ 変更"}, "ステンレス"},
        {"a paragraph inserted, the rest renumbered",
         [](QStringList l) {
             return Renumbered(Replaced(l, "【０００６】", {"【０００６】", "　座金は樹脂で被覆されてもよい。", "【０００７】"}));
         },
         {"明細書 ０００５の２ 追加"}, "座金は樹脂で被覆されてもよい。", true},
        {"a paragraph deleted",
         [](QStringList l) { return Replaced(Replaced(l, "【０００３】", {}), "　しかし、振動で緩みやすい。", {}); },
         {"明細書 ０００３ 削除"}, ""},
        {"a paragraph deleted, its heading kept",
         [](QStringList l) { return Replaced(Replaced(l, "【０００２】", {}), "　従来、ボルトとナットが用いられている。", {}); },
         {"明細書 ０００２ 削除"}, ""},
        {"a paragraph split",
         [](QStringList l) {
             return Renumbered(Replaced(l, "　本発明の締結装置は、座金を備える。座金は平座金である。",
                                        {"　本発明の締結装置は、座金を備える。", "【０００５】", "　座金は平座金である。"}));
         },
         {"明細書 ０００４ 変更", "明細書 ０００４の２ 追加"}, "座金は平座金である。", true},
        {"two paragraphs joined",
         [](QStringList l) {
             l = Replaced(l, "　従来、ボルトとナットが用いられている。",
                          {"　従来、ボルトとナットが用いられているが、振動で緩みやすい。"});
             return Replaced(Replaced(l, "【０００３】", {}), "　しかし、振動で緩みやすい。", {});
         },
         {"明細書 ０００２ 変更", "明細書 ０００３ 削除"}, "が、振動で緩みやすい"},
        {"a paragraph moved",
         [](QStringList l) {
             l = Replaced(l, "　ナットは六角ナットである。", {});
             l = Replaced(l, "【０００６】", {});
             return Renumbered(Replaced(l, "【０００５】", {"【０００５】", "　ナットは六角ナットである。", "【０００６】"}));
         },
         {"明細書 ０００５ 削除", "明細書 ０００６の２ 追加"}, "座金は鋼製である。", true},
        {"the title changed",
         [](QStringList l) { return Replaced(l, "【発明の名称】締結装置", {"【発明の名称】緩み止め締結装置"}); },
         {"明細書 発明の名称 変更"}, "緩み止め"},
        {"a heading added in front of a paragraph",
         [](QStringList l) { return Replaced(l, "【０００６】", {"【発明の効果】", "【０００６】"}); },
         {"明細書 ０００６ 変更"}, "【発明の効果】"},
        {"the abstract changed",
         [](QStringList l) { return Replaced(l, "【課題】緩みにくい締結装置を提供する。", {"【課題】振動で緩みにくい締結装置を提供する。"}); },
         {"要約書 全文 変更"}, "振動で"},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome out = Run({Application()}, {c.edit(Application())}, {}, c.renumbered);
        QStringList expected;
        for (int i = 0; i < c.blocks.size(); ++i) expected << BlockLine(i + 1, c.blocks[i]);
        EXPECT_EQ(out.blockLines, expected) << out.log.toStdString();
        EXPECT_EQ(out.underlined, c.underlined);
        EXPECT_EQ(out.log.contains(QStringLiteral("段落番号が振り直されています")), c.renumbered);
    }
}

TEST_F(AmendmentTask, ClaimsAreAmendedWholeOrClaimByClaim) {
    struct ClaimCase {
        const char* name;
        std::function<QStringList(QStringList)> edit;
        bool each;
        QStringList blocks;
        QString underlined;
    };
    const auto changeClaim2 = [](QStringList l) {
        return Replaced(l, "　前記座金は鋼製である請求項１に記載の締結装置。", {"　前記座金はばね鋼製である請求項１に記載の締結装置。"});
    };
    const auto addClaim4 = [](QStringList l) {
        const qsizetype at = l.indexOf("【書類名】要約書");
        l.insert(at, "【請求項４】");
        l.insert(at + 1, "　前記ボルトは鋼製である請求項１に記載の締結装置。");
        return l;
    };
    const auto deleteClaim3 = [](QStringList l) {
        return Replaced(Replaced(l, "【請求項３】", {}), "　前記ナットは六角ナットである請求項１又は２に記載の締結装置。", {});
    };
    const auto deleteClaim2 = [](QStringList l) {
        l = Replaced(Replaced(l, "【請求項２】", {}), "　前記座金は鋼製である請求項１に記載の締結装置。", {});
        l = Replaced(l, "【請求項３】", {"【請求項２】"});
        return Replaced(l, "　前記ナットは六角ナットである請求項１又は２に記載の締結装置。",
                        {"　前記ナットは六角ナットである請求項１に記載の締結装置。"});
    };
    const std::vector<ClaimCase> cases = {
        {"a claim changed, whole", changeClaim2, false, {"特許請求の範囲 全文 変更"}, "ばね"},
        {"a claim changed, each", changeClaim2, true, {"特許請求の範囲 請求項２ 変更"}, "ばね"},
        {"a claim added, whole", addClaim4, false, {"特許請求の範囲 全文 変更"}, "前記ボルトは鋼製である請求項１に記載の締結装置。"},
        {"a claim added, each", addClaim4, true, {"特許請求の範囲 請求項４ 追加"}, "前記ボルトは鋼製である請求項１に記載の締結装置。"},
        {"a claim deleted, whole", deleteClaim3, false, {"特許請求の範囲 全文 変更"}, ""},
        {"a claim deleted, each", deleteClaim3, true, {"特許請求の範囲 請求項３ 削除"}, ""},
        // The renumbered claim 3 cites one claim less; its label is not underlined.
        {"claims renumbered, each asked", deleteClaim2, true, {"特許請求の範囲 全文 変更"}, ""},
    };
    for (const ClaimCase& c : cases) {
        SCOPED_TRACE(c.name);
        engine::TaskOptions options;
        options.claimsEach = c.each;
        const Outcome out = Run({Application()}, {c.edit(Application())}, options);
        QStringList expected;
        for (int i = 0; i < c.blocks.size(); ++i) expected << BlockLine(i + 1, c.blocks[i]);
        EXPECT_EQ(out.blockLines, expected) << out.log.toStdString();
        EXPECT_EQ(out.underlined, c.underlined);
        EXPECT_FALSE(out.underlined.contains(QStringLiteral("【請求項")));
    }
}

TEST_F(AmendmentTask, AReplacedFigureIsAmendedWithItsNewPicture) {
    Version amended{Application(), qRgb(255, 0, 0)};
    const Outcome out = Run({Application()}, amended);
    EXPECT_EQ(out.blockLines, QStringList{BlockLine(1, "図面 図１ 変更")});
    ASSERT_TRUE(out.written);
    EXPECT_EQ(readZipEntry(outputPath(), "word/media/image1.png"), Png(qRgb(255, 0, 0)));
    EXPECT_TRUE(out.amendment.join("\n").contains(QChar(0x0001)));
}

TEST_F(AmendmentTask, FormattingOnlyAndIdenticalVersionsWriteNothing) {
    QStringList blanks = Application();
    blanks[4] += QStringLiteral("　 ");
    blanks[14] = QStringLiteral("　　") + blanks[14];
    for (const Version& amended : {Version{Application()}, Version{Application(), qRgb(0, 0, 0), true}, Version{blanks}}) {
        const Outcome out = Run({Application()}, amended);
        EXPECT_FALSE(out.written);
        EXPECT_TRUE(out.blockLines.isEmpty());
        EXPECT_TRUE(out.log.contains(QStringLiteral(" .. 変更なし"))) << out.log.toStdString();
    }
}

TEST_F(AmendmentTask, TheFormTheSummaryAndTheUnderlineOption) {
    QStringList lines = Replaced(Application(), "　座金は鋼製である。", {"　座金はステンレス鋼製である。"});
    lines = Replaced(lines, "　前記座金は鋼製である請求項１に記載の締結装置。", {"　前記座金はばね鋼製である請求項１に記載の締結装置。"});
    lines = Replaced(Replaced(lines, "【０００３】", {}), "　しかし、振動で緩みやすい。", {});
    engine::TaskOptions options;
    options.underlineClaimsOnly = true;
    const Outcome out = Run({Application()}, {lines}, options);
    EXPECT_EQ(out.underlined, "ばね");
    EXPECT_TRUE(out.log.contains(QStringLiteral(" .. 補正 3 箇所：変更 2、追加 0、削除 1"))) << out.log.toStdString();
    const QStringList expectedStart = {
        "【書類名】手続補正書", "【あて先】特許庁長官殿", "【事件の表示】", "　【出願番号】", "【補正をする者】",
        "　【識別番号】", "　【氏名又は名称】", "【手続補正１】", "　【補正対象書類名】明細書",
        "　【補正対象項目名】０００３", "　【補正方法】削除", "【手続補正２】", "　【補正対象書類名】明細書",
        "　【補正対象項目名】０００５", "　【補正方法】変更", "　【補正の内容】", "【０００５】", "　座金はステンレス鋼製である。",
    };
    EXPECT_EQ(out.amendment.mid(0, expectedStart.size()), expectedStart);

    // A second run keeps the first amendment as a numbered backup.
    RecordingHost host;
    host.filePathText = amendedPath();
    host.options.companionPath = earlierPath();
    engine::TaskRunner runner{host};
    runner.RunTask(9);
    EXPECT_TRUE(QFile::exists(folder + "/手続補正書-補正後-bak1.docx"));
}

TEST_F(AmendmentTask, NewMatterIsListedInTheLogWhenAsked) {
    const QStringList lines =
        Replaced(Application(), "　座金は鋼製である。", {"　座金は鋼製である。座金はチタン合金で被覆される。"});
    engine::TaskOptions options;
    options.newMatter = true;
    const Outcome out = Run({Application()}, {lines}, options);
    EXPECT_TRUE(out.log.contains(QStringLiteral(" .. 新規事項の可能性：「座金はチタン合金で被覆される。」"))) << out.log.toStdString();
    EXPECT_EQ(out.log.count(QStringLiteral("新規事項の可能性")), 1);
    const Outcome quiet = Run({Application()}, {lines});
    EXPECT_FALSE(quiet.log.contains(QStringLiteral("新規事項")));
}

// Randomised edits of the kinds drafters make, each pair checked by the round trip.
TEST_F(AmendmentTask, RandomEditsPassTheRoundTrip) {
    QRandomGenerator rng(20261207);
    const QStringList words = {"座金", "ボルト", "ばね", "樹脂", "被覆", "振動", "締結", "鋼", "六角"};
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        QStringList base = Application();
        // A longer description: more numbered paragraphs before the claims.
        const qsizetype at = base.indexOf("【書類名】特許請求の範囲");
        for (int k = 8; k < 20; ++k) {
            base.insert(at + 2 * (k - 8), QStringLiteral("【%1】").arg(QString::number(k).rightJustified(4, u'0')));
            base.insert(at + 2 * (k - 8) + 1, QStringLiteral("　実施例%1の%2は%3で形成される。").arg(k).arg(words[k % 9], words[(k * 7) % 9]));
        }
        base = Renumbered(base);
        QStringList edited = base;
        const int edits = 1 + rng.bounded(4);
        bool inserted = false;
        for (int e = 0; e < edits; ++e) {
            // Text lines of numbered paragraphs: the line after a number.
            QList<qsizetype> texts;
            for (qsizetype i = 1; i < edited.size(); ++i)
                if (edited[i - 1].startsWith(QStringLiteral("【０")) && edited[i].startsWith(u'　')) texts << i;
            const qsizetype line = texts[rng.bounded(int(texts.size()))];
            switch (rng.bounded(3)) {
            case 0: {  // a word changed
                QString& t = edited[line];
                const int pos = 1 + rng.bounded(int(t.size()) - 1);
                t.insert(pos, words[rng.bounded(9)]);
                break;
            }
            case 1:  // a paragraph inserted after this one
                edited.insert(line + 1, QStringLiteral("【０００１】"));
                edited.insert(line + 2, QStringLiteral("　追加された%1の説明である。").arg(words[rng.bounded(9)]));
                inserted = true;
                break;
            default:  // a paragraph deleted
                edited.remove(line - 1, 2);
                break;
            }
        }
        if (inserted) edited = Renumbered(edited);
        Run({base}, {edited}, {}, true);
    }
}

}  // namespace
