#include "bench/job_generator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "base/cp932.h"

namespace jobgen {

namespace {

constexpr int margin = 200;         // all four margins, tenths of a millimetre
constexpr int paper_height = 2970;  // A4 portrait
constexpr int printable_width = 2100 - 2 * margin;
constexpr int max_block_lines = 64;

std::string sj(std::string_view utf8) {
    return cp932::from_utf8(utf8);
}

// A coordinate with at most one decimal, as the host writes them.
std::string num(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", v);
    std::string s(buffer);
    if (s.ends_with(".0")) s.resize(s.size() - 2);
    if (s == "-0") s = "0";
    return s;
}

std::string yen(long value) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) {
        digits.insert(static_cast<std::size_t>(i), ",");
    }
    return (value < 0 ? "-" : "") + digits;
}

std::string percent(long part, long whole) {
    char buffer[32];
    std::snprintf(
        buffer, sizeof buffer, "%.1f%%",
        whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole));
    return buffer;
}

// Deterministic figures for the report.
class Figures {
  public:
    explicit Figures(std::uint32_t seed) : state_(seed * 2654435761u + 1u) {}
    long next(long low, long high) {
        state_ = state_ * 1664525u + 1013904223u;
        return low + static_cast<long>((state_ >> 8) % static_cast<std::uint32_t>(high - low + 1));
    }

  private:
    std::uint32_t state_;
};

struct Cell {
    std::string text;  // CP932; "@" joins the cell to its left neighbour
    int align = 1;     // 1 left, 4 centred, 7 right
    std::string ruling = "001111";
};

struct Table {
    std::vector<int> columns;  // widths in half-width characters
    std::vector<std::vector<Cell>> rows;
    double pitch = 60;  // row pitch, tenths of a millimetre
};

// Lays out one page on the character grid and writes its records into both files.
class PageWriter {
  public:
    // Block numbers run through the whole job, from `first_block` on, so that every block's
    // figure file has a name of its own.
    PageWriter(const JobOptions& options, std::string& text_file, std::string& pict_file,
               int first_block)
        : char_(text_file), pict_(pict_file), first_block_(first_block) {
        line_height_ = options.char_size * 25.4 / 72;
        title_height_ = options.line_pitch * 25.4 / 72;
        // The Word converter's character grid holds 90 columns, whatever the size.
        columns_ = std::min(90, static_cast<int>(printable_width / (line_height_ * 0.5)));
    }

    int columns() const { return columns_; }
    double line_height() const { return line_height_; }
    double block_height() const { return y2_ - y1_; }
    double width() const { return printable_width; }

    // A block of `lines` grid lines; the first one is a title line when `title` is set.
    void block(int number, int lines, bool title, int kind) {
        title_ = title;
        const double height =
            title ? title_height_ + (lines - 1) * line_height_ : lines * line_height_;
        open(number, height, kind, title);
    }

    // A block of heading lines and a table below them. The headings come first in the file:
    // text records after a table are not written.
    void table_block(int number, const std::vector<std::string>& headings, const Table& table) {
        title_ = false;
        const int lines = static_cast<int>(headings.size());
        open(number, lines * line_height_ + static_cast<double>(table.rows.size()) * table.pitch, 0,
             false);
        for (int i = 0; i < lines; ++i) label(i + 1, 1, headings[static_cast<std::size_t>(i)]);
        matrix(lines, table);
    }

    // Grid lines left on the page above a footer of one line.
    int lines_left() const {
        const double bottom = paper_height - margin - line_height_;
        return static_cast<int>(std::floor((bottom - next_top_) / line_height_)) - 1;
    }

