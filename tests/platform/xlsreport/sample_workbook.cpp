#include "tests/platform/xlsreport/sample_workbook.h"

#include <gtest/gtest.h>

#include "base/whole_file.h"
#include "platform/emf/gdi.h"

namespace xlsreport_test {

std::string template_12p() {
    return VS_PROGRAM_DIR "/TMP-12P.xlsx";
}

std::string metafile(const std::filesystem::path& folder, int width, int height) {
    const auto file = folder / ("frame" + std::to_string(width) + ".emf");
    emf::Gdi gdi;
    const emf::HDC dc = gdi.CreateEnhMetaFileA(file, {0, 0, width, height}, "frame");
    gdi.SetMapMode(dc, emf::MM_HIMETRIC);
    const emf::HPEN pen = gdi.CreatePen(0, 20, 0x0000FF);
    const emf::HGDIOBJ old = gdi.SelectObject(dc, pen);
    gdi.MoveToEx(dc, 0, 0, nullptr);
    gdi.LineTo(dc, width, 0);
    gdi.LineTo(dc, width, -height);
    gdi.LineTo(dc, 0, -height);
    gdi.LineTo(dc, 0, 0);
    gdi.LineTo(dc, width, -height);
    gdi.SelectObject(dc, old);
    gdi.DeleteObject(pen);
    gdi.DeleteEnhMetaFile(gdi.CloseEnhMetaFile(dc));
    return base::load_file(file);
}

void build_sample(xlsreport::XlsReport& report, const std::filesystem::path& folder) {
    using xlsreport::line_hair;
    using xlsreport::line_medium;
    using xlsreport::line_thin;
    const auto ok = [&](std::int32_t result) {
        std::string message;
        report.GetErrorMessage(message);
        ASSERT_NE(result, 0) << "error " << report.GetErrorNo() << ": " << message;
    };
    const std::string picture = metafile(folder, 5000, 2000);

    ok(report.PutFileName(template_12p()));
    ok(report.OptionPutProgressDialog(0));
    ok(report.StartFile());

    // Sheet 1: two printed pages of 65 rows, text in column A, a title row, a table.
    ok(report.PageBegin("sheet1", "1"));
    ok(report.PageAttrMargin(20, 0, 15, 10, 0, 0));
    ok(report.Pos(0, 0, 0, 130));
    ok(report.PutRowHeight(12.75));
    ok(report.Pos(0, 0, -1, -1));
    ok(report.AttrPutFontName("\x82\x6c\x82\x72 \x96\xbe\x92\xa9"));  // ＭＳ 明朝
    ok(report.PutValueString(
        "  \x8c\x8e\x8e\x9f\x94\x84\x8f\xe3\x95\xf1\x8d\x90"));  // 月次売上報告
    ok(report.PutRowHeight(15.75));
    ok(report.AttrPutFontPoint(15));
    ok(report.Pos(0, 2, -1, -1));
    // "<&>"' ", a control character, a lone lead byte, Excel's escape, half-width カ (ｱ)
    ok(report.PutValueString("<&>\"' \x01 _x0041_ \xB1\x82"));
    ok(report.Pos(0, 1, -1, -1));
    ok(report.CanvasDraw(picture, 0.7, 0, 141.73, 56.69));
    const std::int32_t handle = report.GetPicture();
    ok(handle);
    ok(report.ReleasePicture(handle));

    // A table row: a cell over columns 10..19 (merged, centred, thin lines, medium right), one
    // over 20..24 (right aligned, hair lines, both diagonals).
    ok(report.Pos(10, 5, 19, 5));
    ok(report.AttrPutJoint(-1));
    ok(report.Pos(10, 5, -1, -1));
    ok(report.PutValueString("\x8d\x87\x8c\x76"));  // 合計
    ok(report.Pos(10, 5, 19, 5));
    ok(report.AttrPutPosHorz(xlsreport::pos_centre));
    ok(report.AttrPutPosVert(xlsreport::pos_middle));
    ok(report.AttrPutFontPoint(11));
    ok(report.AttrPutLineLeft(line_thin));
    ok(report.AttrPutLineBottom(line_thin));
    ok(report.AttrPutLineRight(line_medium));
    ok(report.AttrPutLineTop(line_thin));
    ok(report.Pos(20, 5, 24, 5));
    ok(report.AttrPutJoint(-1));
    ok(report.Pos(20, 5, -1, -1));
    ok(report.PutValueString("1,234"));
    ok(report.Pos(20, 5, 24, 5));
    ok(report.AttrPutPosHorz(xlsreport::pos_right));
    ok(report.AttrPutLineLeft(line_hair));
    ok(report.AttrPutLineBottom(line_hair));
    ok(report.AttrPutLineRight(line_hair));
    ok(report.AttrPutLineTop(line_hair));
    ok(report.AttrPutLineLeftUp(line_hair));
    ok(report.AttrPutLineRightUp(line_hair));
    ok(report.Pos(0, 6, -1, -1));
    ok(report.AttrPutPosHorz(xlsreport::pos_left));
    ok(report.PutValueString("left"));

    // The end of page 1 and of page 2; the second break falls on a row that goes.
    ok(report.Pos(86, 65, -1, -1));
    ok(report.PutBreak(-1));
    ok(report.Pos(0, 70, -1, -1));
    ok(report.PutValueString("page 2"));
    ok(report.Pos(86, 130, -1, -1));
    ok(report.PutBreak(-1));
    ok(
        report.PageName("Page 1\x81\x60"
                        "2"));  // Page 1～2
    ok(report.RowDelete(130, 5));
    ok(report.PageEnd());

    // Sheet 2: one page, the same picture again.
    ok(report.PageBegin("sheet1", "1"));
    ok(report.PageAttrMargin(20, 0, 15, 10, 0, 0));
    ok(report.Pos(0, 0, -1, -1));
    ok(report.PutValueString("page 3"));
    ok(report.Pos(0, 1, -1, -1));
    ok(report.CanvasDraw(picture, 0.7, 0, 141.73, 56.69));
    ok(report.Pos(86, 65, -1, -1));
    ok(report.PutBreak(-1));
    ok(
        report.PageName("Page 3\x81\x60"
                        "3"));
    ok(report.RowDelete(65, 10));
    ok(report.PageEnd());
    ASSERT_EQ(report.PageTotalCount(), 2);
}

}  // namespace xlsreport_test
