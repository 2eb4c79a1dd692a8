#include "word/ooxml/package.h"

#include "word/atomic_file.h"
#include "word/automation.h"
#include "word/legacy/compound_file.h"
#include "word/ooxml/part_deflate.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <pugixml.hpp>
#include <zip.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <set>
#include <vector>

namespace word::ooxml {

namespace {

std::atomic<qint64> gMaxPartSize{0};
std::atomic<qint64> gMaxTotalSize{0};

qint64 maxPartSize() {
    qint64 v = gMaxPartSize.load();
    return v > 0 ? v : Package::kMaxPartSize;
}

qint64 maxTotalSize() {
    qint64 v = gMaxTotalSize.load();
    return v > 0 ? v : Package::kMaxTotalSize;
}

QString megabytes(qint64 bytes) {
    if (bytes >= 1024 * 1024) return QString::number(bytes / (1024 * 1024)) + " MB";
    return QString::number(bytes) + QStringLiteral(" バイト");
}

const char* const kOfficeDocumentTypes[] = {
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument",
    "http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument",
};

// Content types a Word main document part may carry (document, template,
// their macro-enabled forms); Strict documents use the same ones.
const char* const kMainContentTypes[] = {
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml",
    "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml",
    "application/vnd.ms-word.document.macroEnabled.main+xml",
    "application/vnd.ms-word.template.macroEnabledTemplate.main+xml",
};

[[noreturn]] void fail(const QString& path, const QString& reason) {
    throw Error(path + QStringLiteral("：") + reason);
}

// ---- part names -------------------------------------------------------------

// Resolves a relationship target against the folder of its source part and
// returns a part name without the leading slash ("" when it leaves the package).
QString resolveTarget(const QString& sourcePart, const QString& target) {
    QString t = QUrl::fromPercentEncoding(target.toUtf8());
    int cut = t.indexOf(QLatin1Char('#'));
    if (cut >= 0) t.truncate(cut);
    QStringList segments;
    if (!t.startsWith(QLatin1Char('/'))) {
        segments = sourcePart.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (!segments.isEmpty()) segments.removeLast();  // the source part's own name
    }
    const QStringList parts = t.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& s : parts) {
        if (s == QLatin1String(".")) continue;
        if (s == QLatin1String("..")) {
            if (segments.isEmpty()) return {};
            segments.removeLast();
            continue;
        }
        segments << s;
    }
    return segments.join(QLatin1Char('/'));
}

// "word/document.xml" -> "word/_rels/document.xml.rels"; "" -> "_rels/.rels".
QString relationshipsPartOf(const QString& sourcePart) {
    int slash = sourcePart.lastIndexOf(QLatin1Char('/'));
    QString folder = slash >= 0 ? sourcePart.left(slash + 1) : QString();
    QString name = slash >= 0 ? sourcePart.mid(slash + 1) : sourcePart;
    return folder + "_rels/" + name + ".rels";
}

bool isRelationshipsPart(const QString& name) {
    return name.endsWith(QLatin1String(".rels"), Qt::CaseInsensitive) &&
           (name.startsWith(QLatin1String("_rels/"), Qt::CaseInsensitive) ||
            name.contains(QLatin1String("/_rels/"), Qt::CaseInsensitive));
}

struct Relationship {
    QString target;  // resolved part name; empty for an external target
    bool external = false;
};

}  // namespace

// ---- the package --------------------------------------------------------------

struct Package::Impl {
    QString path;
    QByteArray fileData;  // the whole package file; the archive reads from it
    zip_t* archive = nullptr;

    struct Entry {
        QString name;
        QByteArray rawName;  // the name's bytes as stored
        zip_uint64_t index = 0;
        zip_uint64_t size = 0;
        zip_int32_t method = 0;
        time_t mtime = 0;
        bool hasMtime = false;
    };
    std::vector<Entry> entries;
    std::map<QString, std::size_t> byName;     // exact names
    std::map<QString, std::size_t> byFolded;   // case-folded names (part names ignore case)

