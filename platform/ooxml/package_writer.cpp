#include "platform/ooxml/package_writer.h"

#include <zip.h>

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstring>
#include <exception>
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
constexpr zip_uint16_t dos_time = 0;
constexpr zip_uint16_t dos_date = (0 << 9) | (1 << 5) | 1;

[[noreturn]] void zip_failure(zip_error_t* error, std::string_view what) {
    throw RunTimeError(ErrorNumber::device_io,
                       std::string(what) + ": " + zip_error_strerror(error));
}

// A streamed part as libzip reads it. An exception while making the bytes is kept and rethrown
// after the archive gave up, so it never crosses libzip's C frames.
struct Producer {
    std::function<PartPieces()> start;
    PartPieces next;
    std::uint64_t size = 0;
    std::string_view pending;
    zip_error_t error;
    std::exception_ptr failure;

    static zip_int64_t callback(void* state, void* data, zip_uint64_t length,
                                zip_source_cmd_t command) {
        Producer& p = *static_cast<Producer*>(state);
        switch (command) {
            case ZIP_SOURCE_OPEN:
                return p.guarded([&] {
                    p.next = p.start();
                    p.pending = {};
                    return zip_int64_t{0};
                });
            case ZIP_SOURCE_CLOSE:
            case ZIP_SOURCE_FREE:
                return 0;
            case ZIP_SOURCE_STAT: {
                // The size known beforehand keeps the entry out of the zip64 format, which not
                // every Office version reads.
                auto* st = static_cast<zip_stat_t*>(data);
                zip_stat_init(st);
                st->size = p.size;
                st->valid |= ZIP_STAT_SIZE;
                return sizeof(zip_stat_t);
            }
            case ZIP_SOURCE_ERROR:
                return zip_error_to_data(&p.error, data, length);
            case ZIP_SOURCE_SUPPORTS:
                return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ,
                                                      ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                      ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
            case ZIP_SOURCE_READ:
                return p.guarded([&] { return p.read(static_cast<char*>(data), length); });
            default:
                zip_error_set(&p.error, ZIP_ER_OPNOTSUPP, 0);
                return zip_int64_t{-1};
        }
    }

    template <class F>
    zip_int64_t guarded(F f) {
        try {
            return f();
        } catch (...) {
            failure = std::current_exception();
            zip_error_set(&error, ZIP_ER_INTERNAL, 0);
            return -1;
        }
    }

    zip_int64_t read(char* data, zip_uint64_t length) {
        zip_uint64_t n = 0;
        while (n < length) {
            if (pending.empty()) pending = next();
            if (pending.empty()) break;
            const std::size_t k = std::min<std::size_t>(length - n, pending.size());
            std::memcpy(data + n, pending.data(), k);
            pending.remove_prefix(k);
            n += k;
        }
        return static_cast<zip_int64_t>(n);
    }
};

// The archive's destination when the package goes to a file: libzip writes, seeks back to
// finish each entry's header, and commits; the AtomicFile does the rest. An exception from the
// file is kept and rethrown, like a producer's.
struct FileTarget {
    base::AtomicFile& file;
    zip_error_t error;
    std::exception_ptr failure;

