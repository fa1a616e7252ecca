// word/document.xml: the body's paragraphs, tables and floating pictures, and the section.
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/ooxml/xml_writer.h"
#include "platform/word/docx.h"
#include "platform/word/word_errors.h"

namespace word::detail {

namespace {

constexpr std::int64_t emu_per_point = 12700;

std::int64_t twips(float points) {
    return std::llround(static_cast<double>(points) * 20.0);
}
std::int64_t emu(float points) {
    return std::llround(static_cast<double>(points) * static_cast<double>(emu_per_point));
}

const char* horizontal_relation(int r) {
    switch (r) {
        case 0:
            return "margin";
        case 1:
            return "page";
        case 3:
            return "character";
        default:
            return "column";
    }
}

const char* vertical_relation(int r) {
    switch (r) {
        case 0:
            return "margin";
        case 1:
            return "page";
        case 3:
            return "line";
        default:
            return "paragraph";
    }
}

const char* border_value(int style) {
    switch (style) {
        case 0:
            return "nil";
        case 2:
            return "dotted";
        case 3:
            return "dashSmallGap";
        case 4:
            return "dashed";
        case 5:
            return "dotDash";
        case 6:
            return "dotDotDash";
        case 7:
            return "double";
        default:
            return "single";
    }
}

class BodyWriter {
  public:
    BodyWriter(const DocState& doc, MediaTable& media, ooxml::XmlWriter& w, BodyState& state)
        : doc_(doc), media_(media), w_(w), state_(state) {
        // The shapes' stacking: behind-text pictures first, then by their order. Settled
        // pictures stack among the live ones by their order too.
        std::vector<const ShapeState*> order;
        for (const auto& s : doc.shapes) order.push_back(s.get());
        std::stable_sort(order.begin(), order.end(),
                         [](const ShapeState* a, const ShapeState* b) { return a->z < b->z; });
        for (std::size_t i = 0; i < order.size(); ++i) {
            std::size_t below = 0;
            if (doc.settled) {
                const auto& z = doc.settled->z;
                below = static_cast<std::size_t>(std::lower_bound(z.begin(), z.end(), order[i]->z) -
                                                 z.begin());
            }
            stacking_[order[i]] = i + below;
        }
    }

    void block(const Block& b) {
        if (b.table) {
            table(*b.table);
        } else {
            paragraph(b.paragraph);
        }
    }

    void section() {
        w_.start("w:sectPr");
        w_.start("w:pgSz");
        w_.attribute("w:w", twips(doc_.page_width));
        w_.attribute("w:h", twips(doc_.page_height));
        w_.end();
        w_.start("w:pgMar");
        w_.attribute("w:top", twips(doc_.margin_top));
        w_.attribute("w:right", twips(doc_.margin_right));
        w_.attribute("w:bottom", twips(doc_.margin_bottom));
        w_.attribute("w:left", twips(doc_.margin_left));
        w_.attribute("w:header", 851);
        w_.attribute("w:footer", 992);
        w_.attribute("w:gutter", 0);
        w_.end();
        w_.empty("w:cols", {{"w:space", "425"}});
        // No document grid: text keeps the positions its own line spacing gives it.
        w_.empty("w:docGrid", {{"w:linePitch", "360"}});
        w_.end();
    }

  private:
    const std::string& rpr(std::uint32_t id) {
        auto& cache = state_.run_properties;
        if (cache.size() <= id) cache.resize(doc_.char_formats.size());
        if (!cache[id]) cache[id] = run_properties(doc_.char_formats[id]);
        return *cache[id];
    }

    const std::string& ppr(std::uint32_t id) {
        auto& cache = state_.paragraph_properties;
        if (cache.size() <= id) cache.resize(doc_.para_formats.size());
        if (!cache[id]) {
            const ParaFormat& f = doc_.para_formats[id];
            cache[id] = paragraph_properties(
                f, doc_, [&](ParaProp p) { return doc_.style_para_value(f.style, p); });
        }
        return *cache[id];
    }

