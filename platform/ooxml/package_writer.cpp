#include "platform/ooxml/package_writer.h"

#include <zip.h>

#include <optional>
#include <vector>

#include "base/atomic_file.h"
#include "base/run_time_error.h"
#include "platform/ooxml/package_reader.h"

namespace ooxml {

namespace {

using base::ErrorNumber;
using base::RunTimeError;

// 1980-01-01 00:00, the earliest time a zip entry can carry: fixed, so output is repeatable.
constexpr std::uint16_t dos_time = 0;
constexpr std::uint16_t dos_date = (0 << 9) | (1 << 5) | 1;
constexpr std::uint16_t method_deflate = 8;
// Made by version 6.3 on Unix, readable and writable by everyone: as libzip, which wrote our
// packages before, marks its entries, so that a package keeps its bytes.
constexpr std::uint16_t made_by = (3 << 8) | 63;
constexpr std::uint32_t external_attributes = 0100666u << 16;
constexpr std::uint16_t utf8_name_flag = 1 << 11;
constexpr std::uint64_t zip32_limit = 0xFFFFFFFFu;
constexpr std::size_t output_buffer_size = std::size_t{1} << 20;

void le16(std::string& out, std::uint64_t v) {
    for (int i = 0; i < 2; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void le32(std::string& out, std::uint64_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// The archive's bytes, gathered into large writes.
class Output {
  public:
    explicit Output(std::function<void(std::string_view)> sink) : sink_(std::move(sink)) {
        buffer_.reserve(output_buffer_size);
    }
    void put(std::string_view bytes) {
        position_ += bytes.size();
        if (buffer_.size() + bytes.size() > output_buffer_size) flush();
        if (bytes.size() >= output_buffer_size) {
            sink_(bytes);
        } else {
            buffer_.append(bytes);
        }
    }
    void flush() {
        if (!buffer_.empty()) sink_(buffer_);
        buffer_.clear();
    }
    std::uint64_t position() const noexcept { return position_; }

  private:
    std::function<void(std::string_view)> sink_;
    std::string buffer_;
    std::uint64_t position_ = 0;
};

// A part taken as it is stored in a package being read.
struct Copied {
    const PackageReader* source;
    zip_uint64_t index;
    zip_stat_t stat;
};

struct Entry {
    std::string name;
    PartSpool::Part part;                // deflated in the spool, or
    std::function<PartPieces()> stream;  // streamed when the package is written, or
    std::optional<Copied> copy;          // copied from another package
};

// What the local and the central header of an entry both record.
struct Record {
    std::uint16_t method = method_deflate;
    std::uint32_t crc = 0;
    std::uint64_t compressed_size = 0;
    std::uint64_t size = 0;
    std::uint64_t offset = 0;
};

std::uint16_t flags_of(std::string_view name) {
    for (const char c : name) {
        if (static_cast<unsigned char>(c) >= 0x80) return utf8_name_flag;
    }
    return 0;
}

std::uint16_t version_needed(std::uint16_t method) {
    return method == 0 ? 10 : 20;
}

void check_zip32(const Entry& e, const Record& r) {
    if (r.size >= zip32_limit || r.compressed_size >= zip32_limit || r.offset >= zip32_limit) {
        throw RunTimeError(ErrorNumber::device_io, e.name + ": package larger than 4 GB");
    }
}

std::string local_header(const Entry& e, const Record& r) {
    std::string h;
    le32(h, 0x04034b50);
    le16(h, version_needed(r.method));
    le16(h, flags_of(e.name));
    le16(h, r.method);
    le16(h, dos_time);
    le16(h, dos_date);
    le32(h, r.crc);
    le32(h, r.compressed_size);
    le32(h, r.size);
    le16(h, e.name.size());
    le16(h, 0);
    h += e.name;
    return h;
}

void central_header(std::string& h, const Entry& e, const Record& r) {
    le32(h, 0x02014b50);
    le16(h, made_by);
    le16(h, version_needed(r.method));
    le16(h, flags_of(e.name));
    le16(h, r.method);
    le16(h, dos_time);
    le16(h, dos_date);
    le32(h, r.crc);
    le32(h, r.compressed_size);
    le32(h, r.size);
    le16(h, e.name.size());
    le16(h, 0);  // extra field
    le16(h, 0);  // comment
    le16(h, 0);  // disk
    le16(h, 0);  // internal attributes
    le32(h, external_attributes);
    le32(h, r.offset);
    h += e.name;
}

}  // namespace

struct PackageWriter::Impl {
    explicit Impl(std::shared_ptr<PartSpool> s) : spool(std::move(s)) {}

    // Writes every entry, in order, then the central directory.
    void write(Output& out) {
        if (written) throw RunTimeError(ErrorNumber::invalid_call, "package written twice");
        written = true;
        // Checked before a byte of them is copied, so that a damaged source stops the package
        // before its copies are read.
        for (const Entry& e : entries) {
            if (e.copy) e.copy->source->check(e.name);
        }
        for (Entry& e : entries) {
            if (!e.stream) continue;
            PartSpool::Stream stream = spool->open_stream();
            const PartPieces next = e.stream();
            for (std::string_view piece = next(); !piece.empty(); piece = next()) {
                stream.write(std::string(piece));
            }
            e.part = stream.finish();
        }
        spool->wait();

        std::string directory;
        for (const Entry& e : entries) {
            Record r;
            r.offset = out.position();
            if (e.copy) {
                r.method = static_cast<std::uint16_t>(e.copy->stat.comp_method);
                r.crc = e.copy->stat.crc;
                r.compressed_size = e.copy->stat.comp_size;
                r.size = e.copy->stat.size;
            } else {
                r.crc = e.part->crc;
                r.compressed_size = e.part->compressed_size;
                r.size = e.part->size;
            }
            check_zip32(e, r);
            out.put(local_header(e, r));
            if (e.copy) {
                copy_stored(e, out);
            } else {
                spool->copy(*e.part, [&](std::string_view bytes) { out.put(bytes); });
            }
            central_header(directory, e, r);
        }
        const std::uint64_t directory_offset = out.position();
        out.put(directory);
        std::string end;
        le32(end, 0x06054b50);
        le16(end, 0);
        le16(end, 0);
        le16(end, entries.size());
        le16(end, entries.size());
        le32(end, directory.size());
        le32(end, directory_offset);
        le16(end, 0);
        if (entries.size() > 0xFFFF || directory_offset >= zip32_limit) {
            throw RunTimeError(ErrorNumber::device_io, "package of too many parts");
        }
        out.put(end);
        out.flush();
    }

    // The compressed bytes of a copied part, as the source stores them.
    static void copy_stored(const Entry& e, Output& out) {
        zip_t* archive = e.copy->source->archive();
        zip_file_t* file = zip_fopen_index(archive, e.copy->index, ZIP_FL_COMPRESSED);
        if (file == nullptr) {
            throw RunTimeError(
                ErrorNumber::invalid_file_format,
                e.copy->source->name() + ": " + e.name + ": " + zip_strerror(archive));
        }
        std::vector<char> buffer(std::size_t{1} << 16);
        zip_uint64_t done = 0;
        for (;;) {
            const zip_int64_t n = zip_fread(file, buffer.data(), buffer.size());
            if (n <= 0) break;
            out.put(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
            done += static_cast<zip_uint64_t>(n);
        }
        zip_fclose(file);
        if (done != e.copy->stat.comp_size) {
            throw RunTimeError(ErrorNumber::invalid_file_format,
                               e.copy->source->name() + ": " + e.name + ": byte " +
                                   std::to_string(done) + ": ends early");
        }
    }

    std::shared_ptr<PartSpool> spool;
    std::vector<Entry> entries;
    bool written = false;
};

PackageWriter::PackageWriter() : PackageWriter(std::make_shared<PartSpool>()) {}

PackageWriter::PackageWriter(std::shared_ptr<PartSpool> spool)
    : impl_(std::make_unique<Impl>(std::move(spool))) {}

PackageWriter::~PackageWriter() = default;

/* ---------------------------------------------------------------- PackageWriter::add */
void PackageWriter::add(std::string_view name, std::string bytes) {
    add_deflated(name, impl_->spool->deflate(std::move(bytes)));
}

/* ---------------------------------------------------------------- PackageWriter::add_stream */
void PackageWriter::add_stream(std::string_view name, std::function<PartPieces()> start) {
    impl_->entries.push_back({std::string(name), nullptr, std::move(start), std::nullopt});
}

/* ---------------------------------------------------------------- PackageWriter::add_deflated */
void PackageWriter::add_deflated(std::string_view name, PartSpool::Part part) {
    impl_->entries.push_back({std::string(name), std::move(part), nullptr, std::nullopt});
}

/* ---------------------------------------------------------------- PackageWriter::add_copy */
void PackageWriter::add_copy(const PackageReader& source, std::string_view part) {
    zip_t* archive = source.archive();
    const zip_uint64_t index = source.index_of(part);
    zip_stat_t st;
    zip_stat_init(&st);
    constexpr zip_uint64_t needed =
        ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE;
    if (zip_stat_index(archive, index, 0, &st) != 0 || (st.valid & needed) != needed) {
        throw RunTimeError(ErrorNumber::invalid_file_format,
                           source.name() + ": " + std::string(part) + ": method unknown");
    }
    impl_->entries.push_back({std::string(part), nullptr, nullptr, Copied{&source, index, st}});
}

/* ---------------------------------------------------------------- PackageWriter::finish */
std::string PackageWriter::finish() {
    std::string bytes;
    Output out([&](std::string_view piece) { bytes.append(piece); });
    impl_->write(out);
    return bytes;
}

/* ---------------------------------------------------------------- PackageWriter::commit */
void PackageWriter::commit(const std::filesystem::path& file) {
    base::AtomicFile target(file);
    Output out([&](std::string_view piece) { target.write(piece); });
    impl_->write(out);
    target.commit();
}

}  // namespace ooxml
