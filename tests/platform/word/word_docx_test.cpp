// The saved package: read back by python-docx, repeatable, complete or absent, pictures kept.
#include <gtest/gtest.h>
#include <stb_image.h>
#include <stb_image_write.h>

#include <ctime>
#include <fstream>

#include "base/run_time_error.h"
#include "platform/ooxml/package_reader.h"
#include "platform/word/word.h"
#include "sample_document.h"

namespace {

using namespace word;
namespace fs = std::filesystem;

// One part of a saved package, or "" when it has none.
std::string zip_entry(const fs::path& archive, const std::string& name) {
    const ooxml::PackageReader package(archive);
    return package.contains(name) ? package.read(name) : std::string();
}

TEST(word_docx, python_docx_reads_back_what_the_builder_relies_on) {
    const fs::path dir = word_test::fresh_folder("python");
    const fs::path file = word_test::build_sample(dir);
    std::string output;
    const int status = word_test::run("/usr/bin/python3 " VS_SOURCE_DIR
                                      "/tests/platform/word/check_sample_docx.py " +
                                          file.string(),
                                      output);
    EXPECT_EQ(status, 0) << output;
    fs::remove_all(dir);
}

void append_bytes(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                               static_cast<std::size_t>(size));
}

// A 2 x 1 bitmap in run-length coding, which is embedded as it is.
std::string rle_bitmap() {
    std::string b = "BM";
    const auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    u32(14 + 40 + 8 + 4);
    u32(0);
    u32(14 + 40 + 8);
    for (std::uint32_t v : {40u, 2u, 1u}) u32(v);
    b += std::string("\x01\x00\x08\x00", 4);                  // planes, bits per pixel
    for (std::uint32_t v : {1u, 4u, 0u, 0u, 2u, 0u}) u32(v);  // BI_RLE8, size, dpi, colours
    b += std::string("\x00\x00\x00\x00\xFF\xFF\xFF\x00", 8);
    b += std::string("\x02\x01\x00\x01", 4);  // two pixels of colour 1, end of bitmap
    return b;
}

TEST(word_docx, awkward_text_names_breaks_and_picture_kinds_survive_the_round_trip) {
    const fs::path dir = word_test::fresh_folder("edges");
    const unsigned char pixels[] = {10, 20, 30, 40, 50, 60};
    std::string png;
    std::string jpeg;
    stbi_write_png_to_func(append_bytes, &png, 2, 1, 3, pixels, 6);
    stbi_write_jpg_to_func(append_bytes, &jpeg, 2, 1, 3, pixels, 90);
    std::ofstream(dir / "p.png", std::ios::binary) << png;
    std::ofstream(dir / "p.jpg", std::ios::binary) << jpeg;
    std::ofstream(dir / "rle.bmp", std::ios::binary) << rle_bitmap();

    Application app;
    Document doc = app.Documents().Add();
    Range r = doc.Range();
    r.Collapse(wdCollapseEnd);
    r.InsertAfter(
        "A\x01"
        "B\xEF\xBF\xBE]]>\ttab");
    r.Collapse(wdCollapseEnd);
    r.InsertBreak(wdLineBreak);
    r.InsertAfter("next");
    r.Collapse(wdCollapseEnd);
    r.InsertAfter("\rbefore");
    r.Collapse(wdCollapseEnd);
    r.InsertBreak(wdPageBreak);
    r.InsertAfter("after\rheading");
    r.Style(wdStyleHeading3);
    doc.Range(0, 1).Font().Name("Q\"&<F>'");
    Style h3 = doc.Styles().Item(wdStyleHeading3);
    h3.AutomaticallyUpdate(true);
    h3.ParagraphFormat().LeftIndent(0);
    h3.ParagraphFormat().CharacterUnitLeftIndent(0);
    for (const char* name : {"p.png", "p.jpg", "rle.bmp"}) {
        Shape s = doc.Shapes().AddPicture(dir / name, false, true, 0, 0, -1, -1, doc.Range());
        EXPECT_FLOAT_EQ(s.Width(), 1.5f) << name;
    }
    doc.SaveAs(dir / "edges.docx");
    std::string output;
    EXPECT_EQ(word_test::run("/usr/bin/python3 " VS_SOURCE_DIR
                             "/tests/platform/word/check_edges_docx.py " +
                                 (dir / "edges.docx").string(),
                             output),
              0)
        << output;
    fs::remove_all(dir);
}

