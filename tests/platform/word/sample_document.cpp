#include "sample_document.h"

#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>

namespace word_test {

namespace {

using namespace word;

void put_u32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void put_u16(std::string& s, std::uint16_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
}

void write_file(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

void line(Range& r, const std::string& text) {
    r.Collapse(wdCollapseEnd);
    r.InsertAfter(text);
    r.Collapse(wdCollapseEnd);
    r.InsertAfter("\r");
    r.Collapse(wdCollapseEnd);
}

void format_document(Document doc) {
    doc.SpellingChecked(false);
    doc.Paragraphs().AddSpaceBetweenFarEastAndDigit(false);
    doc.Paragraphs().AddSpaceBetweenFarEastAndAlpha(false);
    const float margin = MillimetersToPoints(margin_mm);
    doc.PageSetup().RightMargin(margin);
    doc.PageSetup().LeftMargin(margin);
    doc.PageSetup().TopMargin(margin);
    doc.PageSetup().BottomMargin(margin);
    Range all = doc.Range();
    all.Font().Name("ＭＳ 明朝");
    all.Font().NameAscii("ＭＳ 明朝");
    all.Font().NameOther("ＭＳ 明朝");
    all.Font().Color(RGB(0, 0, 0));
    all.Font().Size(char_size);
    all.Font().Spacing(0);
    doc.Paragraphs().LineSpacingRule(wdLineSpaceExactly);
    doc.Paragraphs().LineSpacing(doc.Range().Font().Size());
}

}  // namespace

std::filesystem::path fresh_folder(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("word_tests_" + std::to_string(getpid()) + "_" + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

std::string small_bitmap() {
    std::string b = "BM";
    const std::uint32_t row = 8;  // 2 pixels x 3 bytes, padded to 4
    put_u32(b, 54 + 2 * row);
    put_u32(b, 0);
    put_u32(b, 54);
    put_u32(b, 40);
    put_u32(b, 2);
    put_u32(b, 2);
    put_u16(b, 1);
    put_u16(b, 24);
    for (int i = 0; i < 6; ++i) put_u32(b, 0);
    // Bottom-up, blue-green-red: bottom row blue, white; top row red, green.
    b += std::string("\xFF\x00\x00\xFF\xFF\xFF\x00\x00", 8);
    b += std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8);
    return b;
}

std::string empty_metafile(int width, int height) {
    std::string e;
    put_u32(e, 1);   // EMR_HEADER
    put_u32(e, 88);  // record size
    for (int v : {0, 0, width / 26, height / 26, 0, 0, width, height}) {
        put_u32(e, static_cast<std::uint32_t>(v));  // bounds (pixels), frame (0.01 mm)
    }
    put_u32(e, 0x464D4520);
    put_u32(e, 0x10000);
    put_u32(e, 108);  // bytes
    put_u32(e, 2);    // records
    put_u16(e, 1);
    put_u16(e, 0);
    for (int i = 0; i < 3; ++i) put_u32(e, 0);
    for (std::uint32_t v : {1024u, 768u, 320u, 240u}) put_u32(e, v);
    put_u32(e, 14);  // EMR_EOF
    put_u32(e, 20);
    put_u32(e, 0);
    put_u32(e, 16);
    put_u32(e, 20);
    return e;
}

std::filesystem::path build_sample(const std::filesystem::path& dir) {
    write_file(dir / "picture.emf", empty_metafile(5000, 3000));
    write_file(dir / "picture.bmp", small_bitmap());

    Application app;
    app.WindowState(wdWindowStateMinimize);
    app.ScreenUpdating(false);
    app.Visible(false);
    Document work = app.Documents().Add();
    Document output = app.Documents().Add();
    output.Activate();
    Range out = app.ActiveDocument().Range();
    format_document(output);
    for (int level = 1; level <= 3; ++level) {
        Style s = app.ActiveDocument().Styles().Item("見出し " + std::to_string(level));
        s.AutomaticallyUpdate(false);
        s.BaseStyle("標準");
        s.NextParagraphStyle("標準");
        s.ParagraphFormat().LineSpacingRule(wdLineSpaceExactly);
        s.ParagraphFormat().LineSpacing(16);
        s.ParagraphFormat().LeftIndent(0);
        s.ParagraphFormat().CharacterUnitLeftIndent(0);
        s.Font().NameFarEast("ＭＳ 明朝");
        s.Font().Name("ＭＳ 明朝");
        s.Font().Size(16);
        s.Font().Bold(false);
    }
    work.Activate();
    Range work_range = app.ActiveDocument().Range();
    format_document(work);

    // Page 1: a title line, grid lines with a subscript and a superscript run.
    out.Collapse(wdCollapseEnd);
    out.ParagraphFormat().LineSpacing(16);
    out.InsertAfter("表題 Title\r");
    out.Style(wdStyleHeading1);
    out.Collapse(wdCollapseEnd);
    out.ParagraphFormat().LineSpacing(char_size);
    const std::int32_t page_start = 0;
    for (int i = 1; i < lines_per_page; ++i) {
        line(out, i == 2 ? "H2O and x2 <&>" : "行" + std::to_string(i));
    }
    const std::int32_t line2 = output.Paragraphs().Item(3).Range().Start();
    Range script = output.Range(line2 + 1, line2 + 2);  // the "2" of H2O
    script.Font().Subscript(true);
    script.Font().Position(1);
    script.SetRange(line2 + 9, line2 + 10);
    script.Font().Superscript(true);
    script.Font().Position(-1);

    Range anchor = output.Range(page_start, page_start);
    Shape bmp = output.Shapes().AddPicture(dir / "picture.bmp", false, true, 0, 0, 40, 40, anchor);
    bmp.WrapFormat().Type(wdWrapNone);
    bmp.RelativeHorizontalPosition(wdRelativeHorizontalPositionPage);
    bmp.RelativeVerticalPosition(wdRelativeVerticalPositionPage);
    bmp.Left(MillimetersToPoints(100));
    bmp.Top(MillimetersToPoints(50));
    bmp.ZOrder(msoSendBehindText);
    Shape emf = output.Shapes().AddPicture(dir / "picture.emf", false, true, 0, 0, -1, -1, anchor);
    emf.WrapFormat().Type(wdWrapNone);
    emf.RelativeHorizontalPosition(wdRelativeHorizontalPositionPage);
    emf.RelativeVerticalPosition(wdRelativeVerticalPositionPage);
    emf.Left(MillimetersToPoints(30));
    emf.Top(MillimetersToPoints(40));
    emf.ZOrder(msoSendBehindText);

    out.SetRange(output.Content().End(), output.Content().End());
    out.Collapse(wdCollapseEnd);
    out.Collapse(wdCollapseEnd);
    out.InsertBreak(wdPageBreak);

    // Page 2: grid lines, then a ruled table built in the scratch document.
    line(out, "");
    line(out, "");
    line(out, std::string(marker_column - 1, ' ') + "MARK");
    Table t = work.Tables().Add(work_range, 2, 3);
    t.Borders().OutsideLineStyle(wdLineStyleNone);
    const float widths[] = {60, 40, 50};
    for (int c = 1; c <= 3; ++c) t.Columns().Item(c).Width(widths[c - 1]);
    for (int r = 1; r <= 2; ++r) {
        t.Rows().Item(r).HeightRule(wdRowHeightExactly);
        t.Rows().Item(r).Height(15);
        for (int c = 1; c <= 3; ++c) {
            Cell cell = t.Cell(r, c);
            cell.Borders().Item(wdBorderBottom).LineStyle(wdLineStyleSingle);
            cell.Borders().Item(wdBorderBottom).LineWidth(wdLineWidth050pt);
            cell.Borders().Item(wdBorderRight).LineStyle(wdLineStyleSingle);
            cell.Borders().Item(wdBorderRight).LineWidth(wdLineWidth050pt);
            cell.TopPadding(0);
            cell.BottomPadding(0);
            cell.LeftPadding(0);
            cell.RightPadding(0);
            cell.VerticalAlignment(wdCellAlignVerticalCenter);
        }
    }
    t.Cell(1, 1).Borders().Item(wdBorderDiagonalDown).LineStyle(wdLineStyleSingle);
    t.Cell(1, 1).Range().InsertAfter("CELL");
    t.Cell(1, 1).Range().ParagraphFormat().Alignment(wdAlignParagraphLeft);
    t.Cell(2, 3).Range().InsertAfter("m2");
    t.Cell(2, 3).Range().ParagraphFormat().Alignment(wdAlignParagraphRight);
    t.Cell(2, 3).Range().Characters().Item(2).Font().Superscript(true);
    t.Cell(2, 3).Range().Characters().Item(2).Font().Position(-2);
    work.Range(t.Cell(2, 1).Range().Start(), t.Cell(2, 2).Range().End()).Cells().Merge();
    t.Rows().LeftIndent(0);
    t.Rows().LeftIndent(MillimetersToPoints(10));
    t.Range().Cut();
    out.Paste();
    out.Collapse(wdCollapseEnd);
    app.Clipboard().Clear();
    // A second table straight after the first joins it, with its own cell edges.
    Table second = work.Tables().Add(work_range, 1, 2);
    second.Columns().Item(1).Width(80);
    second.Columns().Item(2).Width(40);
    second.Rows().LeftIndent(MillimetersToPoints(10));
    second.Cell(1, 2).Range().InsertAfter("JOINED");
    second.Range().Cut();
    out.Paste();
    out.Collapse(wdCollapseEnd);
    app.Clipboard().Clear();
    line(out, "after the table");

    const auto file = dir / "sample.docx";
    output.SaveAs(file);
    work.Close(wdDoNotSaveChanges);
    output.Close(wdDoNotSaveChanges);
    app.Quit(wdDoNotSaveChanges);
    return file;
}

int run(const std::string& command, std::string& output) {
    output.clear();
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return -1;
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace word_test
