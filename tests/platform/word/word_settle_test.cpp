// Settling: the pages a caller is done with are written out and let go, and the saved document
// is the one it would have been without.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "base/run_time_error.h"
#include "platform/word/word.h"
#include "sample_document.h"

namespace {

using namespace word;
namespace fs = std::filesystem;

std::string read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_file(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

int error_number(const std::function<void()>& f) {
    try {
        f();
    } catch (const base::RunTimeError& e) {
        return e.number();
    }
    return 0;
}

void picture_at(Document& doc, const fs::path& file, std::int32_t at, float top) {
    Shape s = doc.Shapes().AddPicture(file, false, true, 0, 0, 40, 30, doc.Range(at, at));
    s.WrapFormat().Type(wdWrapNone);
    s.RelativeVerticalPosition(wdRelativeVerticalPositionPage);
    s.Top(top);
    s.ZOrder(msoSendBehindText);
}

// Pages as the Word document builder writes them: a title, lines with a raised run, pictures
// anchored at the page's start, on every third page a table moved in from a scratch document,
// then a page break. `settle` is called with each new page's start.
void write_pages(Application& app, Document& out, const fs::path& dir, int pages,
                 const std::function<void(std::int32_t)>& settle) {
    Document work = app.Documents().Add();
    out.Activate();
    Range range = out.Range();
    std::int32_t page_start = 0;
    for (int page = 1; page <= pages; ++page) {
        range.Collapse(wdCollapseEnd);
        range.InsertAfter("Page " + std::to_string(page) + "\r");
        range.Style(wdStyleHeading1);
        range.Collapse(wdCollapseEnd);
        for (int line = 1; line <= 5; ++line) {
            range.InsertAfter("x2 line " + std::to_string(line));
            const std::int32_t end = out.Content().End();
            Range script = out.Range(end - 8, end - 7);
            script.Font().Superscript(true);
            range.Collapse(wdCollapseEnd);
            range.InsertAfter("\r");
            range.Collapse(wdCollapseEnd);
        }
        if (page % 3 == 0) {
            Table t = work.Tables().Add(work.Range(), 2, 2);
            t.Cell(1, 1).Range().InsertAfter("T" + std::to_string(page));
            t.Range().Cut();
            range.Paste();
            range.Collapse(wdCollapseEnd);
            app.Clipboard().Clear();
        }
        picture_at(out, dir / "picture.emf", page_start, 10.0f * static_cast<float>(page));
        if (page % 2 == 0) picture_at(out, dir / "picture.bmp", page_start, 5);
        range.SetRange(out.Content().End(), out.Content().End());
        range.Collapse(wdCollapseEnd);
        range.InsertBreak(wdPageBreak);
        page_start = out.Range().End();
        settle(page_start);
    }
    work.Close(wdDoNotSaveChanges);
}

class WordSettleTest : public ::testing::Test {
  protected:
    WordSettleTest() : dir_(word_test::fresh_folder("settle")) {
        write_file(dir_ / "picture.emf", word_test::empty_metafile(5000, 3000));
        write_file(dir_ / "picture.bmp", word_test::small_bitmap());
    }
    ~WordSettleTest() override { fs::remove_all(dir_); }

    // The document of `pages` pages saved, settled as `settle` says.
    std::string saved(int pages, const std::function<void(Document&, std::int32_t)>& settle) {
        Application app;
        Document out = app.Documents().Add();
        write_pages(app, out, dir_, pages, [&](std::int32_t start) { settle(out, start); });
        const fs::path file = dir_ / "out.docx";
        out.SaveAs(file);
        app.Quit(wdDoNotSaveChanges);
        return read_file(file);
    }

    fs::path dir_;
};

TEST_F(WordSettleTest, settled_pages_save_as_they_would_have_unsettled) {
    const std::string whole = saved(7, [](Document&, std::int32_t) {});
    std::int32_t previous = 0;
    const std::string settled = saved(7, [&](Document& doc, std::int32_t start) {
        doc.Settle(previous);
        previous = start;
    });
    EXPECT_TRUE(settled == whole);
    // Saved midway, the document goes on and saves the same bytes at the end.
    const std::string saved_midway = saved(7, [&](Document& doc, std::int32_t start) {
        doc.Settle(start);
        if (start > 0 && doc.Shapes().Count() == 6) doc.SaveAs(dir_ / "midway.docx");
    });
    EXPECT_TRUE(saved_midway == whole);
    EXPECT_TRUE(fs::exists(dir_ / "midway.docx"));
}

TEST_F(WordSettleTest, settled_content_cannot_be_reached_and_a_whole_delete_starts_afresh) {
    Application app;
    Document out = app.Documents().Add();
    write_pages(app, out, dir_, 3, [&](std::int32_t start) { out.Settle(start); });
    const std::int32_t end = out.Content().End();
    // The last page's break stays; everything before it is settled.
    EXPECT_EQ(out.Range(end - 2, end - 1).Text(), "\f");
    EXPECT_EQ(error_number([&] { out.Range(0, 5).Text(); }), 5);
    EXPECT_EQ(error_number([&] { out.Range(1, 2).Font().Bold(true); }), 5);
    EXPECT_EQ(error_number([&] { out.Range(3, 3).InsertAfter("x"); }), 5);
    EXPECT_EQ(error_number([&] { out.Range(0, 4).Delete(); }), 5);
    EXPECT_EQ(out.Shapes().Count(), 4);  // settled pictures counted
    EXPECT_EQ(error_number([&] { out.Shapes().Item(1); }), 5);

    EXPECT_EQ(out.Content().Delete(), end - 1);
    EXPECT_EQ(out.Content().End(), 1);
    EXPECT_EQ(out.Shapes().Count(), 0);
    out.Range().InsertAfter("again");
    EXPECT_EQ(out.Range(0, 5).Text(), "again");
    app.Quit(wdDoNotSaveChanges);
}

}  // namespace
