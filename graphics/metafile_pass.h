// The Excel route's figure pass: every block of the chosen pages that draws something gets a
// metafile in META_FILE/, before the workbook is built from the text.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace graphics {

// What the pass needs of the message window. The program's entry adapts its window to it.
class MetafilePassView {
  public:
    virtual ~MetafilePassView() = default;
    virtual void set_status(const std::string& utf8_caption) = 0;  // Label1
    // The progress bar: minimum 0, this maximum, value 0.
    virtual void start_progress(int maximum) = 0;
    virtual void step_progress() = 0;  // value + 1
    // Repaints the window and serves its cancel button, then returns.
    virtual void yield() = 0;
    virtual bool cancel_requested() const = 0;  // Cancel_Flag
    // A message box with the exclamation icon and an OK button; CR LF breaks lines.
    virtual void show_error(const std::string& utf8_title, const std::string& utf8_text) = 0;
    // Something of the report that the pass left out and went on without; one line.
    virtual void add_warning(const std::string& utf8_line) = 0;
};

struct MetafilePassSettings {
    std::filesystem::path job_dir;  // PRN_PICT and META_FILE/
    std::int16_t Page_Count = 0;
    double Margin_Left = 0;    // tenths of a millimetre
    double Margin_Right = 0;   // tenths of a millimetre
    double Paper_Width = 210;  // millimetres
    std::string Font_Name;     // CP932
};

enum class PassOutcome {
    completed,
    failed,     // the error box was shown; the open block left no file
    cancelled,  // the blocks finished so far, and the one that was open, keep their files
};

// Reads PRN_PICT front to back and draws the blocks of pages first..last. Each block's
// metafile has the frame (0, 0, W, H) in 0.01 mm: W the printable width (paper width less the
// left and the right margin), H the block's height; x = 0 is the left margin and y = 0 the
// block's top edge. Files are named as jobfiles::BlockMetafileNames gives them. A block still
// open at the end of the file is finished like one ended by its page.
// A block's bitmap pictures go onto a canvas covering the same frame, saved next to the
// metafile under its name with ".png": the pictures opaque, the rest transparent, so that laid
// under the metafile on a sheet it hides no more of the cells than the pictures do. A picture
// that cannot be drawn is told through add_warning and the pass goes on, and so are pages of
// the range that PRN_PICT does not hold.
PassOutcome Make_MetaFile(const MetafilePassSettings& settings, std::int16_t first_page,
                          std::int16_t last_page, MetafilePassView& view);

}  // namespace graphics