    void paragraph(const Paragraph& p) {
        w_.start("w:p");
        // A page break that opens a paragraph is the paragraph starting a new page: said so,
        // both Word and LibreOffice put what follows the break on the new page's first line.
        const std::int32_t skip = !p.text.empty() && p.text[0] == 12 ? 1 : 0;
        const std::string& props = ppr(p.para_format);
        const std::string& mark = rpr(p.mark_format);
        if (!props.empty() || !mark.empty() || skip > 0) {
            w_.start("w:pPr");
            if (skip > 0) {
                // The schema wants the break right after the style, before the cached rest.
                const std::size_t after_style =
                    props.starts_with("<w:pStyle") ? props.find("/>") + 2 : 0;
                w_.fragment(std::string_view(props).substr(0, after_style));
                w_.empty("w:pageBreakBefore");
                w_.fragment(std::string_view(props).substr(after_style));
            } else {
                w_.fragment(props);
            }
            if (!mark.empty()) {
                w_.start("w:rPr");
                w_.fragment(mark);
                w_.end();
            }
            w_.end();
        }
        std::vector<const Anchor*> anchors;
        for (const Anchor& a : p.anchors) anchors.push_back(&a);
        std::stable_sort(anchors.begin(), anchors.end(),
                         [](const Anchor* a, const Anchor* b) { return a->offset < b->offset; });
        std::size_t next = 0;
        std::int32_t pos = 0;
        for (const Run& run : p.runs) {
            const std::int32_t run_end = pos + run.length;
            while (pos < run_end) {
                while (next < anchors.size() && anchors[next]->offset <= pos) {
                    drawing(*anchors[next++]->shape);
                }
                std::int32_t stop = run_end;
                if (next < anchors.size() && anchors[next]->offset < run_end) {
                    stop = anchors[next]->offset;
                }
                const std::int32_t from = std::max(pos, skip);
                if (from < stop) {
                    text_run(
                        std::u16string_view(p.text).substr(static_cast<std::size_t>(from),
                                                           static_cast<std::size_t>(stop - from)),
                        run.format);
                }
                pos = stop;
            }
        }
        while (next < anchors.size()) drawing(*anchors[next++]->shape);
        w_.end();
    }

    void text_run(std::u16string_view text, std::uint32_t format) {
        w_.start("w:r");
        const std::string& props = rpr(format);
        if (!props.empty()) {
            w_.start("w:rPr");
            w_.fragment(props);
            w_.end();
        }
        std::size_t from = 0;
        const auto flush = [&](std::size_t to) {
            if (to > from) {
                w_.start("w:t");
                w_.attribute("xml:space", "preserve");
                w_.text(text.substr(from, to - from));
                w_.end();
            }
        };
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char16_t c = text[i];
            if (c != u'\t' && c != 11 && c != 12) continue;
            flush(i);
            if (c == u'\t') {
                w_.empty("w:tab");
            } else if (c == 11) {
                w_.empty("w:br");
            } else {
                w_.empty("w:br", {{"w:type", "page"}});
            }
            from = i + 1;
        }
        flush(text.size());
        w_.end();
    }

    void drawing(const ShapeState& s) {
        const std::size_t picture = media_.add(s.picture);
        const auto id = static_cast<std::int64_t>(++state_.drawings);
        const std::string name = "図 " + std::to_string(id);
        w_.start("w:r");
        w_.start("w:drawing");
        w_.start("wp:anchor");
        for (const char* a : {"distT", "distB", "distL", "distR", "simplePos"}) w_.attribute(a, 0);
        w_.attribute("relativeHeight", 251658240 + 1024 * static_cast<std::int64_t>(stacking_[&s]));
        w_.attribute("behindDoc", s.behind_text ? 1 : 0);
        w_.attribute("locked", 0);
        w_.attribute("layoutInCell", 1);
        w_.attribute("allowOverlap", 1);
        w_.empty("wp:simplePos", {{"x", "0"}, {"y", "0"}});
        w_.start("wp:positionH");
        w_.attribute("relativeFrom", horizontal_relation(s.relative_horizontal));
        w_.start("wp:posOffset");
        w_.number(emu(s.left));
        w_.end();
        w_.end();
        w_.start("wp:positionV");
        w_.attribute("relativeFrom", vertical_relation(s.relative_vertical));
        w_.start("wp:posOffset");
        w_.number(emu(s.top));
        w_.end();
        w_.end();
        const std::string cx = std::to_string(emu(s.width));
        const std::string cy = std::to_string(emu(s.height));
        w_.empty("wp:extent", {{"cx", cx}, {"cy", cy}});
        w_.empty("wp:effectExtent", {{"l", "0"}, {"t", "0"}, {"r", "0"}, {"b", "0"}});
        switch (s.wrap) {
            case 3:
                w_.empty("wp:wrapNone");
                break;
            case 4:
                w_.empty("wp:wrapTopAndBottom");
                break;
            default:
                w_.empty("wp:wrapSquare", {{"wrapText", "bothSides"}});
                break;
        }
        w_.start("wp:docPr");
        w_.attribute("id", id);
        w_.attribute("name", name);
        w_.end();
        w_.start("wp:cNvGraphicFramePr");
        w_.empty("a:graphicFrameLocks", {{"noChangeAspect", "1"}});
        w_.end();
        w_.start("a:graphic");
        w_.start("a:graphicData");
        w_.attribute("uri", "http://schemas.openxmlformats.org/drawingml/2006/picture");
        w_.start("pic:pic");
        w_.start("pic:nvPicPr");
        w_.start("pic:cNvPr");
        w_.attribute("id", id);
        w_.attribute("name", name);
        w_.end();
        w_.empty("pic:cNvPicPr");
        w_.end();
        w_.start("pic:blipFill");
        w_.empty("a:blip", {{"r:embed", media_relationship_id(picture)}});
        w_.start("a:stretch");
        w_.empty("a:fillRect");
        w_.end();
        w_.end();
        w_.start("pic:spPr");
        w_.start("a:xfrm");
        w_.empty("a:off", {{"x", "0"}, {"y", "0"}});
        w_.empty("a:ext", {{"cx", cx}, {"cy", cy}});
        w_.end();
        w_.start("a:prstGeom");
        w_.attribute("prst", "rect");
        w_.empty("a:avLst");
        w_.end();
        w_.end();
        w_.end();
        w_.end();
        w_.end();
        w_.end();
        w_.end();
        w_.end();
    }

