// The zip package of a .docx, built in memory and written to disk atomically.
#include <fcntl.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/run_time_error.h"
#include "platform/word/docx.h"

namespace word::detail {

namespace {

using base::ErrorNumber;
using base::RunTimeError;

// 1980-01-01 00:00, the earliest time a zip entry can carry: fixed, so output is repeatable.
constexpr zip_uint16_t dos_time = 0;
constexpr zip_uint16_t dos_date = (0 << 9) | (1 << 5) | 1;

[[noreturn]] void zip_failure(zip_error_t* error, const std::string& what) {
    const std::string message = what + ": " + zip_error_strerror(error);
    throw RunTimeError(ErrorNumber::device_io, message);
}

class ZipBuilder {
  public:
    ZipBuilder() {
        zip_error_init(&error_);
        source_ = zip_source_buffer_create(nullptr, 0, 0, &error_);
        if (source_ == nullptr) zip_failure(&error_, "zip buffer");
        archive_ = zip_open_from_source(source_, ZIP_TRUNCATE, &error_);
        if (archive_ == nullptr) {
            zip_source_free(source_);
            zip_failure(&error_, "zip open");
        }
        zip_source_keep(source_);
    }
    ZipBuilder(const ZipBuilder&) = delete;
    ZipBuilder& operator=(const ZipBuilder&) = delete;
    ~ZipBuilder() {
        if (archive_ != nullptr) zip_discard(archive_);
        zip_source_free(source_);
        zip_error_fini(&error_);
        for (const auto& stream : streams_) zip_error_fini(&stream->error);
    }

    void add(const std::string& name, std::string data) {
        parts_.push_back(std::make_unique<std::string>(std::move(data)));
        const std::string& bytes = *parts_.back();
        zip_source_t* s = zip_source_buffer(archive_, bytes.data(), bytes.size(), 0);
        if (s == nullptr) zip_failure(zip_get_error(archive_), name);
        add_source(name, s);
    }

  private:
    // Bytes made on demand; an exception while making them is kept and rethrown after the
    // archive gave up, so it never crosses libzip's C frames.
    struct Producer {
        using Next = std::function<std::string_view()>;
        using Start = std::function<Next()>;
        Start start;
        Next next;
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

    void add_source(const std::string& name, zip_source_t* s) {
        const zip_int64_t index = zip_file_add(archive_, name.c_str(), s, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(s);
            zip_failure(zip_get_error(archive_), name);
        }
        const auto i = static_cast<zip_uint64_t>(index);
        if (zip_file_set_dostime(archive_, i, dos_time, dos_date, 0) != 0 ||
            zip_set_file_compression(archive_, i, ZIP_CM_DEFLATE, 6) != 0) {
            zip_failure(zip_get_error(archive_), name);
        }
    }

  public:
    // An entry whose `size` bytes a producer made by `start` gives piece by piece while the
    // archive is written (an empty piece ends them). Knowing the size keeps the entry out of
    // the zip64 format, which not every Office version reads.
    void add_stream(const std::string& name, std::uint64_t size, Producer::Start start) {
        streams_.push_back(std::make_unique<Producer>());
        Producer& producer = *streams_.back();
        producer.start = std::move(start);
        producer.size = size;
        zip_error_init(&producer.error);
        zip_source_t* s = zip_source_function(archive_, &Producer::callback, &producer);
        if (s == nullptr) zip_failure(zip_get_error(archive_), name);
        add_source(name, s);
    }

    std::string finish() {
        if (zip_close(archive_) != 0) {
            for (const auto& stream : streams_) {
                if (stream->failure) std::rethrow_exception(stream->failure);
            }
            zip_failure(zip_get_error(archive_), "zip close");
        }
        archive_ = nullptr;
        zip_stat_t st;
        if (zip_source_stat(source_, &st) != 0 || zip_source_open(source_) != 0) {
            zip_failure(zip_source_error(source_), "zip read back");
        }
        std::string out(static_cast<std::size_t>(st.size), '\0');
        const zip_int64_t n = zip_source_read(source_, out.data(), st.size);
        zip_source_close(source_);
        if (n < 0 || static_cast<zip_uint64_t>(n) != st.size) {
            zip_failure(zip_source_error(source_), "zip read back");
        }
        return out;
    }

  private:
    zip_error_t error_;
    zip_source_t* source_ = nullptr;
    zip_t* archive_ = nullptr;
    std::vector<std::unique_ptr<std::string>> parts_;
    std::vector<std::unique_ptr<Producer>> streams_;
};

ErrorNumber error_for(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
            return ErrorNumber::permission_denied;
        case ENOENT:
        case ENOTDIR:
            return ErrorNumber::path_not_found;
        case ENOSPC:
        case EIO:
            return ErrorNumber::device_io;
        default:
            return ErrorNumber::path_file_access;
    }
}

[[noreturn]] void file_failure(int error, const std::string& what) {
    throw RunTimeError(error_for(error), what + ": " + std::generic_category().message(error));
}

}  // namespace

/* ---------------------------------------------------------------- docx_bytes */
std::string docx_bytes(const DocState& doc) {
    MediaTable media = collect_media(doc);
    const auto start_body = [&doc, &media]() -> std::function<std::string_view()> {
        auto body = std::make_shared<DocumentXml>(doc, media);
        return [body] { return std::string_view(body->next(1 << 20)); };
    };
    std::uint64_t body_size = 0;
    const auto measure = start_body();
    for (std::string_view piece = measure(); !piece.empty(); piece = measure()) {
        body_size += piece.size();
    }
    ZipBuilder zip;
    zip.add("[Content_Types].xml", content_types_xml(media));
    zip.add("_rels/.rels", package_relationships_xml());
    zip.add_stream("word/document.xml", body_size, start_body);
    zip.add("word/styles.xml", styles_xml(doc));
    zip.add("word/settings.xml", settings_xml(doc));
    zip.add("word/_rels/document.xml.rels", document_relationships_xml(media));
    for (const MediaPart& m : media.parts) zip.add("word/" + m.name, m.picture->bytes);
    zip.add("docProps/core.xml", core_properties_xml());
    zip.add("docProps/app.xml", app_properties_xml());
    return zip.finish();
}

/* ---------------------------------------------------------------- save_docx */
void save_docx(const DocState& doc, const std::filesystem::path& file) {
    const std::filesystem::path folder =
        file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        throw RunTimeError(ErrorNumber::path_not_found,
                           "folder does not exist: " + folder.string());
    }
    if (!file.has_filename() || std::filesystem::is_directory(file, ec)) {
        throw RunTimeError(ErrorNumber::path_file_access, "not a file name: " + file.string());
    }
    const std::string bytes = docx_bytes(doc);

    static std::atomic<unsigned> counter{0};
    const std::filesystem::path temp =
        folder / ("." + file.filename().string() + "." + std::to_string(getpid()) + "." +
                  std::to_string(counter++) + ".tmp");
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) file_failure(errno, "cannot create " + temp.string());
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            file_failure(error, "cannot write " + temp.string());
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        file_failure(error, "cannot write " + temp.string());
    }
    if (::rename(temp.c_str(), file.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        file_failure(error, "cannot replace " + file.string());
    }
}

}  // namespace word::detail