    void text(std::string_view keyword, int row, int column, const std::string& text,
              std::string_view middle = {}) {
        check_column(column, text);
        const double y = title_ ? title_height_ + (row - 1) * line_height_ : row * line_height_;
        char_ += std::string(keyword) + "," + num(x_of(column)) + "," + num(y) + ",";
        char_ += std::string(middle) + "\"" + text + "\"\r\n";
    }
    void label(int row, int column, const std::string& s) { text("LABEL", row, column, s, "0,0,"); }
    void umoji(int row, int column, const std::string& s) { text("UMOJI", row, column, s); }
    void smoji(int row, int column, const std::string& s) { text("SMOJI", row, column, s); }
    void title(int column, int level, const std::string& s) {
        text("TITLE", 1, column, s, "0," + std::to_string(level) + ",");
    }

    // Drawing records, relative to the block's top-left corner.
    void draw_label(double x, double y, int size, double angle, const std::string& s) {
        pict_ += "LABEL," + num(x) + "," + num(y) + "," + std::to_string(size) + ",0," +
                 num(angle) + ",\"" + s + "\"\r\n";
    }
    void draw_line(double x1, double y1, double x2, double y2, int kind, int width) {
        pict_ += "LINE," + num(x1) + "," + num(y1) + "," + num(x2) + "," + num(y2) + "," +
                 std::to_string(kind) + "," + std::to_string(width) + "\r\n";
    }
    void draw_circle(double cx, double cy, double rx, double ry, double start, double end, int kind,
                     int width) {
        pict_ += "CIRCLE," + num(cx) + "," + num(cy) + "," + num(rx) + "," + num(ry) + "," +
                 num(start) + "," + num(end) + "," + std::to_string(kind) + "," +
                 std::to_string(width) + "\r\n";
    }
    // The points after the first `on_record_line` continue on lines of their own.
    void draw_polygon(const std::vector<std::array<double, 2>>& points, int line_kind,
                      int fill_kind, const std::string& line_colour, const std::string& fill_colour,
                      std::size_t on_record_line) {
        pict_ += "POLYGON," + std::to_string(points.size()) + "," + std::to_string(line_kind) +
                 ",2," + std::to_string(fill_kind) + ",0," + line_colour + "," + fill_colour;
        for (std::size_t i = 0; i < points.size(); ++i) {
            pict_ += (i < on_record_line || i == 0) ? "," : "\r\n";
            pict_ += num(points[i][0]) + "," + num(points[i][1]);
        }
        pict_ += "\r\n";
    }
    void draw_picture(double x, double y, double w, double h) {
        pict_ += "PICTURE," + num(x) + "," + num(y) + "," + num(w) + "," + num(h) + ",0,0,\"" +
                 bitmap_name + "\"\r\n";
    }

    void end_page(int page) {
        char_ += "PAGE," + std::to_string(page) + "\r\n";
        pict_ += "PAGE," + std::to_string(page) + "\r\n";
    }

  private:
    double x_of(int column) const { return margin + (column - 1) * line_height_ * 0.5; }

    void check_column(int column, const std::string& text) const {
        if (column < 1 || column - 1 + static_cast<int>(text.size()) > columns_) {
            throw std::logic_error("text beyond the printable width: " + cp932::to_utf8(text));
        }
    }

    void open(int number, double height, int kind, bool title) {
        if (height / line_height_ > max_block_lines + 0.5) {
            throw std::logic_error("block taller than a block may be");
        }
        // Whole tenths of a millimetre, without drift from block to block.
        y1_ = next_top_;
        y2_ = next_top_ + std::round(height);
        next_top_ = y2_;
        number += first_block_;
        const std::string corners = std::to_string(margin) + "," + num(y1_) + "," +
                                    std::to_string(margin + printable_width) + "," + num(y2_);
        char_ += "BLOCK," + std::to_string(number) + "," + corners + "," + std::to_string(kind) +
                 "," + (title ? "1" : "0") + "\r\n";
        pict_ += "BLOCK," + std::to_string(number) + "," + corners + ",0,0\r\n";
    }

