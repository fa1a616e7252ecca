// The in-memory document behind the object-model handles.
//
// The body is a list of blocks, each a paragraph or a table; a table's cells hold paragraphs.
// Positions count UTF-16 units plus one for every paragraph, end-of-cell and end-of-row mark.
// Every top-level block keeps its start position, so finding a position is a binary search
// and appending at the end touches only the last block.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/word/formats.h"

namespace word::detail {

struct DocState;
struct SettledBody;
struct ShapeState;
struct TableState;

struct Run {
    std::int32_t length;
    std::uint32_t format;  // interned CharFormat
};

// A floating picture's place in its anchor paragraph.
struct Anchor {
    std::shared_ptr<ShapeState> shape;
    std::int32_t offset;  // characters from the paragraph's start
};

struct Paragraph {
    std::u16string text;            // without the mark
    std::vector<Run> runs;          // cover text exactly
    std::uint32_t mark_format = 0;  // formatting of the paragraph mark
    std::uint32_t para_format = 0;  // interned ParaFormat
    std::vector<Anchor> anchors;

    std::int32_t length() const noexcept { return static_cast<std::int32_t>(text.size()) + 1; }
    std::uint32_t format_at(std::int32_t offset) const;  // a text offset, or the mark
};

struct BorderLine {
    int style = 1;  // Word line style: 0 none, 1 single
    int width = 4;  // eighths of a point
    auto operator<=>(const BorderLine&) const = default;
};

enum BorderSide : std::size_t { top, left, bottom, right, diagonal_down, diagonal_up, side_count };

struct CellData {
    float width = 0;  // points
    std::array<BorderLine, side_count> borders{};
    int vertical_alignment = 0;
    std::array<float, 4> padding{0.0f, 5.4f, 0.0f, 5.4f};  // top, left, bottom, right
    std::vector<Paragraph> paragraphs;  // at least one; the last mark ends the cell

    std::int32_t length() const noexcept;
};

struct RowData {
    int height_rule = 0;
    float height = 0;       // points
    float left_indent = 0;  // points
    std::vector<CellData> cells;
    std::uint32_t end_format = 0;  // paragraph format kept with the end-of-row mark

    std::int32_t length() const noexcept;  // cells plus the end-of-row mark
};

struct TableState {
    std::vector<RowData> rows;
    DocState* doc = nullptr;  // null once cut or deleted
    std::size_t block_hint = 0;

    std::int32_t length() const noexcept;
};

struct Block {
    Paragraph paragraph;  // when table is null
    std::shared_ptr<TableState> table;
    std::int32_t start = 0;

    std::int32_t length() const noexcept { return table ? table->length() : paragraph.length(); }
};

// Where a position falls.
struct Location {
    std::size_t block = 0;
    std::int32_t block_start = 0;
    // Inside a table: the row and cell (0-based), or the end-of-row mark when cell == -1.
    int row = -1;
    int cell = -1;
    std::size_t paragraph = 0;  // within the cell
    std::int32_t paragraph_start = 0;
    std::int32_t offset = 0;  // within the paragraph (text length = at the mark)
};

struct Picture {
    std::string bytes;
    std::string extension;  // "emf", "png", "jpeg", "bmp"
    std::string content_type;
    float natural_width = 0;  // points
    float natural_height = 0;
};

struct ShapeState {
    DocState* doc = nullptr;  // null once deleted
    std::shared_ptr<const Picture> picture;
    int wrap = 3;
    int relative_horizontal = 2;  // column
    int relative_vertical = 2;    // paragraph
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool behind_text = false;
    std::int32_t z = 0;  // order among the pictures on the same side of the text
};

struct StyleState {
    DocState* doc = nullptr;
    int index = 0;
    int builtin_id = 0;
    std::string local_name;  // as a Japanese Word shows it
    std::string english_name;
    std::string docx_id;
    std::string docx_name;
    int outline_level = -1;
    CharFormat font;
    ParaFormat paragraph;  // style field unused
    int base = -1;         // style index, -1 for none
    int next = 0;
    bool automatically_update = false;
};

struct RangeState {
    std::shared_ptr<DocState> doc;
    std::int32_t start = 0;
    std::int32_t end = 0;
    std::vector<CharChange> pending;  // formatting for text inserted at a collapsed range
};

// What Cut or Copy leaves: text inside one paragraph, or whole blocks and rows.
struct Fragment {
    bool inline_text = false;
    Paragraph text;  // inline: text and runs only
    std::vector<Block> blocks;
    std::vector<CharFormat> char_formats;  // formats by the source document's numbers
    std::vector<ParaFormat> para_formats;
};

struct AppState;

struct DocState {
    AppState* app = nullptr;
    bool open = true;
    // Documents.Add: the document's created property.
    std::chrono::system_clock::time_point created = std::chrono::system_clock::now();
    std::vector<Block> blocks;
    Interner<CharFormat> char_formats;
    Interner<ParaFormat> para_formats;
    std::vector<std::shared_ptr<StyleState>> styles;
    std::vector<std::shared_ptr<ShapeState>> shapes;  // in order of insertion
    std::vector<std::weak_ptr<RangeState>> ranges;
    std::size_t ranges_at_last_sweep = 0;
    float margin_top = 99.25f;  // a Japanese Word's A4 defaults
    float margin_bottom = 85.05f;
    float margin_left = 85.05f;
    float margin_right = 85.05f;
    float page_width = 595.3f;
    float page_height = 841.9f;
    bool spelling_checked = false;
    std::int32_t next_z = 0;
    // The body before `settled_end` has been written out (Document::Settle): `blocks` hold
    // what follows, their starts still counted from the document's start.
    std::int32_t settled_end = 0;
    std::unique_ptr<SettledBody> settled;

