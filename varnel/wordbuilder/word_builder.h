// The Word route's conversion run: rebuilds the chosen pages of the job as a Word document.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace wordbuilder {

// What the run needs of the progress window. The program's entry adapts its window to it.
class ProgressView {
  public:
    virtual ~ProgressView() = default;
    virtual void set_page_label(const std::string& utf8_caption) = 0;  // Label1
    virtual void set_progress_value(int value) = 0;                    // ProgressBar1
    virtual std::string document_file_name() const = 0;                // doc_name caption, UTF-8
    virtual void set_document_file_name(const std::string& utf8_name) = 0;
    virtual void add_warning(const std::string& utf8_line) = 0;  // List1
    virtual bool cancel_requested() const = 0;                   // Cansel_SW
    // Serves the user interface (repaint, the cancel button) and returns.
    virtual void yield() = 0;
    // A message box with an OK button only; an empty title means no title.
    virtual void show_message(const std::string& utf8_title, const std::string& utf8_text) = 0;
};

// The run variables the dialog and the job settings leave for the run.
struct WordRunSettings {
    std::filesystem::path job_dir;  // holds PRN_CHAR, PRN_PICT and META_FILE/
    float Char_Size = 0;            // points
    std::string Font_Name;          // CP932
    std::int32_t Margin_Left = 0;   // tenths of a millimetre
    std::int32_t Margin_Top = 0;
    std::int32_t Margin_Right = 0;
    std::int32_t Margin_Bottom = 0;
    std::int16_t Page_Count = 0;
    std::int16_t Line_Pitch = 0;  // whole points
    std::int16_t Start_Page = 1;
    std::int16_t End_Page = 1;
    bool Matrix_SW = true;  // tables as Word tables (else as drawings)
    std::string Doc_Name;   // UTF-8, no folder, no extension
    bool Split_SW = false;
    std::int16_t Split_Page = 100;
    std::filesystem::path path_txt;  // output folder
};

enum class WordRunOutcome {
    completed,  // saved
    cancelled,  // stopped by the cancel button; nothing more saved
    failed,     // an error was shown to the user; nothing partial left behind
};

WordRunOutcome buildWordDocument(const WordRunSettings& settings, ProgressView& progress);

}  // namespace wordbuilder
