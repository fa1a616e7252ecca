#include <gtest/gtest.h>

#include <memory>

#include "platform/excel/cell_reference.h"
#include "platform/excel/rich_text.h"
#include "platform/excel/sheet_part.h"
#include "platform/excel/style_fonts.h"
#include "platform/excel/workbook_part.h"
#include "platform/excel/xml_part.h"

namespace {

using namespace excel::detail;

std::unique_ptr<XmlPart> part(std::string_view xml, std::string_view root) {
    return std::make_unique<XmlPart>(std::string(xml), "part.xml", root, "book.xlsx");
}

constexpr std::string_view styles_xml =
    R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<fonts count="2"><font><sz val="11"/><name val="Calibri"/><scheme val="minor"/></font>)"
    R"(<font><b/><sz val="10"/><name val="MS Gothic"/><charset val="128"/></font></fonts>)"
    R"(<cellXfs count="2"><xf fontId="0"/><xf fontId="1"/></cellXfs></styleSheet>)";

void superscript(RunFont& font) {
    font.set("vertAlign", "superscript");
    font.set("sz", "6");
}

TEST(excel_rich_text, formatting_part_of_a_plain_string_makes_runs) {
    const auto styles = part(styles_xml, "styleSheet");
    const StyleFonts fonts(styles->root());
    const auto sst = part(R"(<sst><si><t>m2 and x10</t></si></sst>)", "sst");
    const pugi::xml_node si = sst->root().first_child();
    RichText text = RichText::read(si);
    text.format(2, 1, fonts.cell_font(1), superscript);
    text.format(9, 2, fonts.cell_font(1), superscript);
    // A range past the end formats what is there.
    text.format(11, 5, fonts.cell_font(1), superscript);
    text.write(si);
    EXPECT_EQ(sst->xml(),
              "<sst><si><r><t>m</t></r>"
              R"(<r><rPr><b/><sz val="6"/><rFont val="MS Gothic"/><charset val="128"/>)"
              R"(<vertAlign val="superscript"/></rPr><t>2</t></r>)"
              R"(<r><t xml:space="preserve"> and x</t></r>)"
              R"(<r><rPr><b/><sz val="6"/><rFont val="MS Gothic"/><charset val="128"/>)"
              R"(<vertAlign val="superscript"/></rPr><t>10</t></r></si></sst>)");
    // Reading it back gives the same runs.
    EXPECT_EQ(RichText::read(si).runs(), text.runs());
}

TEST(excel_rich_text, existing_runs_keep_their_fonts_and_alike_runs_join) {
    const auto sst =
        part(R"(<x:sst xmlns:x="urn:x"><x:si><x:r><x:rPr><x:i/></x:rPr><x:t>ab</x:t></x:r>)"
             R"(<x:r><x:t>cd</x:t></x:r><x:rPh sb="0" eb="1"><x:t>A</x:t></x:rPh></x:si></x:sst>)",
             "sst");
    const pugi::xml_node si = sst->root().first_child();
    RichText text = RichText::read(si);
    EXPECT_EQ(text.length(), 4u);
    RunFont italic = RichText::read(si).runs()[0].font.value();
    // Giving "c" the font "ab" has joins the two.
    text.format(3, 1, italic, [](RunFont&) {});
    ASSERT_EQ(text.runs().size(), 2u);
    EXPECT_EQ(text.runs()[0].text, u"abc");
    text.write(si);
    EXPECT_EQ(sst->xml(),
              R"(<x:sst xmlns:x="urn:x"><x:si><x:r><x:rPr><x:i/></x:rPr><x:t>abc</x:t></x:r>)"
              R"(<x:r><x:t>d</x:t></x:r><x:rPh sb="0" eb="1"><x:t>A</x:t></x:rPh></x:si></x:sst>)");
}

TEST(excel_rich_text, counts_utf16_units_and_never_splits_a_pair) {
    const auto sst = part(
        "<sst><si><t>\xf0\xa0\x80\x8b"
        "a \xe6\x97\xa5</t></si></sst>",
        "sst");
    RichText text = RichText::read(sst->root().first_child());
    EXPECT_EQ(text.length(), 5u);
    // Start inside the pair: the whole pair is formatted.
    text.format(2, 1, RunFont(), superscript);
    ASSERT_EQ(text.runs().size(), 2u);
    EXPECT_EQ(text.runs()[0].text.size(), 2u);
    EXPECT_TRUE(text.runs()[0].font.has_value());
    // Blank-only strings survive reading.
    const auto blanks = part("<sst><si><t xml:space=\"preserve\">  </t></si></sst>", "sst");
    EXPECT_EQ(RichText::read(blanks->root().first_child()).plain(), u"  ");
}

