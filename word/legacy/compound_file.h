#pragma once
// A reader of compound files, the container of Word 97-2003 documents and of
// password-protected .docx packages: the names of the streams and the first
// bytes of one. Every offset and chain is checked against the data and every
// chain is walked at most once per sector, so a damaged or forged file can
// neither make it loop nor read outside the data.

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace word::legacy {

class CompoundFile {
public:
    // Empty when `data` is not a compound file or its header, allocation
    // table or directory is damaged.
    static std::optional<CompoundFile> parse(const QByteArray& data);

    bool hasStream(const QString& name) const;
    // Up to `count` bytes from the start of a stream; fewer when the stream is
    // shorter or its chain breaks off, none when there is no such stream.
    QByteArray streamHead(const QString& name, qint64 count) const;

private:
    struct Entry {
        QString name;
        quint32 start = 0;
        quint64 size = 0;
    };
    const Entry* find(const QString& name) const;
    bool sectorOffset(quint32 sector, quint64& offset) const;
    bool nextSector(quint32 sector, quint32& next) const;
    // The bytes of a chain of regular sectors, up to `count`.
    QByteArray readChain(quint32 start, quint64 count) const;
    quint32 u32(quint64 offset) const;

    QByteArray data_;
    quint64 sectorSize_ = 512;
    quint64 sectorCount_ = 0;
    std::vector<quint32> fatSectors_;
    std::vector<quint32> miniFat_;
    QByteArray miniStream_;
    quint64 miniCutoff_ = 4096;
    std::vector<Entry> streams_;
};

// What a Word 97-2003 file is, judged from its structure.
enum class WordFileKind {
    Readable,           // a compound file with a Word document stream
    PasswordProtected,  // an encrypted document (RC4 or an encrypted .docx package)
    NotWord,            // no Word document inside, or a damaged container
};
WordFileKind ClassifyWordFile(const QByteArray& data);

}  // namespace word::legacy
