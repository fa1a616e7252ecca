// One conversion run of the Word route. The run coordinates: it owns Word and the job files,
// walks the pages, and hands text, tables and figures to the parts that own their state.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "base/whole_file.h"
#include "jobfiles/prn_char.h"
#include "jobfiles/prn_pict.h"
#include "platform/word/word.h"
#include "varnel/wordbuilder/block_figures.h"
#include "varnel/wordbuilder/block_pictures.h"
#include "varnel/wordbuilder/page_placement.h"
#include "varnel/wordbuilder/table_writer.h"
#include "varnel/wordbuilder/text_grid_writer.h"
#include "varnel/wordbuilder/word_builder.h"

namespace wordbuilder {

class WordRun {
  public:
    WordRun(const WordRunSettings& settings, ProgressView& progress);
    WordRunOutcome run();

  private:
    // Setup
    void start_word();
    void format_document(word::Document& document, word::Range& whole);
    void setup_heading_styles();
    void open_job_files();

    // Page loop
    void walk();
    void skip_to_start_page();
    void read_first_block();
    void dispatch(std::string_view keyword);
    void place_text(jobfiles::TextKind kind);
    void write_table();
    void block_boundary(bool new_block);
    void finish_at_end_page();
    void page_end();
    void show_page_label();
    // The job files' pages read before the page that has just ended go.
    void release_read_pages();
    void report_grid_loss(GridLoss loss, const jobfiles::BlockHeader& block);
    void text_ended_early();

    // Graphics reader, in step with the text
    void read_graphics(bool at_page_end);
    void read_graphics_to_page_end();
    void next_block_figures(const jobfiles::PictBlock& block);
    // PRN_PICT stops being read, with a warning naming the page.
    void pict_disagrees();

    // Document parts
    OutputPlace output() { return {*OutputDocument, *output_range_}; }
    void split_or_recycle();
    void renew_work_document();
    std::filesystem::path output_path() const;
    void save_output();
    void finish_figures();
    // The error path: the message box names the description, then where it happened.
    WordRunOutcome fail(const std::string& description, const std::string& where);
    void finish_run();
    void close_word();

    const WordRunSettings& settings_;
    ProgressView& progress_;

    std::optional<word::Application> word_;
    std::optional<word::Document> WorkDocument;
    std::optional<word::Document> OutputDocument;
    std::optional<word::Range> output_range_;
    std::optional<word::Range> work_range_;
    std::int16_t Doc_Count = 1;
    std::int16_t Doc_Pages = 1;

    std::optional<base::MappedFile> char_file_;
    std::optional<base::MappedFile> pict_file_;
    std::optional<jobfiles::PrnCharReader> text_file_;
    std::optional<jobfiles::VarnelPictReader> graphics_file_;

    BlockPictures pictures_;
    PagePlacement page_;
    TextOutput text_output_;
    TextGridWriter text_;
    TableWriter tables_;
    BlockFigures figures_;

    // The block whose figures are being placed: it moves on when the graphics reader reaches
    // the next block's figures, which may be after the text writer has begun that block.
    std::int32_t Block_No = 0;
    bool pict_agrees_ = true;
    bool pict_ended_ = false;  // at a page end of the text
    // The output's end when the page began: unchanged at its end when the page wrote no text.
    std::int32_t page_content_end_ = 0;
    // Pictures in the output when the last page break went in: any more stand after it.
    std::int32_t shapes_at_break_ = 0;
    int progress_value_ = 0;
    bool walking_ = false;  // the pages are being converted
    bool loop_ended_ = false;
    bool text_ended_without_page_ = false;
    bool after_table_ = false;  // the last record read was a table
    bool extra_cells_told_ = false;
};

}  // namespace wordbuilder
