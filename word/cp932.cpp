#include "word/cp932.h"

#include "word/automation.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

namespace word::cp932 {

namespace {

// One iconv descriptor per direction and thread, opened on first use. glibc's
// "CP932" is the Windows variant: 〜 (U+301C) is written as 0x8160 and read
// back as ～ (U+FF5E), as Windows does.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw Error(QStringLiteral("文字コード変換（%1 → %2）を利用できません。")
                            .arg(QString::fromLatin1(from), QString::fromLatin1(to)));
    }
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `size` bytes at `in` into `out`, which has room for any input
    // (the caller makes sure), and returns how many bytes it wrote. At an
    // input sequence that cannot be converted, substitute(pointer, remaining)
    // returns the bytes to write instead and how many input bytes to skip.
    template <typename Substitute>
    size_t run(const char* in, size_t size, char* out, Substitute substitute) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in);
        size_t srcLeft = size;
        char* dst = out;
        size_t dstLeft = std::numeric_limits<size_t>::max() / 2;  // the room is the caller's
        while (srcLeft > 0) {
            if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1)) break;
            if (errno == E2BIG)  // cannot happen: the room is enough for any input
                throw Error(QStringLiteral("文字コードの変換に失敗しました。"));
            // EILSEQ or EINVAL (a sequence cut off at the end of the input).
            const auto [bytes, skip] = substitute(src, srcLeft);
            const size_t n = static_cast<size_t>(bytes.size());
            std::memcpy(dst, bytes.data(), n);
            dst += n;
            dstLeft -= n;
            src += skip;
            srcLeft -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return static_cast<size_t>(dst - out);
    }

private:
    iconv_t cd_;
};

// The other side is WCHAR_T (UCS-4 in host order), glibc's own internal form,
// so each conversion is one step. With a two-step conversion (from UTF-8, say)
// glibc redoes the first step up to every unconvertible character, which made
// a text with many of them quadratic.
static_assert(sizeof(wchar_t) == 4 && sizeof(char32_t) == 4);

Converter& encoder() {
    thread_local Converter c("CP932", "WCHAR_T");
    return c;
}

Converter& decoder() {
    thread_local Converter c("WCHAR_T", "CP932");
    return c;
}

}  // namespace

bool appendEncoded(QByteArray& out, QStringView text) {
    bool replaced = false;
    // The text goes through in pieces, so that a long text is never held
    // again whole as UCS-4; a surrogate pair is never cut.
    constexpr qsizetype kPiece = 4096;
    char32_t ucs4[kPiece];
    for (qsizetype at = 0; at < text.size();) {
        qsizetype n = 0;
        while (n < kPiece && at < text.size()) {
            const char16_t c = text[at++].unicode();
            if (QChar::isHighSurrogate(c) && at < text.size() && QChar::isLowSurrogate(text[at].unicode()))
                ucs4[n++] = QChar::surrogateToUcs4(c, text[at++].unicode());
            else  // a lone surrogate becomes U+FFFD, which the code page lacks: "?"
                ucs4[n++] = QChar::isSurrogate(c) ? char32_t(0xFFFD) : char32_t(c);
        }
        // Every character gives at most two bytes (or one "?").
        const qsizetype start = out.size();
        if (out.capacity() - start < 2 * n) out.reserve(std::max(start + 2 * n, 2 * out.capacity()));
        out.resize(start + 2 * n);
        const size_t written = encoder().run(reinterpret_cast<const char*>(ucs4), size_t(n) * 4, out.data() + start,
                                             [&](const char*, size_t left) {
                                                 replaced = true;
                                                 return std::pair(QByteArrayView("?"), std::min<size_t>(4, left));
                                             });
        out.resize(start + qsizetype(written));
    }
    return !replaced;
}

QByteArray encode(const QString& text, bool* lossy) {
    QByteArray out;
    const bool whole = appendEncoded(out, text);
    if (lossy) *lossy = !whole;
    return out;
}

QString decode(const QByteArray& bytes) {
    QByteArray ucs4;
    // Every byte gives at most one character.
    ucs4.resize(bytes.size() * 4);
    const size_t written = decoder().run(bytes.constData(), size_t(bytes.size()), ucs4.data(), [](const char*, size_t) {
        // U+FFFD for a byte that is not CP932 (or a lead byte cut off at the end).
        static const char32_t replacement = 0xFFFD;
        return std::pair(QByteArrayView(reinterpret_cast<const char*>(&replacement), 4), size_t{1});
    });
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(ucs4.constData()), qsizetype(written / 4));
}

bool encodable(char32_t codePoint) {
    if (codePoint < 0x80) return true;
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return false;
    bool lossy = false;
    encode(QString::fromUcs4(&codePoint, 1), &lossy);
    return !lossy;
}

int byteLength(const QString& text) {
    int bytes = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            ++i;
            bytes += 2;
        } else if (c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F)) {
            bytes += 1;
        } else {
            bytes += 2;
        }
    }
    return bytes;
}

}  // namespace word::cp932
