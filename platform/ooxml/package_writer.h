// Writing a package (.docx, .xlsx): zip entries in the order they are added, with a fixed time
// stamp, so the same parts always give the same bytes.
//
// Parts are deflated as they are added, on a thread of their own, into a spool; the package
// itself is written when it is finished or committed, the compressed parts copied into it in
// their order. A part made long before the package is written (a document's body, a finished
// sheet, a picture) can be deflated straight into the spool and added as it stands.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ooxml/part_spool.h"

namespace ooxml {

class PackageReader;

// Gives a streamed part piece by piece; an empty piece ends the part. The view must stay valid
// until the next call.
using PartPieces = std::function<std::string_view()>;

class PackageWriter {
  public:
    // Parts wait in a spool of the writer's own.
    PackageWriter();
    // Parts wait in `spool`, whose parts may then be added with add_deflated.
    explicit PackageWriter(std::shared_ptr<PartSpool> spool);
    ~PackageWriter();
    PackageWriter(const PackageWriter&) = delete;
    PackageWriter& operator=(const PackageWriter&) = delete;

    // A part whose bytes are at hand. `name` is the entry name, without the leading slash.
    void add(std::string_view name, std::string bytes);
    // A part too big to hold whole: `start` is called once, when the package is written, and
    // the pieces are deflated as they come. An exception from it ends the package with that
    // exception.
    void add_stream(std::string_view name, std::function<PartPieces()> start);
    // A part deflated in this writer's spool.
    void add_deflated(std::string_view name, PartSpool::Part part);
    // The part of the same name in `source`, copied as it is stored there: its compressed bytes,
    // method, CRC and sizes, neither inflated for the copy nor deflated again. It is read through
    // once when the package is written, so a damaged part stops the package with the reader's
    // error instead of passing into it; a part `source` lacks is refused at once. `source` must
    // stay open until finish or commit returns.
    void add_copy(const PackageReader& source, std::string_view part);

    // Either of these ends the package, once. The same parts give the same bytes both ways.
    // The package as bytes. RunTimeError (device I/O) when the zip cannot be made.
    std::string finish();
    // The package written straight into `file` through base::AtomicFile: complete or absent.
    void commit(const std::filesystem::path& file);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ooxml
