// Writes the eight workbook templates into the folder named by the first argument. They are
// made with libxlsxwriter, a writer other than the report library's own, so that reading them
// tests the library's reader on files it did not make itself.
//
// Each template has one sheet, "1", that every output sheet copies. Its layout follows the
// per-size settings the workbook build relies on, in screen pixels at 96 dpi:
//
//   size   row height          column (half / full width)   Pict_Scale_W  Pict_Scale_H
//   12 pt  12.75 pt = 17 px    8 px / 16 px                 8 / 8         12.75 / 12
//   11 pt  12    pt = 16 px    8 px / 16 px                 8 / 7.33      12 / 11
//   10 pt  10.5  pt = 14 px    7 px / 14 px                 7 / 6.67      10.5 / 10
//    9 pt   9.75 pt = 13 px    6 px / 12 px                 6 / 6         9.75 / 9
//
// A column is as wide as one half-width (or full-width) character of the sheet's font. On
// Windows at 96 dpi a fixed-pitch Japanese font of 11 pt advances 8 px per half-width
// character, one of 10 pt 7 px: whole pixels. Programs that lay text out without rounding
// to pixels (LibreOffice, print) advance 7.33 and 6.67 px, and column widths, which Excel
// counts in digits of the default font, could not be 8 and 7 px. The default font is
// therefore the character size times Pict_Scale_W (12, 12, 10.5 and 9 pt): its digit is
// exactly one column wide everywhere, and a text line covers the same columns as the
// pictures and tables that are scaled by the same factor.
//
// Pages are A4 portrait. The print scale makes one printed page's band fit one sheet of A4:
// the band is Col_Count - 1 half-width columns (the width from the job's left margin to the
// paper's right edge, times Pict_Scale_W) and the page's rows (its height times
// Pict_Scale_H). It fits for job margins of up to 20 mm on the left and the right.
//
// With --edited it writes instead the 10-point template as a user edits it in Excel, for the
// tests: TMP-10P.xlsx with a logo in the header, page numbers in the footer, two title rows
// printed on every page, a print area of the band's columns, document properties and names;
// TMP-10P-flawed.xlsx besides has a print area of one page's rows, a name whose reference does
// not parse and a workbook-wide name of the template's own sheet, none of which a workbook of
// many pages can keep.
#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>

