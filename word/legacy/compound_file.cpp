#include "word/legacy/compound_file.h"

#include <algorithm>

namespace word::legacy {

namespace {

const QByteArray kSignature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
constexpr quint32 kMaxRegular = 0xFFFFFFFA;  // larger sector numbers are markers
constexpr quint64 kHeaderSize = 512;
constexpr quint64 kEntrySize = 128;
constexpr quint64 kMiniSectorSize = 64;
constexpr int kStreamType = 2;
constexpr int kRootType = 5;

// The word document's file information block starts with the identifier
// 0xA5EC; bit 8 of the flags at offset 10 marks an encrypted document.
constexpr quint16 kWordIdentifier = 0xA5EC;
constexpr quint16 kEncryptedFlag = 0x0100;

}  // namespace

quint32 CompoundFile::u32(quint64 offset) const {
    const auto* b = reinterpret_cast<const unsigned char*>(data_.constData()) + offset;
    return quint32(b[0]) | (quint32(b[1]) << 8) | (quint32(b[2]) << 16) | (quint32(b[3]) << 24);
}

bool CompoundFile::sectorOffset(quint32 sector, quint64& offset) const {
    if (sector >= kMaxRegular) return false;
    offset = (quint64(sector) + 1) * sectorSize_;
    return offset + sectorSize_ <= static_cast<quint64>(data_.size());
}

bool CompoundFile::nextSector(quint32 sector, quint32& next) const {
    const quint64 perSector = sectorSize_ / 4;
    const quint64 index = sector / perSector;
    quint64 offset;
    if (index >= fatSectors_.size() || !sectorOffset(fatSectors_[index], offset)) return false;
    next = u32(offset + (sector % perSector) * 4);
    return true;
}

QByteArray CompoundFile::readChain(quint32 start, quint64 count) const {
    QByteArray out;
    quint32 sector = start;
    for (quint64 steps = 0; sector < kMaxRegular && static_cast<quint64>(out.size()) < count; ++steps) {
        quint64 offset;
        if (steps > sectorCount_ || !sectorOffset(sector, offset)) break;
        const quint64 take = std::min(sectorSize_, count - static_cast<quint64>(out.size()));
        out.append(data_.constData() + offset, static_cast<qsizetype>(take));
        if (!nextSector(sector, sector)) break;
    }
    return out;
}

std::optional<CompoundFile> CompoundFile::parse(const QByteArray& data) {
    if (data.size() < static_cast<qsizetype>(kHeaderSize) || !data.startsWith(kSignature)) return std::nullopt;
    CompoundFile file;
    file.data_ = data;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    const quint32 shift = bytes[30] | (bytes[31] << 8);
    if (shift != 9 && shift != 12) return std::nullopt;
    file.sectorSize_ = quint64(1) << shift;
    const quint64 size = static_cast<quint64>(data.size());
    file.sectorCount_ = (size - kHeaderSize + file.sectorSize_ - 1) / file.sectorSize_ + 1;
    file.miniCutoff_ = file.u32(56);

    // The allocation table's own sectors: 109 in the header, the rest in the DIFAT chain.
    const quint64 fatCount = std::min<quint64>(file.u32(44), file.sectorCount_);
    for (quint64 i = 0; i < 109 && file.fatSectors_.size() < fatCount; ++i)
        file.fatSectors_.push_back(file.u32(76 + 4 * i));
    quint32 difat = file.u32(68);
    const quint64 perSector = file.sectorSize_ / 4;
    for (quint64 steps = 0; file.fatSectors_.size() < fatCount && difat < kMaxRegular; ++steps) {
        quint64 offset;
        if (steps > file.sectorCount_ || !file.sectorOffset(difat, offset)) return std::nullopt;
        for (quint64 i = 0; i + 1 < perSector && file.fatSectors_.size() < fatCount; ++i)
            file.fatSectors_.push_back(file.u32(offset + 4 * i));
        difat = file.u32(offset + file.sectorSize_ - 4);
    }

    // The directory: every stream with its start and size; the root entry
    // holds the mini stream, in which the small streams lie.
    const QByteArray directory = file.readChain(file.u32(48), size);
    if (directory.isEmpty()) return std::nullopt;
    const auto* dir = reinterpret_cast<const unsigned char*>(directory.constData());
    std::optional<Entry> root;
    for (quint64 e = 0; e + kEntrySize <= static_cast<quint64>(directory.size()); e += kEntrySize) {
        const unsigned char* entry = dir + e;
        const int type = entry[66];
        if (type != kStreamType && type != kRootType) continue;
        const quint32 nameBytes = std::min<quint32>(entry[64] | (entry[65] << 8), 64);
        Entry item;
        for (quint32 i = 0; i + 3 < nameBytes; i += 2) item.name += QChar(char16_t(entry[i] | (entry[i + 1] << 8)));
        item.start = quint32(entry[116]) | (quint32(entry[117]) << 8) | (quint32(entry[118]) << 16) |
                     (quint32(entry[119]) << 24);
        for (int i = 7; i >= 0; --i) item.size = (item.size << 8) | entry[120 + i];
        if (type == kRootType && !root) root = item;
        if (type == kStreamType) file.streams_.push_back(item);
    }
    if (root) {
        file.miniStream_ = file.readChain(root->start, std::min(root->size, size));
        const QByteArray miniFat = file.readChain(file.u32(60), std::min<quint64>(quint64(file.u32(64)) * file.sectorSize_, size));
        for (qsizetype i = 0; i + 4 <= miniFat.size(); i += 4)
            file.miniFat_.push_back(quint32(uchar(miniFat[i])) | (quint32(uchar(miniFat[i + 1])) << 8) |
                                    (quint32(uchar(miniFat[i + 2])) << 16) | (quint32(uchar(miniFat[i + 3])) << 24));
    }
    return file;
}

const CompoundFile::Entry* CompoundFile::find(const QString& name) const {
    for (const Entry& e : streams_)
        if (e.name.compare(name, Qt::CaseInsensitive) == 0) return &e;
    return nullptr;
}

bool CompoundFile::hasStream(const QString& name) const { return find(name) != nullptr; }

QByteArray CompoundFile::streamHead(const QString& name, qint64 count) const {
    const Entry* e = find(name);
    if (!e || count <= 0) return {};
    const quint64 want = std::min<quint64>(static_cast<quint64>(count), e->size);
    if (e->size >= miniCutoff_) return readChain(e->start, want);
    // A small stream: a chain of 64-byte sectors in the mini stream.
    QByteArray out;
    quint32 sector = e->start;
    for (quint64 steps = 0; sector < kMaxRegular && static_cast<quint64>(out.size()) < want; ++steps) {
        const quint64 offset = quint64(sector) * kMiniSectorSize;
        if (steps > miniFat_.size() || offset + kMiniSectorSize > static_cast<quint64>(miniStream_.size())) break;
        const quint64 take = std::min(kMiniSectorSize, want - static_cast<quint64>(out.size()));
        out.append(miniStream_.constData() + offset, static_cast<qsizetype>(take));
        if (sector >= miniFat_.size()) break;
        sector = miniFat_[sector];
    }
    return out;
}

WordFileKind ClassifyWordFile(const QByteArray& data) {
    const std::optional<CompoundFile> file = CompoundFile::parse(data);
    if (!file) return WordFileKind::NotWord;
    if (file->hasStream(QStringLiteral("EncryptedPackage"))) return WordFileKind::PasswordProtected;
    const QByteArray fib = file->streamHead(QStringLiteral("WordDocument"), 12);
    if (fib.size() < 12) return WordFileKind::NotWord;
    const auto u16 = [&](int at) { return quint16(uchar(fib[at]) | (uchar(fib[at + 1]) << 8)); };
    if (u16(0) != kWordIdentifier) return WordFileKind::NotWord;
    if (u16(10) & kEncryptedFlag) return WordFileKind::PasswordProtected;
    return WordFileKind::Readable;
}

}  // namespace word::legacy
