#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/run_time_error.h"
#include "platform/ooxml/package_writer.h"
#include "platform/ooxml/part_spool.h"
#include "platform/ooxml/xml_writer.h"
#include "platform/xlsreport/defined_names.h"
#include "platform/xlsreport/hf_drawing.h"
#include "platform/xlsreport/report_failure.h"
#include "platform/xlsreport/sheet_model.h"
#include "platform/xlsreport/template_book.h"

namespace {

// The parts a template is read through, in the order an input gives them, separated by a line
// "--part--". A zip's checksums would stop nearly every change to the XML inside it, so the
// parts are zipped here, each input part replacing the one of a plain workbook that has defined
// names, a header picture and document properties.
constexpr std::array<std::string_view, 9> part_names{"_rels/.rels",
                                                     "xl/workbook.xml",
                                                     "xl/_rels/workbook.xml.rels",
                                                     "xl/worksheets/sheet1.xml",
                                                     "xl/worksheets/_rels/sheet1.xml.rels",
                                                     "xl/drawings/vmlDrawing1.vml",
                                                     "xl/drawings/_rels/vmlDrawing1.vml.rels",
                                                     "xl/media/image1.png",
                                                     "docProps/core.xml"};

constexpr std::array<std::string_view, 9> plain_parts{
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" Target="docProps/core.xml"/></Relationships>)",
    R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="1" sheetId="1" r:id="rId1"/></sheets><definedNames><definedName name="_xlnm.Print_Titles" localSheetId="0">'1'!$1:$2</definedName><definedName name="_xlnm.Print_Area" localSheetId="0">1!$A$1:$H$50,'1'!$J:$K</definedName><definedName name="Rate" hidden="1">SUM('1'!A1:A3)*0.08</definedName></definedNames></workbook>)",
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/></Relationships>)",
    R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><cols><col min="1" max="2" width="1.5"/></cols><sheetData/><headerFooter><oddHeader>&amp;L&amp;G</oddHeader></headerFooter><legacyDrawingHF r:id="rId1"/></worksheet>)",
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/vmlDrawing" Target="../drawings/vmlDrawing1.vml"/></Relationships>)",
    R"(<xml xmlns:v="urn:schemas-microsoft-com:vml" xmlns:o="urn:schemas-microsoft-com:office:office"><o:shapelayout v:ext="edit"><o:idmap v:ext="edit" data="1"/></o:shapelayout><v:shape id="LH" o:spid="_x0000_s1025" style="width:72pt;height:24pt"><v:imagedata o:relid="rId1" o:title="logo"/></v:shape></xml>)",
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/image" Target="../media/image1.png"/></Relationships>)",
    "\x89PNG\r\n\x1a\n",
    R"(<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" xmlns:dc="http://purl.org/dc/elements/1.1/"><dc:title>T &amp; &lt;x&gt;</dc:title><cp:category>c</cp:category></cp:coreProperties>)"};

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
        // What the writer makes of the template's names and header pictures, on two sheets
        // of some cells.
        using namespace xlsreport::detail;
        const TemplateSheet* sheet = book->sheet("1");
        NameTable names(book->names(), book->file_name(), [](const std::string&) {});
        SheetModel model("Page 1");
        model.set_text(3, 70, "x");
        ooxml::PartSpool spool;
        MediaStore media(spool);
        for (const std::int32_t block : {1, 2}) {
            if (sheet == nullptr) break;
            names.add_sheet(model, sheet->name, sheet->names);
            if (sheet->header_footer_drawing)
                vml_parts(*sheet->header_footer_drawing, block, media);
        }
        ooxml::XmlWriter out;
        names.write(out, {"Page 1", "Page 2"});
    } catch (const xlsreport::detail::ReportFailure&) {
    } catch (const base::RunTimeError&) {
    }
    return 0;
}