    DocState();
    // Handles may outlive the document: they learn it is gone.
    ~DocState();
    DocState(const DocState&) = delete;
    DocState& operator=(const DocState&) = delete;
    void check_open() const;

    std::int32_t content_end() const noexcept;
    // Invalid call for a position in the settled body.
    Location locate(std::int32_t position) const;
    Paragraph& paragraph_at(const Location& at);
    const Paragraph& paragraph_at(const Location& at) const;
    // Recomputes block starts from `first` on (after a change of length there).
    void restart_from(std::size_t first);
    // Lets go of the settled body: the live blocks count from 0 again.
    void drop_settled();
    std::size_t block_of(const TableState& table);
    std::int32_t table_start(const TableState& table);

    // Effective values through the paragraph's style chain and the defaults.
    std::int32_t char_value(std::uint32_t format, int style, CharProp p) const;
    std::string font_value(std::uint32_t format, int style, FontSlot s) const;
    std::int32_t para_value(std::uint32_t format, ParaProp p) const;
    std::int32_t style_para_value(int style, ParaProp p) const;

    // Visits every paragraph overlapping [start, end) (or holding `start` when empty), with
    // its start position.
    void for_each_paragraph(std::int32_t start, std::int32_t end,
                            const std::function<void(Paragraph&, std::int32_t)>& visit);

    // Editing. Each keeps block starts and the positions of live ranges (other than `actor`)
    // right, and returns how the document length changed.
    std::int32_t insert_text(std::int32_t position, std::u16string_view text,
                             const std::vector<CharChange>& pending, const RangeState* actor);
    std::int32_t remove(std::int32_t start, std::int32_t end, const RangeState* actor);
    void apply_char(std::int32_t start, std::int32_t end, const CharChange& change);
    void apply_para(std::int32_t start, std::int32_t end, const ParaChange& change);
    void apply_style(std::int32_t start, std::int32_t end, int style);

    // Tables and fragments (tables.cpp).
    std::shared_ptr<TableState> add_table(std::int32_t start, std::int32_t end, int rows,
                                          int columns, const RangeState* actor);
    void merge_cells(std::int32_t start, std::int32_t end);
    Fragment copy(std::int32_t start, std::int32_t end) const;
    // Returns the span [first, last) the fragment occupies afterwards.
    std::pair<std::int32_t, std::int32_t> paste(std::int32_t position, const Fragment& fragment,
                                                const RangeState* actor);

    // Live ranges.
    std::shared_ptr<RangeState> make_range(std::int32_t start, std::int32_t end,
                                           const std::shared_ptr<DocState>& self);
    void shift_ranges(std::int32_t at, std::int32_t delta, const RangeState* actor);

    void delete_shapes(const std::vector<Anchor>& anchors);
    std::int32_t clamp_insertion(std::int32_t position) const;
};

struct AppState {
    AppState() = default;
    // Documents kept alive by handles learn that their application is gone.
    ~AppState();
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    std::string program_name;
    bool running = true;
    std::vector<std::shared_ptr<DocState>> documents;
    std::shared_ptr<DocState> active;
    std::unique_ptr<Fragment> clipboard;
    int window_state = 0;
    bool screen_updating = true;
    bool visible = false;
    bool check_spelling = true;
    bool check_grammar = true;
};

// Text as the document keeps it: characters XML cannot carry become U+FFFD.
std::u16string document_text(std::string_view utf8);

}  // namespace word::detail
