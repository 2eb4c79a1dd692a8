// The least any task on a document can cost: read the package, inflate and
// parse the main part with pugixml (the options the engine uses), serialise
// it and write the package with the engine's own package code (the part
// deflated as it is serialised, as the engine saves it).
//
//   floor INPUT.docx OUTPUT.docx

#include "word/ooxml/package.h"
#include "word/ooxml/part_deflate.h"

#include <pugixml.hpp>

#include <QByteArray>
#include <QString>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: floor INPUT.docx OUTPUT.docx\n");
        return 2;
    }
    auto package = word::ooxml::Package::open(QString::fromLocal8Bit(argv[1]));
    const QString part = package->mainPartName();
    pugi::xml_document xml;
    {
        const QByteArray bytes = package->readPart(part);
        if (!xml.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()),
                             pugi::parse_full | pugi::parse_ws_pcdata)) {
            std::fprintf(stderr, "floor: the main part is not XML\n");
            return 1;
        }
    }
    package->setPart(part, QByteArray());  // the read copy goes before the new one is written
    word::ooxml::DeflatingWriter writer;
    xml.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    package->setDeflatedPart(part, writer.finish());
    package->save(QString::fromLocal8Bit(argv[2]));
    return 0;
}
