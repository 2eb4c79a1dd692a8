#pragma once
// A changed part deflated while it is written, so that its uncompressed
// bytes are never held whole: the main part of a long document is 85 MB of
// XML at 100,000 paragraphs and a few MB deflated. The package writes such a
// part's bytes into the zip as they are (method 8, the usual deflate).

#include <QByteArray>

#include <pugixml.hpp>
#include <zlib.h>

#include <zip.h>

namespace word::ooxml {

struct DeflatedPart {
    QByteArray bytes;  // raw deflate, as a zip entry holds it
    quint32 crc = 0;   // CRC-32 of the uncompressed bytes
    qint64 size = 0;   // of the uncompressed bytes
};

// Serialised XML in, a DeflatedPart out (level 6, as for every changed part).
class DeflatingWriter : public pugi::xml_writer {
public:
    DeflatingWriter();
    ~DeflatingWriter() override;
    DeflatingWriter(const DeflatingWriter&) = delete;
    DeflatingWriter& operator=(const DeflatingWriter&) = delete;

    void write(const void* data, size_t size) override;
    // Ends the stream (throws word::Error when zlib failed).
    DeflatedPart finish();

private:
    void run(int flush);

    z_stream stream_{};
    DeflatedPart part_;
    bool failed_ = false;
};

// The uncompressed bytes of a deflated part (throws word::Error when damaged).
QByteArray inflatePart(const DeflatedPart& part);

// A libzip source that hands the deflated bytes to the archive as they are.
zip_source_t* deflatedPartSource(zip_t* archive, const DeflatedPart& part);

}  // namespace word::ooxml
