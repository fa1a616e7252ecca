// LibreOffice opens the sample without complaint and lays it out where the grid says.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "sample_document.h"

namespace {

namespace fs = std::filesystem;

struct Word {
    double x_min, y_min;
};

// The first word `text` on page `page` (1-based) of pdftotext's bounding-box output.
std::optional<Word> find_word(const std::string& bbox_html, int page, const std::string& text) {
    std::size_t at = 0;
    for (int p = 0; p < page; ++p) {
        at = bbox_html.find("<page ", at);
        if (at == std::string::npos) return std::nullopt;
        ++at;
    }
    const std::size_t end = bbox_html.find("</page>", at);
    const std::regex word(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)"[^>]*>([^<]*)</word>)re");
    const std::string page_text = bbox_html.substr(at, end - at);
    for (std::sregex_iterator it(page_text.begin(), page_text.end(), word), stop; it != stop;
         ++it) {
        if ((*it)[3] == text) return Word{std::stod((*it)[1]), std::stod((*it)[2])};
    }
    return std::nullopt;
}

TEST(word_render, libreoffice_opens_the_sample_and_places_text_on_the_grid) {
    const fs::path dir = word_test::fresh_folder("render");
    const fs::path file = word_test::build_sample(dir);
    const std::string env = "FONTCONFIG_FILE=" VS_SOURCE_DIR "/tests/data/fontconfig/fonts.conf ";
    std::string out;
    ASSERT_EQ(word_test::run(
                  env + "soffice -env:UserInstallation=file://" + (dir / "profile").string() +
                      " --headless --convert-to pdf --outdir " + dir.string() + " " + file.string(),
                  out),
              0)
        << out;
    const fs::path pdf = dir / "sample.pdf";
    ASSERT_TRUE(fs::exists(pdf)) << out;
    ASSERT_EQ(word_test::run("pdfinfo " + pdf.string(), out), 0) << out;
    EXPECT_TRUE(std::regex_search(out, std::regex("Pages: +2\\n"))) << out;

    ASSERT_EQ(word_test::run("pdftotext -bbox " + pdf.string() + " -", out), 0);
    const double margin = static_cast<double>(word_test::margin_mm) * 72.0 / 25.4;
    const double line = static_cast<double>(word_test::char_size);
    const double half_width = line / 2.0;
    const auto mark = find_word(out, 2, "MARK");
    ASSERT_TRUE(mark) << out;
    EXPECT_NEAR(mark->x_min, margin + (word_test::marker_column - 1) * half_width, 1.0);
    // Third line of page 2: the paragraph that holds the page break is the first. A glyph's
    // box starts a little above its exactly spaced line.
    EXPECT_NEAR(mark->y_min, margin + 2 * line, 2.5);
    const auto cell = find_word(out, 2, "CELL");
    ASSERT_TRUE(cell) << out;
    EXPECT_NEAR(cell->x_min, margin + 10.0 * 72.0 / 25.4, 1.0);
    const auto title = find_word(out, 1, "Title");
    ASSERT_TRUE(title);
    EXPECT_LT(title->y_min, margin + 16.0);
    fs::remove_all(dir);
}

}  // namespace
