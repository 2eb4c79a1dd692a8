// The alignment of two versions' units by content, and the characters an
// amended text adds.

#include "engine/amendment/amendment_alignment.h"

#include <gtest/gtest.h>

using namespace engine::amendment;

namespace {

std::vector<Unit> Units(const QStringList& texts) {
    std::vector<Unit> units;
    for (const QString& t : texts) {
        Unit u;
        u.text = u.key = t;
        units.push_back(u);
    }
    return units;
}

// Each step as e.g. "=0/0", "~1/1" (changed), "-2" (deleted), "+3@1" (added after earlier 1).
QStringList Steps(const QStringList& earlier, const QStringList& amended) {
    QStringList out;
    for (const AlignedUnit& a : AlignUnits(Units(earlier), Units(amended))) {
        if (a.earlier < 0) out << QStringLiteral("+%1@%2").arg(a.amended).arg(a.after);
        else if (a.amended < 0) out << QStringLiteral("-%1").arg(a.earlier);
        else out << QStringLiteral("%1%2/%3").arg(a.changed ? "~" : "=").arg(a.earlier).arg(a.amended);
    }
    return out;
}

TEST(AmendmentAlignment, UnitsAlignByContent) {
    const QStringList base = {"装置の構成を説明する。", "基板を搬入する。", "温度を保つ。", "基板を搬出する。"};
    struct Case {
        const char* name;
        QStringList amended;
        QStringList steps;
    } cases[] = {
        {"identical", base, {"=0/0", "=1/1", "=2/2", "=3/3"}},
        {"one inserted", {base[0], base[1], "圧力を下げる。", base[2], base[3]}, {"=0/0", "=1/1", "+2@1", "=2/3", "=3/4"}},
        {"one deleted", {base[0], base[2], base[3]}, {"=0/0", "-1", "=2/1", "=3/2"}},
        {"one changed", {base[0], "基板を一枚ずつ搬入する。", base[2], base[3]}, {"=0/0", "~1/1", "=2/2", "=3/3"}},
        // The new paragraph in front of the changed one is not taken for it.
        {"inserted before a changed one",
         {base[0], "全く別の段落である。", "基板を一枚ずつ搬入する。", base[2], base[3]},
         {"=0/0", "+1@0", "~1/2", "=2/3", "=3/4"}},
        {"moved", {base[0], base[2], base[1], base[3]}, {"=0/0", "-1", "=2/1", "+2@2", "=3/3"}},
        {"repeated texts", {"同上。", "同上。", "同上。"}, {"-0", "-1", "-2", "-3", "+0@3", "+1@3", "+2@3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Steps(base, c.amended), c.steps);
    }
}

TEST(AmendmentAlignment, AddedCharactersAreThoseOutsideTheCommonSubsequence) {
    auto marked = [](const QString& earlier, const QString& amended) {
        QString out;
        const std::vector<bool> added = AddedCharacters(earlier, amended);
        for (qsizetype i = 0; i < amended.size(); ++i) out += added[size_t(i)] ? amended[i] : QChar(u'・');
        return out;
    };
    EXPECT_EQ(marked("座金は鋼製である。", "座金はステンレス鋼製である。"), QStringLiteral("・・・ステンレス・・・・・・"));
    EXPECT_EQ(marked("請求項１又は２に記載の", "請求項１に記載の"), QStringLiteral("・・・・・・・・"));
    EXPECT_EQ(marked("", "新しい"), QStringLiteral("新しい"));
    EXPECT_EQ(marked("同じ", "同じ"), QStringLiteral("・・"));
}

}  // namespace