    void matrix(int first_line, const Table& table) {
        std::vector<double> widths;
        int total = 0;
        for (int w : table.columns) {
            widths.push_back(std::round(w * line_height_ * 0.5 * 10) / 10);
            total += w;
        }
        const int offset_columns = (columns_ - total) / 2;
        char_ += "MATRIX," + std::to_string(table.rows.size()) + "," +
                 std::to_string(table.columns.size()) + "," + std::to_string(first_line) + "," +
                 num(offset_columns * line_height_ * 0.5) + "," + num(table.pitch) + ",T1";
        for (double w : widths) char_ += "," + num(w);
        char_ += "\r\n";
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            for (std::size_t c = 0; c < table.columns.size(); ++c) {
                const Cell& cell = table.rows[r][c];
                char_ += "C," + std::to_string(r) + "," + std::to_string(c) + "," + cell.ruling +
                         "," + std::to_string(cell.align) + "," + num(widths[c]) + ",\"" +
                         cell.text + "\"\r\n";
            }
        }
    }

    std::string& char_;
    std::string& pict_;
    double line_height_ = 0;
    double title_height_ = 0;
    int columns_ = 0;
    int first_block_ = 0;
    bool title_ = false;
    double next_top_ = margin;
    double y1_ = 0;
    double y2_ = 0;
};

const std::array<const char*, 6> regions = {"北海道・東北", "関東",       "中部",
                                            "近畿",         "中国・四国", "九州・沖縄"};
const std::array<const char*, 8> branches = {"札幌",   "仙台", "東京", "横浜",
                                             "名古屋", "大阪", "広島", "福岡"};
const std::array<const char*, 8> managers = {"佐藤　健一", "鈴木　美和", "高橋　誠", "田中　裕子",
                                             "伊藤　大輔", "渡辺　直美", "山本　剛", "中村　恵"};
// Product names in half-width katakana, as the host's product master keeps them.
const std::array<const char*, 6> products = {"ｺﾋﾟｰ用紙A4",  "ﾄﾅｰｶｰﾄﾘｯｼﾞ", "ﾌｧｲﾙﾎﾞｯｸｽ",
                                             "ﾎﾞｰﾙﾍﾟﾝ(黒)", "ﾉｰﾄ B5",     "ｸﾘｱﾌｧｲﾙ"};

const std::array<const char*, 7> fills = {"&H3366CC", "&H33AA33", "&HCC8833", "16711680",
                                          "&H9933CC", "255",      "&H0099FF"};

