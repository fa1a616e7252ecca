// Parts copied from a package being read into one being written, still compressed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>

#include <string>
#include <vector>

#include "base/run_time_error.h"
#include "platform/ooxml/package_reader.h"
#include "platform/ooxml/package_writer.h"
#include "tests/platform/ooxml/zip_entries.h"
#include "tests/platform/os/scratch_folder.h"

namespace {

using test_support::find_entry;
using test_support::ScratchFolder;
using test_support::stored_entries;

struct SourcePart {
    std::string name;
    std::string bytes;
    zip_int32_t method;
    zip_uint32_t level;
};

// Made by libzip itself, with methods and levels our writer never chooses, so that a part
// deflated again would not come out with the same bytes.
std::string libzip_package(const std::vector<SourcePart>& parts) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(buffer);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    EXPECT_NE(archive, nullptr);
    for (const SourcePart& p : parts) {
        const zip_int64_t index =
            zip_file_add(archive, p.name.c_str(),
                         zip_source_buffer(archive, p.bytes.data(), p.bytes.size(), 0), 0);
        EXPECT_GE(index, 0);
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), p.method, p.level);
    }
    EXPECT_EQ(zip_close(archive), 0);
    zip_stat_t st;
    zip_source_stat(buffer, &st);
    std::string bytes(st.size, '\0');
    zip_source_open(buffer);
    EXPECT_EQ(zip_source_read(buffer, bytes.data(), st.size), static_cast<zip_int64_t>(st.size));
    zip_source_close(buffer);
    zip_source_free(buffer);
    zip_error_fini(&error);
    return bytes;
}

std::string sheet_rows() {
    std::string xml = "<worksheet><sheetData>";
    for (int r = 1; r <= 3000; ++r) {
        xml += "<row r=\"" + std::to_string(r) + "\"><c r=\"A" + std::to_string(r) +
               "\" t=\"s\"><v>" + std::to_string(r * 7 % 113) + "</v></c></row>";
    }
    return xml + "</sheetData></worksheet>";
}

std::string picture_bytes() {
    std::string bytes;
    unsigned state = 12345;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1103515245 + 12345;
        bytes.push_back(static_cast<char>(state >> 16));
    }
    return bytes;
}

const std::vector<SourcePart>& source_parts() {
    static const std::vector<SourcePart> parts{
        {"[Content_Types].xml", "<Types/>", ZIP_CM_DEFLATE, 6},
        {"xl/worksheets/sheet1.xml", sheet_rows(), ZIP_CM_DEFLATE, 1},
        {"xl/media/image1.png", picture_bytes(), ZIP_CM_STORE, 0},
        {"docProps/app.xml", "<Properties>" + std::string(500, ' ') + "</Properties>",
         ZIP_CM_DEFLATE, 9},
        {"xl/empty.bin", "", ZIP_CM_STORE, 0},
    };
    return parts;
}

// The source's parts, with a new workbook.xml between them, in the source's order.
void copy_all_but_workbook(ooxml::PackageWriter& writer, const ooxml::PackageReader& source) {
    for (const std::string& name : source.part_names()) {
        if (name == "docProps/app.xml") writer.add("xl/workbook.xml", "<workbook/>");
        writer.add_copy(source, name);
    }
}

