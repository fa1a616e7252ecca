// Reading a package another program wrote (a template, a workbook to finish). Every read is
// bounded: a part larger than the limit, a damaged entry or a missing part is a RunTimeError
// that names the package, the part and, where it is known, the byte offset.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct zip;

namespace ooxml {

class PackageWriter;

class PackageReader {
  public:
    // Parts larger than this are refused instead of filling the memory.
    static constexpr std::uint64_t default_part_limit = std::uint64_t{256} << 20;

    // file not found when it does not exist; invalid file format when it is not a zip.
    explicit PackageReader(const std::filesystem::path& file,
                           std::uint64_t part_limit = default_part_limit);
    // A package held in memory; `name` stands for it in errors.
    PackageReader(std::string bytes, std::string name,
                  std::uint64_t part_limit = default_part_limit);
    ~PackageReader();
    PackageReader(const PackageReader&) = delete;
    PackageReader& operator=(const PackageReader&) = delete;

    // Entry names in the order the zip holds them.
    const std::vector<std::string>& part_names() const noexcept;
    bool contains(std::string_view part) const;
    // The whole part, checked against its recorded size.
    std::string read(std::string_view part) const;
    // Whether the part is stored uncompressed. Invalid file format when there is no such part.
    bool stored(std::string_view part) const;
    // Reads the part to its end and keeps nothing: the damage `read` would find, without the
    // memory, and without the size limit, which is there for the memory.
    void check(std::string_view part) const;

  private:
    // The writer copies parts straight out of the open archive.
    friend class PackageWriter;
    zip* archive() const noexcept;
    const std::string& name() const noexcept;
    // Invalid file format, naming the package and the part, when there is no such part.
    std::uint64_t index_of(std::string_view part) const;

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ooxml