    // Rows of one table that share their left indent go into one w:tbl whose grid holds every
    // cell edge of those rows; cells span the grid columns between their edges.
    void table(const TableState& t) {
        std::size_t first = 0;
        while (first < t.rows.size()) {
            std::size_t last = first + 1;
            while (last < t.rows.size() &&
                   twips(t.rows[last].left_indent) == twips(t.rows[first].left_indent)) {
                ++last;
            }
            table_part(t, first, last);
            first = last;
        }
    }

    static std::vector<std::int64_t> cell_edges(const RowData& row) {
        std::vector<std::int64_t> edges{0};
        double x = 0;
        for (const CellData& c : row.cells) {
            x += static_cast<double>(c.width);
            edges.push_back(std::max<std::int64_t>(edges.back(), std::llround(x * 20.0)));
        }
        return edges;
    }

    void table_part(const TableState& t, std::size_t first, std::size_t last) {
        std::set<std::int64_t> all_edges;
        for (std::size_t r = first; r < last; ++r) {
            for (std::int64_t e : cell_edges(t.rows[r])) all_edges.insert(e);
        }
        const std::vector<std::int64_t> grid(all_edges.begin(), all_edges.end());
        const auto column_of = [&](std::int64_t edge) {
            return static_cast<std::int64_t>(std::lower_bound(grid.begin(), grid.end(), edge) -
                                             grid.begin());
        };

        w_.start("w:tbl");
        w_.start("w:tblPr");
        w_.empty("w:tblW", {{"w:w", "0"}, {"w:type", "auto"}});
        w_.start("w:tblInd");
        w_.attribute("w:w", twips(t.rows[first].left_indent));
        w_.attribute("w:type", "dxa");
        w_.end();
        w_.empty("w:tblLayout", {{"w:type", "fixed"}});
        w_.empty("w:tblLook", {{"w:val", "0000"}});
        w_.end();
        w_.start("w:tblGrid");
        for (std::size_t i = 1; i < grid.size(); ++i) {
            w_.start("w:gridCol");
            w_.attribute("w:w", grid[i] - grid[i - 1]);
            w_.end();
        }
        w_.end();
        for (std::size_t r = first; r < last; ++r) {
            const RowData& row = t.rows[r];
            const std::vector<std::int64_t> edges = cell_edges(row);
            w_.start("w:tr");
            w_.start("w:trPr");
            const std::int64_t after =
                static_cast<std::int64_t>(grid.size()) - 1 - column_of(edges.back());
            if (after > 0) {
                w_.start("w:gridAfter");
                w_.attribute("w:val", after);
                w_.end();
                w_.start("w:wAfter");
                w_.attribute("w:w", grid.back() - edges.back());
                w_.attribute("w:type", "dxa");
                w_.end();
            }
            if (row.height_rule != 0) {
                w_.start("w:trHeight");
                w_.attribute("w:val", twips(row.height));
                w_.attribute("w:hRule", row.height_rule == 2 ? "exact" : "atLeast");
                w_.end();
            }
            w_.end();
            for (std::size_t c = 0; c < row.cells.size(); ++c) {
                cell(row.cells[c], edges[c + 1] - edges[c],
                     column_of(edges[c + 1]) - column_of(edges[c]));
            }
            w_.end();
        }
        w_.end();
    }

