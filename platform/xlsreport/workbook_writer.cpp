#include "platform/xlsreport/workbook_writer.h"

#include <chrono>
#include <deque>
#include <memory>
#include <set>
#include <system_error>

#include "base/run_time_error.h"
#include "platform/ooxml/content_types.h"
#include "platform/ooxml/package_writer.h"
#include "platform/ooxml/relationships.h"
#include "platform/ooxml/xml_writer.h"
#include "platform/xlsreport/hf_drawing.h"
#include "platform/xlsreport/report_failure.h"
#include "platform/xlsreport/sheet_parts.h"
#include "platform/xlsreport/styles_part.h"
#include "platform/xlsreport/xls_report.h"

namespace xlsreport::detail {

namespace {

namespace content_type {
constexpr std::string_view workbook =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
constexpr std::string_view worksheet =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
constexpr std::string_view styles =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";
constexpr std::string_view theme = "application/vnd.openxmlformats-officedocument.theme+xml";
constexpr std::string_view drawing = "application/vnd.openxmlformats-officedocument.drawing+xml";
constexpr std::string_view vml = "application/vnd.openxmlformats-officedocument.vmlDrawing";
constexpr std::string_view core_properties =
    "application/vnd.openxmlformats-package.core-properties+xml";
constexpr std::string_view app_properties =
    "application/vnd.openxmlformats-officedocument.extended-properties+xml";
}  // namespace content_type

constexpr std::string_view theme_relationship =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/theme";

// The report library's number for a failure to write the file.
std::int32_t save_error_number(const base::RunTimeError& e) {
    using base::ErrorNumber;
    switch (static_cast<ErrorNumber>(e.number())) {
        case ErrorNumber::path_not_found:
        case ErrorNumber::permission_denied:
        case ErrorNumber::path_file_access:
        case ErrorNumber::file_not_found:
        case ErrorNumber::bad_file_name_or_number:
            return error::file_cannot_open;
        case ErrorNumber::device_io:
            return error::write_error;
        default:
            return error::save_failed;
    }
}

}  // namespace

struct WorkbookWriter::Parts {
    Parts(const TemplateBook& book, ooxml::DocumentProperties book_properties, Warn warn)
        : styles(book.styles_xml()),
          spool(std::make_shared<ooxml::PartSpool>()),
          media(*spool),
          names(book.names(), book.file_name(), std::move(warn)),
          properties(std::move(book_properties)) {}
    // The spool's work may still fill in the sheets' and pictures' places, and use the styles.
    ~Parts() { spool->drain(); }
    Parts(const Parts&) = delete;
    Parts& operator=(const Parts&) = delete;

    // A finished sheet's parts in the spool: only the open sheet is held as cells. The
    // worksheet waits as it is: whether it is deflated is told when the workbook is saved.
    struct Sheet {
        std::string name;
        ooxml::SpooledPart worksheet;    // filled in by the spool's thread
        ooxml::PartSpool::Part drawing;  // none without pictures
        ooxml::PartSpool::Part drawing_relationships;
        ooxml::PartSpool::Part vml;  // none without header or footer pictures
        ooxml::PartSpool::Part vml_relationships;
    };