bool stored_alike(const test_support::StoredEntry& a, const test_support::StoredEntry& b) {
    return a.method == b.method && a.crc == b.crc && a.size == b.size && a.data == b.data;
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

std::size_t files_in(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(package_copy, copied_parts_keep_their_stored_bytes_and_read_back_whole) {
    const std::string source_bytes = libzip_package(source_parts());
    const ooxml::PackageReader source(source_bytes, "source.xlsx");
    ooxml::PackageWriter writer;
    copy_all_but_workbook(writer, source);
    const std::string out = writer.finish();

    const auto before = stored_entries(source_bytes);
    const auto after = stored_entries(out);
    ASSERT_EQ(after.size(), before.size() + 1);
    for (const auto& original : before) {
        EXPECT_TRUE(stored_alike(find_entry(after, original.name), original)) << original.name;
    }
    EXPECT_EQ(find_entry(after, "xl/media/image1.png").method, ZIP_CM_STORE);
    EXPECT_EQ(find_entry(after, "xl/workbook.xml").method, ZIP_CM_DEFLATE);

    const ooxml::PackageReader back(out, "out.xlsx");
    EXPECT_EQ(back.part_names(),
              (std::vector<std::string>{"[Content_Types].xml", "xl/worksheets/sheet1.xml",
                                        "xl/media/image1.png", "xl/workbook.xml",
                                        "docProps/app.xml", "xl/empty.bin"}));
    for (const SourcePart& p : source_parts()) EXPECT_EQ(back.read(p.name), p.bytes) << p.name;
    EXPECT_EQ(back.read("xl/workbook.xml"), "<workbook/>");

    // The same parts give the same bytes, in memory or in a file.
    ScratchFolder folder;
    ooxml::PackageWriter again(folder.path() / "out.xlsx");
    copy_all_but_workbook(again, source);
    again.commit();
    EXPECT_EQ(test_support::read_bytes(folder.path() / "out.xlsx"), out);
}

TEST(package_copy, rewritten_over_the_file_it_is_copied_from_twice) {
    ScratchFolder folder;
    const auto file = folder.file("book.xlsx", libzip_package(source_parts()));
    struct stat opened;
    ASSERT_EQ(::stat(file.c_str(), &opened), 0);
    const ooxml::PackageReader source(file);
    for (int round = 0; round < 2; ++round) {
        ooxml::PackageWriter writer(file);
        copy_all_but_workbook(writer, source);
        writer.commit();
        const ooxml::PackageReader back(file);
        for (const SourcePart& p : source_parts()) EXPECT_EQ(back.read(p.name), p.bytes);
        EXPECT_EQ(back.read("xl/workbook.xml"), "<workbook/>");
    }
    // A new file took the name; the reader still reads the one it opened.
    struct stat now;
    ASSERT_EQ(::stat(file.c_str(), &now), 0);
    EXPECT_NE(now.st_ino, opened.st_ino);
    EXPECT_EQ(source.read("xl/media/image1.png"), picture_bytes());
    EXPECT_EQ(files_in(folder.path()), 1u);
}

TEST(package_copy, a_damaged_part_stops_the_package_and_leaves_no_file) {
    const std::string good = libzip_package(source_parts());
    const auto entries = stored_entries(good);
    ScratchFolder folder;
    const auto out = folder.path() / "out.xlsx";
    std::string context;

    // A changed byte of deflated data, and of stored data.
    const struct {
        std::string part;
        std::size_t at;
    } damages[] = {
        {"xl/worksheets/sheet1.xml", find_entry(entries, "xl/worksheets/sheet1.xml").offset + 40},
        {"xl/media/image1.png", find_entry(entries, "xl/media/image1.png").offset + 7000},
    };
    for (const auto& damage : damages) {
        std::string bytes = good;
        bytes[damage.at] = static_cast<char>(bytes[damage.at] ^ 0x21);
        const ooxml::PackageReader source(bytes, "source.xlsx");
        EXPECT_EQ(error_number(
                      [&] {
                          ooxml::PackageWriter writer(out);
                          copy_all_but_workbook(writer, source);
                          writer.commit();
                      },
                      &context),
                  321)
            << damage.at;
        EXPECT_TRUE(context.starts_with("source.xlsx: " + damage.part + ": ")) << context;
        EXPECT_EQ(files_in(folder.path()), 0u) << damage.at;

        EXPECT_EQ(error_number([&] {
                      ooxml::PackageWriter in_memory;
                      copy_all_but_workbook(in_memory, source);
                      in_memory.finish();
                  }),
                  321)
            << damage.at;
    }

    const ooxml::PackageReader source(good, "source.xlsx");
    ooxml::PackageWriter writer;
    EXPECT_EQ(error_number([&] { writer.add_copy(source, "xl/none.xml"); }, &context), 321);
    EXPECT_EQ(context, "source.xlsx: xl/none.xml: no such part");
}

}  // namespace