    void cell(const CellData& c, std::int64_t width, std::int64_t span) {
        w_.start("w:tc");
        w_.start("w:tcPr");
        w_.start("w:tcW");
        w_.attribute("w:w", width);
        w_.attribute("w:type", "dxa");
        w_.end();
        if (span > 1) {
            w_.start("w:gridSpan");
            w_.attribute("w:val", span);
            w_.end();
        }
        w_.start("w:tcBorders");
        static constexpr std::pair<BorderSide, const char*> sides[] = {
            {top, "w:top"},     {left, "w:left"},           {bottom, "w:bottom"},
            {right, "w:right"}, {diagonal_down, "w:tl2br"}, {diagonal_up, "w:tr2bl"}};
        for (const auto& [side, name] : sides) {
            const BorderLine& b = c.borders[side];
            w_.start(name);
            w_.attribute("w:val", border_value(b.style));
            if (b.style != 0) {
                w_.attribute("w:sz", b.width);
                w_.attribute("w:space", 0);
                w_.attribute("w:color", "auto");
            }
            w_.end();
        }
        w_.end();
        w_.start("w:tcMar");
        static constexpr const char* margins[] = {"w:top", "w:left", "w:bottom", "w:right"};
        for (std::size_t i = 0; i < 4; ++i) {
            w_.start(margins[i]);
            w_.attribute("w:w", twips(c.padding[i]));
            w_.attribute("w:type", "dxa");
            w_.end();
        }
        w_.end();
        w_.empty("w:vAlign", {{"w:val", c.vertical_alignment == 1   ? "center"
                                        : c.vertical_alignment == 3 ? "bottom"
                                                                    : "top"}});
        w_.end();
        for (const Paragraph& p : c.paragraphs) paragraph(p);
        w_.end();
    }

    const DocState& doc_;
    MediaTable& media_;
    ooxml::XmlWriter& w_;
    BodyState& state_;
    std::map<const ShapeState*, std::size_t> stacking_;
};

// The part's beginning: the body element stays open for the blocks.
void begin_document(ooxml::XmlWriter& w) {
    w.declaration();
    w.start("w:document");
    w.attribute("xmlns:w", "http://schemas.openxmlformats.org/wordprocessingml/2006/main");
    w.attribute("xmlns:r", "http://schemas.openxmlformats.org/officeDocument/2006/relationships");
    w.attribute("xmlns:wp",
                "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing");
    w.attribute("xmlns:a", "http://schemas.openxmlformats.org/drawingml/2006/main");
    w.attribute("xmlns:pic", "http://schemas.openxmlformats.org/drawingml/2006/picture");
    w.start("w:body");
}

void gather_anchors(const Block& b, std::vector<Anchor>& anchors) {
    const auto add = [&](const Paragraph& p) {
        anchors.insert(anchors.end(), p.anchors.begin(), p.anchors.end());
    };
    if (!b.table) return add(b.paragraph);
    for (const RowData& row : b.table->rows) {
        for (const CellData& cell : row.cells) {
            for (const Paragraph& p : cell.paragraphs) add(p);
        }
    }
}

}  // namespace

/* ---------------------------------------------------------------- media_kind_of */
std::uint8_t media_kind_of(const Picture& picture) {
    for (std::uint8_t k = 0; k < std::size(media_kinds); ++k) {
        if (media_kinds[k].extension == picture.extension) return k;
    }
    throw_invalid("picture of kind " + picture.extension);
}

/* ---------------------------------------------------------------- media_relationship_id */
std::string media_relationship_id(std::size_t number) {
    return "rIdImage" + std::to_string(number);
}

/* ---------------------------------------------------------------- media_name */
std::string media_name(std::size_t number, std::string_view extension) {
    return "media/image" + std::to_string(number) + "." + std::string(extension);
}

/* ---------------------------------------------------------------- MediaTable::add */
std::size_t MediaTable::add(const std::shared_ptr<const Picture>& picture) {
    auto [it, added] = index.try_emplace(picture.get(), picture, size() + 1);
    if (!added && it->second.first.lock() != picture) {
        // Another picture at the address of one that has gone.
        it->second = {picture, size() + 1};
        added = true;
    }
    if (added) live.push_back(picture);
    return it->second.second;
}