TEST(word_docx, a_document_emptied_after_saving_a_part_starts_the_next_part_clean) {
    const fs::path dir = word_test::fresh_folder("split");
    std::ofstream(dir / "p.bmp", std::ios::binary) << word_test::small_bitmap();
    Application app;
    Document doc = app.Documents().Add();
    Range out = app.ActiveDocument().Range();
    const auto page = [&](const std::string& text) {
        const std::int32_t start = doc.Content().End();
        out.Collapse(wdCollapseEnd);
        out.InsertAfter(text + "\r");
        doc.Shapes().AddPicture(dir / "p.bmp", false, true, 0, 0, 5, 5, doc.Range(start, start));
        out.SetRange(doc.Content().End(), doc.Content().End());
        out.Collapse(wdCollapseEnd);
        out.InsertBreak(wdPageBreak);
    };
    page("part one");
    doc.SaveAs(dir / "part1.docx");
    doc.Content().Delete();
    doc.Paragraphs().LineSpacingRule(wdLineSpaceExactly);
    page("part two");
    doc.SaveAs(dir / "part2.docx");

    EXPECT_EQ(doc.Shapes().Count(), 1);
    EXPECT_EQ(doc.Content().Text(), "part two\r\x0c\r");
    const std::string body = zip_entry(dir / "part2.docx", "word/document.xml");
    EXPECT_EQ(body.find("part one"), std::string::npos);
    EXPECT_NE(zip_entry(dir / "part2.docx", "word/media/image1.png"), "");
    EXPECT_EQ(zip_entry(dir / "part2.docx", "word/media/image2.png"), "");
    fs::remove_all(dir);
}

// Every part but the properties, which name the file and the time of saving.
std::string parts_but_properties(const fs::path& archive) {
    const ooxml::PackageReader package(archive);
    std::string parts;
    for (const std::string& name : package.part_names()) {
        if (name != "docProps/core.xml") parts += name + "\n" + package.read(name);
    }
    return parts;
}

