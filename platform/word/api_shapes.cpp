// Shapes, Shape and WrapFormat: floating pictures anchored at paragraphs.
#include <algorithm>
#include <cmath>
#include <string>

#include "platform/word/docx.h"
#include "platform/word/handles.h"
#include "platform/word/pictures.h"
#include "platform/word/word_errors.h"

namespace word {

using detail::DocState;
using detail::ShapeState;

namespace {

ShapeState& live(const std::shared_ptr<ShapeState>& s) {
    if (s->doc == nullptr) detail::throw_invalid("the picture is no longer in a document");
    s->doc->check_open();
    return *s;
}

float checked_position(float points, const char* what) {
    if (!std::isfinite(points) || std::fabs(points) > 1584.0f * 2) {
        detail::throw_out_of_range(std::string(what) + " " + std::to_string(points));
    }
    return points;
}

float checked_size(float points, const char* what) {
    if (!std::isfinite(points) || points < 0.0f || points > 1584.0f * 2) {
        detail::throw_out_of_range(std::string(what) + " " + std::to_string(points));
    }
    return points;
}

// Pictures of the settled body: counted, no longer reachable.
std::size_t settled_count(const DocState& doc) {
    return doc.settled ? doc.settled->z.size() : 0;
}

}  // namespace

/* ---------------------------------------------------------------- Shapes */
Shapes::Shapes(std::shared_ptr<DocState> doc) : doc_(std::move(doc)) {}

Shape Shapes::AddPicture(const std::filesystem::path& file, bool linkToFile, bool saveWithDocument,
                         float left, float top, float width, float height,
                         const std::optional<word::Range>& anchor) {
    doc_->check_open();
    if (linkToFile || !saveWithDocument) {
        detail::throw_invalid("AddPicture: only embedded pictures are supported");
    }
    std::int32_t at = 0;
    if (anchor) {
        if (anchor->state_->doc != doc_)
            detail::throw_invalid("AddPicture: anchor in another document");
        at = doc_->clamp_insertion(anchor->state_->start);
    }
    const detail::Location loc = doc_->locate(at);
    detail::Paragraph& para = doc_->paragraph_at(loc);

    auto shape = std::make_shared<ShapeState>();
    shape->picture = detail::load_picture(file);
    shape->left = checked_position(left, "Left");
    shape->top = checked_position(top, "Top");
    shape->width = width < 0 ? shape->picture->natural_width : checked_size(width, "Width");
    shape->height = height < 0 ? shape->picture->natural_height : checked_size(height, "Height");
    shape->z = doc_->next_z++;
    shape->doc = doc_.get();
    para.anchors.push_back({shape, loc.offset});
    doc_->shapes.push_back(shape);
    return Shape(shape);
}

std::int32_t Shapes::Count() const {
    doc_->check_open();
    return static_cast<std::int32_t>(settled_count(*doc_) + doc_->shapes.size());
}

Shape Shapes::Item(std::int32_t index) const {
    doc_->check_open();
    if (index < 1 || index > Count())
        detail::throw_no_member("Shapes(" + std::to_string(index) + ")");
    const auto settled = static_cast<std::int32_t>(settled_count(*doc_));
    if (index <= settled) detail::throw_invalid("Shapes(" + std::to_string(index) + ") is settled");
    return Shape(doc_->shapes[static_cast<std::size_t>(index - settled - 1)]);
}

/* ---------------------------------------------------------------- Shape */
Shape::Shape(std::shared_ptr<ShapeState> state) : state_(std::move(state)) {}

word::WrapFormat Shape::WrapFormat() const {
    live(state_);
    return word::WrapFormat(state_);
}

int Shape::RelativeHorizontalPosition() const {
    return live(state_).relative_horizontal;
}
void Shape::RelativeHorizontalPosition(int relative_to) {
    if (relative_to < 0 || relative_to > 3) {
        detail::throw_out_of_range("RelativeHorizontalPosition " + std::to_string(relative_to));
    }
    live(state_).relative_horizontal = relative_to;
}
int Shape::RelativeVerticalPosition() const {
    return live(state_).relative_vertical;
}
void Shape::RelativeVerticalPosition(int relative_to) {
    if (relative_to < 0 || relative_to > 3) {
        detail::throw_out_of_range("RelativeVerticalPosition " + std::to_string(relative_to));
    }
    live(state_).relative_vertical = relative_to;
}
float Shape::Left() const {
    return live(state_).left;
}
void Shape::Left(float points) {
    live(state_).left = checked_position(points, "Left");
}
float Shape::Top() const {
    return live(state_).top;
}
void Shape::Top(float points) {
    live(state_).top = checked_position(points, "Top");
}
float Shape::Width() const {
    return live(state_).width;
}
void Shape::Width(float points) {
    live(state_).width = checked_size(points, "Width");
}
float Shape::Height() const {
    return live(state_).height;
}
void Shape::Height(float points) {
    live(state_).height = checked_size(points, "Height");
}

void Shape::ZOrder(int command) {
    ShapeState& s = live(state_);
    switch (command) {
        case msoBringToFront:
            s.z = s.doc->next_z++;
            break;
        case msoSendToBack:
            s.z = -(s.doc->next_z++);
            break;
        case msoBringInFrontOfText:
            s.behind_text = false;
            break;
        case msoSendBehindText:
            s.behind_text = true;
            break;
        default:
            detail::throw_out_of_range("ZOrder " + std::to_string(command));
    }
}

word::Range Shape::Anchor() const {
    ShapeState& s = live(state_);
    DocState& doc = *s.doc;
    std::int32_t found = -1;
    doc.for_each_paragraph(doc.settled_end, doc.content_end(),
                           [&](detail::Paragraph& p, std::int32_t ps) {
                               for (const detail::Anchor& a : p.anchors) {
                                   if (a.shape == state_) found = ps + a.offset;
                               }
                           });
    std::shared_ptr<DocState> self;
    for (const auto& d : doc.app->documents) {
        if (d.get() == &doc) self = d;
    }
    return word::Range(doc.make_range(found, found, self));
}

/* ---------------------------------------------------------------- WrapFormat */
WrapFormat::WrapFormat(std::shared_ptr<ShapeState> shape) : shape_(std::move(shape)) {}

int WrapFormat::Type() const {
    return live(shape_).wrap;
}

void WrapFormat::Type(int type) {
    if (type < wdWrapSquare || type > 5)
        detail::throw_out_of_range("WrapFormat.Type " + std::to_string(type));
    ShapeState& s = live(shape_);
    // Word's "behind text" wrapping is no wrapping under the text.
    if (type == 5) {
        s.wrap = wdWrapNone;
        s.behind_text = true;
    } else {
        s.wrap = type;
    }
}

}  // namespace word
