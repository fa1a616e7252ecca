// The saved package: read back by python-docx, repeatable, complete or absent, pictures kept.
#include <gtest/gtest.h>
#include <stb_image.h>
#include <zip.h>

#include <fstream>
#include <sstream>

#include "jobfiles/run_time_error.h"
#include "platform/word/word.h"
#include "sample_document.h"

namespace {

using namespace word;
namespace fs = std::filesystem;

std::string read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// One entry of a zip file, or "" when it is missing.
std::string zip_entry(const fs::path& archive, const std::string& name) {
    int error = 0;
    zip_t* z = zip_open(archive.c_str(), ZIP_RDONLY, &error);
    if (z == nullptr) return {};
    std::string out;
    zip_stat_t st;
    if (zip_stat(z, name.c_str(), 0, &st) == 0) {
        zip_file_t* f = zip_fopen(z, name.c_str(), 0);
        out.resize(static_cast<std::size_t>(st.size));
        zip_fread(f, out.data(), st.size);
        zip_fclose(f);
    }
    zip_close(z);
    return out;
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

TEST(word_docx, saving_is_repeatable_atomic_and_refuses_a_missing_folder) {
    const fs::path dir = word_test::fresh_folder("save");
    Application app;
    Document doc = app.Documents().Add();
    doc.Content().InsertAfter("same bytes every time");
    doc.SaveAs(dir / "a.docx");
    doc.SaveAs(dir / "b.docx");
    EXPECT_EQ(read_file(dir / "a.docx"), read_file(dir / "b.docx"));
    // Overwriting replaces the file; no temporary file is left behind.
    doc.Content().InsertAfter(" and more");
    doc.SaveAs(dir / "a.docx");
    EXPECT_NE(read_file(dir / "a.docx"), read_file(dir / "b.docx"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);

    try {
        doc.SaveAs(dir / "missing" / "c.docx");
        FAIL() << "saving into a missing folder must fail";
    } catch (const jobfiles::RunTimeError& e) {
        EXPECT_EQ(e.number(), static_cast<int>(jobfiles::ErrorNumber::path_not_found));
        EXPECT_NE(e.context().find("missing"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(dir / "missing"));
    fs::create_directory(dir / "folder.docx");
    EXPECT_THROW(doc.SaveAs(dir / "folder.docx"), jobfiles::RunTimeError);
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
    } catch (const jobfiles::RunTimeError& e) {
        EXPECT_EQ(e.number(), static_cast<int>(jobfiles::ErrorNumber::file_not_found));
    }
    EXPECT_THROW(doc.Shapes().AddPicture(dir / "text.emf"), jobfiles::RunTimeError);
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
