// Packages written and read back; zip damage and limits on the reading side.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <future>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/run_time_error.h"
#include "platform/ooxml/package_reader.h"
#include "platform/ooxml/package_writer.h"
#include "platform/ooxml/part_spool.h"
#include "tests/platform/ooxml/zip_entries.h"
#include "tests/platform/os/scratch_folder.h"

namespace {

using test_support::ScratchFolder;

// A part of `count` pieces of ten lines each, as a long sheet is streamed.
std::function<ooxml::PartPieces()> numbered_lines(int count) {
    return [count] {
        auto state = std::make_shared<std::pair<int, std::string>>(0, "");
        return [state, count]() -> std::string_view {
            if (state->first == count) return {};
            state->second.clear();
            for (int i = 0; i < 10; ++i) {
                state->second += "<row r=\"" + std::to_string(state->first * 10 + i) + "\"/>\n";
            }
            ++state->first;
            return state->second;
        };
    };
}

std::string sample_package() {
    ooxml::PackageWriter package;
    package.add("[Content_Types].xml", "<Types/>");
    package.add("xl/workbook.xml", "<workbook/>");
    package.add_stream("xl/worksheets/sheet1.xml", numbered_lines(5000));
    package.add("xl/media/image1.emf", std::string(1000, '\x01'));
    return package.finish();
}

int error_number(const std::function<void()>& f, std::string* context = nullptr) {
    try {
        f();
    } catch (const base::RunTimeError& e) {
        if (context != nullptr) *context = e.context();
        return e.number();
    }
    return 0;
}

TEST(package, written_parts_read_back_in_order_and_bytes_repeat) {
    const std::string bytes = sample_package();
    EXPECT_EQ(bytes, sample_package());
    ooxml::PackageReader reader(bytes, "book.xlsx");
    EXPECT_EQ(reader.part_names(),
              (std::vector<std::string>{"[Content_Types].xml", "xl/workbook.xml",
                                        "xl/worksheets/sheet1.xml", "xl/media/image1.emf"}));
    EXPECT_TRUE(reader.contains("xl/workbook.xml"));
    EXPECT_FALSE(reader.contains("/xl/workbook.xml"));
    EXPECT_EQ(reader.read("xl/workbook.xml"), "<workbook/>");
    const std::string sheet = reader.read("xl/worksheets/sheet1.xml");
    EXPECT_TRUE(sheet.starts_with("<row r=\"0\"/>\n<row r=\"1\"/>"));
    EXPECT_TRUE(sheet.ends_with("<row r=\"49999\"/>\n"));
    // Compressed: the streamed part is far larger than the package.
    EXPECT_GT(sheet.size(), 5 * bytes.size());
    // Every entry carries 1980-01-01 00:00 as its time (local headers, then central ones).
    for (std::size_t at = bytes.find("PK\x03\x04"); at != std::string::npos;
         at = bytes.find("PK\x03\x04", at + 1)) {
        EXPECT_EQ(bytes.substr(at + 10, 4), std::string("\0\0\x21\0", 4));
    }
}

TEST(package, committed_whole_or_not_at_all) {
    ScratchFolder folder;
    const auto file = folder.file("book.xlsx", "old");
    {
        ooxml::PackageWriter package(file);
        package.add("a.xml", "<a/>");
        // The stream fails midway, after the part before it was deflated.
        EXPECT_THROW(package.add_stream("b.xml",
                                        [] {
                                            auto calls = std::make_shared<int>(0);
                                            return [calls]() -> std::string_view {
                                                if (*calls == 3)
                                                    throw std::runtime_error("sheet failed");
                                                ++*calls;
                                                return "<x/>";
                                            };
                                        }),
                     std::runtime_error);
    }
    EXPECT_EQ(test_support::read_bytes(file), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);

    // Written straight into the file, the package has the bytes it has in memory.
    const auto fill = [](ooxml::PackageWriter& package) {
        package.add("a.xml", "<a/>");
        package.add_stream("xl/worksheets/sheet1.xml", numbered_lines(3000));
    };
    ooxml::PackageWriter to_file(file);
    fill(to_file);
    to_file.commit();
    ooxml::PackageWriter in_memory;
    fill(in_memory);
    EXPECT_EQ(test_support::read_bytes(file), in_memory.finish());
    EXPECT_EQ(ooxml::PackageReader(file).read("a.xml"), "<a/>");

    EXPECT_EQ(error_number([&] { ooxml::PackageWriter(folder.path() / "missing" / "b.xlsx"); }),
              76);
}

// Parts kept in a spool as they are made, some stored, some deflated there by the spool's
// thread or by a thread waiting for it, go into the package with the bytes the same parts
// added whole would have.
TEST(part_spool, a_wait_leaves_later_work_to_the_worker) {
    // A maker that waits for its last part must not take the next one off the worker: it would
    // deflate it itself and leave the worker idle while it makes the part after.
    ooxml::PartSpool spool;
    std::deque<ooxml::SpooledPart> kept;
    std::promise<void> open;
    std::shared_future<void> gate = open.get_future().share();
    spool.store([gate] { return gate.wait(), std::string("first"); }, 5, kept.emplace_back());
    const std::uint64_t first = spool.last_given();
    std::string next(std::size_t{32} << 20, '\0');
    std::uint32_t x = 1;
    for (char& c : next) c = static_cast<char>((x = x * 1664525u + 1013904223u) >> 24);
    spool.deflate(std::move(next), kept.emplace_back());
    const std::uint64_t second = spool.last_given();
    std::thread opener([&open] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        open.set_value();
    });
    spool.wait_for(first);
    EXPECT_FALSE(spool.done(second));  // still on the worker, a deflate of 32 MB behind
    opener.join();
    spool.wait();
    EXPECT_TRUE(spool.done(second));
    EXPECT_EQ(kept[1].size, std::uint32_t{32} << 20);
}