    std::map<QString, QByteArray> replaced;    // parts set by setPart
    std::vector<QString> addedOrder;           // names set by setPart that the zip did not hold
    std::map<QString, DeflatedPart> deflated;  // parts set by setDeflatedPart
    mutable std::map<QString, QByteArray> cache;
    mutable std::map<QString, std::map<QString, Relationship>> relationships;

    ~Impl() {
        if (archive) zip_discard(archive);
    }

    const Entry* find(const QString& name) const {
        auto it = byName.find(name);
        if (it != byName.end()) return &entries[it->second];
        auto f = byFolded.find(name.toCaseFolded());
        return f != byFolded.end() ? &entries[f->second] : nullptr;
    }

    // Decompresses an entry, checking its size against the bounds and its
    // checksum; `keep` false only verifies it.
    QByteArray inflate(const Entry& e, bool keep) const {
        if (static_cast<qint64>(e.size) > maxPartSize())
            fail(path, QStringLiteral("部品「%1」が大きすぎます（展開後 %2 超）。圧縮爆弾の可能性があります").arg(e.name, megabytes(maxPartSize())));
        zip_file_t* file = zip_fopen_index(archive, e.index, 0);
        if (!file) fail(path, damaged(e.name, zip_error_strerror(zip_get_error(archive))));
        // The buffer grows as data arrives rather than trusting the declared
        // size with a large allocation up front.
        constexpr quint64 kFirstAllocation = 16 * 1024 * 1024;
        QByteArray out;
        // reserve first: resize alone leaves spare capacity behind a part
        // that may be kept for the whole run.
        auto growTo = [&out](quint64 size) {
            out.reserve(static_cast<qsizetype>(size));
            out.resize(static_cast<qsizetype>(size));
        };
        if (keep) growTo(std::min<quint64>(e.size, kFirstAllocation));
        char buffer[65536];
        quint64 total = 0;
        for (;;) {
            // A kept part is read straight into place; once it is full (and
            // always when only checking), into the scratch buffer, so that
            // data beyond the declared size is noticed.
            const bool direct = keep && total < e.size;
            if (direct && total == static_cast<quint64>(out.size())) growTo(std::min<quint64>(e.size, 2 * total));
            char* into = direct ? out.data() + total : buffer;
            const zip_uint64_t want = direct ? static_cast<quint64>(out.size()) - total : sizeof buffer;
            zip_int64_t n = zip_fread(file, into, want);
            if (n < 0) {
                QString why = QString::fromUtf8(zip_error_strerror(zip_file_get_error(file)));
                zip_fclose(file);
                fail(path, damaged(e.name, why));
            }
            if (n == 0) break;
            total += static_cast<quint64>(n);
            // More data than the entry declares: stop at once rather than
            // inflating whatever the stream would give.
            if (total > e.size) {
                zip_fclose(file);
                if (static_cast<qint64>(total) > maxPartSize())
                    fail(path, QStringLiteral("部品「%1」が大きすぎます（展開後 %2 超）。圧縮爆弾の可能性があります").arg(e.name, megabytes(maxPartSize())));
                fail(path, damaged(e.name, QStringLiteral("宣言より多くのデータがあります")));
            }
        }
        zip_fclose(file);
        if (total != e.size) fail(path, damaged(e.name, QStringLiteral("宣言よりデータが少なくなっています")));
        if (keep) out.resize(static_cast<qsizetype>(total));
        return out;
    }

    static QString damaged(const QString& part, const QString& why) {
        return QStringLiteral(".docx パッケージが壊れているか、途中で切れています（部品「%1」：%2）").arg(part, why);
    }

    QByteArray read(const QString& name) const {
        const Entry* e = find(name);
        auto r = replaced.find(e ? e->name : name);
        if (r != replaced.end()) return r->second;
        if (!e) return {};
        if (auto d = deflated.find(e->name); d != deflated.end()) return inflatePart(d->second);
        auto c = cache.find(e->name);
        if (c != cache.end()) return c->second;
        return inflate(*e, true);
    }

