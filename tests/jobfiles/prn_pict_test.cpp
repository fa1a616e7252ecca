#include "jobfiles/prn_pict.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "base/whole_file.h"

namespace {

using base::RunTimeError;

std::string fixture(const char* name) {
    return base::load_file(std::filesystem::path(VS_TEST_DATA_DIR) / name);
}

template <typename Reader>
std::vector<std::string> kinds(Reader& in) {
    std::vector<std::string> log;
    while (const auto record = in.next()) {
        static const char* const names[] = {"PAGE", "BLOCK", "LABEL", "LINE", "CIRCLE", "OTHER"};
        log.push_back(names[std::min<std::size_t>(record->index(), 5)]);
    }
    return log;
}

template <typename F>
int error_number_of(F read) {
    try {
        read();
    } catch (const base::RunTimeError& e) {
        return e.number();
    }
    return 0;
}

TEST(prn_pict_reader, both_programs_read_every_kind_and_pass_over_stray_fields) {
    const std::string bytes = fixture("pict_walk.prn");
    const std::vector<std::string> expected{"LABEL", "BLOCK", "LABEL", "LINE",  "CIRCLE", "OTHER",
                                            "OTHER", "PAGE",  "BLOCK", "OTHER", "PAGE"};
    jobfiles::VarnelPictReader varnel(bytes);
    EXPECT_EQ(kinds(varnel), expected);
    // The workbook route reads a PAGE line's extra fields as kinds, which it passes over.
    jobfiles::SorbelPictReader sorbel(bytes);
    EXPECT_EQ(kinds(sorbel), expected);
}

TEST(prn_pict_reader, records_carry_their_fields) {
    const std::string bytes = fixture("pict_walk.prn");
    jobfiles::VarnelPictReader varnel(bytes);
    varnel.next();
    const auto block = std::get<jobfiles::PictBlock>(*varnel.next());
    EXPECT_EQ(block.y1, 200);  // rounded, ties to even
    EXPECT_EQ(block.y2, 502);
    const auto label = std::get<jobfiles::PictLabel>(*varnel.next());
    EXPECT_EQ(label.size, 105);
    EXPECT_EQ(label.angle, 90);
    EXPECT_EQ(cp932::to_utf8(label.text), "縦書き,\"ｶﾅ\"");
    const auto line = std::get<jobfiles::PictLine>(*varnel.next());
    EXPECT_EQ(line.x2, 1700);
    EXPECT_EQ(line.line_kind, 2);
    EXPECT_EQ(line.width, 3);
    const auto circle = std::get<jobfiles::PictCircle>(*varnel.next());
    EXPECT_EQ(circle.end_angle, 360);
    EXPECT_EQ(circle.width, 5);
    EXPECT_EQ(std::get<jobfiles::PictPolygon>(*varnel.next()).points.size(), 3u);
    const auto picture = std::get<jobfiles::PictPicture>(*varnel.next());
    EXPECT_EQ(picture.file, "logo.bmp");
    EXPECT_EQ(picture.height, 200);

    jobfiles::SorbelPictReader sorbel(bytes);
    sorbel.next();
    EXPECT_EQ(std::get<jobfiles::SorbelPictBlock>(*sorbel.next()).y1, 200.5);
    sorbel.next();
    sorbel.next();
    sorbel.next();
    // The points run on over the following lines.
    const auto polygon = std::get<jobfiles::PictPolygon>(*sorbel.next());
    ASSERT_EQ(polygon.points.size(), 3u);
    EXPECT_EQ(polygon.points[1].x, 110);
    EXPECT_EQ(polygon.points[2].y, 90);
    EXPECT_EQ(polygon.fill_kind, 6);
    EXPECT_EQ(polygon.line_colour, 0xFF);
    EXPECT_EQ(polygon.fill_colour, 0xFF0000);
    const auto sorbel_picture = std::get<jobfiles::PictPicture>(*sorbel.next());
    EXPECT_EQ(sorbel_picture.x, 10);
    EXPECT_EQ(sorbel_picture.width, 300);
    EXPECT_EQ(sorbel_picture.file, "logo.bmp");
}

TEST(prn_pict_reader, page_skipping_and_empty_files) {
    const std::string bytes = fixture("pict_walk.prn");
    jobfiles::VarnelPictReader in(bytes);
    in.skip_page();
    EXPECT_TRUE(std::holds_alternative<jobfiles::PictBlock>(*in.next()));
    // A header alone holds no records; so does an empty file.
    jobfiles::VarnelPictReader header_only("PRN_PICT,0\r\n");
    EXPECT_FALSE(header_only.next());
    jobfiles::SorbelPictReader empty("");
    EXPECT_FALSE(empty.next());
    // The last PAGE line of a file may end the file right after its kind.
    jobfiles::VarnelPictReader last_page("H\r\nPAGE");
    EXPECT_TRUE(std::holds_alternative<jobfiles::PictPage>(*last_page.next()));
    EXPECT_FALSE(last_page.next());
}

TEST(prn_pict_reader, bad_records_raise_the_runtime_error_of_their_fault) {
    const auto sorbel = [](const std::string& record) {
        return error_number_of([&] {
            const std::string bytes = "H\r\n" + record;
            jobfiles::SorbelPictReader in(bytes);
            while (in.next()) {
            }
        });
    };
    EXPECT_EQ(sorbel("LABEL,1,2,105,0,0,\"\r\n"), 5);
    EXPECT_EQ(sorbel("LABEL,1,2,40000,0,0,\"a\"\r\n"), 6);
    EXPECT_EQ(sorbel("LINE,1,2,3\r\n"), 62);
    EXPECT_EQ(sorbel("CIRCLE,a,0,1,1,0,360,0,1\r\n"), 13);
    EXPECT_EQ(sorbel("POLYGON,-1,0,1,1,0,0,0\r\n"), 9);
    EXPECT_EQ(sorbel("POLYGON,32767,0,1,1,0,0,0,1,2\r\n"), 62);  // points promised, not there
    EXPECT_EQ(sorbel("POLYGON,1,0,1,1,0,&H100000000,0,1,2\r\n"), 6);
    EXPECT_EQ(sorbel("POLYGON,1,0,1,1,0,red,,1,2\r\n"), 0);  // colours without a number are 0
    EXPECT_EQ(sorbel("BLOCK,3000000000,0,0,1,1,0,0\r\n"), 6);
    EXPECT_EQ(sorbel("PICTURE,1,2,3,4,x,y,\"f.bmp\"\r\n"), 13);

    const auto varnel = [](const std::string& record) {
        return error_number_of([&] {
            const std::string bytes = "H\r\n" + record;
            jobfiles::VarnelPictReader in(bytes);
            while (in.next()) {
            }
        });
    };
    // Block numbers are 32 bits in both programs: a long job numbers its blocks past 32767.
    EXPECT_EQ(varnel("BLOCK,40000,0,0,1,1,0,0\r\n"), 0);
    EXPECT_EQ(varnel("BLOCK,3000000000,0,0,1,1,0,0\r\n"), 6);
    EXPECT_EQ(varnel("PICTURE,1,2,3,4,0,0\r\n"), 62);
    EXPECT_EQ(varnel("POLYGON,x,y,\"z\"\r\n"), 13);  // read as the workbook route reads it
}

}  // namespace
