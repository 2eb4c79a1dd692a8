#pragma once
// Command-line splitting and the two ways the program reads numbers from text.

#include <QString>
#include <QStringList>

#include <optional>

namespace engine {

// Splits a command line at blanks (U+0020 only). `words` receives the words in
// order and `count` their number; an empty line gives count 0 and one empty
// entry. A run of blanks separates like one; tabs and quotation marks are
// ordinary characters. Always returns true.
bool SplitCommandLine(const QString& commandLine, int& count, QStringList& words);

// Lenient reading: blanks are skipped anywhere, the longest leading decimal
// number (sign, digits, one point, exponent) is taken and the rest ignored;
// text that does not begin with a number gives 0.
double LenientNumber(const QString& text);

// Strict reading as a 16-bit integer: the whole text (surrounding blanks
// allowed) must be one decimal number; it is rounded half to even and must
// fit in -32768..32767. Anything else gives no value.
std::optional<short> StrictShort(const QString& text);

// Rounds half to even (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

}  // namespace engine