// The bar chart, pie chart and captions of a figure block.
void draw_chart(PageWriter& w, const std::vector<long>& values, const std::string& caption) {
    const double height = w.block_height();
    const double base = height - 60;
    const double left = 150;
    long highest = 1;
    for (long v : values) highest = std::max(highest, v);
    // Axes, then guide lines of every line kind.
    w.draw_line(left, base, left + 1000, base, 0, 3);
    w.draw_line(left, base, left, 30, 0, 3);
    for (int k = 1; k <= 4; ++k) {
        const double y = base - (base - 40) * k / 4.0;
        w.draw_line(left, y, left + 1000, y, k, 1);
    }
    w.draw_line(left, 20, left + 1000, 20, 5, 1);  // an invisible frame line
    w.draw_line(left + 1000, base, left + 1000, 30, 7, 2);
    w.draw_label(60, base - 80, 90, 90, sj("売上高（千円）"));
    w.draw_label(left, 25, 100, 0, caption);
    const double step = 1000.0 / static_cast<double>(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double x = left + static_cast<double>(i) * step + step * 0.2;
        const double top =
            base - (base - 60) * static_cast<double>(values[i]) / static_cast<double>(highest);
        const std::vector<std::array<double, 2>> bar = {
            {{x, base}}, {{x, top}}, {{x + step * 0.6, top}}, {{x + step * 0.6, base}}};
        w.draw_polygon(bar, 0, static_cast<int>(i % 7) + 1, "&H000000", fills[i % fills.size()],
                       i % 2 == 0 ? 4 : 1);
        w.draw_label(x, base + 40, 80, 0, sj(std::to_string(i + 1)));
    }
    // Pie chart of the same figures: arcs, their spokes and the full outline.
    const double cx = 1450;
    const double cy = height / 2;
    const double r = std::min(height / 2 - 30, 200.0);
    long total = 0;
    for (long v : values) total += v;
    double angle = 90;
    for (long v : values) {
        const double sweep = 360.0 * static_cast<double>(v) / static_cast<double>(total);
        w.draw_circle(cx, cy, r, r, angle, angle + sweep, 0, 2);
        const double rad = angle * 3.14159265358979 / 180;
        w.draw_line(cx, cy, cx + r * std::cos(rad), cy - r * std::sin(rad), 0, 1);
        angle += sweep;
    }
    w.draw_circle(cx, cy, r + 15, r + 15, 0, 360, 2, 1);
    w.draw_circle(cx, cy, r * 0.35, r * 0.25, 0, 360, 0, 1);
    w.draw_label(cx - 150, cy + r + 25, 80, 0, sj("構成比 m$U2$Z当たり"));
    // A star-shaped mark whose points run on over several lines.
    std::vector<std::array<double, 2>> star;
    for (int i = 0; i < 10; ++i) {
        const double a = (90 + i * 36) * 3.14159265358979 / 180;
        const double radius = i % 2 == 0 ? 40 : 16;
        star.push_back({1200 + radius * std::cos(a), 60 - radius * std::sin(a)});
    }
    w.draw_polygon(star, 0, 1, "&H0000CC", "&H00CCFF", 2);
}

void footer(PageWriter& w, int number, int page, int pages) {
    const int spacer = w.lines_left();
    for (int left = spacer, n = 0; left > 0; left -= max_block_lines, ++n) {
        w.block(number + n, std::min(left, max_block_lines), false, 1);
    }
    w.block(number + 9, 1, false, 0);
    w.draw_line(0, 0, w.width(), 0, 2, 1);
    const std::string mark = sj("- " + std::to_string(page) + " / " + std::to_string(pages) + " -");
    w.label(1, (w.columns() - static_cast<int>(mark.size())) / 2, mark);
    w.label(1, w.columns() - 6, sj("社外秘"));
}