    StyleTable styles;
    std::shared_ptr<ooxml::PartSpool> spool;
    MediaStore media;
    NameTable names;
    ooxml::DocumentProperties properties;
    std::deque<Sheet> sheets;
};

WorkbookWriter::WorkbookWriter(const TemplateBook& book, ooxml::DocumentProperties properties,
                               Warn warn)
    : book_(book), parts_(std::make_unique<Parts>(book, std::move(properties), std::move(warn))) {}

WorkbookWriter::~WorkbookWriter() = default;

/* ------------------------------------------------------------ add_sheet */
void WorkbookWriter::add_sheet(SheetModel sheet, const TemplateSheet& from) {
    const auto block = static_cast<std::int32_t>(parts_->sheets.size() + 1);
    Parts::Sheet& parts = parts_->sheets.emplace_back();
    parts.name = sheet.name();
    const bool pictures = !sheet.pictures().empty();
    const bool hf_pictures = from.header_footer_drawing.has_value();
    ooxml::PartSpool& spool = *parts_->spool;
    // The small parts are deflated on the spool's thread while the next sheet is filled.
    if (hf_pictures) {
        VmlParts vml = vml_parts(*from.header_footer_drawing, block, parts_->media);
        parts.vml = spool.deflate(std::move(vml.vml));
        parts.vml_relationships = spool.deflate(std::move(vml.relationships));
    }
    parts_->names.add_sheet(sheet, from.name, from.names);
    if (pictures) {
        DrawingParts drawing = drawing_parts(sheet, parts_->media);
        parts.drawing = spool.deflate(std::move(drawing.drawing));
        parts.drawing_relationships = spool.deflate(std::move(drawing.relationships));
    }
    // The worksheet's XML is made there too, the sheets in their order, so that the cell
    // formats are numbered as they would be here. A cell of the model takes a few hundred
    // bytes: that much counts against the spool's queue, so that no more than a sheet or two
    // wait there.
    std::size_t cells = 0;
    for (const auto& [r, row] : sheet.rows()) cells += row.cells.size() + 1;
    auto model = std::make_shared<const SheetModel>(std::move(sheet));
    const std::string_view hf_id = !hf_pictures ? "" : pictures ? "rId2" : "rId1";
    spool.store(
        [model, &from, &styles = parts_->styles, pictures, hf_id] {
            return worksheet_xml(*model, from, styles, pictures ? "rId1" : "", hf_id);
        },
        cells * 256, parts.worksheet);
}

MediaStore& WorkbookWriter::media() noexcept {
    return parts_->media;
}

/* ------------------------------------------------------------ save */
void WorkbookWriter::save(const std::filesystem::path& file, bool overwrite,
                          const Progress& progress, bool stored_sheets) {
    std::error_code ec;
    if (!overwrite && std::filesystem::exists(file, ec))
        fail(error::file_cannot_open, file.string() + "：ファイルが既にあります");

    // The worksheets made on the spool's thread have numbered their formats by now.
    try {
        parts_->spool->wait();
    } catch (const base::RunTimeError& e) {
        fail(save_error_number(e),
             e.description() + (e.context().empty() ? "" : " (" + e.context() + ")"));
    }
    const auto& sheets = parts_->sheets;
    ooxml::ContentTypes types = ooxml::ContentTypes::with_package_defaults();
    types.add_override("/xl/workbook.xml", content_type::workbook);
    types.add_override("/xl/styles.xml", content_type::styles);
    ooxml::Relationships workbook_rels;
    workbook_rels.add(ooxml::relationship_type::styles, "styles.xml");
    if (!book_.theme_xml().empty()) {
        workbook_rels.add(theme_relationship, "theme/theme1.xml");
        types.add_override("/xl/theme/theme1.xml", content_type::theme);
    }
    types.add_override("/docProps/core.xml", content_type::core_properties);
    types.add_override("/docProps/app.xml", content_type::app_properties);
    std::set<std::string_view> media_types;
    for (const MediaStore::Media& media : parts_->media.all()) {
        if (media_types.insert(media.type.extension).second)
            types.add_default(media.type.extension, media.type.content_type);
    }

    ooxml::XmlWriter workbook;
    workbook.declaration();
    workbook.start("workbook");
    workbook.attribute("xmlns", "http://schemas.openxmlformats.org/spreadsheetml/2006/main");
    workbook.attribute("xmlns:r",
                       "http://schemas.openxmlformats.org/officeDocument/2006/relationships");
    workbook.start("bookViews");
    workbook.empty("workbookView", {{"activeTab", "0"}});
    workbook.end();
    workbook.start("sheets");
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        const std::string id =
            workbook_rels.add(ooxml::relationship_type::worksheet, "worksheets/sheet" + n + ".xml");
        workbook.empty("sheet", {{"name", sheets[i].name}, {"sheetId", n}, {"r:id", id}});
        types.add_override("/xl/worksheets/sheet" + n + ".xml", content_type::worksheet);
        if (sheets[i].drawing)
            types.add_override("/xl/drawings/drawing" + n + ".xml", content_type::drawing);
        if (sheets[i].vml) types.add_default("vml", content_type::vml);
    }
    workbook.end();
    std::vector<std::string> sheet_names;
    for (const auto& sheet : sheets) sheet_names.push_back(sheet.name);
    parts_->names.write(workbook, sheet_names);
    workbook.end();
    workbook.finish();

