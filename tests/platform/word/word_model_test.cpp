// Positions and formatting as the document builder relies on them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>

#include "base/run_time_error.h"
#include "platform/word/word.h"
#include "sample_document.h"

namespace {

using namespace word;

class word_model : public ::testing::Test {
  protected:
    Application app;
    Document doc = app.Documents().Add();
};

// Appends one line the way the builder does: collapse, insert, collapse, paragraph mark.
void append_line(Range& r, const std::string& text) {
    r.Collapse(wdCollapseEnd);
    r.InsertAfter(text);
    r.Collapse(wdCollapseEnd);
    r.InsertAfter("\r");
    r.Collapse(wdCollapseEnd);
}

TEST_F(word_model, new_document_is_one_paragraph_and_inserts_extend_the_range) {
    Range content = doc.Content();
    EXPECT_EQ(content.Start(), 0);
    EXPECT_EQ(content.End(), 1);
    EXPECT_EQ(doc.Paragraphs().Count(), 1);

    // Collapsing at the document's end stands before the final mark.
    Range r = doc.Range();
    r.Collapse(wdCollapseEnd);
    EXPECT_EQ(r.Start(), 0);
    r.InsertAfter("abc");
    EXPECT_EQ(r.Start(), 0);
    EXPECT_EQ(r.End(), 3);
    r.InsertAfter("\rde");
    EXPECT_EQ(r.End(), 6);
    EXPECT_EQ(doc.Content().End(), 7);
    EXPECT_EQ(doc.Paragraphs().Count(), 2);
    EXPECT_EQ(doc.Content().Text(), "abc\rde\r");

    // A range over the whole document inserts before the final mark and grows with it.
    Range whole = doc.Content();
    whole.InsertAfter("f");
    EXPECT_EQ(whole.End(), 8);
    EXPECT_EQ(doc.Content().Text(), "abc\rdef\r");

    // Other ranges follow the edit: one after the insertion point moves along.
    Range tail = doc.Range(4, 5);
    doc.Range(1, 1).InsertBefore("XY");
    EXPECT_EQ(tail.Start(), 6);
    EXPECT_EQ(tail.Text(), "d");
}

TEST_F(word_model, paragraph_mark_inherits_paragraph_format_and_format_reaches_touched_paragraphs) {
    Range r = doc.Range();
    doc.Paragraphs().LineSpacingRule(wdLineSpaceExactly);
    doc.Paragraphs().LineSpacing(10.5f);
    append_line(r, "one");
    append_line(r, "two");
    EXPECT_EQ(doc.Paragraphs().Count(), 3);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(doc.Paragraphs().Item(i).Format().LineSpacingRule(), wdLineSpaceExactly);
        EXPECT_FLOAT_EQ(doc.Paragraphs().Item(i).Format().LineSpacing(), 10.5f);
    }
    // A collapsed range touches its own paragraph only; a range ending at a paragraph's
    // start does not touch that paragraph.
    r.ParagraphFormat().LineSpacing(20.0f);
    EXPECT_FLOAT_EQ(doc.Paragraphs().Item(3).Format().LineSpacing(), 20.0f);
    EXPECT_FLOAT_EQ(doc.Paragraphs().Item(2).Format().LineSpacing(), 10.5f);
    doc.Range(0, 4).ParagraphFormat().Alignment(wdAlignParagraphCenter);
    EXPECT_EQ(doc.Paragraphs().Item(1).Format().Alignment(), wdAlignParagraphCenter);
    EXPECT_NE(doc.Paragraphs().Item(2).Format().Alignment(), wdAlignParagraphCenter);
    EXPECT_EQ(doc.Content().ParagraphFormat().LineSpacing(), static_cast<float>(wdUndefined));
}

