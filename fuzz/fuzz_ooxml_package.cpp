#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/run_time_error.h"
#include "platform/ooxml/content_types.h"
#include "platform/ooxml/package_reader.h"
#include "platform/ooxml/package_writer.h"
#include "platform/ooxml/relationships.h"

// A package from anywhere: a template a user edited, a workbook to finish and save again. Damage
// must end in a RunTimeError, never in a read outside a part or an unbounded allocation.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const ooxml::PackageReader package(std::string(reinterpret_cast<const char*>(data), size),
                                           "fuzz.xlsx", 1u << 20);
        for (const auto& part : package.part_names()) {
            try {
                const std::string xml = package.read(part);
                if (part == "[Content_Types].xml") ooxml::ContentTypes::parse(xml);
                if (std::string_view(part).ends_with(".rels"))
                    ooxml::Relationships::parse(xml, part);
            } catch (const base::RunTimeError&) {
            }
        }
        // Copying the parts as they are stored must refuse a damaged one, not pass it on.
        try {
            ooxml::PackageWriter copy;
            for (const auto& part : package.part_names()) copy.add_copy(package, part);
            copy.finish();
        } catch (const base::RunTimeError&) {
        }
    } catch (const base::RunTimeError&) {
    }
    return 0;
}