TEST(excel_sheet_part, finds_cells_and_selects_a1) {
    SheetPart sheet(part(R"(<worksheet><dimension ref="A1:C3"/><sheetData>)"
                         R"(<row r="2"><c r="B2" t="s"><v>0</v></c><c t="s"><v>1</v></c></row>)"
                         R"(<row><c r="A3"><v>5</v></c></row></sheetData></worksheet>)",
                         "worksheet"));
    EXPECT_EQ(std::string_view(sheet.cell({2, 3}).child_value("v")), "1");
    EXPECT_EQ(std::string_view(sheet.cell({3, 1}).child_value("v")), "5");
    EXPECT_FALSE(sheet.cell({1, 1}));
    int shared = 0;
    sheet.for_each_shared_string_cell([&](pugi::xml_node) { ++shared; });
    EXPECT_EQ(shared, 2);

    EXPECT_FALSE(sheet.tab_selected());
    sheet.set_tab_selected(false);
    EXPECT_FALSE(sheet.part().changed());
    sheet.select("A1", {1, 1});
    sheet.set_tab_selected(true);
    EXPECT_EQ(sheet.part().xml(),
              R"(<worksheet><dimension ref="A1:C3"/><sheetViews><sheetView tabSelected="1" )"
              R"(workbookViewId="0"><selection activeCell="A1" sqref="A1"/></sheetView>)"
              R"(</sheetViews><sheetData><row r="2"><c r="B2" t="s"><v>0</v></c><c t="s">)"
              R"(<v>1</v></c></row><row><c r="A3"><v>5</v></c></row></sheetData></worksheet>)");
}

TEST(excel_sheet_part, selection_already_at_a1_changes_nothing) {
    SheetPart sheet(part(R"(<worksheet><sheetViews><sheetView workbookViewId="0" )"
                         R"(topLeftCell="A40"><selection activeCell="C45" sqref="C45 D50" )"
                         R"(activeCellId="1"/></sheetView></sheetViews></worksheet>)",
                         "worksheet"));
    sheet.select("A1", {1, 1});
    EXPECT_TRUE(sheet.part().changed());
    EXPECT_EQ(sheet.part().xml(),
              R"(<worksheet><sheetViews><sheetView workbookViewId="0"><selection )"
              R"(activeCell="A1" sqref="A1"/></sheetView></sheetViews></worksheet>)");
    SheetPart again(part(sheet.part().xml(), "worksheet"));
    again.select("A1", {1, 1});
    EXPECT_FALSE(again.part().changed());
}

TEST(excel_sheet_part, a_changed_view_leaves_the_bytes_of_the_cells) {
    const std::string cells =
        "<sheetData>\n <row r='1'><c r='A1' t='inlineStr'><is><t>a&#x41;</t>"
        "</is></c></row>\n</sheetData>";
    SheetPart sheet(part("<worksheet><sheetViews><sheetView workbookViewId='0'/></sheetViews>" +
                             cells + "</worksheet>",
                         "worksheet"));
    sheet.set_tab_selected(true);
    EXPECT_EQ(sheet.part().xml(),
              R"(<worksheet><sheetViews><sheetView tabSelected="1" workbookViewId="0"/>)"
              "</sheetViews>" +
                  cells + "</worksheet>");

    // A character the writer cleans, anywhere in the part: the part is written whole.
    SheetPart odd(
        part("<worksheet><sheetViews><sheetView workbookViewId='0'/></sheetViews>"
             "<sheetData><row r='1'><c r='A1' t='inlineStr'><is><t>a\x02</t></is></c>"
             "</row></sheetData></worksheet>",
             "worksheet"));
    odd.set_tab_selected(true);
    EXPECT_EQ(odd.part().xml(),
              R"(<worksheet><sheetViews><sheetView tabSelected="1" workbookViewId="0"/>)"
              R"(</sheetViews><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>a)"
              "\xEF\xBF\xBD</t></is></c></row></sheetData></worksheet>");
}

TEST(excel_workbook_part, reads_sheets_and_moves_the_active_tab) {
    WorkbookPart book(part(
        R"(<workbook xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
        R"(<bookViews><workbookView firstSheet="1" activeTab="2"/></bookViews><sheets>)"
        R"(<sheet name="A" sheetId="1" r:id="rId1"/><sheet name="B" state="hidden" r:id="rId2"/>)"
        R"(<sheet name="C" r:id="rId3"/></sheets></workbook>)",
        "workbook"));
    ASSERT_EQ(book.sheets().size(), 3u);
    EXPECT_EQ(book.sheets()[1].relationship_id, "rId2");
    EXPECT_FALSE(book.sheets()[1].visible);
    EXPECT_EQ(book.active_tab(), 2u);
    book.set_active_tab(0);
    EXPECT_NE(book.part().xml().find(R"(<workbookView firstSheet="0" activeTab="0"/>)"),
              std::string::npos);

    WorkbookPart plain(
        part(R"(<workbook><sheets><sheet name="A"/></sheets></workbook>)", "workbook"));
    plain.set_active_tab(0);
    EXPECT_FALSE(plain.part().changed());
}

TEST(excel_cell_reference, reads_and_writes_a1_addresses) {
    EXPECT_EQ(parse_cell_reference("$AB$12"), (CellPosition{12, 28}));
    EXPECT_EQ(parse_cell_reference("xfd1048576"), (CellPosition{1048576, 16384}));
    EXPECT_FALSE(parse_cell_reference("XFE1"));
    EXPECT_FALSE(parse_cell_reference("A0"));
    EXPECT_FALSE(parse_cell_reference("A1:B2"));
    EXPECT_EQ(cell_reference({7, 703}), "AAA7");
}

}  // namespace