TEST_F(word_model, script_runs_and_collapsed_formatting_follow_the_builders_sequence) {
    Range out = doc.Range();
    out.Font().Name("ＭＳ 明朝");
    out.Font().Size(10.5f);
    out.Collapse(wdCollapseEnd);
    out.InsertAfter("H2O x2");
    out.Collapse(wdCollapseEnd);
    // The builder addresses runs from the end of the content.
    const std::int32_t e = doc.Content().End();
    out.SetRange(e - 6 + 1 - 1, e - 6 + 1);  // k = 1: the "2"
    out.Font().Subscript(true);
    out.Font().Position(1);
    out.Font().Spacing(2.1f);
    out.SetRange(e, e);
    out.Collapse(wdCollapseEnd);
    out.Font().Subscript(false);
    out.Font().Position(0);
    out.Font().Spacing(0);
    out.InsertAfter("\r");
    out.Collapse(wdCollapseEnd);
    out.InsertAfter("next");

    Range line = doc.Paragraphs().Item(1).Range();
    EXPECT_TRUE(line.Characters().Item(2).Font().Subscript());
    EXPECT_EQ(line.Characters().Item(2).Font().Position(), 1);
    EXPECT_FLOAT_EQ(line.Characters().Item(2).Font().Spacing(), 2.1f);
    EXPECT_FALSE(line.Characters().Item(3).Font().Subscript());
    EXPECT_EQ(line.Characters().Item(2).Font().Name(), "ＭＳ 明朝");
    EXPECT_EQ(line.Characters().Item(2).Font().NameFarEast(), "ＭＳ 明朝");
    // A Latin font leaves the Japanese characters their font.
    line.Font().Name("Courier New");
    EXPECT_EQ(line.Font().NameAscii(), "Courier New");
    EXPECT_EQ(line.Font().NameFarEast(), "ＭＳ 明朝");
    EXPECT_FALSE(doc.Paragraphs().Item(2).Range().Font().Subscript());
    EXPECT_EQ(doc.Paragraphs().Item(2).Range().Font().Position(), 0);

    // Formatting waiting at the document's end survives collapsing onto the same point, and
    // goes when the range moves away.
    Range tail = doc.Content();
    tail.SetRange(tail.End(), tail.End());
    tail.Font().Bold(true);
    tail.Collapse(wdCollapseEnd);
    tail.InsertAfter("B");
    EXPECT_TRUE(tail.Font().Bold());
    tail.Collapse(wdCollapseEnd);
    tail.Font().Italic(true);
    tail.SetRange(0, 0);
    tail.InsertAfter("i");
    EXPECT_FALSE(tail.Font().Italic());

    // Text typed after a subscript character takes its formatting unless reset.
    Range after = doc.Range(3, 3);
    after.InsertAfter("z");
    EXPECT_TRUE(doc.Range(3, 4).Font().Subscript());
    EXPECT_EQ(doc.Range(1, 7).Font().Subscript(), false);
    EXPECT_EQ(doc.Range(1, 7).Font().Position(), wdUndefined);
}

TEST_F(word_model, font_sizes_round_to_half_points_and_bad_values_are_errors) {
    Range r = doc.Content();
    r.Font().Size(10.3f);
    EXPECT_FLOAT_EQ(r.Font().Size(), 10.5f);
    r.Font().Size(10.2f);
    EXPECT_FLOAT_EQ(r.Font().Size(), 10.0f);
    try {
        r.Font().Size(0.0f);
        FAIL() << "a size of 0 must be refused";
    } catch (const base::RunTimeError& e) {
        EXPECT_EQ(e.number(), 4608);
        EXPECT_EQ(e.description(), "値が範囲外です。");
    }
    EXPECT_THROW(doc.Paragraphs().LineSpacing(0.0f), base::RunTimeError);
    EXPECT_FLOAT_EQ(MillimetersToPoints(25.4f), 72.0f);
    EXPECT_FLOAT_EQ(PointsToMillimeters(72.0f), 25.4f);
    EXPECT_EQ(MillimetersToPoints(20.0f), static_cast<float>(20.0 * 72.0 / 25.4));
    EXPECT_EQ(PointsToMillimeters(10.5f), static_cast<float>(10.5 * 25.4 / 72.0));
}

TEST_F(word_model, heading_styles_are_found_by_name_or_id_and_replace_direct_formatting) {
    Style h1 = doc.Styles().Item("見出し 1");
    EXPECT_EQ(h1.NameLocal(), doc.Styles().Item(wdStyleHeading1).NameLocal());
    EXPECT_EQ(doc.Styles().Item(wdStyleHeading3).NameLocal(), "見出し 3");
    EXPECT_EQ(doc.Styles().Item("Heading 2").NameLocal(), "見出し 2");
    EXPECT_THROW(doc.Styles().Item(-5), base::RunTimeError);

    Style h3 = doc.Styles().Item("見出し 3");
    EXPECT_FLOAT_EQ(h3.ParagraphFormat().CharacterUnitLeftIndent(), 4.0f);
    h3.BaseStyle("標準");
    h3.NextParagraphStyle("標準");
    h3.ParagraphFormat().LineSpacingRule(wdLineSpaceExactly);
    h3.ParagraphFormat().LineSpacing(14);
    h3.ParagraphFormat().LeftIndent(0);
    h3.ParagraphFormat().CharacterUnitLeftIndent(0);
    h3.Font().NameFarEast("ＭＳ ゴシック");
    h3.Font().Size(14);
    h3.Font().Bold(false);
    EXPECT_EQ(h3.BaseStyle(), "標準");
    EXPECT_FLOAT_EQ(h3.ParagraphFormat().CharacterUnitLeftIndent(), 0.0f);
    EXPECT_THROW(doc.Styles().Item(wdStyleNormal).BaseStyle("見出し 3"), base::RunTimeError);

    Range r = doc.Range();
    r.Font().Size(9);
    r.ParagraphFormat().LineSpacing(30);
    r.Collapse(wdCollapseEnd);
    r.InsertAfter("Title text\r");
    doc.Range(0, 2).Font().Bold(true);  // under half the paragraph: stays
    r.Style(wdStyleHeading3);
    EXPECT_EQ(doc.Paragraphs().Item(1).Range().Style().NameLocal(), "見出し 3");
    EXPECT_EQ(doc.Paragraphs().Item(2).Range().Style().NameLocal(), "標準");
    EXPECT_FLOAT_EQ(doc.Range(3, 9).Font().Size(), 14.0f);
    EXPECT_FLOAT_EQ(doc.Paragraphs().Item(1).Format().LineSpacing(), 14.0f);
    EXPECT_TRUE(doc.Range(0, 2).Font().Bold());
    EXPECT_FLOAT_EQ(doc.Paragraphs().Item(2).Format().LineSpacing(), 30.0f);
    EXPECT_FLOAT_EQ(doc.Paragraphs().Item(2).Range().Font().Size(), 9.0f);
}