    static zip_int64_t callback(void* state, void* data, zip_uint64_t length,
                                zip_source_cmd_t command) {
        FileTarget& t = *static_cast<FileTarget*>(state);
        switch (command) {
            case ZIP_SOURCE_STAT:
                // Nothing there yet: libzip then starts a new archive without reading.
                zip_error_set(&t.error, ZIP_ER_READ, ENOENT);
                return -1;
            case ZIP_SOURCE_BEGIN_WRITE:
            case ZIP_SOURCE_COMMIT_WRITE:
            case ZIP_SOURCE_ROLLBACK_WRITE:
            case ZIP_SOURCE_REMOVE:
            case ZIP_SOURCE_OPEN:
            case ZIP_SOURCE_CLOSE:
            case ZIP_SOURCE_FREE:
                return 0;
            case ZIP_SOURCE_READ:
            case ZIP_SOURCE_TELL:
                return 0;
            case ZIP_SOURCE_SEEK:
                return 0;
            case ZIP_SOURCE_WRITE:
                return t.guarded([&] {
                    t.file.write(std::string_view(static_cast<const char*>(data), length));
                    return static_cast<zip_int64_t>(length);
                });
            case ZIP_SOURCE_TELL_WRITE:
                return static_cast<zip_int64_t>(t.file.position());
            case ZIP_SOURCE_SEEK_WRITE: {
                const zip_int64_t to = zip_source_seek_compute_offset(
                    t.file.position(), t.file.size(), data, length, &t.error);
                if (to < 0) return -1;
                return t.guarded([&] {
                    t.file.seek(static_cast<std::uint64_t>(to));
                    return zip_int64_t{0};
                });
            }
            case ZIP_SOURCE_ERROR:
                return zip_error_to_data(&t.error, data, length);
            case ZIP_SOURCE_SUPPORTS:
                return zip_source_make_command_bitmap(
                    ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                    ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
                    ZIP_SOURCE_BEGIN_WRITE, ZIP_SOURCE_COMMIT_WRITE, ZIP_SOURCE_ROLLBACK_WRITE,
                    ZIP_SOURCE_WRITE, ZIP_SOURCE_SEEK_WRITE, ZIP_SOURCE_TELL_WRITE,
                    ZIP_SOURCE_REMOVE, -1);
            default:
                zip_error_set(&t.error, ZIP_ER_OPNOTSUPP, 0);
                return -1;
        }
    }

    template <class F>
    zip_int64_t guarded(F f) {
        try {
            return f();
        } catch (...) {
            failure = std::current_exception();
            zip_error_set(&error, ZIP_ER_WRITE, 0);
            return -1;
        }
    }
};

// A part taken as it is stored in a package being read.
struct Copied {
    const PackageReader* source;
    zip_t* archive;
    zip_uint64_t index;
    zip_int32_t method;
};

struct Entry {
    std::string name;
    std::string bytes;
    std::unique_ptr<Producer> stream;  // or, for a streamed part, its producer
    std::optional<Copied> copy;        // or, for a copied part, where it is
};

}  // namespace

// Entries are only recorded until the package is finished; then one archive takes them all in
// their order, over the destination. libzip compresses each part as it reads it, so a streamed
// part is never held whole.
struct PackageWriter::Impl {
    Impl() = default;
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    ~Impl() {
        for (const Entry& e : entries) {
            if (e.stream) zip_error_fini(&e.stream->error);
        }
    }

    // Writes every entry into a new archive over `target`, which it takes, and closes it.
    // `target_failure` is the destination's own exception, if it kept one.
    void write(zip_source_t* target, const std::exception_ptr* target_failure) {
        assert(!written);
        written = true;
        zip_error_t error;
        zip_error_init(&error);
        zip_t* archive = zip_open_from_source(target, ZIP_CREATE | ZIP_TRUNCATE, &error);
        if (archive == nullptr) {
            zip_source_free(target);
            zip_failure(&error, "zip open");
        }
        zip_error_fini(&error);
        try {
            // Checked before a byte of them is copied: libzip takes compressed bytes as they come.
            for (const Entry& e : entries) {
                if (e.copy) e.copy->source->check(e.name);
            }
            for (Entry& e : entries) add(archive, e);
        } catch (...) {
            zip_discard(archive);
            throw;
        }
        if (zip_close(archive) != 0) {
            for (const Entry& e : entries) {
                if (e.stream && e.stream->failure) {
                    zip_discard(archive);
                    std::rethrow_exception(e.stream->failure);
                }
            }
            if (target_failure != nullptr && *target_failure) {
                zip_discard(archive);
                std::rethrow_exception(*target_failure);
            }
            const std::string what =
                std::string("zip close: ") + zip_error_strerror(zip_get_error(archive));
            zip_discard(archive);
            throw RunTimeError(ErrorNumber::device_io, what);
        }
    }