    pugi::xml_document parseXml(const QString& name, const QByteArray& bytes) const {
        pugi::xml_document doc;
        // pugixml never loads external entities or DTDs; parse_default does
        // not even expand internal ones beyond the predefined five.
        pugi::xml_parse_result result = doc.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()));
        if (!result)
            fail(path, QStringLiteral("部品「%1」の XML が壊れています（%2、%3 バイト目）")
                           .arg(name, QString::fromUtf8(result.description()))
                           .arg(result.offset));
        return doc;
    }

    const std::map<QString, Relationship>& relationshipsOf(const QString& sourcePart) const {
        auto it = relationships.find(sourcePart);
        if (it != relationships.end()) return it->second;
        std::map<QString, Relationship> rels;
        const QString relsName = relationshipsPartOf(sourcePart);
        if (replaced.count(relsName) || find(relsName)) {
            pugi::xml_document doc = parseXml(relsName, read(relsName));
            for (pugi::xml_node r : doc.document_element().children()) {
                if (std::strcmp(localName(r.name()), "Relationship") != 0) continue;
                Relationship rel;
                rel.external =
                    QString::fromUtf8(r.attribute("TargetMode").value()).compare("External", Qt::CaseInsensitive) == 0;
                if (!rel.external)
                    rel.target = resolveTarget(sourcePart, QString::fromUtf8(r.attribute("Target").value()));
                rels.emplace(QString::fromUtf8(r.attribute("Id").value()), rel);
            }
        }
        return relationships.emplace(sourcePart, std::move(rels)).first->second;
    }

    static const char* localName(const char* qualified) {
        const char* colon = std::strrchr(qualified, ':');
        return colon ? colon + 1 : qualified;
    }

    void load();
    QString findMainPart() const;
    QByteArray buildArchive() const;
};

void Package::setSizeLimitsForTesting(qint64 maxPart, qint64 maxTotal) {
    gMaxPartSize = maxPart;
    gMaxTotalSize = maxTotal;
}