TEST_F(word_model, unsafe_characters_are_replaced_one_for_one) {
    Range r = doc.Range();
    r.Collapse(wdCollapseEnd);
    r.InsertAfter(std::string("a\x01<&\"b\x07\tc\x0c", 10) + "\xff" + "d");
    EXPECT_EQ(r.End(), 12);
    EXPECT_EQ(doc.Content().Text(),
              "a\xEF\xBF\xBD<&\"b\xEF\xBF\xBD\tc\x0c\xEF\xBF\xBD"
              "d\r");
}

TEST_F(word_model, deleting_the_content_leaves_one_paragraph_and_page_breaks_count_one) {
    Range r = doc.Range();
    r.Font().Size(12);
    append_line(r, "page one");
    r.InsertBreak(wdPageBreak);
    EXPECT_EQ(doc.Content().Text(), "page one\r\x0c\r");
    append_line(r, "page two");
    EXPECT_EQ(doc.Content().End(), 20);
    EXPECT_EQ(doc.Content().Delete(), 19);
    EXPECT_EQ(doc.Content().End(), 1);
    EXPECT_FLOAT_EQ(doc.Content().Font().Size(), 12.0f);
    EXPECT_EQ(r.Start(), 0);
}

TEST_F(word_model, deleting_and_moving_text_across_paragraphs_keeps_positions_right) {
    Range r = doc.Range();
    r.InsertAfter("abc\rdef\rghi");
    Range watcher = doc.Range(8, 9);  // the "g"
    doc.Range(1, 6).Delete();         // "bc", the mark and "de"
    EXPECT_EQ(doc.Content().Text(), "af\rghi\r");
    EXPECT_EQ(doc.Paragraphs().Count(), 2);
    EXPECT_EQ(watcher.Start(), 3);
    EXPECT_EQ(watcher.Text(), "g");

    Range word_h = doc.Range(4, 5);
    word_h.Cut();
    EXPECT_EQ(doc.Content().Text(), "af\rgi\r");
    Range target = doc.Range(1, 1);
    target.Paste();
    EXPECT_EQ(doc.Content().Text(), "ahf\rgi\r");
    EXPECT_EQ(target.Start(), 1);
    EXPECT_EQ(target.End(), 2);
    // A collapsed range's Delete removes the character after it.
    doc.Range(0, 0).Delete();
    EXPECT_EQ(doc.Content().Text(), "hf\rgi\r");
    // Cutting part of a paragraph together with the next one is not supported: an error,
    // never a silently wrong clipboard.
    EXPECT_THROW(doc.Range(1, 4).Cut(), base::RunTimeError);
    EXPECT_EQ(doc.Content().Text(), "hf\rgi\r");
}

