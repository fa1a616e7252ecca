#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/run_time_error.h"
#include "platform/ooxml/package_writer.h"
#include "platform/xlsreport/report_failure.h"
#include "platform/xlsreport/template_book.h"

namespace {

// The parts a template is read through, in the order an input gives them, separated by a line
// "--part--". A zip's checksums would stop nearly every change to the XML inside it, so the
// parts are zipped here, each input part replacing the one of a plain workbook.
constexpr std::array<std::string_view, 4> part_names{
    "_rels/.rels", "xl/workbook.xml", "xl/_rels/workbook.xml.rels", "xl/worksheets/sheet1.xml"};

constexpr std::array<std::string_view, 4> plain_parts{
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)",
    R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="1" sheetId="1" r:id="rId1"/></sheets></workbook>)",
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/></Relationships>)",
    R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><cols><col min="1" max="2" width="1.5"/></cols><sheetData/></worksheet>)"};

std::string package_of(std::string_view input) {
    ooxml::PackageWriter writer;
    for (std::size_t i = 0; i < part_names.size(); ++i) {
        std::string_view part = plain_parts[i];
        if (!input.empty()) {
            const std::size_t end = input.find("\n--part--\n");
            part = input.substr(0, end);
            input = end == std::string_view::npos ? std::string_view{} : input.substr(end + 10);
        }
        writer.add(part_names[i], std::string(part));
    }
    writer.add("xl/styles.xml", "<styleSheet/>");
    return writer.finish();
}

}  // namespace

// A template a user edited in any program: damage must end in the library's refusal to open
// it, never in a read outside a part or an unbounded allocation.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    try {
        // An input that is itself a zip is read as it stands.
        std::string package = input.starts_with("PK") ? std::string(input) : package_of(input);
        const auto book = xlsreport::detail::TemplateBook::parse(std::move(package), "fuzz.xlsx",
                                                                 std::uint64_t{1} << 20);
        book->sheet("1");
    } catch (const xlsreport::detail::ReportFailure&) {
    } catch (const base::RunTimeError&) {
    }
    return 0;
}
