// Writing a package (.docx, .xlsx): zip entries in the order they are added, with a fixed time
// stamp, so the same parts always give the same bytes.
//
// Parts are deflated on a thread of their own (the spool's) and written into the package as
// soon as the parts before them are: a part is made while the one before it is deflated, and
// the writer holds no more than the last part or two. A part made long before the package
// (a document's body, a finished sheet, a picture) is deflated into the spool when it is made
// and added as it stands.
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
    // A package made in memory; finish() gives its bytes. Parts are deflated in `spool`, or in
    // a spool of the writer's own.
    explicit PackageWriter(std::shared_ptr<PartSpool> spool = nullptr);
    // A package written into `file` through base::AtomicFile as its parts come; commit() puts
    // it in place. Without commit() the file stays as it was. Refuses at once a destination
    // whose folder does not exist.
    explicit PackageWriter(const std::filesystem::path& file,
                           std::shared_ptr<PartSpool> spool = nullptr);
    ~PackageWriter();
    PackageWriter(const PackageWriter&) = delete;
    PackageWriter& operator=(const PackageWriter&) = delete;

    // A part whose bytes are at hand. `name` is the entry name, without the leading slash.
    void add(std::string_view name, std::string bytes);
    // A part too big to hold whole, deflated as its pieces come. An exception from it ends
    // the package with that exception.
    void add_stream(std::string_view name, const std::function<PartPieces()>& start);
    // A part deflated in this writer's spool.
    void add_deflated(std::string_view name, PartSpool::Part part);
    void add_deflated(std::string_view name, const SpooledPart& part);
    // A part kept as it is in this writer's spool (PartSpool::store), stored uncompressed.
    void add_stored(std::string_view name, const SpooledPart& part);
    // The part of the same name in `source`, copied as it is stored there: its compressed bytes,
    // method, CRC and sizes, neither inflated for the copy nor deflated again. It is read through
    // before it is copied, so a damaged part stops the package with the reader's error instead
    // of passing into it; a part `source` lacks is refused at once. `source` must stay open
    // until finish or commit returns.
    void add_copy(const PackageReader& source, std::string_view part);

    // Either of these ends the package, once. The same parts give the same bytes both ways.
    // The package as bytes. RunTimeError (device I/O) when the zip cannot be made.
    std::string finish();
    // The package in place under its name.
    void commit();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ooxml