TEST_F(word_model, pictures_stay_anchored_at_their_page_start_and_travel_with_cut_text) {
    const auto dir =
        std::filesystem::temp_directory_path() /
        ("word_model_anchor_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "p.bmp", std::ios::binary) << word_test::small_bitmap();

    Range out = doc.Range();
    append_line(out, "first page");
    out.InsertBreak(wdPageBreak);
    const std::int32_t page_start = doc.Content().End();
    append_line(out, "second page, line 1");
    append_line(out, "line 2");
    Shape s = doc.Shapes().AddPicture(dir / "p.bmp", false, true, 0, 0, 10, 10,
                                      doc.Range(page_start, page_start));
    // The content's end counts the final mark, so the picture sits in the page's first
    // paragraph, the one that holds the break.
    const std::int32_t anchored = s.Anchor().Start();
    EXPECT_EQ(anchored, page_start);
    EXPECT_EQ(s.Anchor().Paragraphs().Item(1).Range().Text(), "\fsecond page, line 1\r");
    // Appending more text leaves the anchor where it was.
    for (int i = 0; i < 50; ++i) append_line(out, "more");
    EXPECT_EQ(s.Anchor().Start(), anchored);
    // Text inserted earlier moves it along with its paragraph.
    doc.Range(0, 0).InsertBefore("xyz");
    EXPECT_EQ(s.Anchor().Start(), anchored + 3);

    // Cutting the anchor's paragraph takes the picture along; pasting brings it to the other
    // document.
    Document other = app.Documents().Add();
    Paragraph anchor_paragraph = doc.Paragraphs().Item(2);
    anchor_paragraph.Range().Cut();
    EXPECT_EQ(doc.Shapes().Count(), 0);
    other.Range(0, 0).Paste();
    EXPECT_EQ(other.Shapes().Count(), 1);
    EXPECT_FLOAT_EQ(other.Shapes().Item(1).Width(), 10.0f);
    EXPECT_THROW(s.Left(), base::RunTimeError);
    std::filesystem::remove_all(dir);
}

TEST_F(word_model, documents_activate_close_and_quit) {
    Document second = app.Documents().Add();
    EXPECT_TRUE(app.ActiveDocument() == second);
    doc.Activate();
    EXPECT_TRUE(app.ActiveDocument() == doc);
    EXPECT_EQ(app.Documents().Count(), 2);
    Range kept = second.Content();
    second.Close(wdDoNotSaveChanges);
    EXPECT_EQ(app.Documents().Count(), 1);
    EXPECT_THROW(kept.InsertAfter("x"), base::RunTimeError);
    app.Quit(wdDoNotSaveChanges);
    EXPECT_THROW(doc.Content(), base::RunTimeError);
    EXPECT_THROW(app.Documents(), base::RunTimeError);
}

// Random inserts and deletes against a plain string: positions, paragraph joins and the
// following of other ranges must agree with simple text editing.
TEST_F(word_model, random_edits_agree_with_plain_text_editing) {
    std::mt19937 random(20261208);
    std::string reference = "\r";
    Range watcher = doc.Range(0, 0);
    std::int32_t watched = 0;
    const auto pick = [&](std::size_t n) {
        return static_cast<std::int32_t>(std::uniform_int_distribution<std::size_t>(0, n)(random));
    };
    for (int step = 0; step < 2000; ++step) {
        const auto size = static_cast<std::int32_t>(reference.size());
        if (random() % 3 != 0) {
            std::string text;
            for (int i = pick(5); i >= 0; --i) text += "ab\rcd"[pick(4)];
            const std::int32_t at = pick(static_cast<std::size_t>(size - 1));
            doc.Range(at, at).InsertAfter(text);
            reference.insert(static_cast<std::size_t>(at), text);
            if (watched >= at) watched += static_cast<std::int32_t>(text.size());
        } else {
            const std::int32_t from = pick(static_cast<std::size_t>(size - 1));
            const std::int32_t to = std::min(from + pick(8), size - 1);
            if (from == to) continue;
            doc.Range(from, to).Delete();
            reference.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
            if (watched > from) watched = std::max(from, watched - (to - from));
        }
        ASSERT_EQ(doc.Content().Text(), reference) << "step " << step;
        ASSERT_EQ(watcher.Start(), watched) << "step " << step;
    }
    EXPECT_EQ(doc.Paragraphs().Count(), std::count(reference.begin(), reference.end(), '\r'));
}

TEST(word_lifetime, handles_outliving_their_document_or_application_report_an_error) {
    std::optional<Range> range;
    std::optional<Style> style;
    std::optional<Table> table;
    std::optional<Font> font;
    {
        Application app;
        Document doc = app.Documents().Add();
        range = doc.Content();
        style = doc.Styles().Item(wdStyleHeading1);
        font = style->Font();
        table = doc.Tables().Add(doc.Range(), 1, 1);
        doc.Close(wdDoNotSaveChanges);
    }
    EXPECT_THROW(range->InsertAfter("x"), base::RunTimeError);
    EXPECT_THROW(style->NameLocal(), base::RunTimeError);
    EXPECT_THROW(font->Size(), base::RunTimeError);
    EXPECT_THROW(table->Rows(), base::RunTimeError);
    range.reset();  // the last handle on the document
    EXPECT_THROW(style->BaseStyle("標準"), base::RunTimeError);
    EXPECT_THROW(table->Cell(1, 1), base::RunTimeError);
}

}  // namespace