TEST(part_spool, a_part_inflated_again_waits_for_its_own_work_only) {
    // A picture compared with one drawn pages ago must not wait for the sheets queued since.
    ooxml::PartSpool spool;
    std::deque<ooxml::SpooledPart> kept;
    const std::string logo(100000, 'L');
    spool.deflate(logo, kept.emplace_back());
    const std::uint64_t logo_work = spool.last_given();
    std::promise<void> open;
    std::shared_future<void> gate = open.get_future().share();
    spool.store([gate] { return gate.wait(), std::string("sheet"); }, 5, kept.emplace_back());
    const std::uint64_t sheet_work = spool.last_given();
    std::thread opener([&open] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        open.set_value();
    });
    EXPECT_EQ(spool.inflate(kept[0], logo_work), logo);
    EXPECT_FALSE(spool.done(sheet_work));
    opener.join();
    spool.wait();
    EXPECT_EQ(kept[1].size, 5u);
}

TEST(package, spooled_parts_go_in_as_parts_added_whole) {
    std::vector<std::string> pictures;
    for (int i = 0; i < 120; ++i) {
        pictures.push_back(std::string(static_cast<std::size_t>(500 + 37 * i), 'p') +
                           std::to_string(i * i));
    }
    std::string sheet;
    for (int i = 0; i < 20000; ++i) sheet += "<row r=\"" + std::to_string(i) + "\"/>";

    auto spool = std::make_shared<ooxml::PartSpool>();
    std::deque<ooxml::SpooledPart> kept;  // the spool fills them in where they stand
    spool->store(sheet, kept.emplace_back());
    spool->deflate(kept[0], kept.emplace_back());
    spool->store([&sheet] { return sheet; }, sheet.size(), kept.emplace_back());
    for (const std::string& p : pictures) spool->deflate(p, kept.emplace_back());
    ooxml::PackageWriter spooled(spool);
    spooled.add_stored("stored.xml", kept[0]);
    spooled.add_deflated("deflated.xml", kept[1]);
    spooled.add_stored("made.xml", kept[2]);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        spooled.add_deflated("image" + std::to_string(i) + ".emf", kept[3 + i]);
    }
    const std::string bytes = spooled.finish();

    ooxml::PackageWriter whole;
    whole.add("deflated.xml", sheet);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        whole.add("image" + std::to_string(i) + ".emf", pictures[i]);
    }
    const auto expected = test_support::stored_entries(whole.finish());
    const auto entries = test_support::stored_entries(bytes);
    ASSERT_EQ(entries.size(), 3 + pictures.size());
    for (const auto& e : expected) {
        const auto& got = test_support::find_entry(entries, e.name);
        EXPECT_TRUE(got.data == e.data && got.crc == e.crc && got.method == 8) << e.name;
    }
    for (const char* name : {"stored.xml", "made.xml"}) {
        const auto& e = test_support::find_entry(entries, name);
        EXPECT_EQ(e.method, 0) << name;
        EXPECT_TRUE(e.data == sheet) << name;
    }
    const ooxml::PackageReader back(bytes, "spooled.zip");
    EXPECT_EQ(back.read("made.xml"), sheet);  // its CRC checked
    EXPECT_EQ(back.read("image119.emf"), pictures.back());
    EXPECT_TRUE(back.stored("stored.xml"));
    EXPECT_FALSE(back.stored("deflated.xml"));
}

TEST(package_reader, damage_and_limits_name_the_part_and_the_offset) {
    const std::string bytes = sample_package();
    std::string context;

    EXPECT_EQ(
        error_number([&] { ooxml::PackageReader(bytes, "b.xlsx").read("xl/none.xml"); }, &context),
        321);
    EXPECT_EQ(context, "b.xlsx: xl/none.xml: no such part");

    EXPECT_EQ(
        error_number(
            [&] { ooxml::PackageReader(bytes, "b.xlsx", 100000).read("xl/worksheets/sheet1.xml"); },
            &context),
        321);
    EXPECT_EQ(context,
              "b.xlsx: xl/worksheets/sheet1.xml: part of 838890 bytes is larger than 100000");

    // A byte of the sheet's compressed data changed: the reader finds it, and says where.
    std::string damaged = bytes;
    const std::size_t sheet = damaged.find("xl/worksheets/sheet1.xml") + 24 + 200;
    damaged[sheet] = static_cast<char>(damaged[sheet] ^ 0x55);
    EXPECT_EQ(error_number(
                  [&] { ooxml::PackageReader(damaged, "b.xlsx").read("xl/worksheets/sheet1.xml"); },
                  &context),
              321);
    EXPECT_TRUE(context.starts_with("b.xlsx: xl/worksheets/sheet1.xml: byte ")) << context;

    EXPECT_EQ(error_number([&] { ooxml::PackageReader(bytes.substr(0, bytes.size() - 30), "t"); },
                           &context),
              321);
    EXPECT_EQ(error_number([&] { ooxml::PackageReader(std::string("not a zip"), "n"); }), 321);
    EXPECT_EQ(error_number([] { ooxml::PackageReader("/nonexistent/book.xlsx"); }, &context), 53);
    EXPECT_NE(context.find("/nonexistent/book.xlsx"), std::string::npos);
}

}  // namespace
