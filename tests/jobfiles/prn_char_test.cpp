#include "jobfiles/prn_char.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "base/whole_file.h"

namespace {

using base::RunTimeError;
using jobfiles::TextKind;

std::string fixture(const char* name) {
    return base::load_file(std::filesystem::path(VS_TEST_DATA_DIR) / name);
}

template <typename F>
int error_number_of(F read) {
    try {
        read();
    } catch (const base::RunTimeError& e) {
        return e.number();
    }
    return 0;
}

// The Word converter's page loop over the fixture, reduced to a log of what it read.
std::vector<std::string> varnel_walk(std::string_view bytes) {
    jobfiles::PrnCharReader in(bytes);
    std::vector<std::string> log;
    in.skip_line();
    const jobfiles::BlockHeader first = in.read_first_block_header();
    log.push_back("block " + std::to_string(first.Block_No));
    while (!in.at_end()) {
        const std::string keyword(in.read_keyword());
        if (const auto kind = jobfiles::text_kind(keyword)) {
            const jobfiles::TextRecord r = in.read_text_record(*kind);
            log.push_back(keyword + " " + cp932::to_utf8(r.text));
        } else if (keyword == "MATRIX") {
            jobfiles::MatrixHeader h = in.read_matrix_header();
            in.read_matrix_widths(h);
            log.push_back("matrix " + std::to_string(h.widths.size()));
            for (int i = 0; i < h.m1 * h.m2; ++i) {
                log.push_back("cell " + cp932::to_utf8(in.read_cell_line().text));
            }
        } else if (keyword == "BLOCK") {
            log.push_back("block " + std::to_string(in.read_block_header().Block_No));
        } else if (keyword == "PAGE") {
            if (in.at_end()) break;
            in.read_rest_of_line();
            log.push_back("page");
        }
    }
    return log;
}

TEST(prn_char_reader, page_loop_reads_every_record_kind_in_order) {
    const std::vector<std::string> expected = {
        "block 1", "TITLE 月次売上報告書", "LABEL 商品名,数量 \"A\"", "UMOJI ｶﾅ2", "SMOJI x",
        // An unknown keyword leaves its line: its next field is read as a keyword.
        "LABEL y", "matrix 3", "cell $U1$Z月", "cell @", "cell ｺﾒﾝﾄ", "block 2",
        // Three bytes that are no character, then a lead byte the closing quote does not end.
        "LABEL \uFFFD\uFFFD\uFFFD\uFFFD", "page", "block 3", "LABEL ", "page"};
    EXPECT_EQ(varnel_walk(fixture("char_walk.prn")), expected);
}

TEST(prn_char_reader, header_and_cell_fields_take_each_programs_types) {
    const std::string bytes = fixture("char_walk.prn");
    jobfiles::PrnCharReader in(bytes);
    in.skip_line();
    const jobfiles::BlockHeader h = in.read_first_block_header();
    EXPECT_EQ(h.y1, 200);  // 200.5 rounds to the even neighbour
    EXPECT_EQ(h.y2, 502);
    EXPECT_TRUE(h.block_kind.is(1));
    EXPECT_EQ(h.title_flag, 1);
    EXPECT_EQ(in.read_keyword(), "TITLE");
    EXPECT_EQ(in.read_text_record(TextKind::TITLE).heading_level, 1);

    // The first header's keyword is taken on trust, whatever it says.
    jobfiles::PrnCharReader odd("PAGE,0\r\nHEAD,7,0,0,10,10,1,0\r\n");
    odd.skip_line();
    EXPECT_EQ(odd.read_first_block_header().Block_No, 7);

    jobfiles::SorbelCharReader all(bytes);
    const auto first = all.next();
    ASSERT_TRUE(first && std::holds_alternative<jobfiles::SorbelBlockHeader>(*first));
    EXPECT_EQ(std::get<jobfiles::SorbelBlockHeader>(*first).y1, 200.5);
    EXPECT_EQ(std::get<jobfiles::SorbelBlockHeader>(*first).y2, 501.5);
}

TEST(prn_char_reader, whole_record_pass_yields_matrix_rows_and_pages) {
    const std::string bytes = fixture("char_walk.prn");
    jobfiles::SorbelCharReader in(bytes);
    std::vector<std::string> log;
    while (const auto record = in.next()) {
        if (const auto* t = std::get_if<jobfiles::TextRecord>(&*record)) {
            log.push_back(cp932::to_utf8(t->text));
        } else if (const auto* m = std::get_if<jobfiles::MatrixHeader>(&*record)) {
            log.push_back("matrix " + std::to_string(m->m1) + "x" + std::to_string(m->m2));
            EXPECT_EQ(m->widths.back(), 100.5);
        } else if (const auto* row = std::get_if<jobfiles::MatrixRow>(&*record)) {
            ASSERT_EQ(row->cells.size(), 3u);
            EXPECT_EQ(row->cells[1].text, "@");
            EXPECT_EQ(row->cells[2].n, 7);
            EXPECT_EQ(row->cells[2].h, 100.5);
            EXPECT_EQ(row->cells[0].s, "011110");
            log.push_back("row");
        } else if (std::holds_alternative<jobfiles::PageEnd>(*record)) {
            log.push_back("page");
        } else if (const auto* unknown = std::get_if<jobfiles::UnknownField>(&*record)) {
            log.push_back("unknown " + unknown->text);
        } else {
            log.push_back("block");
        }
    }
    const std::vector<std::string> expected = {"block",
                                               "月次売上報告書",
                                               "商品名,数量 \"A\"",
                                               "ｶﾅ2",
                                               "x",
                                               "unknown NOTE",
                                               "y",
                                               "matrix 1x3",
                                               "row",
                                               "block",
                                               "\uFFFD\uFFFD\uFFFD\uFFFD",
                                               "page",
                                               "block",
                                               "",
                                               "page"};
    EXPECT_EQ(log, expected);
}

TEST(prn_char_reader, skipping_pages_goes_by_lines_up_to_each_page_line) {
    const std::string bytes = fixture("char_walk.prn");
    jobfiles::PrnCharReader in(bytes);
    in.skip_line();
    in.skip_page();
    EXPECT_EQ(in.read_first_block_header().Block_No, 3);
    in.skip_page();
    EXPECT_TRUE(in.at_end());
    EXPECT_EQ(error_number_of([&] { in.skip_page(); }), 62);
}

TEST(prn_char_reader, bad_records_raise_the_runtime_error_of_their_fault) {
    const auto matrix = [](const std::string& bytes) {
        return error_number_of([&] {
            jobfiles::PrnCharReader in(bytes);
            in.read_keyword();
            jobfiles::MatrixHeader h = in.read_matrix_header();
            in.read_matrix_widths(h);
        });
    };
    std::string wide = "MATRIX,1,65,0,0,10,T";
    for (int i = 0; i < 65; ++i) wide += ",10";
    EXPECT_EQ(matrix(wide + "\r\n"), 9);
    EXPECT_EQ(matrix("MATRIX,1,64,0,0,10,T\r\n"), 62);  // widths missing: the file ends
    EXPECT_EQ(matrix("MATRIX,1,99999,0,0,10,T\r\n"), 6);
    EXPECT_EQ(matrix("MATRIX,one,2,0,0,10,T,1,1\r\n"), 13);

    const auto label = [](const std::string& bytes) {
        return error_number_of([&] {
            jobfiles::PrnCharReader in(bytes);
            in.read_text_record(*jobfiles::text_kind(in.read_keyword()));
        });
    };
    EXPECT_EQ(label("LABEL,1,2,3,4,\"\r\n"), 5);
    EXPECT_EQ(label("LABEL,1,2,3,4\r\n"), 5);  // no text on the line at all
    EXPECT_EQ(label("LABEL,x,2,3,4,\"a\"\r\n"), 13);
    EXPECT_EQ(label("TITLE,1,2,3,70000,\"a\"\r\n"), 6);
    EXPECT_EQ(label("LABEL,1,2,3"), 62);
    EXPECT_EQ(label("SMOJI,1,2,\"\"\r\n"), 0);

    // A table announcing far more cells than the file holds ends at the file's end.
    jobfiles::SorbelCharReader big("PAGE\r\nMATRIX,32767,32767,0,0,10,T,1,1\r\n");
    EXPECT_EQ(error_number_of([&] {
                  while (big.next()) {
                  }
              }),
              62);
    // Negative counts read no widths and no rows.
    jobfiles::SorbelCharReader negative("PAGE\r\nMATRIX,-3,-2,0,0,10,T\r\nPAGE,1\r\n");
    EXPECT_TRUE(std::holds_alternative<jobfiles::MatrixHeader>(*negative.next()));
    EXPECT_TRUE(std::holds_alternative<jobfiles::PageEnd>(*negative.next()));
    EXPECT_FALSE(negative.next());
}

TEST(prn_char_reader, a_last_page_line_without_a_number_ends_the_whole_record_pass) {
    jobfiles::SorbelCharReader in("PAGE\r\nBLOCK,1,0,0,10,10,0,0\r\nPAGE\r\n");
    EXPECT_TRUE(std::holds_alternative<jobfiles::SorbelBlockHeader>(*in.next()));
    EXPECT_TRUE(std::holds_alternative<jobfiles::PageEnd>(*in.next()));
    EXPECT_FALSE(in.next());
    EXPECT_FALSE(jobfiles::SorbelCharReader("").next());
}

TEST(prn_char_reader, a_bare_page_line_leaves_the_next_block_whole) {
    jobfiles::SorbelCharReader in(
        "PAGE\r\nBLOCK,1,0,0,10,10,0,0\r\nPAGE\r\nBLOCK,2,0,5,10,25,0,1\r\nPAGE,2,x\r\n");
    in.next();
    EXPECT_TRUE(std::holds_alternative<jobfiles::PageEnd>(*in.next()));
    const auto second = in.next();
    ASSERT_TRUE(second && std::holds_alternative<jobfiles::SorbelBlockHeader>(*second));
    EXPECT_EQ(std::get<jobfiles::SorbelBlockHeader>(*second).Block_No, 2);
    EXPECT_EQ(std::get<jobfiles::SorbelBlockHeader>(*second).y2, 25);
    EXPECT_TRUE(std::holds_alternative<jobfiles::PageEnd>(*in.next()));
    EXPECT_FALSE(in.next());
}

TEST(prn_char_reader, unknown_keywords_and_cell_lines_beyond_a_table_are_told) {
    // Cell lines beyond the table go whole, so that a cell text "PAGE" ends no page; an unknown
    // keyword elsewhere is passed over one field at a time.
    jobfiles::SorbelCharReader in(
        "PAGE\r\nMATRIX,1,1,0,0,10,T,10\r\nC,0,0,\"000000\",1,0,\"a\"\r\n"
        "C,0,0,\"000000\",1,0,\"PAGE\"\r\nC,0,1,\"000000\",1,0,\"b\"\r\n"
        "LABEL,1,2,0,0,\"x\"\r\nNOTE,PAGE\r\n");
    EXPECT_TRUE(std::holds_alternative<jobfiles::MatrixHeader>(*in.next()));
    EXPECT_TRUE(std::holds_alternative<jobfiles::MatrixRow>(*in.next()));
    const auto extra = in.next();
    ASSERT_TRUE(extra && std::holds_alternative<jobfiles::ExtraCellLine>(*extra));
    EXPECT_EQ(std::get<jobfiles::ExtraCellLine>(*extra).offset, 54u);
    EXPECT_TRUE(std::holds_alternative<jobfiles::ExtraCellLine>(*in.next()));
    EXPECT_TRUE(std::holds_alternative<jobfiles::TextRecord>(*in.next()));
    const auto unknown = in.next();
    ASSERT_TRUE(unknown && std::holds_alternative<jobfiles::UnknownField>(*unknown));
    EXPECT_EQ(std::get<jobfiles::UnknownField>(*unknown).text, "NOTE");
    EXPECT_TRUE(std::holds_alternative<jobfiles::PageEnd>(*in.next()));
    EXPECT_FALSE(in.next());
}

}  // namespace