void Package::Impl::load() {
    QFileInfo info(path);
    if (!info.exists()) fail(path, QStringLiteral("ファイルがありません"));
    if (info.isDir()) fail(path, QStringLiteral("ファイルではなくフォルダーです"));
    // A device or a pipe could block or never end.
    if (!info.isFile()) fail(path, QStringLiteral("通常のファイルではありません"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) fail(path, QStringLiteral("ファイルを読み込めません（%1）").arg(file.errorString()));
    if (file.size() > maxTotalSize()) fail(path, QStringLiteral("ファイルが大きすぎます（%1 超）").arg(megabytes(maxTotalSize())));
    const qint64 size = file.size();
    fileData = file.read(size + 1);  // one byte more tells a file that grows meanwhile
    if (fileData.size() > size) fail(path, QStringLiteral("読み込み中にファイルが変更されました"));
    if (file.error() != QFileDevice::NoError)
        fail(path, QStringLiteral("ファイルを読み込めません（%1）").arg(file.errorString()));

    static const char kOle[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    if (fileData.startsWith(QByteArray(kOle, 8)) &&
        legacy::ClassifyWordFile(fileData) == legacy::WordFileKind::PasswordProtected)
        fail(path, QStringLiteral("パスワードで保護された文書は処理できません。パスワードを解除して保存し直してください"));
    const bool looksLikeZip = fileData.startsWith("PK\x03\x04") || fileData.startsWith("PK\x05\x06");
    if (!looksLikeZip) fail(path, QStringLiteral("Word 文書（.docx パッケージ）ではありません"));

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(fileData.constData(), static_cast<zip_uint64_t>(fileData.size()), 0, &error);
    if (!source) {
        zip_error_fini(&error);
        fail(path, QStringLiteral("メモリが足りません"));
    }
    archive = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!archive) {
        int code = zip_error_code_zip(&error);
        QString why = QString::fromUtf8(zip_error_strerror(&error));
        zip_source_free(source);
        zip_error_fini(&error);
        if (code == ZIP_ER_MEMORY) fail(path, QStringLiteral("メモリが足りません"));
        fail(path, QStringLiteral(".docx パッケージが壊れているか、途中で切れています（%1）").arg(why));
    }
    zip_error_fini(&error);

    const zip_int64_t count = zip_get_num_entries(archive, 0);
    quint64 declaredTotal = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME) ||
            !(st.valid & ZIP_STAT_SIZE))
            fail(path, QStringLiteral(".docx パッケージが壊れているか、途中で切れています（%1 番目の項目を読めません）").arg(i));
        Entry e;
        e.index = static_cast<zip_uint64_t>(i);
        e.name = QString::fromUtf8(st.name);
        e.rawName = QByteArray(zip_get_name(archive, e.index, ZIP_FL_ENC_RAW));
        e.size = st.size;
        e.method = (st.valid & ZIP_STAT_COMP_METHOD) ? static_cast<zip_int32_t>(st.comp_method) : ZIP_CM_STORE;
        e.hasMtime = st.valid & ZIP_STAT_MTIME;
        e.mtime = st.mtime;
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            fail(path, QStringLiteral("パスワードで保護された文書は処理できません。パスワードを解除して保存し直してください"));
        if (!zip_compression_method_supported(e.method, 0))
            fail(path, QStringLiteral("部品「%1」は読めない圧縮方式で保存されています").arg(e.name));
        if (static_cast<qint64>(e.size) > maxPartSize())
            fail(path, QStringLiteral("部品「%1」が大きすぎます（展開後 %2 超）。圧縮爆弾の可能性があります").arg(e.name, megabytes(maxPartSize())));
        declaredTotal += e.size;
        if (static_cast<qint64>(declaredTotal) > maxTotalSize())
            fail(path, QStringLiteral("パッケージが大きすぎます（展開後の合計 %1 超）。圧縮爆弾の可能性があります")
                           .arg(megabytes(maxTotalSize())));
        if (byName.count(e.name) || byFolded.count(e.name.toCaseFolded()))
            fail(path, QStringLiteral(".docx パッケージが壊れています（部品「%1」が二つあります）").arg(e.name));
        byName.emplace(e.name, entries.size());
        byFolded.emplace(e.name.toCaseFolded(), entries.size());
        entries.push_back(std::move(e));
    }
}

// Finds the main document part: the officeDocument relationship of the
// package, a part that exists and whose content type is a Word document's.
QString Package::Impl::findMainPart() const {
    const Entry* rootRels = find("_rels/.rels");
    if (!rootRels) fail(path, QStringLiteral("文書本体の部品がありません（_rels/.rels がありません）"));
    pugi::xml_document rels = parseXml(rootRels->name, read(rootRels->name));
    QString target;
    for (pugi::xml_node r : rels.document_element().children()) {
        if (std::strcmp(localName(r.name()), "Relationship") != 0) continue;
        const char* type = r.attribute("Type").value();
        bool office = false;
        for (const char* t : kOfficeDocumentTypes) office = office || std::strcmp(type, t) == 0;
        if (!office) continue;
        if (QString::fromUtf8(r.attribute("TargetMode").value()).compare("External", Qt::CaseInsensitive) == 0) continue;
        target = resolveTarget(QString(), QString::fromUtf8(r.attribute("Target").value()));
        if (!target.isEmpty()) break;
    }
    if (target.isEmpty()) fail(path, QStringLiteral("文書本体の部品がありません"));
    const Entry* main = find(target);
    if (!main) fail(path, QStringLiteral("文書本体の部品がありません（「%1」がありません）").arg(target));

    const Entry* types = find("[Content_Types].xml");
    if (!types) fail(path, QStringLiteral("内容の種類の部品がありません（[Content_Types].xml がありません）"));
    pugi::xml_document typesXml = parseXml(types->name, read(types->name));
    QString contentType;
    const QString partName = "/" + main->name;
    const QString extension = main->name.mid(main->name.lastIndexOf(QLatin1Char('.')) + 1);
    for (pugi::xml_node n : typesXml.document_element().children()) {
        const char* local = localName(n.name());
        if (std::strcmp(local, "Override") == 0 &&
            QUrl::fromPercentEncoding(n.attribute("PartName").value()).compare(partName, Qt::CaseInsensitive) == 0) {
            contentType = QString::fromUtf8(n.attribute("ContentType").value());
            break;
        }
        if (std::strcmp(local, "Default") == 0 &&
            QString::fromUtf8(n.attribute("Extension").value()).compare(extension, Qt::CaseInsensitive) == 0)
            contentType = QString::fromUtf8(n.attribute("ContentType").value());
    }
    bool word = false;
    for (const char* t : kMainContentTypes) word = word || contentType.compare(QLatin1String(t), Qt::CaseInsensitive) == 0;
    if (!word)
        fail(path, QStringLiteral("Word 文書の本体がありません（「%1」の内容の種類は「%2」です）").arg(main->name, contentType));
    return main->name;
}