/* ---------------------------------------------------------------- collect_media */
void collect_media(const DocState& doc, MediaTable& media) {
    std::vector<const Anchor*> anchors;
    const auto visit = [&](const Paragraph& p) {
        anchors.clear();
        for (const Anchor& a : p.anchors) anchors.push_back(&a);
        std::stable_sort(anchors.begin(), anchors.end(),
                         [](const Anchor* a, const Anchor* b) { return a->offset < b->offset; });
        for (const Anchor* a : anchors) media.add(a->shape->picture);
    };
    for (const Block& b : doc.blocks) {
        if (!b.table) {
            visit(b.paragraph);
            continue;
        }
        for (const RowData& row : b.table->rows) {
            for (const CellData& cell : row.cells) {
                for (const Paragraph& p : cell.paragraphs) visit(p);
            }
        }
    }
}

/* ---------------------------------------------------------------- DocumentXml */
struct DocumentXml::Impl {
    Impl(const DocState& d, MediaTable& media)
        : doc(d),
          writer(d.settled ? d.settled->writer : ooxml::XmlWriter()),
          state(d.settled ? d.settled->state : BodyState()),
          body(d, media, writer, state) {
        if (!d.settled) begin_document(writer);
    }
    const DocState& doc;
    ooxml::XmlWriter writer;
    BodyState state;
    BodyWriter body;
    std::string piece;
    std::size_t next_block = 0;
    bool finished = false;
};

DocumentXml::DocumentXml(const DocState& doc, MediaTable& media)
    : impl_(std::make_unique<Impl>(doc, media)) {}

DocumentXml::~DocumentXml() = default;

const std::string& DocumentXml::next(std::size_t size) {
    Impl& x = *impl_;
    while (x.next_block < x.doc.blocks.size() && x.writer.bytes().size() < size) {
        x.body.block(x.doc.blocks[x.next_block++]);
    }
    if (x.next_block == x.doc.blocks.size() && !x.finished && x.writer.bytes().size() < size) {
        x.finished = true;
        x.body.section();
        x.writer.end();
        x.writer.end();
        x.writer.finish();
    }
    x.piece = x.writer.take();
    return x.piece;
}

/* ---------------------------------------------------------------- settle */
void settle(DocState& doc, std::int32_t position) {
    // Whole blocks only, and never the last one: the document keeps a paragraph to write in.
    std::size_t count = 0;
    while (count + 1 < doc.blocks.size() &&
           doc.blocks[count].start + doc.blocks[count].length() <= position) {
        ++count;
    }
    if (count == 0) return;
    if (!doc.settled) {
        doc.settled = std::make_unique<SettledBody>();
        begin_document(doc.settled->writer);
    }
    SettledBody& body = *doc.settled;
    {
        BodyWriter writer(doc, body.media, body.writer, body.state);
        for (std::size_t i = 0; i < count; ++i) writer.block(doc.blocks[i]);
    }
    body.stream.write(body.writer.take());
    // The pictures go into the spool now; the part refers to them by number.
    for (const std::shared_ptr<const Picture>& picture : body.media.live) {
        body.pictures.push_back({{}, media_kind_of(*picture)});
        body.spool->deflate(picture->bytes, body.pictures.back().part);
    }
    body.media.settled += body.media.live.size();
    body.media.live.clear();
    for (auto it = body.media.index.begin(); it != body.media.index.end();) {
        it = it->second.first.expired() ? body.media.index.erase(it) : std::next(it);
    }

    std::vector<Anchor> anchors;
    for (std::size_t i = 0; i < count; ++i) {
        gather_anchors(doc.blocks[i], anchors);
        if (doc.blocks[i].table) doc.blocks[i].table->doc = nullptr;
    }
    for (const Anchor& a : anchors) {
        body.z.insert(std::upper_bound(body.z.begin(), body.z.end(), a.shape->z), a.shape->z);
        a.shape->doc = nullptr;
    }
    std::erase_if(doc.shapes, [](const auto& s) { return s->doc == nullptr; });
    doc.blocks.erase(doc.blocks.begin(), doc.blocks.begin() + static_cast<std::ptrdiff_t>(count));
    doc.settled_end = doc.blocks.front().start;
    doc.restart_from(0);
}

}  // namespace word::detail
