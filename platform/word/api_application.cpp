// Application, Documents, Document, PageSetup, Options and Clipboard.
#include <algorithm>
#include <cmath>
#include <string>

#include "platform/word/docx.h"
#include "platform/word/handles.h"
#include "platform/word/word_errors.h"

namespace word {

using detail::AppState;
using detail::DocState;

namespace detail {
void add_builtin_styles(DocState& doc);
}  // namespace detail

namespace {

AppState& running(const std::shared_ptr<AppState>& app) {
    if (!app->running) detail::throw_invalid("Word has quit");
    return *app;
}

void close_document(AppState& app, DocState& doc) {
    doc.open = false;
    std::erase_if(app.documents, [&](const auto& d) { return d.get() == &doc; });
    if (app.active.get() == &doc) {
        app.active = app.documents.empty() ? nullptr : app.documents.back();
    }
    doc.app = nullptr;
}

void check_margin(float points, const char* what) {
    if (!std::isfinite(points) || std::fabs(points) > 1584.0f) {
        detail::throw_out_of_range(std::string(what) + " " + std::to_string(points));
    }
}

}  // namespace

/* ---------------------------------------------------------------- unit conversions */
// Worked in double precision and rounded once to single, as Word returns a Single.
float MillimetersToPoints(float millimeters) noexcept {
    return static_cast<float>(static_cast<double>(millimeters) * 72.0 / 25.4);
}

float PointsToMillimeters(float points) noexcept {
    return static_cast<float>(static_cast<double>(points) * 25.4 / 72.0);
}

/* ---------------------------------------------------------------- Application */
Application::Application(std::string program_name) : state_(std::make_shared<AppState>()) {
    state_->program_name = std::move(program_name);
}

int Application::WindowState() const {
    return running(state_).window_state;
}
void Application::WindowState(int state) {
    running(state_).window_state = state;
}
bool Application::ScreenUpdating() const {
    return running(state_).screen_updating;
}
void Application::ScreenUpdating(bool on) {
    running(state_).screen_updating = on;
}
bool Application::Visible() const {
    return running(state_).visible;
}
void Application::Visible(bool on) {
    running(state_).visible = on;
}

word::Documents Application::Documents() const {
    running(state_);
    return word::Documents(state_);
}

Document Application::ActiveDocument() const {
    AppState& app = running(state_);
    if (!app.active) detail::throw_invalid("ActiveDocument: no document is open");
    return Document(app.active);
}

word::Options Application::Options() const {
    running(state_);
    return word::Options(state_);
}

word::Clipboard Application::Clipboard() const {
    return word::Clipboard(state_);
}

float Application::MillimetersToPoints(float mm) const noexcept {
    return word::MillimetersToPoints(mm);
}

float Application::PointsToMillimeters(float points) const noexcept {
    return word::PointsToMillimeters(points);
}

void Application::Quit(int save_changes) {
    AppState& app = running(state_);
    if (save_changes != wdDoNotSaveChanges) detail::throw_invalid("Quit saving changes");
    while (!app.documents.empty()) close_document(app, *app.documents.back());
    app.clipboard.reset();
    app.running = false;
}

/* ---------------------------------------------------------------- Documents */
Documents::Documents(std::shared_ptr<AppState> app) : app_(std::move(app)) {}

Document Documents::Add(bool) {
    AppState& app = running(app_);
    auto doc = std::make_shared<DocState>();
    doc->app = &app;
    detail::add_builtin_styles(*doc);
    app.documents.push_back(doc);
    app.active = doc;
    return Document(doc);
}

std::int32_t Documents::Count() const {
    return static_cast<std::int32_t>(running(app_).documents.size());
}

Document Documents::Item(std::int32_t index) const {
    AppState& app = running(app_);
    if (index < 1 || index > static_cast<std::int32_t>(app.documents.size())) {
        detail::throw_no_member("Documents(" + std::to_string(index) + ")");
    }
    return Document(app.documents[static_cast<std::size_t>(index - 1)]);
}

/* ---------------------------------------------------------------- Document */
Document::Document(std::shared_ptr<DocState> state) : state_(std::move(state)) {}

void Document::Activate() {
    state_->check_open();
    state_->app->active = state_;
}

word::Range Document::Range() const {
    return Content();
}

word::Range Document::Range(std::int32_t start, std::int32_t end) const {
    state_->check_open();
    return word::Range(state_->make_range(start, end, state_));
}

word::Range Document::Content() const {
    state_->check_open();
    return word::Range(state_->make_range(0, state_->content_end(), state_));
}

word::Paragraphs Document::Paragraphs() const {
    return word::Paragraphs(Content());
}
word::PageSetup Document::PageSetup() const {
    state_->check_open();
    return word::PageSetup(state_);
}
word::Styles Document::Styles() const {
    state_->check_open();
    return word::Styles(state_);
}
word::Tables Document::Tables() const {
    return word::Tables(Content());
}
word::Shapes Document::Shapes() const {
    state_->check_open();
    return word::Shapes(state_);
}

bool Document::SpellingChecked() const {
    state_->check_open();
    return state_->spelling_checked;
}
void Document::SpellingChecked(bool checked) {
    state_->check_open();
    state_->spelling_checked = checked;
}

void Document::SaveAs(const std::filesystem::path& file_name) {
    state_->check_open();
    detail::save_docx(*state_, file_name);
}

void Document::Settle(std::int32_t position) {
    state_->check_open();
    detail::settle(*state_, position);
}

void Document::Close(int save_changes) {
    state_->check_open();
    if (save_changes != wdDoNotSaveChanges) detail::throw_invalid("Close saving changes");
    close_document(*state_->app, *state_);
}

/* ---------------------------------------------------------------- PageSetup */
PageSetup::PageSetup(std::shared_ptr<DocState> doc) : doc_(std::move(doc)) {}

#define VS_PAGE_SETUP_MEMBER(Name, field) \
    float PageSetup::Name() const {       \
        doc_->check_open();               \
        return doc_->field;               \
    }                                     \
    void PageSetup::Name(float points) {  \
        doc_->check_open();               \
        check_margin(points, #Name);      \
        doc_->field = points;             \
    }
VS_PAGE_SETUP_MEMBER(TopMargin, margin_top)
VS_PAGE_SETUP_MEMBER(BottomMargin, margin_bottom)
VS_PAGE_SETUP_MEMBER(LeftMargin, margin_left)
VS_PAGE_SETUP_MEMBER(RightMargin, margin_right)
VS_PAGE_SETUP_MEMBER(PageWidth, page_width)
VS_PAGE_SETUP_MEMBER(PageHeight, page_height)
#undef VS_PAGE_SETUP_MEMBER

/* ---------------------------------------------------------------- Options */
Options::Options(std::shared_ptr<AppState> app) : app_(std::move(app)) {}

bool Options::CheckSpellingAsYouType() const {
    return running(app_).check_spelling;
}
void Options::CheckSpellingAsYouType(bool on) {
    running(app_).check_spelling = on;
}
bool Options::CheckGrammarAsYouType() const {
    return running(app_).check_grammar;
}
void Options::CheckGrammarAsYouType(bool on) {
    running(app_).check_grammar = on;
}

/* ---------------------------------------------------------------- Clipboard */
Clipboard::Clipboard(std::shared_ptr<AppState> app) : app_(std::move(app)) {}

bool Clipboard::HasContent() const {
    return app_->clipboard != nullptr;
}
void Clipboard::Clear() {
    app_->clipboard.reset();
}

}  // namespace word
