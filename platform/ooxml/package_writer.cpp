#include "platform/ooxml/package_writer.h"

#include <zip.h>

#include <deque>
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
// The central directory waits in the spool in pieces of this size.
constexpr std::size_t directory_piece_size = std::size_t{1} << 16;
// Entries that may wait behind one whose part is still being deflated. Each is a name and a
// place in the spool or the source package, a few dozen bytes.
constexpr std::size_t pending_limit = 64;

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

// An entry waiting for its part to be deflated, or for the entries before it to be written.
struct Pending {
    std::string name;
    PartSpool::Part part;                // deflated in the spool, or
    std::optional<SpooledPart> spooled;  // deflated whole (or kept as it is) in the spool, or
    bool stored = false;
    std::optional<Copied> copy;  // copied from another package
    std::uint64_t work = 0;      // the spool's work that completes the part
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

void check_zip32(std::string_view name, const Record& r) {
    if (r.size >= zip32_limit || r.compressed_size >= zip32_limit || r.offset >= zip32_limit) {
        throw RunTimeError(ErrorNumber::device_io,
                           std::string(name) + ": package larger than 4 GB");
    }
}

// What the local and the central header both hold, in the same order: from the version
// needed to the length of the (empty) extra field.
void entry_fields(std::string& h, std::string_view name, const Record& r) {
    le16(h, version_needed(r.method));
    le16(h, flags_of(name));
    le16(h, r.method);
    le16(h, dos_time);
    le16(h, dos_date);
    le32(h, r.crc);
    le32(h, r.compressed_size);
    le32(h, r.size);
    le16(h, name.size());
    le16(h, 0);
}

std::string local_header(std::string_view name, const Record& r) {
    std::string h;
    le32(h, 0x04034b50);
    entry_fields(h, name, r);
    h += name;
    return h;
}

void central_header(std::string& h, std::string_view name, const Record& r) {
    le32(h, 0x02014b50);
    le16(h, made_by);
    entry_fields(h, name, r);
    le16(h, 0);  // comment
    le16(h, 0);  // disk
    le16(h, 0);  // internal attributes
    le32(h, external_attributes);
    le32(h, r.offset);
    h += name;
}

}  // namespace

struct PackageWriter::Impl {
    Impl(std::shared_ptr<PartSpool> s, std::unique_ptr<base::AtomicFile> f)
        : spool(s ? std::move(s) : std::make_shared<PartSpool>()),
          file(std::move(f)),
          out([this](std::string_view bytes) {
              if (file) {
                  file->write(bytes);
              } else {
                  memory.append(bytes);
              }
          }) {}
    // The spool's work may still fill in the directory's pieces.
    ~Impl() { spool->drain(); }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    // Entries are written in their order as soon as their parts are done: the caller goes on
    // making the next parts (and copying those that need no deflate) while the spool deflates,
    // and waits only when many entries are behind one still being deflated.
    void queue(Pending entry) {
        if (ended) throw RunTimeError(ErrorNumber::invalid_call, "package already ended");
        pending.push_back(std::move(entry));
        while (!pending.empty() &&
               (pending.size() > pending_limit || spool->done(pending.front().work))) {
            write_front();
        }
    }

    void write_front() {
        Pending e = std::move(pending.front());
        pending.pop_front();
        if (e.work > 0) spool->wait_for(e.work);
        Record r;
        r.offset = out.position();
        if (e.copy) {
            // Read through first: a damaged part stops the package instead of passing into it.
            e.copy->source->check(e.name);
            r.method = static_cast<std::uint16_t>(e.copy->stat.comp_method);
            r.crc = e.copy->stat.crc;
            r.compressed_size = e.copy->stat.comp_size;
            r.size = e.copy->stat.size;
        } else if (e.spooled) {
            if (e.stored) r.method = 0;
            r.crc = e.spooled->crc;
            r.compressed_size = e.spooled->compressed_size;
            r.size = e.spooled->size;
        } else {
            r.crc = e.part->crc;
            r.compressed_size = e.part->compressed_size;
            r.size = e.part->size;
        }
        check_zip32(e.name, r);
        out.put(local_header(e.name, r));
        const auto put = [this](std::string_view bytes) { out.put(bytes); };
        if (e.copy) {
            copy_stored(e, out);
        } else if (e.spooled) {
            spool->copy(*e.spooled, put);
        } else {
            spool->copy(*e.part, put);
        }
        central_header(directory, e.name, r);
        ++entries;
        if (directory.size() >= directory_piece_size) {
            // The directory of a package of many parts waits on the disk, not in memory.
            spool->store(std::move(directory), directory_pieces.emplace_back());
            directory.clear();
        }
    }

