#include "platform/ooxml/package_reader.h"

#include <zip.h>

#include <algorithm>
#include <cerrno>

#include "base/run_time_error.h"
#include "base/system_error.h"
#include "base/whole_file.h"

namespace ooxml {

namespace {

using base::ErrorNumber;
using base::RunTimeError;

[[noreturn]] void bad_package(std::string_view where, std::string_view what) {
    throw RunTimeError(ErrorNumber::invalid_file_format,
                       std::string(where) + ": " + std::string(what));
}

}  // namespace

struct PackageReader::Impl {
    Impl(zip_source_t* source, std::string package_name, std::uint64_t limit,
         std::unique_ptr<std::string> held = nullptr)
        : name(std::move(package_name)), part_limit(limit), bytes(std::move(held)) {
        zip_error_t error;
        zip_error_init(&error);
        archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
        if (archive == nullptr) {
            zip_source_free(source);
            const std::string what = zip_error_strerror(&error);
            const int system = zip_error_code_system(&error);
            const bool missing = zip_error_code_zip(&error) == ZIP_ER_OPEN ||
                                 zip_error_code_zip(&error) == ZIP_ER_READ;
            zip_error_fini(&error);
            if (missing && system != 0) {
                throw base::system_error(system, name, base::FileAccess::read);
            }
            bad_package(name, what);
        }
        const zip_int64_t count = zip_get_num_entries(archive, 0);
        for (zip_int64_t i = 0; i < count; ++i) {
            const char* entry = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0);
            if (entry == nullptr) {
                zip_discard(archive);
                bad_package(name, "entry " + std::to_string(i) + " has no name");
            }
            names.emplace_back(entry);
        }
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    ~Impl() { zip_discard(archive); }

    // The part's recorded size; `where` names it in the error when it has none.
    zip_uint64_t size_of(const std::string& entry, const std::string& where) const {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat(archive, entry.c_str(), 0, &st) != 0) bad_package(where, "no such part");
        if ((st.valid & ZIP_STAT_SIZE) == 0) bad_package(where, "size unknown");
        return st.size;
    }

    std::string name;
    std::uint64_t part_limit;
    zip_t* archive = nullptr;
    std::vector<std::string> names;
    std::unique_ptr<std::string> bytes;  // the package itself when it was given in memory
};

namespace {

// One part read from its start to its end. A damaged entry shows itself (CRC) only once it has
// been read to its end, so it is read until libzip says there is no more.
class EntryReading {
  public:
    EntryReading(zip_t* archive, const std::string& entry, const std::string& where)
        : file_(zip_fopen(archive, entry.c_str(), 0)), where_(where) {
        if (file_ == nullptr) bad_package(where_, zip_strerror(archive));
    }
    EntryReading(const EntryReading&) = delete;
    EntryReading& operator=(const EntryReading&) = delete;
    ~EntryReading() { zip_fclose(file_); }

    // The next bytes into `into`; false at the end of the part or at a failure.
    bool next(char* into, std::size_t room) {
        const zip_int64_t n = zip_fread(file_, into, room);
        if (n < 0) failure_ = zip_file_strerror(file_);
        if (n <= 0) return false;
        done += static_cast<zip_uint64_t>(n);
        return true;
    }

    // Compares what was read with the recorded size, having made sure the part has ended.
    void finish(zip_uint64_t size) {
        if (failure_.empty() && done == size) {
            char probe;
            next(&probe, 1);
        }
        if (failure_.empty() && done < size) failure_ = "ends early";
        if (failure_.empty() && done > size) failure_ = "longer than its recorded size";
        if (!failure_.empty()) {
            bad_package(where_ + ": byte " + std::to_string(std::min(done, size)), failure_);
        }
    }

    zip_uint64_t done = 0;

  private:
    zip_file_t* file_;
    std::string where_;
    std::string failure_;
};

zip_source_t* file_source(const std::filesystem::path& file) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_file_create(file.c_str(), 0, -1, &error);
    const int system = zip_error_code_system(&error);
    zip_error_fini(&error);
    if (source == nullptr) {
        throw base::system_error(system != 0 ? system : EIO, file, base::FileAccess::read);
    }
    return source;
}

}  // namespace

PackageReader::PackageReader(const std::filesystem::path& file, std::uint64_t part_limit) {
    // libzip reports a missing file only as "can't open"; the user needs "file not found".
    if (base::path_kind(file) == base::PathKind::missing) {
        throw base::system_error(ENOENT, file, base::FileAccess::read);
    }
    impl_ = std::make_unique<Impl>(file_source(file), file.string(), part_limit);
}

PackageReader::PackageReader(std::string bytes, std::string name, std::uint64_t part_limit) {
    zip_error_t error;
    zip_error_init(&error);
    auto held = std::make_unique<std::string>(std::move(bytes));
    zip_source_t* source = zip_source_buffer_create(held->data(), held->size(), 0, &error);
    zip_error_fini(&error);
    if (source == nullptr) throw RunTimeError(ErrorNumber::out_of_memory, name);
    impl_ = std::make_unique<Impl>(source, std::move(name), part_limit, std::move(held));
}

PackageReader::~PackageReader() = default;

/* ---------------------------------------------------------------- part_names */
const std::vector<std::string>& PackageReader::part_names() const noexcept {
    return impl_->names;
}

/* ---------------------------------------------------------------- contains */
bool PackageReader::contains(std::string_view part) const {
    return std::find(impl_->names.begin(), impl_->names.end(), part) != impl_->names.end();
}

/* ---------------------------------------------------------------- read */
std::string PackageReader::read(std::string_view part) const {
    const std::string entry(part);
    const std::string where = impl_->name + ": " + entry;
    const zip_uint64_t size = impl_->size_of(entry, where);
    if (size > impl_->part_limit) {
        bad_package(where, "part of " + std::to_string(size) + " bytes is larger than " +
                               std::to_string(impl_->part_limit));
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    EntryReading reading(impl_->archive, entry, where);
    while (reading.done < bytes.size() &&
           reading.next(bytes.data() + reading.done, bytes.size() - reading.done)) {
    }
    reading.finish(bytes.size());
    return bytes;
}

/* ---------------------------------------------------------------- stored */
bool PackageReader::stored(std::string_view part) const {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(impl_->archive, index_of(part), 0, &st) != 0 ||
        (st.valid & ZIP_STAT_COMP_METHOD) == 0) {
        bad_package(impl_->name + ": " + std::string(part), "method unknown");
    }
    return st.comp_method == ZIP_CM_STORE;
}

/* ---------------------------------------------------------------- check */
void PackageReader::check(std::string_view part) const {
    const std::string entry(part);
    const std::string where = impl_->name + ": " + entry;
    const zip_uint64_t size = impl_->size_of(entry, where);
    std::vector<char> buffer(std::size_t{1} << 16);
    EntryReading reading(impl_->archive, entry, where);
    while (reading.done <= size && reading.next(buffer.data(), buffer.size())) {
    }
    reading.finish(size);
}

/* ---------------------------------------------------------------- archive */
zip* PackageReader::archive() const noexcept {
    return impl_->archive;
}

/* ---------------------------------------------------------------- name */
const std::string& PackageReader::name() const noexcept {
    return impl_->name;
}

/* ---------------------------------------------------------------- index_of */
std::uint64_t PackageReader::index_of(std::string_view part) const {
    const std::string entry(part);
    const zip_int64_t index = zip_name_locate(impl_->archive, entry.c_str(), 0);
    if (index < 0) bad_package(impl_->name + ": " + entry, "no such part");
    return static_cast<std::uint64_t>(index);
}

}  // namespace ooxml
