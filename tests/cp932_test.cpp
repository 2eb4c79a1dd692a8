#include "word/cp932.h"

#include <gtest/gtest.h>

using namespace word;

namespace {
QByteArray bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values) b.append(static_cast<char>(v));
    return b;
}
}  // namespace

TEST(Cp932Encode, AsciiKanaAndKanjiTakeTheirWindowsCodes) {
    EXPECT_EQ(cp932::encode(QStringLiteral("Ab1\\~")), QByteArray("Ab1\\~"));
    EXPECT_EQ(cp932::encode(QStringLiteral("ｱ")), bytes({0xB1}));
    EXPECT_EQ(cp932::encode(QStringLiteral("原文")), bytes({0x8C, 0xB4, 0x95, 0xB6}));
    EXPECT_EQ(cp932::encode(QStringLiteral("【０００１】")),
              bytes({0x81, 0x79, 0x82, 0x4F, 0x82, 0x4F, 0x82, 0x4F, 0x82, 0x50, 0x81, 0x7A}));
    // Characters of the Windows extensions: circled digit, NEC-selected kanji.
    EXPECT_EQ(cp932::encode(QStringLiteral("①")), bytes({0x87, 0x40}));
    EXPECT_EQ(cp932::encode(QStringLiteral("髙")), bytes({0xFB, 0xFC}));
    EXPECT_EQ(cp932::encode(QStringLiteral("\r\r\n")), QByteArray("\r\r\n"));
}

TEST(Cp932Encode, WaveDashAndOtherCharactersMapAsWindowsDoes) {
    // 〜 (U+301C) and ～ (U+FF5E) are both written as 0x8160; reading gives ～.
    EXPECT_EQ(cp932::encode(QStringLiteral("〜")), bytes({0x81, 0x60}));
    EXPECT_EQ(cp932::encode(QStringLiteral("～")), bytes({0x81, 0x60}));
    EXPECT_EQ(cp932::decode(bytes({0x81, 0x60})), QStringLiteral("～"));
    EXPECT_EQ(cp932::encode(QStringLiteral("°’")), bytes({0x81, 0x8B, 0x81, 0x66}));
    EXPECT_EQ(cp932::encode(QStringLiteral("−")), bytes({0x81, 0x7C}));
}

TEST(Cp932Encode, UnmappableCharactersBecomeQuestionMarks) {
    bool lossy = false;
    EXPECT_EQ(cp932::encode(QStringLiteral("a€b"), &lossy), QByteArray("a?b"));
    EXPECT_TRUE(lossy);
    // A character outside the basic plane is one "?", not two.
    EXPECT_EQ(cp932::encode(QStringLiteral("x😀y漢"), &lossy), QByteArray("x?y") + bytes({0x8A, 0xBF}));
    EXPECT_TRUE(lossy);
    EXPECT_EQ(cp932::encode(QStringLiteral("€€"), &lossy), QByteArray("??"));
    cp932::encode(QStringLiteral("plain 日本語"), &lossy);
    EXPECT_FALSE(lossy);
    EXPECT_EQ(cp932::encode(QString(), &lossy), QByteArray());
    EXPECT_FALSE(lossy);
}

TEST(Cp932Encode, LongTextSurvivesTheBufferGrowing) {
    QString text;
    for (int i = 0; i < 5000; ++i) text += QStringLiteral("ｱ日€a");
    bool lossy = false;
    const QByteArray b = cp932::encode(text, &lossy);
    EXPECT_TRUE(lossy);
    EXPECT_EQ(b.size(), 5000 * 5);
    EXPECT_EQ(cp932::decode(b), QString(text).replace(QStringLiteral("€"), QStringLiteral("?")));
}

TEST(Cp932Encode, AppendsWithoutCuttingACharacterBetweenPieces) {
    // The text goes through in pieces of 4,096 code units: a pair across the
    // edge of one is still one character, a lone surrogate one "?".
    QByteArray out("head");
    EXPECT_FALSE(cp932::appendEncoded(out, QString(4095, u'a') + QStringLiteral("😀b")));
    EXPECT_EQ(out, "head" + QByteArray(4095, 'a') + "?b");
    EXPECT_FALSE(cp932::appendEncoded(out, QString(QChar(0xD800)) + QStringLiteral("日")));
    EXPECT_EQ(out.sliced(4 + 4095 + 2), "?" + bytes({0x93, 0xFA}));
    EXPECT_TRUE(cp932::appendEncoded(out, u"x"));
    EXPECT_TRUE(out.endsWith("x"));
}

TEST(Cp932Decode, RoundTripsAndMarksInvalidBytes) {
    const QString text = QStringLiteral("【技術分野】\r\nThe device ｶﾅ 20°C\r\n");
    EXPECT_EQ(cp932::decode(cp932::encode(text)), text);
    // 0xA0 is not a lead byte; a lead byte at the end is cut off.
    EXPECT_EQ(cp932::decode(bytes({'a', 0xA0, 'b'})), QStringLiteral("a\uFFFDb"));
    EXPECT_EQ(cp932::decode(bytes({'a', 0x82})), QStringLiteral("a\uFFFD"));
}

TEST(Cp932Encodable, TellsWhetherTheCodePageHasTheCharacter) {
    EXPECT_TRUE(cp932::encodable(U'A'));
    EXPECT_TRUE(cp932::encodable(U'\r'));
    EXPECT_TRUE(cp932::encodable(U'あ'));
    EXPECT_TRUE(cp932::encodable(U'ｱ'));
    EXPECT_TRUE(cp932::encodable(U'〜'));
    EXPECT_TRUE(cp932::encodable(U'①'));
    EXPECT_FALSE(cp932::encodable(U'€'));
    EXPECT_FALSE(cp932::encodable(U'😀'));
    EXPECT_FALSE(cp932::encodable(0xD800));
    EXPECT_FALSE(cp932::encodable(0x110000));
}

TEST(Cp932ByteLength, OneByteForAsciiAndHalfWidthKanaTwoForTheRest) {
    EXPECT_EQ(cp932::byteLength(QString()), 0);
    EXPECT_EQ(cp932::byteLength(QStringLiteral("abc \r")), 5);
    EXPECT_EQ(cp932::byteLength(QStringLiteral("｡ﾟ")), 2);        // U+FF61 and U+FF9F
    EXPECT_EQ(cp932::byteLength(QStringLiteral("｠ￂ")), 4);        // U+FF60, U+FFC2: outside the range
    EXPECT_EQ(cp932::byteLength(QStringLiteral("日本")), 4);
    EXPECT_EQ(cp932::byteLength(QStringLiteral("°’")), 4);
    EXPECT_EQ(cp932::byteLength(QStringLiteral("é€")), 4);         // not in the code page: still two
    EXPECT_EQ(cp932::byteLength(QStringLiteral("😀")), 2);         // a surrogate pair is one character
}