    // The compressed bytes of a copied part, as the source stores them.
    static void copy_stored(const Pending& e, Output& out) {
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

    // The rest of the entries, then the central directory.
    void end() {
        if (ended) throw RunTimeError(ErrorNumber::invalid_call, "package already ended");
        while (!pending.empty()) write_front();
        ended = true;
        spool->wait();
        const std::uint64_t directory_offset = out.position();
        std::uint64_t directory_size = directory.size();
        for (const SpooledPart& piece : directory_pieces) {
            directory_size += piece.size;
            spool->copy(piece, [this](std::string_view bytes) { out.put(bytes); });
        }
        out.put(directory);
        if (entries > 0xFFFF || directory_offset >= zip32_limit) {
            throw RunTimeError(ErrorNumber::device_io, "package of too many parts");
        }
        std::string end_record;
        le32(end_record, 0x06054b50);
        le16(end_record, 0);
        le16(end_record, 0);
        le16(end_record, entries);
        le16(end_record, entries);
        le32(end_record, directory_size);
        le32(end_record, directory_offset);
        le16(end_record, 0);
        out.put(end_record);
        out.flush();
    }

    std::shared_ptr<PartSpool> spool;
    std::unique_ptr<base::AtomicFile> file;
    std::string memory;
    Output out;
    std::deque<Pending> pending;
    std::string directory;
    std::deque<SpooledPart> directory_pieces;
    std::uint64_t entries = 0;
    bool ended = false;
};

PackageWriter::PackageWriter(std::shared_ptr<PartSpool> spool)
    : impl_(std::make_unique<Impl>(std::move(spool), nullptr)) {}

PackageWriter::PackageWriter(const std::filesystem::path& file, std::shared_ptr<PartSpool> spool)
    : impl_(std::make_unique<Impl>(std::move(spool), std::make_unique<base::AtomicFile>(file))) {}

PackageWriter::~PackageWriter() = default;

/* ---------------------------------------------------------------- PackageWriter::add */
void PackageWriter::add(std::string_view name, std::string bytes) {
    add_deflated(name, impl_->spool->deflate(std::move(bytes)));
}

/* ---------------------------------------------------------------- PackageWriter::add_stream */
void PackageWriter::add_stream(std::string_view name, const std::function<PartPieces()>& start) {
    PartSpool::Stream stream = impl_->spool->open_stream();
    const PartPieces next = start();
    for (std::string_view piece = next(); !piece.empty(); piece = next()) {
        stream.write(std::string(piece));
    }
    add_deflated(name, stream.finish());
}

/* ---------------------------------------------------------------- PackageWriter::add_deflated */
void PackageWriter::add_deflated(std::string_view name, PartSpool::Part part) {
    impl_->queue({std::string(name), std::move(part), std::nullopt, false, std::nullopt,
                  impl_->spool->last_given()});
}

void PackageWriter::add_deflated(std::string_view name, const SpooledPart& part) {
    // The part is complete once the work given before now is done.
    const std::uint64_t work = impl_->spool->last_given();
    impl_->spool->wait_for(work);
    impl_->queue({std::string(name), nullptr, part, false, std::nullopt, 0});
}

void PackageWriter::add_stored(std::string_view name, const SpooledPart& part) {
    impl_->spool->wait_for(impl_->spool->last_given());
    impl_->queue({std::string(name), nullptr, part, true, std::nullopt, 0});
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
    impl_->queue({std::string(part), nullptr, std::nullopt, false, Copied{&source, index, st}, 0});
}

/* ---------------------------------------------------------------- PackageWriter::finish */
std::string PackageWriter::finish() {
    if (impl_->file) throw RunTimeError(ErrorNumber::invalid_call, "package written to a file");
    impl_->end();
    return std::move(impl_->memory);
}

/* ---------------------------------------------------------------- PackageWriter::commit */
void PackageWriter::commit() {
    if (!impl_->file) throw RunTimeError(ErrorNumber::invalid_call, "package made in memory");
    impl_->end();
    impl_->file->commit();
}

}  // namespace ooxml
