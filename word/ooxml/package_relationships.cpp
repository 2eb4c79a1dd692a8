#include "word/ooxml/package_relationships.h"

#include "word/automation.h"
#include "word/ooxml/package.h"

#include <pugixml.hpp>

#include <QDir>

#include <set>

namespace word::ooxml {

namespace {

constexpr char kRelationshipsNs[] = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr char kContentTypesNs[] = "http://schemas.openxmlformats.org/package/2006/content-types";
const QString kContentTypesPart = QStringLiteral("[Content_Types].xml");

QString FolderOf(const QString& part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash);
}

QString RelationshipsPartOf(const QString& part) {
    const QString folder = FolderOf(part);
    const QString name = part.mid(folder.isEmpty() ? 0 : folder.size() + 1);
    return (folder.isEmpty() ? QString() : folder + u'/') + QStringLiteral("_rels/") + name + QStringLiteral(".rels");
}

// A target relative to the source part's folder, or absolute from the package root.
QString ResolveTarget(const QString& sourcePart, const QString& target) {
    if (target.startsWith(u'/')) return QDir::cleanPath(target.mid(1));
    const QString folder = FolderOf(sourcePart);
    return QDir::cleanPath(folder.isEmpty() ? target : folder + u'/' + target);
}

const char* LocalName(const char* qualified) {
    const char* colon = std::strrchr(qualified, ':');
    return colon ? colon + 1 : qualified;
}

pugi::xml_document ParsePart(const Package& package, const QString& name) {
    pugi::xml_document doc;
    const QByteArray bytes = package.readPart(name);
    if (bytes.isEmpty()) return doc;
    if (!doc.load_buffer(bytes.constData(), size_t(bytes.size()), pugi::parse_default | pugi::parse_declaration))
        throw Error(QStringLiteral("文書の部品「%1」が壊れています。").arg(name));
    return doc;
}

pugi::xml_node RootOrNew(pugi::xml_document& doc, const char* name, const char* ns) {
    if (pugi::xml_node root = doc.document_element()) return root;
    pugi::xml_node decl = doc.prepend_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    decl.append_attribute("standalone") = "yes";
    pugi::xml_node root = doc.append_child(name);
    root.append_attribute("xmlns") = ns;
    return root;
}

}  // namespace

QByteArray SerialisedPart(const pugi::xml_document& doc) {
    struct Writer : pugi::xml_writer {
        QByteArray out;
        void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), qsizetype(size)); }
    } writer;
    doc.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return writer.out;
}

QString RelatedPartOfType(const Package& package, const QString& sourcePart, const QString& type) {
    const pugi::xml_document rels = ParsePart(package, RelationshipsPartOf(sourcePart));
    for (pugi::xml_node r : rels.document_element().children()) {
        if (std::strcmp(LocalName(r.name()), "Relationship") != 0) continue;
        if (QString::fromUtf8(r.attribute("Type").value()) != type) continue;
        if (QString::fromUtf8(r.attribute("TargetMode").value()).compare(QStringLiteral("External"), Qt::CaseInsensitive) == 0)
            continue;
        return ResolveTarget(sourcePart, QString::fromUtf8(r.attribute("Target").value()));
    }
    return {};
}

QString AddRelatedPart(Package& package, const QString& sourcePart, const QString& type, const QString& stem,
                       const QString& contentType, const QByteArray& bytes) {
    const QString folder = FolderOf(sourcePart);
    QString name;
    for (int n = 0; name.isEmpty() || package.hasPart(name); ++n)
        name = (folder.isEmpty() ? QString() : folder + u'/') + stem + (n ? QString::number(n) : QString()) +
               QStringLiteral(".xml");

    // The relationship, under an Id no other relationship of the part uses.
    const QString relsName = RelationshipsPartOf(sourcePart);
    pugi::xml_document rels = ParsePart(package, relsName);
    pugi::xml_node relsRoot = RootOrNew(rels, "Relationships", kRelationshipsNs);
    std::set<QString> ids;
    for (pugi::xml_node r : relsRoot.children()) ids.insert(QString::fromUtf8(r.attribute("Id").value()));
    QString id;
    for (int n = 1; id.isEmpty() || ids.count(id); ++n) id = QStringLiteral("rIdKv%1").arg(n);
    // Relationship parts use the default namespace (the package format allows no other in practice).
    pugi::xml_node rel = relsRoot.append_child("Relationship");
    rel.append_attribute("Id") = id.toUtf8().constData();
    rel.append_attribute("Type") = type.toUtf8().constData();
    rel.append_attribute("Target") = name.mid(folder.isEmpty() ? 0 : folder.size() + 1).toUtf8().constData();

    // The content type, as an override for this part.
    pugi::xml_document types = ParsePart(package, kContentTypesPart);
    pugi::xml_node typesRoot = RootOrNew(types, "Types", kContentTypesNs);
    pugi::xml_node over = typesRoot.append_child("Override");
    over.append_attribute("PartName") = (u'/' + name).toUtf8().constData();
    over.append_attribute("ContentType") = contentType.toUtf8().constData();

    package.setPart(name, bytes);
    package.setPart(relsName, SerialisedPart(rels));
    package.setPart(kContentTypesPart, SerialisedPart(types));
    return name;
}

}  // namespace word::ooxml