    static void add(zip_t* archive, Entry& e) {
        // A whole entry of another archive is taken without decompressing it.
        zip_source_t* s =
            e.copy
                ? zip_source_zip(archive, e.copy->archive, e.copy->index, ZIP_FL_COMPRESSED, 0, -1)
            : e.stream ? zip_source_function(archive, &Producer::callback, e.stream.get())
                       : zip_source_buffer(archive, e.bytes.data(), e.bytes.size(), 0);
        if (s == nullptr) zip_failure(zip_get_error(archive), e.name);
        const zip_int64_t index = zip_file_add(archive, e.name.c_str(), s, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(s);
            zip_failure(zip_get_error(archive), e.name);
        }
        const auto i = static_cast<zip_uint64_t>(index);
        // A copied part keeps its method, or libzip would inflate and deflate it again.
        const zip_int32_t method = e.copy ? e.copy->method : ZIP_CM_DEFLATE;
        const zip_uint32_t level = e.copy ? 0 : 6;
        if (zip_file_set_dostime(archive, i, dos_time, dos_date, 0) != 0 ||
            zip_set_file_compression(archive, i, method, level) != 0) {
            zip_failure(zip_get_error(archive), e.name);
        }
    }

    std::vector<Entry> entries;
    bool written = false;
};

PackageWriter::PackageWriter() : impl_(std::make_unique<Impl>()) {}

PackageWriter::~PackageWriter() = default;

/* ---------------------------------------------------------------- PackageWriter::add */
void PackageWriter::add(std::string_view name, std::string bytes) {
    impl_->entries.push_back({std::string(name), std::move(bytes), nullptr, std::nullopt});
}

/* ---------------------------------------------------------------- PackageWriter::add_stream */
void PackageWriter::add_stream(std::string_view name, std::function<PartPieces()> start) {
    std::uint64_t size = 0;
    const PartPieces measure = start();
    for (std::string_view piece = measure(); !piece.empty(); piece = measure()) {
        size += piece.size();
    }
    auto producer = std::make_unique<Producer>();
    producer->start = std::move(start);
    producer->size = size;
    zip_error_init(&producer->error);
    impl_->entries.push_back({std::string(name), {}, std::move(producer), std::nullopt});
}

/* ---------------------------------------------------------------- PackageWriter::add_copy */
void PackageWriter::add_copy(const PackageReader& source, std::string_view part) {
    zip_t* archive = source.archive();
    const zip_uint64_t index = source.index_of(part);
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive, index, 0, &st) != 0 || (st.valid & ZIP_STAT_COMP_METHOD) == 0) {
        throw RunTimeError(ErrorNumber::invalid_file_format,
                           source.name() + ": " + std::string(part) + ": method unknown");
    }
    impl_->entries.push_back(
        {std::string(part), {}, nullptr, Copied{&source, archive, index, st.comp_method}});
}

/* ---------------------------------------------------------------- PackageWriter::finish */
std::string PackageWriter::finish() {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (buffer == nullptr) zip_failure(&error, "zip buffer");
    zip_error_fini(&error);
    // Kept past the archive, to be read back.
    zip_source_keep(buffer);
    const std::unique_ptr<zip_source_t, void (*)(zip_source_t*)> held(buffer, zip_source_free);
    impl_->write(buffer, nullptr);
    zip_stat_t st;
    if (zip_source_stat(buffer, &st) != 0 || zip_source_open(buffer) != 0) {
        zip_failure(zip_source_error(buffer), "zip read back");
    }
    std::string out(static_cast<std::size_t>(st.size), '\0');
    const zip_int64_t n = zip_source_read(buffer, out.data(), st.size);
    zip_source_close(buffer);
    if (n < 0 || static_cast<zip_uint64_t>(n) != st.size) {
        zip_failure(zip_source_error(buffer), "zip read back");
    }
    return out;
}

/* ---------------------------------------------------------------- PackageWriter::commit */
void PackageWriter::commit(const std::filesystem::path& file) {
    base::AtomicFile out(file);
    FileTarget target{out, {}, nullptr};
    zip_error_init(&target.error);
    const std::unique_ptr<zip_error_t, void (*)(zip_error_t*)> fini(&target.error, zip_error_fini);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_function_create(&FileTarget::callback, &target, &error);
    if (source == nullptr) zip_failure(&error, "zip file");
    zip_error_fini(&error);
    impl_->write(source, &target.failure);
    out.commit();
}

}  // namespace ooxml