void summary_page(PageWriter& w, Figures& f, int pages) {
    w.block(1, 4, true, 0);
    const std::string title = sj("２０２４年４月度　月次売上報告書");
    w.title((w.columns() - static_cast<int>(title.size())) / 2, 0, title);
    w.label(2, 1, sj("株式会社サンプル商事　営業本部"));
    w.label(3, 1, sj("対象期間：2024年4月1日～2024年4月30日"));
    w.label(4, 1, sj("単位：千円（税抜）　ﾚﾎﾟｰﾄID:SR-2404"));
    w.draw_line(0, 48, w.width(), 48, 0, 5);
    w.draw_picture(w.width() - 260, 5, 240, 120);
    w.draw_label(w.width() - 260, 145, 70, 0, sj("ｻﾝﾌﾟﾙ商事"));

    std::vector<long> sales;
    for (std::size_t i = 0; i < regions.size(); ++i) sales.push_back(f.next(18000, 96000));
    w.block(2, 12, false, 1);
    draw_chart(w, sales, sj("地域別売上高"));

    Table t;
    t.columns = {14, 12, 12, 8, 8, 18};
    t.rows.push_back({{sj("地域"), 4},
                      {sj("売上高"), 4},
                      {sj("前年同月"), 4},
                      {sj("前年比"), 4},
                      {sj("構成比"), 4},
                      {sj("備考"), 4}});
    long total = 0;
    long total_last = 0;
    for (long v : sales) total += v;
    for (std::size_t i = 0; i < regions.size(); ++i) {
        const long last = sales[i] * f.next(80, 120) / 100;
        total_last += last;
        const char* note = i == 1 ? "大口ｸﾗｲｱﾝﾄ獲得" : (i == 4 ? "台風で\"一部\"遅延" : "");
        t.rows.push_back({{sj(regions[i]), 1},
                          {yen(sales[i]), 7},
                          {yen(last), 7},
                          {percent(sales[i], last), 7},
                          {percent(sales[i], total), 7},
                          {sj(note), 1}});
    }
    t.rows.push_back({{sj("合計"), 4, "001155"},
                      {yen(total), 7, "001155"},
                      {yen(total_last), 7, "001155"},
                      {percent(total, total_last), 7, "001155"},
                      {"100.0%", 7, "001155"},
                      {"@", 1, "001155"}});
    w.table_block(3, {sj("■地域別売上実績（前年同月比較）")}, t);

    w.block(4, 5, true, 0);
    w.title(1, 2, sj("特記事項"));
    const std::string area = sj("・新店舗の売場面積は 1,200 m");
    w.label(2, 3, area);
    w.umoji(2, 3 + static_cast<int>(area.size()), "2");
    w.label(2, 3 + static_cast<int>(area.size()) + 1, sj("（前年比 +15%）"));
    const std::string co = sj("・配送車両の CO");
    w.label(3, 3, co);
    w.smoji(3, 3 + static_cast<int>(co.size()), "2");
    w.label(3, 3 + static_cast<int>(co.size()) + 1, sj("排出量を 8.5% 削減、\"ｴｺ配送\"を継続"));
    w.label(4, 3, sj("・数値はすべて速報値、確定値は翌月報告, 次回会議にて報告"));
    w.draw_circle(20, w.block_height() - 40, 12, 12, 0, 360, 0, 2);

    footer(w, 5, 1, pages);
}

void branch_page(PageWriter& w, Figures& f, int page, int pages, bool logo) {
    const std::size_t b = static_cast<std::size_t>(page - 2) % branches.size();
    w.block(1, 3, true, 0);
    w.title(1, 1, sj(std::string("支店別売上明細　") + branches[b] + "支店"));
    w.label(2, 1, sj(std::string("支店長：") + managers[b]));
    w.label(2, w.columns() - 24, sj("作成日：2024年5月8日"));
    w.label(3, 1, sj("ﾃﾞｰﾀ区分：月次確定前　単位：円"));
    w.draw_line(0, 44, w.width(), 44, 0, 3);
    if (logo) w.draw_picture(w.width() - 220, 8, 200, 100);

    std::vector<long> amounts;
    Table t;
    t.columns = {10, 20, 8, 10, 14, 10};
    t.rows.push_back({{sj("商品ｺｰﾄﾞ"), 4},
                      {sj("商品名"), 4},
                      {sj("数量"), 4},
                      {sj("単価"), 4},
                      {sj("金額"), 4},
                      {sj("前年比$U※$Z"), 4}});
    long total = 0;
    for (std::size_t i = 0; i < products.size(); ++i) {
        const long quantity = f.next(10, 900);
        const long price = f.next(12, 480) * 10;
        const long amount = quantity * price;
        amounts.push_back(amount);
        total += amount;
        const std::string name = i == 1 ? sj("ﾄﾅｰ(CO$S2$Z削減型)") : sj(products[i]);
        t.rows.push_back({{"P-" + std::to_string(1000 + 37 * i), 1},
                          {name, 1},
                          {yen(quantity), 7},
                          {yen(price), 7},
                          {yen(amount), 7},
                          {std::to_string(f.next(85, 125)) + "%", 7}});
    }
    t.rows.push_back({{sj("合計"), 4, "001155"},
                      {"@", 4, "001155"},
                      {"@", 4, "001155"},
                      {"", 7, "001155"},
                      {yen(total), 7, "001155"},
                      {"", 7, "001155"}});

    w.block(2, 10, false, 1);
    draw_chart(w, amounts, sj("商品別売上金額"));
    w.table_block(3, {sj("■商品別売上明細")}, t);

    w.block(4, 4, true, 0);
    w.title(1, 2, sj("担当者コメント"));
    w.label(2, 3, sj("・ﾄﾅｰ類は法人向けが好調。在庫回転日数は 12.5 日。"));
    const std::string m = sj("・倉庫 2 階 80 m");
    w.label(3, 3, m);
    w.umoji(3, 3 + static_cast<int>(m.size()), "2");
    w.label(3, 3 + static_cast<int>(m.size()) + 1, sj("を改装し、ﾋﾟｯｷﾝｸﾞ効率を改善"));

    footer(w, 5, page, pages);
}

