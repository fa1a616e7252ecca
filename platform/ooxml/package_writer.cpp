#include "platform/ooxml/package_writer.h"

#include <zip.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

#include "base/atomic_file.h"
#include "base/run_time_error.h"

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

}  // namespace

// The archive is built in a memory buffer: libzip compresses each part as it reads it, so a
// streamed part is never held whole, only its compressed bytes.
struct PackageWriter::Impl {
    Impl() {
        zip_error_init(&error);
        source = zip_source_buffer_create(nullptr, 0, 0, &error);
        if (source == nullptr) zip_failure(&error, "zip buffer");
        archive = zip_open_from_source(source, ZIP_TRUNCATE, &error);
        if (archive == nullptr) {
            zip_source_free(source);
            zip_failure(&error, "zip open");
        }
        zip_source_keep(source);
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    ~Impl() {
        if (archive != nullptr) zip_discard(archive);
        zip_source_free(source);
        zip_error_fini(&error);
        for (const auto& stream : streams) zip_error_fini(&stream->error);
    }

    void add_source(std::string_view name, zip_source_t* s) {
        const std::string entry(name);
        const zip_int64_t index = zip_file_add(archive, entry.c_str(), s, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(s);
            zip_failure(zip_get_error(archive), name);
        }
        const auto i = static_cast<zip_uint64_t>(index);
        if (zip_file_set_dostime(archive, i, dos_time, dos_date, 0) != 0 ||
            zip_set_file_compression(archive, i, ZIP_CM_DEFLATE, 6) != 0) {
            zip_failure(zip_get_error(archive), name);
        }
    }

    // Closes the archive; its bytes are then in `source`, open for reading.
    std::uint64_t close() {
        if (zip_close(archive) != 0) {
            for (const auto& stream : streams) {
                if (stream->failure) std::rethrow_exception(stream->failure);
            }
            zip_failure(zip_get_error(archive), "zip close");
        }
        archive = nullptr;
        zip_stat_t st;
        if (zip_source_stat(source, &st) != 0 || zip_source_open(source) != 0) {
            zip_failure(zip_source_error(source), "zip read back");
        }
        return st.size;
    }

    // The next `length` bytes of the closed archive.
    void read(char* data, std::uint64_t length) {
        const zip_int64_t n = zip_source_read(source, data, length);
        if (n < 0 || static_cast<zip_uint64_t>(n) != length) {
            zip_failure(zip_source_error(source), "zip read back");
        }
    }

    zip_error_t error;
    zip_source_t* source = nullptr;
    zip_t* archive = nullptr;
    std::vector<std::unique_ptr<std::string>> parts;
    std::vector<std::unique_ptr<Producer>> streams;
};

PackageWriter::PackageWriter() : impl_(std::make_unique<Impl>()) {}

PackageWriter::~PackageWriter() = default;

/* ---------------------------------------------------------------- PackageWriter::add */
void PackageWriter::add(std::string_view name, std::string bytes) {
    impl_->parts.push_back(std::make_unique<std::string>(std::move(bytes)));
    const std::string& part = *impl_->parts.back();
    zip_source_t* s = zip_source_buffer(impl_->archive, part.data(), part.size(), 0);
    if (s == nullptr) zip_failure(zip_get_error(impl_->archive), name);
    impl_->add_source(name, s);
}

/* ---------------------------------------------------------------- PackageWriter::add_stream */
void PackageWriter::add_stream(std::string_view name, std::function<PartPieces()> start) {
    std::uint64_t size = 0;
    const PartPieces measure = start();
    for (std::string_view piece = measure(); !piece.empty(); piece = measure()) {
        size += piece.size();
    }
    impl_->streams.push_back(std::make_unique<Producer>());
    Producer& producer = *impl_->streams.back();
    producer.start = std::move(start);
    producer.size = size;
    zip_error_init(&producer.error);
    zip_source_t* s = zip_source_function(impl_->archive, &Producer::callback, &producer);
    if (s == nullptr) zip_failure(zip_get_error(impl_->archive), name);
    impl_->add_source(name, s);
}

/* ---------------------------------------------------------------- PackageWriter::finish */
std::string PackageWriter::finish() {
    std::string out(static_cast<std::size_t>(impl_->close()), '\0');
    impl_->read(out.data(), out.size());
    return out;
}

/* ---------------------------------------------------------------- PackageWriter::commit */
void PackageWriter::commit(const std::filesystem::path& file) {
    // Opened first: a folder that is not there fails before all the work.
    base::AtomicFile out(file);
    std::uint64_t left = impl_->close();
    std::string chunk;
    while (left > 0) {
        chunk.resize(static_cast<std::size_t>(std::min<std::uint64_t>(left, 1 << 20)));
        impl_->read(chunk.data(), chunk.size());
        out.write(chunk);
        left -= chunk.size();
    }
    out.commit();
}

}  // namespace ooxml