namespace {

struct Template {
    const char* name;
    double char_points;  // the job's character size
    double row_points;   // Row_Height
    double column_px;    // one half-width character
    double pict_scale_w;
    double pict_scale_h;
    bool wide;  // one column per full-width character
};

constexpr Template templates[] = {
    {"TMP-12P.xlsx", 12, 12.75, 8, 1, 1.0625, false},
    {"TMP-12PW.xlsx", 12, 12.75, 8, 1, 1.0625, true},
    {"TMP-11P.xlsx", 11, 12, 8, 1.090909, 1.090909, false},
    {"TMP-11PW.xlsx", 11, 12, 8, 1.090909, 1.090909, true},
    {"TMP-10P.xlsx", 10, 10.5, 7, 1.05, 1.05, false},
    {"TMP-10PW.xlsx", 10, 10.5, 7, 1.05, 1.05, true},
    {"TMP-09P.xlsx", 9, 9.75, 6, 1, 1.083333, false},
    {"TMP-09PW.xlsx", 9, 9.75, 6, 1, 1.083333, true},
};

constexpr double paper_width_mm = 210;
constexpr double widest_side_margin_mm = 20;
constexpr double mm_per_inch = 25.4;

// The font of the sheet: fixed pitch, a half-width character half an em wide.
constexpr const char* font_name = "ＭＳ ゴシック";
constexpr std::uint8_t font_family_modern = 3;
constexpr std::uint8_t shift_jis_charset = 128;
constexpr std::uint8_t a4_paper = 9;

// Whole per cent, rounded down so that the band fits.
std::uint16_t print_scale(const Template& t) {
    const double band_width = (paper_width_mm - widest_side_margin_mm) * t.pict_scale_w;
    const double printable_width = paper_width_mm - 2 * widest_side_margin_mm;
    const double scale = std::min(printable_width / band_width, 1 / t.pict_scale_h);
    return static_cast<std::uint16_t>(std::floor(scale * 100));
}

// libxlsxwriter counts column widths in digits of Calibri 11 (7 px, 5 px padding) and writes
// w digits as (round(w * 12) / 7) below one digit and (round(w * 7) + 5) / 7 above. The
// sheet's own digit is one half-width column wide, so n columns must be written as n.
double user_width(int columns) {
    return columns == 1 ? 7.0 / 12.0 : (7.0 * columns - 5.0) / 7.0;
}

// What a user changes in a template; nothing for the eight templates themselves.
struct Edits {
    const char* logo = nullptr;  // the header's picture
    bool flawed = false;
};

// The band's last column for the sample jobs' 20 mm left margin (Col_Count 105, 10 pt).
constexpr lxw_col_t band_last_column = 103;

bool edit(lxw_workbook* workbook, lxw_worksheet* sheet, const Edits& e) {
    // libxlsxwriter takes its strings as char*, without writing to them.
    std::string logo_file = e.logo;
    lxw_header_footer_options logo{};
    logo.image_left = logo_file.data();
    bool ok = worksheet_set_header_opt(sheet, "&L&G&C&14月次報告", &logo) == LXW_NO_ERROR;
    ok = ok && worksheet_set_footer(sheet, "&C&P / &N") == LXW_NO_ERROR;
    ok = ok && worksheet_repeat_rows(sheet, 0, 1) == LXW_NO_ERROR;
    ok = ok && worksheet_print_area(sheet, 0, 0, e.flawed ? 64 : LXW_ROW_MAX - 1,
                                    band_last_column) == LXW_NO_ERROR;
    ok = ok && workbook_define_name(workbook, "'1'!Logo_Cell", "='1'!$B$2") == LXW_NO_ERROR;
    ok = ok && workbook_define_name(workbook, "Rate", "=0.08") == LXW_NO_ERROR;
    if (e.flawed) {
        ok = ok && workbook_define_name(workbook, "Orphan", "='1'!$A$1") == LXW_NO_ERROR;
        ok = ok && workbook_define_name(workbook, "'1'!Broken", "=SUM('1'!$A$1") == LXW_NO_ERROR;
    }
    return ok;
}

bool write(const Template& t, const std::string& folder, const char* name,
           const Edits& edits = {}) {
    const std::string file = folder + "/" + name;
    lxw_workbook* workbook = workbook_new(file.c_str());
    if (workbook == nullptr) return false;

    // The workbook's default format (the first one) gives the Normal style and with it the
    // digit that column widths count in.
    lxw_format* normal = STAILQ_FIRST(workbook->formats);
    format_set_font_name(normal, font_name);
    format_set_font_size(normal, std::round(t.char_points * t.pict_scale_w * 2) / 2);
    format_set_font_family(normal, font_family_modern);
    format_set_font_charset(normal, shift_jis_charset);

    // A fixed date keeps the templates the same from build to build.
    lxw_doc_properties properties{};
    properties.created = 1767225600;  // 2026-01-01 00:00 UTC
    // Characters a part must escape, as a user may type them.
    std::string title = "月次報告 <社外秘> & 控え", subject = "売上", author = "経理部",
                keywords = "月次, 売上", comments = "「帳票」の雛形", category = "帳票";
    if (edits.logo != nullptr) {
        properties.title = title.data();
        properties.subject = subject.data();
        properties.author = author.data();
        properties.keywords = keywords.data();
        properties.comments = comments.data();
        properties.category = category.data();
    }
    workbook_set_properties(workbook, &properties);

    lxw_worksheet* sheet = workbook_add_worksheet(workbook, "1");
    worksheet_set_default_row(sheet, t.row_points, LXW_FALSE);
    worksheet_set_column(sheet, 0, LXW_COL_MAX - 1, user_width(t.wide ? 2 : 1), nullptr);
    worksheet_set_paper(sheet, a4_paper);
    worksheet_set_portrait(sheet);
    worksheet_set_print_scale(sheet, print_scale(t));
    const double side = widest_side_margin_mm / mm_per_inch;
    worksheet_set_margins(sheet, side, side, side, side);
    const bool edited = edits.logo == nullptr || edit(workbook, sheet, edits);
    return workbook_close(workbook) == LXW_NO_ERROR && edited;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--edited") {
        const Template& t = templates[4];  // TMP-10P
        for (const bool flawed : {false, true}) {
            const char* name = flawed ? "TMP-10P-flawed.xlsx" : t.name;
            if (!write(t, argv[3], name, {argv[2], flawed})) {
                std::fprintf(stderr, "make_templates: cannot write %s/%s\n", argv[3], name);
                return 1;
            }
        }
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr,
                     "usage: make_templates <output folder>\n"
                     "       make_templates --edited <logo.png> <output folder>\n");
        return 2;
    }
    for (const Template& t : templates) {
        if (!write(t, argv[1], t.name)) {
            std::fprintf(stderr, "make_templates: cannot write %s/%s\n", argv[1], t.name);
            return 1;
        }
    }
    return 0;
}
