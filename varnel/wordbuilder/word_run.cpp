#include "varnel/wordbuilder/word_run.h"

#include <cerrno>
#include <system_error>

#include "base/cp932.h"
#include "base/run_time_error.h"
#include "base/system_error.h"
#include "base/whole_file.h"

namespace wordbuilder {

namespace {

constexpr int pages_per_work_document = 100;

const char* const heading_style_names[] = {"見出し 1", "見出し 2", "見出し 3"};

}  // namespace

/* ---------------------------------------------------------------- WordRun::WordRun */
WordRun::WordRun(const WordRunSettings& settings, ProgressView& progress)
    : settings_(settings),
      progress_(progress),
      pictures_(settings),
      text_(settings, text_output_,
            [this](GridLoss loss, const jobfiles::BlockHeader& block) {
                report_grid_loss(loss, block);
            }),
      tables_(settings, pictures_),
      figures_(settings, pictures_, progress) {}

/* ---------------------------------------------------------------- WordRun::run */
WordRunOutcome WordRun::run() {
    try {
        start_word();
        open_job_files();
        walk();
        finish_figures();
        if (text_output_.replaced > 0) {
            progress_.add_warning("Shift_JIS として正しくない文字 " +
                                  std::to_string(text_output_.replaced) +
                                  " 個を「\uFFFD」に置き換えました：最初は " +
                                  std::to_string(text_output_.first_page) + "ページ");
        }
        finish_run();
        return progress_.cancel_requested() ? WordRunOutcome::cancelled : WordRunOutcome::completed;
    } catch (const base::RunTimeError& error) {
        return fail(error.description(), error.context());
    } catch (const std::filesystem::filesystem_error& error) {
        return fail(std::string(base::standard_description(base::ErrorNumber::path_file_access)),
                    error.path1().string());
    } catch (const std::bad_alloc&) {
        return fail(std::string(base::standard_description(base::ErrorNumber::out_of_memory)), {});
    }
}

/* ---------------------------------------------------------------- WordRun::fail */
WordRunOutcome WordRun::fail(const std::string& description, const std::string& where) {
    figures_.abandon();
    close_word();
    // The description comes first, as the user knows it; then the file, the place in it and
    // the page, so that two errors of one description can be told apart and acted on.
    std::string text = description;
    if (!where.empty()) text += "\n" + where;
    if (walking_) text += "\n（" + std::to_string(progress_value_ + 1) + "ページ目の変換中）";
    progress_.show_message("", text);
    return WordRunOutcome::failed;
}

/* ---------------------------------------------------------------- WordRun::start_word */
void WordRun::start_word() {
    word_.emplace("Varnel");
    word_->WindowState(word::wdWindowStateMinimize);
    word_->ScreenUpdating(false);
    word_->Visible(false);

    WorkDocument = word_->Documents().Add(true);
    OutputDocument = word_->Documents().Add(true);
    OutputDocument->Activate();
    output_range_ = word_->ActiveDocument().Range();

    word::Range whole = output_range_->Duplicate();
    format_document(*OutputDocument, whole);
    setup_heading_styles();

    WorkDocument->Activate();
    work_range_ = word_->ActiveDocument().Range();
    word_->ActiveDocument().SpellingChecked(false);
    word_->Options().CheckSpellingAsYouType(false);
    word_->Options().CheckGrammarAsYouType(false);
    Block_No = 0;
    word::Range work_whole = work_range_->Duplicate();
    format_document(*WorkDocument, work_whole);

    // Table geometry follows the size Word really applied, not the size asked for.
    const float applied_size = work_range_->Font().Size();
    pictures_.FontSizeRatio =
        word::PointsToMillimeters(applied_size) / word::PointsToMillimeters(settings_.Char_Size);
    Doc_Count = 1;
    Doc_Pages = 1;
}

/* ---------------------------------------------------------------- WordRun::format_document */
void WordRun::format_document(word::Document& document, word::Range& whole) {
    document.SpellingChecked(false);
    // No automatic space between Japanese and digits or Latin letters: the grid keeps its columns.
    document.Paragraphs().AddSpaceBetweenFarEastAndDigit(false);
    document.Paragraphs().AddSpaceBetweenFarEastAndAlpha(false);
    auto margin = [](std::int32_t tenths) {
        return word::MillimetersToPoints(static_cast<float>(tenths) * 0.1f);
    };
    document.PageSetup().RightMargin(margin(settings_.Margin_Right));
    document.PageSetup().LeftMargin(margin(settings_.Margin_Left));
    document.PageSetup().TopMargin(margin(settings_.Margin_Top));
    document.PageSetup().BottomMargin(margin(settings_.Margin_Bottom));

    const std::string font = cp932::to_utf8(settings_.Font_Name);
    word::Font whole_font = whole.Font();
    whole_font.Name(font);
    whole_font.NameAscii(font);
    whole_font.NameOther(font);
    whole_font.Color(word::RGB(0, 0, 0));
    whole_font.Size(settings_.Char_Size);
    whole_font.Spacing(0);

    document.Paragraphs().LineSpacingRule(word::wdLineSpaceExactly);
    document.Paragraphs().LineSpacing(whole.Font().Size());
}

/* ---------------------------------------------------------------- WordRun::setup_heading_styles */
void WordRun::setup_heading_styles() {
    const std::string font = cp932::to_utf8(settings_.Font_Name);
    const float pitch = static_cast<float>(settings_.Line_Pitch);
    for (const char* name : heading_style_names) {
        word::Style style = word_->ActiveDocument().Styles().Item(name);
        style.AutomaticallyUpdate(false);
        style.BaseStyle("標準");
        style.NextParagraphStyle("標準");
        word::ParagraphFormat format = style.ParagraphFormat();
        format.LineSpacingRule(word::wdLineSpaceExactly);
        format.LineSpacing(pitch);
        format.LeftIndent(0);
        format.CharacterUnitLeftIndent(0);

        word::Font style_font = style.Font();
        style_font.NameFarEast(font);
        style_font.NameAscii(font);
        style_font.NameOther(font);
        style_font.Name(font);
        style_font.Size(pitch);
        style_font.Bold(false);
        style_font.Italic(false);
        style_font.Underline(word::wdUnderlineNone);
        style_font.UnderlineColor(word::wdColorAutomatic);
        style_font.StrikeThrough(false);
        style_font.DoubleStrikeThrough(false);
        style_font.Outline(false);
        style_font.Emboss(false);
        style_font.Shadow(false);
        style_font.Hidden(false);
        style_font.SmallCaps(false);
        style_font.AllCaps(false);
        style_font.Color(word::wdColorAutomatic);
        style_font.Engrave(false);
        style_font.Superscript(false);
        style_font.Subscript(false);
        style_font.Scaling(100);
        style_font.Kerning(1.0f);
        style_font.Animation(word::wdAnimationNone);
        style_font.DisableCharacterSpaceGrid(false);
        style_font.EmphasisMark(word::wdEmphasisMarkNone);
    }
}

/* ---------------------------------------------------------------- WordRun::open_job_files */
void WordRun::open_job_files() {
    char_file_.emplace(settings_.job_dir / "PRN_CHAR");
    pict_file_.emplace(settings_.job_dir / "PRN_PICT");
    text_file_.emplace(char_file_->bytes());
    graphics_file_.emplace(pict_file_->bytes());
    text_.clear_grid();
    const std::filesystem::path metafiles = settings_.job_dir / "META_FILE";
    std::error_code error;
    std::filesystem::create_directory(metafiles, error);
    if (base::path_kind(metafiles) != base::PathKind::folder) {
        throw base::system_error(error ? error.value() : EEXIST, metafiles,
                                 base::FileAccess::write);
    }
}

/* ---------------------------------------------------------------- WordRun::output_path */
std::filesystem::path WordRun::output_path() const {
    const std::string name = progress_.document_file_name();
    return settings_.path_txt / std::filesystem::path(std::u8string(name.begin(), name.end()));
}

/* ---------------------------------------------------------------- WordRun::split_or_recycle */
void WordRun::split_or_recycle() {
    if (settings_.Split_SW && Doc_Pages >= settings_.Split_Page) {
        save_output();
        word::Range whole = OutputDocument->Range();
        format_document(*OutputDocument, whole);
        Doc_Pages = 1;
        ++Doc_Count;
        progress_.set_document_file_name(settings_.Doc_Name + std::to_string(Doc_Count) + ".docx");
    } else {
        ++Doc_Pages;
    }
    if (Doc_Pages > pages_per_work_document && !settings_.Split_SW) renew_work_document();
}

/* ---------------------------------------------------------------- WordRun::renew_work_document */
void WordRun::renew_work_document() {
    // The scratch document collects every table built in it; a fresh one keeps Word fast.
    WorkDocument->Close(word::wdDoNotSaveChanges);
    WorkDocument = word_->Documents().Add(true);
    WorkDocument->Activate();
    WorkDocument = word_->ActiveDocument();
    work_range_ = WorkDocument->Range();
    word::Range whole = work_range_->Duplicate();
    format_document(*WorkDocument, whole);
    Doc_Pages = 1;
}

/* ---------------------------------------------------------------- WordRun::finish_figures */
void WordRun::finish_figures() {
    if (progress_.cancel_requested()) {
        figures_.finish_unplaced();
        return;
    }
    // The last block's figures are placed even when the files end without their page line.
    if (text_ended_without_page_) read_graphics_to_page_end();
    figures_.finish(output(), page_);
}

/* ---------------------------------------------------------------- WordRun::save_output */
void WordRun::save_output() {
    OutputDocument->Activate();
    word::Document active = word_->ActiveDocument();
    // Every page end writes a page break; the one after a document's last page would only
    // add a blank page, so it goes before saving. A page with figures and no text has nothing
    // but its pictures after the break before it: then that break is not the last one.
    const std::int32_t end = active.Content().End();
    if (end >= 2 && active.Range(end - 2, end - 1).Text() == "\f" &&
        active.Shapes().Count() <= shapes_at_break_) {
        std::int32_t at = end - 2;
        // A break inside a paragraph ends it instead, so that the pictures anchored just
        // before the break stay on its page. A break right after a paragraph or a table is
        // the whole of its paragraph and simply goes.
        const std::string before = at >= 1 ? active.Range(at - 1, at).Text() : "\r";
        if (before != "\r" && before != "\r\a") {
            active.Range(at, at).InsertBefore("\r");
            ++at;
        }
        active.Range(at, at + 1).Delete();
    }
    active.SaveAs(output_path());
    active.Content().Delete();
}

/* ---------------------------------------------------------------- WordRun::finish_run */
void WordRun::finish_run() {
    if (!progress_.cancel_requested()) {
        save_output();
    } else {
        OutputDocument->Activate();
    }
    close_word();
}

/* ---------------------------------------------------------------- WordRun::close_word */
void WordRun::close_word() {
    if (!word_) return;
    try {
        if (WorkDocument) WorkDocument->Close(word::wdDoNotSaveChanges);
        if (OutputDocument) OutputDocument->Close(word::wdDoNotSaveChanges);
        word_->Quit(word::wdDoNotSaveChanges);
    } catch (const base::RunTimeError&) {
        // Closing is best effort on the way out; the error that brought us here is reported.
    }
    output_range_.reset();
    work_range_.reset();
    WorkDocument.reset();
    OutputDocument.reset();
    word_.reset();
}

/* ---------------------------------------------------------------- buildWordDocument */
WordRunOutcome buildWordDocument(const WordRunSettings& settings, ProgressView& progress) {
    WordRun run(settings, progress);
    return run.run();
}

}  // namespace wordbuilder
