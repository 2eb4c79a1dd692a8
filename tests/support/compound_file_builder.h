#pragma once
// Forges small compound files (the container of Word 97-2003 documents) for
// tests: 512-byte sectors, one allocation table sector, one directory sector,
// and up to three streams, each stored in whole sectors of its own.

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

namespace testsupport {

// The first bytes of a Word document stream: identifier 0xA5EC, and the
// "encrypted" flag (bit 8 of the word at offset 10) when asked.
inline QByteArray wordDocumentStream(bool encrypted) {
    QByteArray fib(4096, '\0');
    fib[0] = char(0xEC);
    fib[1] = char(0xA5);
    fib[2] = char(0xC1);  // nFib 193: Word 97
    fib[11] = encrypted ? char(0x01) : char(0x00);
    return fib;
}

inline QByteArray compoundFile(const std::vector<std::pair<QString, QByteArray>>& streams) {
    constexpr int kSector = 512;
    constexpr quint32 kEnd = 0xFFFFFFFE, kFree = 0xFFFFFFFF, kFatSector = 0xFFFFFFFD;
    auto put32 = [](QByteArray& b, int at, quint32 v) {
        for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    auto put16 = [](QByteArray& b, int at, quint32 v) {
        b[at] = char(v & 0xFF);
        b[at + 1] = char((v >> 8) & 0xFF);
    };

    QByteArray header(kSector, '\0');
    header.replace(0, 8, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    put16(header, 24, 0x3E);
    put16(header, 26, 3);
    put16(header, 28, 0xFFFE);
    put16(header, 30, 9);
    put16(header, 32, 6);
    put32(header, 44, 1);     // one allocation table sector
    put32(header, 48, 1);     // the directory in sector 1
    put32(header, 56, 4096);  // mini stream cutoff
    put32(header, 60, kEnd);
    put32(header, 68, kEnd);
    for (int i = 0; i < 109; ++i) put32(header, 76 + 4 * i, i == 0 ? 0 : kFree);

    QByteArray fat(kSector, '\xFF');
    put32(fat, 0, kFatSector);
    put32(fat, 4, kEnd);
    QByteArray directory(kSector, '\0');
    QByteArray body;
    auto entry = [&](int index, const QString& name, int type, quint32 start, quint32 size) {
        const int at = index * 128;
        for (int i = 0; i < name.size(); ++i) put16(directory, at + 2 * i, name.at(i).unicode());
        put16(directory, at + 64, quint32(2 * name.size() + 2));
        directory[at + 66] = char(type);
        for (int sibling : {68, 72, 76}) put32(directory, at + sibling, kFree);
        put32(directory, at + 116, start);
        put32(directory, at + 120, size);
    };
    entry(0, QStringLiteral("Root Entry"), 5, kEnd, 0);
    quint32 next = 2;
    for (std::size_t s = 0; s < streams.size() && s < 3; ++s) {
        QByteArray data = streams[s].second;
        const quint32 size = quint32(data.size());
        data.append(QByteArray((kSector - data.size() % kSector) % kSector, '\0'));
        const quint32 count = quint32(data.size() / kSector);
        entry(int(s) + 1, streams[s].first, 2, next, size);
        for (quint32 i = 0; i < count; ++i) put32(fat, int(4 * (next + i)), i + 1 < count ? next + i + 1 : kEnd);
        next += count;
        body += data;
    }
    return header + fat + directory + body;
}

}  // namespace testsupport
