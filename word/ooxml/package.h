#pragma once
// A .docx package: the zip container and its parts. Opened into memory;
// saving writes a complete new package in which every part that was not
// replaced is copied byte for byte (raw compressed copy, same entry order).

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

namespace word::ooxml {

struct DeflatedPart;

class Package {
public:
    // Throws word::Error with a user-facing message for: a missing or unreadable
    // file, a file that is not a zip (legacy .doc/RTF),
    // a truncated or damaged zip, an encrypted document, a part whose declared
    // or actual size passes the bound, a package without a main document part.
    static std::unique_ptr<Package> open(const QString& path);
    ~Package();

    // The file the package was opened from.
    const QString& sourcePath() const;
    // The main document part, found through _rels/.rels (e.g. "word/document.xml").
    const QString& mainPartName() const { return mainPart_; }
    bool hasPart(const QString& name) const;
    QStringList partNames() const;  // in the zip's order
    // The uncompressed bytes of a part (a replaced part: its new bytes); empty
    // when the package has no such part. Throws word::Error when it is damaged.
    QByteArray readPart(const QString& name) const;
    // The same bytes, handed over: the package keeps no copy of its own (a
    // later readPart inflates the part again).
    QByteArray takePart(const QString& name);
    // Replaces a part's bytes for the next save (a name the package does not
    // hold adds a part at the end; its content type is the caller's business).
    void setPart(const QString& name, const QByteArray& data);
    // Replaces a part with bytes already deflated as they were written (see
    // part_deflate.h): saved into the zip as they are.
    void setDeflatedPart(const QString& name, const DeflatedPart& part);
    // Resolves a relationship of a part (e.g. an image "rId5" of the main part)
    // to the target part's name; empty when absent or external.
    QString relationshipTarget(const QString& sourcePart, const QString& relId) const;
    // Whether that relationship exists and points outside the package (TargetMode="External").
    bool relationshipIsExternal(const QString& sourcePart, const QString& relId) const;

    // Writes the package to `path` through a temporary file in the same folder,
    // flushed and renamed into place (word/atomic_file.h: a link at `path` is
    // replaced, not followed; no wider permissions than the file the package
    // was opened from). Nothing is left behind on failure.
    void save(const QString& path) const;

    // The bound on a part's uncompressed size.
    static constexpr qint64 kMaxPartSize = 512LL * 1024 * 1024;
    // The bound on the uncompressed size of all parts together, and on the
    // size of the package file itself.
    static constexpr qint64 kMaxTotalSize = 1024LL * 1024 * 1024;

    // Tests only: lowers the two bounds above (0 restores them).
    static void setSizeLimitsForTesting(qint64 maxPartSize, qint64 maxTotalSize);

private:
    Package() = default;
    struct Impl;
    std::unique_ptr<Impl> impl_;
    QString mainPart_;
};

}  // namespace word::ooxml
