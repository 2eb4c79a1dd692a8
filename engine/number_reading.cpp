#include "engine/number_reading.h"

#include <QLocale>

#include <cfenv>
#include <cmath>

namespace engine {

bool SplitCommandLine(const QString& commandLine, int& count, QStringList& words) {
    count = 0;
    words = QStringList{QString()};
    const QChar blank = u' ';

    qsizetype from = 0, to = commandLine.size();
    while (from < to && commandLine.at(from) == blank) ++from;
    while (to > from && commandLine.at(to - 1) == blank) --to;
    const QString line = commandLine.mid(from, to - from);

    qsizetype scan = 0;
    for (;;) {
        const qsizetype gap = line.indexOf(blank, scan);
        if (gap < 0) break;
        ++count;
        words.last() = line.mid(scan, gap - scan);
        words.append(QString());
        scan = gap + 1;
        while (scan < line.size() && line.at(scan) == blank) ++scan;
    }
    if (scan < line.size()) {
        words.last() = line.mid(scan);
        ++count;
    }
    return true;
}

double RoundHalfEven(double value) {
    // nearbyint follows the current rounding mode; the default one rounds
    // halves to the even neighbour, which is the rule wanted here.
    const int saved = std::fegetround();
    if (saved != FE_TONEAREST) std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    if (saved != FE_TONEAREST) std::fesetround(saved);
    return rounded;
}

namespace {

// Reads the longest decimal number at the start of `text`. Returns the number
// of characters taken (0 when the text does not begin with a number) and the
// value.
qsizetype ReadNumber(const QString& text, double& value) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    QString canonical;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) canonical += text[i++];
    qsizetype mantissaDigits = 0;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        canonical += text[i++];
        ++mantissaDigits;
    }
    if (i < n && text[i] == u'.') {
        canonical += text[i++];
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            canonical += text[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        value = 0;
        return 0;
    }
    qsizetype taken = i;
    if (i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        qsizetype j = i + 1;
        QString exponent = QStringLiteral("e");
        if (j < n && (text[j] == u'+' || text[j] == u'-')) exponent += text[j++];
        qsizetype expDigits = 0;
        while (j < n && text[j] >= u'0' && text[j] <= u'9') {
            exponent += text[j++];
            ++expDigits;
        }
        if (expDigits > 0) {
            canonical += exponent;
            taken = j;
        }
    }
    bool ok = false;
    value = QLocale::c().toDouble(canonical, &ok);
    if (!ok) {
        // Out of the range of a double: keep the sign, make it huge.
        value = canonical.startsWith(u'-') ? -HUGE_VAL : HUGE_VAL;
    }
    return taken;
}

}  // namespace

double LenientNumber(const QString& text) {
    QString compact;
    compact.reserve(text.size());
    for (QChar c : text)
        if (c != u' ') compact += c;
    double value = 0;
    ReadNumber(compact, value);
    return value;
}

std::optional<short> StrictShort(const QString& text) {
    qsizetype from = 0, to = text.size();
    while (from < to && text.at(from) == u' ') ++from;
    while (to > from && text.at(to - 1) == u' ') --to;
    const QString body = text.mid(from, to - from);
    double value = 0;
    if (body.isEmpty() || ReadNumber(body, value) != body.size()) return std::nullopt;
    const double rounded = RoundHalfEven(value);
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) return std::nullopt;
    return static_cast<short>(rounded);
}

}  // namespace engine