TEST(word_docx, saving_is_repeatable_atomic_and_refuses_a_missing_folder) {
    const fs::path dir = word_test::fresh_folder("save");
    Application app;
    Document doc = app.Documents().Add();
    doc.Content().InsertAfter("same bytes every time");
    doc.SaveAs(dir / "a.docx");
    doc.SaveAs(dir / "b.docx");
    EXPECT_EQ(parts_but_properties(dir / "a.docx"), parts_but_properties(dir / "b.docx"));
    // Overwriting replaces the file; no temporary file is left behind.
    doc.Content().InsertAfter(" and more");
    doc.SaveAs(dir / "a.docx");
    EXPECT_NE(parts_but_properties(dir / "a.docx"), parts_but_properties(dir / "b.docx"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);

    try {
        doc.SaveAs(dir / "missing" / "c.docx");
        FAIL() << "saving into a missing folder must fail";
    } catch (const base::RunTimeError& e) {
        EXPECT_EQ(e.number(), static_cast<int>(base::ErrorNumber::path_not_found));
        EXPECT_NE(e.context().find("missing"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(dir / "missing"));
    fs::create_directory(dir / "folder.docx");
    EXPECT_THROW(doc.SaveAs(dir / "folder.docx"), base::RunTimeError);
    fs::remove_all(dir);
}

// The text of a core property, or "" without one.
std::string core_property(const fs::path& archive, const std::string& element) {
    const std::string core = zip_entry(archive, "docProps/core.xml");
    const std::size_t open = core.find("<" + element);
    if (open == std::string::npos) return {};
    const std::size_t start = core.find('>', open) + 1;
    return core.substr(start, core.find("</" + element + ">", start) - start);
}

TEST(word_docx, properties_name_the_file_and_the_times_of_the_run) {
    const fs::path dir = word_test::fresh_folder("properties");
    const auto now = [] {
        const std::time_t t = std::time(nullptr);
        char text[32];
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", std::gmtime(&t));
        return std::string(text);
    };
    const std::string before = now();
    Application app("Varnel");
    Document doc = app.Documents().Add();
    doc.Content().InsertAfter("text");
    const fs::path file = dir / "月報 <1> & 2.docx";
    doc.SaveAs(file);
    const std::string after = now();
    EXPECT_EQ(core_property(file, "dc:title"), "月報 &lt;1&gt; &amp; 2");
    EXPECT_EQ(core_property(file, "dc:creator"), "Varnel");
    for (const char* date : {"dcterms:created", "dcterms:modified"}) {
        const std::string value = core_property(file, date);
        EXPECT_GE(value, before) << date;
        EXPECT_LE(value, after) << date;
    }
    EXPECT_NE(zip_entry(file, "docProps/app.xml").find("<Application>Varnel</Application>"),
              std::string::npos);
    fs::remove_all(dir);
}

TEST(word_docx, pictures_are_read_at_once_sized_and_kept_pixel_for_pixel) {
    const fs::path dir = word_test::fresh_folder("pictures");
    std::ofstream(dir / "p.bmp", std::ios::binary) << word_test::small_bitmap();
    std::ofstream(dir / "p.emf", std::ios::binary) << word_test::empty_metafile(2540, 1270);
    std::ofstream(dir / "text.emf", std::ios::binary) << "not a picture";

    Application app;
    Document doc = app.Documents().Add();
    Shape bmp = doc.Shapes().AddPicture(dir / "p.bmp");
    EXPECT_FLOAT_EQ(bmp.Width(), 1.5f);  // two pixels at 96 dpi
    Shape emf = doc.Shapes().AddPicture(dir / "p.emf", false, true, 0, 0, -1, -1, doc.Range());
    EXPECT_FLOAT_EQ(emf.Width(), 72.0f);  // 25.4 mm frame
    EXPECT_FLOAT_EQ(emf.Height(), 36.0f);
    fs::remove(dir / "p.bmp");  // the caller may delete its temporary files

    try {
        doc.Shapes().AddPicture(dir / "gone.emf");
        FAIL() << "a missing picture must fail";
    } catch (const base::RunTimeError& e) {
        EXPECT_EQ(e.number(), static_cast<int>(base::ErrorNumber::file_not_found));
    }
    EXPECT_THROW(doc.Shapes().AddPicture(dir / "text.emf"), base::RunTimeError);
    EXPECT_EQ(doc.Shapes().Count(), 2);

    doc.SaveAs(dir / "pictures.docx");
    const std::string png = zip_entry(dir / "pictures.docx", "word/media/image1.png");
    int w = 0;
    int h = 0;
    int n = 0;
    stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(png.data()),
                                            static_cast<int>(png.size()), &w, &h, &n, 3);
    ASSERT_NE(pixels, nullptr);
    const std::vector<int> rgb(pixels, pixels + 12);
    stbi_image_free(pixels);
    EXPECT_EQ(rgb, (std::vector<int>{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}));
    EXPECT_EQ(zip_entry(dir / "pictures.docx", "word/media/image2.emf"),
              word_test::empty_metafile(2540, 1270));

    // Deleting the content takes the anchored pictures with it.
    doc.Content().Delete();
    EXPECT_EQ(doc.Shapes().Count(), 0);
    fs::remove_all(dir);
}

}  // namespace
