// Streaming deflate of a changed part, and its way into the zip unchanged.

#include "word/ooxml/part_deflate.h"

#include "word/automation.h"

#include <algorithm>
#include <cstring>
#include <ctime>

namespace word::ooxml {

DeflatingWriter::DeflatingWriter() {
    failed_ = deflateInit2(&stream_, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK;
}

DeflatingWriter::~DeflatingWriter() { deflateEnd(&stream_); }

void DeflatingWriter::run(int flush) {
    for (;;) {
        QByteArray& out = part_.bytes;
        const auto used = static_cast<qsizetype>(stream_.total_out);
        if (out.size() - used < 65536) out.resize(std::max<qsizetype>(2 * out.size(), used + 65536));
        stream_.next_out = reinterpret_cast<Bytef*>(out.data() + used);
        stream_.avail_out = static_cast<uInt>(out.size() - used);
        const int status = deflate(&stream_, flush);
        if (status == Z_STREAM_ERROR) {
            failed_ = true;
            return;
        }
        if (flush == Z_FINISH ? status == Z_STREAM_END : stream_.avail_in == 0 && stream_.avail_out > 0) return;
    }
}

void DeflatingWriter::write(const void* data, size_t size) {
    if (failed_ || size == 0) return;
    part_.crc = static_cast<quint32>(crc32(part_.crc, static_cast<const Bytef*>(data), static_cast<uInt>(size)));
    part_.size += static_cast<qint64>(size);
    stream_.next_in = static_cast<Bytef*>(const_cast<void*>(data));
    stream_.avail_in = static_cast<uInt>(size);
    run(Z_NO_FLUSH);
}

DeflatedPart DeflatingWriter::finish() {
    if (!failed_) run(Z_FINISH);
    if (failed_) throw Error(QStringLiteral("保存のために文書を圧縮できませんでした。"));
    part_.bytes.truncate(static_cast<qsizetype>(stream_.total_out));
    part_.bytes.squeeze();
    return std::move(part_);
}

QByteArray inflatePart(const DeflatedPart& part) {
    QByteArray out(static_cast<qsizetype>(part.size), Qt::Uninitialized);
    z_stream s{};
    bool ok = inflateInit2(&s, -MAX_WBITS) == Z_OK;
    if (ok) {
        s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(part.bytes.constData()));
        s.avail_in = static_cast<uInt>(part.bytes.size());
        s.next_out = reinterpret_cast<Bytef*>(out.data());
        s.avail_out = static_cast<uInt>(out.size());
        ok = inflate(&s, Z_FINISH) == Z_STREAM_END && static_cast<qint64>(s.total_out) == part.size;
        inflateEnd(&s);
    }
    ok = ok && crc32(0, reinterpret_cast<const Bytef*>(out.constData()), static_cast<uInt>(out.size())) == part.crc;
    if (!ok) throw Error(QStringLiteral("変更した文書の部品がメモリ上で壊れています。"));
    return out;
}

namespace {

struct SourceState {
    DeflatedPart part;
    zip_uint64_t offset = 0;
    zip_error_t error;
};

zip_int64_t readDeflated(void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* state = static_cast<SourceState*>(userdata);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        state->offset = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const auto available = static_cast<zip_uint64_t>(state->part.bytes.size()) - state->offset;
        const zip_uint64_t n = std::min(length, available);
        std::memcpy(data, state->part.bytes.constData() + state->offset, n);
        state->offset += n;
        return static_cast<zip_int64_t>(n);
    }
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_STAT: {
        // Compressed with the entry's method, with its CRC and size known:
        // libzip copies the bytes without inflating or deflating them again.
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC | ZIP_STAT_MTIME;
        st->size = static_cast<zip_uint64_t>(state->part.size);
        st->comp_size = static_cast<zip_uint64_t>(state->part.bytes.size());
        st->comp_method = ZIP_CM_DEFLATE;
        st->crc = state->part.crc;
        st->mtime = std::time(nullptr);
        return sizeof(*st);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&state->error, data, length);
    case ZIP_SOURCE_FREE:
        zip_error_fini(&state->error);
        delete state;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        zip_error_set(&state->error, ZIP_ER_INVAL, 0);
        return -1;
    }
}

}  // namespace

zip_source_t* deflatedPartSource(zip_t* archive, const DeflatedPart& part) {
    auto* state = new SourceState{part, 0, {}};
    zip_error_init(&state->error);
    zip_source_t* source = zip_source_function(archive, readDeflated, state);
    if (!source) {
        zip_error_fini(&state->error);
        delete state;
    }
    return source;
}

}  // namespace word::ooxml