    try {
        write(file, types, workbook.take(), workbook_rels, progress, stored_sheets);
    } catch (const base::RunTimeError& e) {
        fail(save_error_number(e),
             e.description() + (e.context().empty() ? "" : " (" + e.context() + ")"));
    }
}

/* ------------------------------------------------------------ write */
void WorkbookWriter::write(const std::filesystem::path& file, const ooxml::ContentTypes& types,
                           std::string workbook, const ooxml::Relationships& workbook_rels,
                           const Progress& progress, bool stored_sheets) {
    const auto& sheets = parts_->sheets;
    const auto total = static_cast<std::int32_t>(sheets.size());
    // The sheets are deflated now, on the spool's thread, unless they go in stored.
    std::deque<ooxml::SpooledPart> deflated;
    // Whichever way this ends, the spool's work is done before what it fills in goes.
    struct Drain {
        ooxml::PartSpool& spool;
        ~Drain() { spool.drain(); }
    } drain{*parts_->spool};
    if (!stored_sheets) {
        for (const Parts::Sheet& sheet : sheets) {
            parts_->spool->deflate(sheet.worksheet, deflated.emplace_back());
        }
    }
    ooxml::PackageWriter package(file, parts_->spool);
    package.add("[Content_Types].xml", types.xml());
    ooxml::Relationships root_rels;
    root_rels.add(ooxml::relationship_type::office_document, "xl/workbook.xml");
    root_rels.add(ooxml::relationship_type::core_properties, "docProps/core.xml");
    root_rels.add(ooxml::relationship_type::extended_properties, "docProps/app.xml");
    package.add("_rels/.rels", root_rels.xml());
    parts_->properties.modified = ooxml::w3c_date_time(std::chrono::system_clock::now());
    package.add("docProps/core.xml", ooxml::core_properties_xml(parts_->properties));
    package.add("docProps/app.xml", ooxml::app_properties_xml(parts_->properties));
    package.add("xl/workbook.xml", std::move(workbook));
    package.add("xl/_rels/workbook.xml.rels", workbook_rels.xml());
    package.add("xl/styles.xml", parts_->styles.xml());
    if (!book_.theme_xml().empty()) package.add("xl/theme/theme1.xml", book_.theme_xml());

    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        // The caller may stop the save at any sheet.
        const auto done = static_cast<std::int32_t>(i + 1);
        if (!progress(done, total))
            fail(error::save_stopped, std::to_string(done) + " シート目で中止しました");
        const std::string name = "xl/worksheets/sheet" + n + ".xml";
        if (stored_sheets) {
            package.add_stored(name, sheets[i].worksheet);
        } else {
            package.add_deflated(name, deflated[i]);
        }
        if (!sheets[i].drawing && !sheets[i].vml) continue;
        // The ids worksheet_xml gave: the drawing first, then the header and footer pictures.
        ooxml::Relationships sheet_rels;
        if (sheets[i].drawing)
            sheet_rels.add(ooxml::relationship_type::drawing, "../drawings/drawing" + n + ".xml");
        if (sheets[i].vml) {
            sheet_rels.add(ooxml::relationship_type::vml_drawing,
                           "../drawings/vmlDrawing" + n + ".vml");
        }
        package.add("xl/worksheets/_rels/sheet" + n + ".xml.rels", sheet_rels.xml());
        if (sheets[i].drawing) {
            package.add_deflated("xl/drawings/drawing" + n + ".xml", sheets[i].drawing);
            package.add_deflated("xl/drawings/_rels/drawing" + n + ".xml.rels",
                                 sheets[i].drawing_relationships);
        }
        if (sheets[i].vml) {
            package.add_deflated("xl/drawings/vmlDrawing" + n + ".vml", sheets[i].vml);
            package.add_deflated("xl/drawings/_rels/vmlDrawing" + n + ".vml.rels",
                                 sheets[i].vml_relationships);
        }
    }
    for (std::size_t m = 0; m < parts_->media.all().size(); ++m) {
        const MediaStore::Media& media = parts_->media.all()[m];
        package.add_deflated(
            "xl/media/image" + std::to_string(m + 1) + "." + std::string(media.type.extension),
            media.part);
    }
    package.commit();
}

}  // namespace xlsreport::detail
