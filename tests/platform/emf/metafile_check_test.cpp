// The checker is the tests' oracle for every metafile: it must see the faults it is there for.
#include "tests/platform/emf/metafile_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/emf/emf_records.h"

namespace {

using namespace emf;
using namespace emf::records;

HeaderFields header_with(std::uint16_t handles) {
    HeaderFields header;
    header.bounds = {0, 0, 10, 10};
    header.frame = {0, 0, 100, 100};
    header.handles = handles;
    header.device = reference_device_pixels;
    header.millimetres = reference_device_millimetres;
    return header;
}

bool mentions(const emftest::Metafile& m, const std::string& words) {
    return std::any_of(m.problems.begin(), m.problems.end(), [&](const std::string& problem) {
        return problem.find(words) != std::string::npos;
    });
}

void put_u32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

TEST(metafile_check, finds_object_misuse_and_drawing_outside_the_bounds) {
    RecordStream records;
    records.add_create_pen(1, {PS_SOLID, 0, 0});
    records.add_value(EMR_SELECTOBJECT, 1);
    records.add_value(EMR_DELETEOBJECT, 1);  // still selected
    records.add_value(EMR_SELECTOBJECT, 1);  // after deletion
    records.add_value(EMR_SELECTOBJECT, 2);  // never created
    records.add_value(EMR_SETMAPMODE, MM_HIMETRIC);
    records.add_point(EMR_MOVETOEX, {0, 0});
    records.add_point(EMR_LINETO, {10000, -10000});  // 378 pixels; the bounds end at 10
    const emftest::Metafile m = emftest::check_metafile(records.finish(header_with(2)));
    EXPECT_TRUE(mentions(m, "while selected"));
    EXPECT_TRUE(mentions(m, "after its deletion"));
    EXPECT_TRUE(mentions(m, "never created"));
    EXPECT_TRUE(mentions(m, "outside the header bounds"));
    EXPECT_EQ(m.problems.size(), 4u);
}

TEST(metafile_check, finds_wrong_totals_and_broken_records) {
    RecordStream records;
    records.add_create_pen(1, {PS_SOLID, 0, 0});
    records.add_create_pen(1, {PS_DOT, 0, 0});  // slot taken
    const std::vector<std::uint8_t> sound = RecordStream().finish(header_with(1));
    EXPECT_TRUE(emftest::check_metafile(sound).problems.empty());

    const emftest::Metafile slots = emftest::check_metafile(records.finish(header_with(2)));
    EXPECT_TRUE(mentions(slots, "in use"));

    // nHandles too large for the indexes used.
    EXPECT_TRUE(mentions(emftest::check_metafile(records.finish(header_with(3))), "nHandles"));

    std::vector<std::uint8_t> bad_count = sound;
    put_u32(bad_count, 52, 3);
    EXPECT_TRUE(mentions(emftest::check_metafile(bad_count), "nRecords"));

    std::vector<std::uint8_t> bad_eof = sound;
    put_u32(bad_eof, bad_eof.size() - 4, 16);
    EXPECT_TRUE(mentions(emftest::check_metafile(bad_eof), "EOF"));

    std::vector<std::uint8_t> cut = sound;
    cut.resize(cut.size() - 4);
    const emftest::Metafile short_file = emftest::check_metafile(cut);
    EXPECT_TRUE(mentions(short_file, "bad size"));
    EXPECT_TRUE(mentions(short_file, "no EOF"));
}

}  // namespace
