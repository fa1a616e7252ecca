// One conversion run of the Word route, with the run state the page loop, the graphics reader
// and the document parts share.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "graphics/bitmap_drawing.h"
#include "graphics/block_metafile.h"
#include "graphics/drawing_context.h"
#include "jobfiles/field_reader.h"
#include "jobfiles/prn_char.h"
#include "jobfiles/prn_pict.h"
#include "platform/word/word.h"
#include "varnel/wordbuilder/line_grid.h"
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
    void flush_block();
    void block_boundary(bool new_block);
    void compute_lines_per_block();
    void write_lines(int first, int last, bool with_runs);
    void finish_at_end_page();
    void page_end();
    void show_page_label();
    void log_block_size_warning();

    // Graphics reader, in step with the text
    void read_graphics(bool at_page_end);
    void read_graphics_to_page_end();
    void open_block_graphics(const jobfiles::PictBlock& block);
    void draw_record(const jobfiles::VarnelPictRecord& record);
    void finish_block_graphics();
    void abandon_block_graphics();

    // Floating pictures behind the text
    struct PicturePlace {
        float left = 0;
        float top = 0;
        float width = 0;
        float height = 0;
    };
    PicturePlace place_of_block(double x1, double y1, double x2, double y2) const;
    void add_picture(const std::filesystem::path& file, const PicturePlace& place, float top);
    std::filesystem::path meta_file(const std::string& name) const;
    emf::RECTL block_frame(double x1, double y1, double x2, double y2) const;

    // Tables
    void write_table();
    void write_word_table();
    void draw_table();
    void write_lines_above_table(std::int16_t m3);

    // Document parts
    void split_or_recycle();
    void renew_work_document();
    std::filesystem::path output_path() const;
    void save_output();
    void finish_figures();
    // The error path for errors that carry no description of their own.
    WordRunOutcome fail(base::ErrorNumber number);
    void finish_run();
    void close_word();

    std::string utf8(std::string_view cp932_text) const;
    std::string record_context() const;

    const WordRunSettings& settings_;
    ProgressView& progress_;
    GridMetrics metrics_;

    std::optional<word::Application> word_;
    std::optional<word::Document> WorkDocument;
    std::optional<word::Document> OutputDocument;
    std::optional<word::Range> output_range_;
    std::optional<word::Range> work_range_;
    float FontSizeRatio = 1;
    std::int16_t Doc_Count = 1;
    std::int16_t Doc_Pages = 1;

    std::string char_bytes_;
    std::string pict_bytes_;
    std::optional<jobfiles::PrnCharReader> text_file_;
    std::optional<jobfiles::VarnelPictReader> graphics_file_;

    LineGrid grid_;
    std::int16_t LinesPerBlock = 0;
    std::int16_t Block_No = 0;
    jobfiles::BlockHeader block_;
    bool previous_block_kind_is_1_ = false;
    double gap_top_ = 0;
    std::int16_t heading_level_ = 0;
    bool TextPresent = false;
    bool PageStart = false;
    std::int32_t page_start_position_ = 0;
    float Graphics_Offset = 0;
    double Page_Drift = 0;
    int progress_value_ = 0;
    bool loop_ended_ = false;
    bool text_ended_without_page_ = false;

    graphics::DrawingContext drawing_;
    graphics::BitmapCanvas canvas_;
    std::optional<graphics::BlockMetafile> block_metafile_;
    jobfiles::PictBlock graphics_block_;
    // Table drawings get a drawing state of their own: the block metafile stays open meanwhile.
    graphics::DrawingContext table_drawing_;
    double table_text_x_ = 0;
};

}  // namespace wordbuilder
