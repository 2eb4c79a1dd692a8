// The translator's glossary: its file in either encoding, and each entry
// checked where its source term occurs.

#include "engine/translation/translation_terms.h"
#include "support/translation_docs.h"
#include "word/automation.h"
#include "word/cp932.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using namespace engine::translation;

TEST(TranslationTerms, GlossaryInUtf8OrShiftJis) {
    const QString text = QString::fromUtf8("# 原語\t訳語\n基板\tsubstrate\r\n基板\twafer\nヒータ\theater\n\n説明だけの行\n");
    QTemporaryDir dir;
    for (const QByteArray& bytes : {text.toUtf8(), word::cp932::encode(text)}) {
        const QString path = dir.filePath("glossary.txt");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        const std::vector<GlossaryEntry> entries = ReadGlossary(path);
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries[0].source, QString::fromUtf8("基板"));
        EXPECT_EQ(entries[0].translations, QStringList({"substrate", "wafer"}));
        EXPECT_EQ(entries[1].translations, QStringList({"heater"}));
    }
    try {
        ReadGlossary(dir.filePath("none.txt"));
        FAIL() << "no error";
    } catch (const word::Error& e) {
        EXPECT_TRUE(e.message().startsWith(QString::fromUtf8("用語集「none.txt」を読み込めませんでした"))) << e.message().toStdString();
    }
}

TEST(TranslationTerms, EachEntryWhereItsTermOccurs) {
    auto check = [](const QStringList& source, const QStringList& translation, const QString& glossary) {
        Comparison c = testsupport::compareWritten(source, translation);
        c.glossary = ParseGlossary(glossary);
        return testsupport::summaries(CheckTerms(c));
    };
    EXPECT_EQ(check({"【０００１】", "基板を加熱する。"}, {"[0001]", "The Substrates are heated."}, "基板\tsubstrate"), QStringList());
    EXPECT_EQ(check({"【０００１】", "基板を加熱する。"}, {"[0001]", "The board is heated."}, "基板\tsubstrate"),
              QStringList({"用語|[0001]|「基板」の訳が用語集の「substrate」でない"}));
    EXPECT_EQ(check({"【０００１】", "基板を加熱する。"}, {"[0001]", "The wafer is heated."}, "基板\tsubstrate\n基板\twafer"),
              QStringList());
    EXPECT_EQ(check({"[0001]", "The Heater is on."}, {"【０００１】", "加熱器が作動する。"}, "heater\tヒータ"),
              QStringList({"用語|【０００１】|「heater」の訳が用語集の「ヒータ」でない"}));
}

}  // namespace