// A 24-bit Windows bitmap: the company's logo mark, blue with a white band.
std::string make_bitmap() {
    const int width = 96;
    const int height = 48;
    const int row_bytes = (width * 3 + 3) / 4 * 4;
    const int image_size = row_bytes * height;
    std::string out;
    const auto put16 = [&](int v) {
        out.push_back(static_cast<char>(v & 0xFF));
        out.push_back(static_cast<char>((v >> 8) & 0xFF));
    };
    const auto put32 = [&](int v) {
        put16(v & 0xFFFF);
        put16((v >> 16) & 0xFFFF);
    };
    out += "BM";
    put32(54 + image_size);
    put32(0);
    put32(54);
    put32(40);
    put32(width);
    put32(height);
    put16(1);
    put16(24);
    put32(0);
    put32(image_size);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (int y = 0; y < height; ++y) {  // bottom row first
        for (int x = 0; x < width; ++x) {
            const bool band = y >= 20 && y < 28;
            const bool frame = x < 2 || x >= width - 2 || y < 2 || y >= height - 2;
            const int blue = band ? 255 : 170;
            const int green = band ? 255 : (frame ? 40 : 90);
            const int red = band ? 255 : 20;
            out.push_back(static_cast<char>(blue));
            out.push_back(static_cast<char>(green));
            out.push_back(static_cast<char>(red));
        }
        out.append(static_cast<std::size_t>(row_bytes - width * 3), '\0');
    }
    return out;
}

void write_file(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace

/* ---------------------------------------------------------------- make_job */
Job make_job(const JobOptions& options) {
    if (options.pages < 1 || options.pages > 32767) {
        throw std::invalid_argument("page count must be 1 to 32767");
    }
    Job job;
    job.prn_mode = std::to_string(options.char_size) + ",\"" + sj("ＭＳ 明朝") + "\"," +
                   std::to_string(margin) + "," + std::to_string(margin) + "," +
                   std::to_string(margin) + "," + std::to_string(margin) + "," +
                   std::to_string(options.pages) + ",10," + std::to_string(options.line_pitch) +
                   "\r\n";
    job.prn_char = "PAGE,0\r\n";
    job.prn_pict = "PRN_PICT," + std::to_string(options.pages) + "\r\n";
    for (int page = 1; page <= options.pages; ++page) {
        PageWriter w(options, job.prn_char, job.prn_pict, (page - 1) % 2000 * 16);
        Figures f(static_cast<std::uint32_t>(page));
        if (page == 1) {
            summary_page(w, f, options.pages);
        } else {
            const bool logo = options.logo_every > 0 && (page - 1) % options.logo_every == 0;
            branch_page(w, f, page, options.pages, logo);
        }
        w.end_page(page);
    }
    job.bitmap = make_bitmap();
    return job;
}

/* ---------------------------------------------------------------- write_job */
void write_job(const Job& job, const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder / "META_FILE");
    write_file(folder / "PRN_MODE", job.prn_mode);
    write_file(folder / "PRN_CHAR", job.prn_char);
    write_file(folder / "PRN_PICT", job.prn_pict);
    write_file(folder / bitmap_name, job.bitmap);
    write_file(folder / "META_FILE" / ".gitkeep", "");
}

}  // namespace jobgen