std::unique_ptr<Package> Package::open(const QString& path) {
    std::unique_ptr<Package> package(new Package);
    package->impl_ = std::make_unique<Impl>();
    Impl& d = *package->impl_;
    d.path = path;
    d.load();
    package->mainPart_ = d.findMainPart();

    // Every part is inflated once now, so that a damaged or oversized part is
    // refused at once instead of being copied into the saved file. (Actual
    // sizes equal the declared ones, whose total was bounded in load().) The
    // main part is kept, since the model reads it next; the rest is only checked.
    for (const Impl::Entry& e : d.entries) {
        const bool keep = e.name == package->mainPart_;
        QByteArray bytes = d.inflate(e, keep);
        if (keep) d.cache.emplace(e.name, std::move(bytes));
    }
    // Relationship parts must be well-formed: the package's structure rests on them.
    for (const Impl::Entry& e : d.entries)
        if (isRelationshipsPart(e.name)) d.parseXml(e.name, d.read(e.name));
    return package;
}

Package::~Package() = default;

bool Package::hasPart(const QString& name) const {
    return impl_->replaced.count(name) || impl_->find(name);
}

QStringList Package::partNames() const {
    QStringList names;
    for (const Impl::Entry& e : impl_->entries) names << e.name;
    for (const QString& n : impl_->addedOrder) names << n;
    return names;
}

QByteArray Package::readPart(const QString& name) const { return impl_->read(name); }

QByteArray Package::takePart(const QString& name) {
    QByteArray bytes = impl_->read(name);
    if (const Impl::Entry* e = impl_->find(name)) impl_->cache.erase(e->name);
    return bytes;
}

void Package::setPart(const QString& name, const QByteArray& data) {
    QString key = name;
    if (const Impl::Entry* e = impl_->find(name)) key = e->name;
    else if (!impl_->replaced.count(key)) impl_->addedOrder.push_back(key);
    impl_->replaced[key] = data;
    impl_->cache.erase(key);
    impl_->deflated.erase(key);
    // A changed relationships part changes what its source part points to.
    if (isRelationshipsPart(key)) impl_->relationships.clear();
}

void Package::setDeflatedPart(const QString& name, const DeflatedPart& part) {
    const Impl::Entry* e = impl_->find(name);
    if (!e || isRelationshipsPart(e->name)) return setPart(name, inflatePart(part));
    impl_->replaced.erase(e->name);
    impl_->cache.erase(e->name);
    impl_->deflated[e->name] = part;
}

QString Package::relationshipTarget(const QString& sourcePart, const QString& relId) const {
    const auto& rels = impl_->relationshipsOf(sourcePart);
    auto it = rels.find(relId);
    if (it == rels.end() || it->second.target.isEmpty()) return {};
    if (impl_->replaced.count(it->second.target)) return it->second.target;
    const Impl::Entry* e = impl_->find(it->second.target);
    return e ? e->name : QString();
}

bool Package::relationshipIsExternal(const QString& sourcePart, const QString& relId) const {
    const auto& rels = impl_->relationshipsOf(sourcePart);
    auto it = rels.find(relId);
    return it != rels.end() && it->second.external;
}

// Builds the new package in memory: untouched entries are copied as their
// compressed bytes, in their order; replaced parts are deflated anew.
QByteArray Package::Impl::buildArchive() const {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* out = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!out) {
        zip_error_fini(&error);
        fail(path, QStringLiteral("保存できません：メモリが足りません"));
    }
    zip_source_keep(out);
    zip_t* dst = zip_open_from_source(out, ZIP_TRUNCATE, &error);
    if (!dst) {
        QString why = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        zip_source_free(out);
        zip_source_free(out);
        fail(path, QStringLiteral("保存できません：") + why);
    }
    zip_error_fini(&error);
    auto abandon = [&](const QString& why) {
        zip_discard(dst);
        zip_source_free(out);
        fail(path, QStringLiteral("保存できません：") + why);
    };
    auto addBytes = [&](const QByteArray& name, const QByteArray& data) {
        zip_source_t* src = zip_source_buffer(dst, data.constData(), static_cast<zip_uint64_t>(data.size()), 0);
        zip_int64_t idx = src ? zip_file_add(dst, name.constData(), src, 0) : -1;
        if (idx < 0) {
            if (src) zip_source_free(src);
            abandon(QString::fromUtf8(zip_strerror(dst)));
        }
        zip_set_file_compression(dst, static_cast<zip_uint64_t>(idx), ZIP_CM_DEFLATE, 6);
    };

    for (const Entry& e : entries) {
        auto r = replaced.find(e.name);
        if (r != replaced.end()) {
            addBytes(e.rawName, r->second);
            continue;
        }
        if (auto d = deflated.find(e.name); d != deflated.end()) {
            zip_source_t* src = deflatedPartSource(dst, d->second);
            if (!src || zip_file_add(dst, e.rawName.constData(), src, 0) < 0) {
                if (src) zip_source_free(src);
                abandon(QString::fromUtf8(zip_strerror(dst)));
            }
            continue;
        }
        zip_source_t* src = zip_source_zip(dst, archive, e.index, ZIP_FL_COMPRESSED, 0, -1);
        zip_int64_t idx = src ? zip_file_add(dst, e.rawName.constData(), src, 0) : -1;
        if (idx < 0) {
            if (src) zip_source_free(src);
            abandon(QString::fromUtf8(zip_strerror(dst)));
        }
        const auto i = static_cast<zip_uint64_t>(idx);
        // The same method as the source entry, so that libzip copies the
        // compressed bytes instead of recompressing them.
        zip_set_file_compression(dst, i, e.method, 0);
        if (e.hasMtime) zip_file_set_mtime(dst, i, e.mtime, 0);
        zip_uint8_t os = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(archive, e.index, 0, &os, &attributes) == 0)
            zip_file_set_external_attributes(dst, i, 0, os, attributes);
    }
    for (const QString& name : addedOrder) addBytes(name.toUtf8(), replaced.at(name));

    if (zip_close(dst) != 0) abandon(QString::fromUtf8(zip_strerror(dst)));

    QByteArray bytes;
    zip_stat_t st;
    zip_stat_init(&st);
    bool ok = zip_source_open(out) == 0;
    if (ok) {
        ok = zip_source_stat(out, &st) == 0 && (st.valid & ZIP_STAT_SIZE);
        if (ok) {
            bytes.resize(static_cast<qsizetype>(st.size));
            ok = zip_source_read(out, bytes.data(), st.size) == static_cast<zip_int64_t>(st.size);
        }
        zip_source_close(out);
    }
    zip_source_free(out);
    if (!ok) fail(path, QStringLiteral("保存できません：新しいパッケージを組み立てられませんでした"));
    return bytes;
}

const QString& Package::sourcePath() const { return impl_->path; }

void Package::save(const QString& path) const {
    const QByteArray bytes = impl_->buildArchive();
    // A copy of the document is no more readable than the document.
    files::WriteAtomically(path, bytes, impl_->path);
}

}  // namespace word::ooxml
