// Whole files: a work file just written is read from memory only while the disk still holds it
// as written, and a mapped file reads the same after giving back what it had read.
#include "base/whole_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "base/run_time_error.h"
#include "tests/platform/os/scratch_folder.h"

namespace {

using test_support::ScratchFolder;

int load_error(const std::filesystem::path& file) {
    try {
        base::load_file(file);
    } catch (const base::RunTimeError& e) {
        return e.number();
    }
    return 0;
}

TEST(whole_file, a_work_file_just_written_reads_as_the_disk_holds_it) {
    ScratchFolder folder;
    const auto file = folder.path() / "1.emf";
    base::replace_file(file, std::string_view("drawn"), base::Durability::renamed);
    EXPECT_EQ(base::load_file(file), "drawn");
    EXPECT_EQ(base::load_file(file), "drawn");  // handed out once, then read from the disk

    // Changed on the disk by someone else after it was written: the disk wins.
    base::replace_file(file, std::string_view("drawn again"), base::Durability::renamed);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << "changed";
    EXPECT_EQ(base::load_file(file), "changed");

    // Replaced under the same name by another writer, or removed.
    base::replace_file(file, std::string_view("third"), base::Durability::renamed);
    const auto other = folder.path() / "other";
    std::ofstream(other, std::ios::binary) << "fourth";
    std::filesystem::rename(other, file);
    EXPECT_EQ(base::load_file(file), "fourth");
    base::replace_file(file, std::string_view("fifth"), base::Durability::renamed);
    std::filesystem::remove(file);
    EXPECT_EQ(load_error(file), 53);

    // A document the user keeps is written as ever and read from the disk.
    base::replace_file(file, std::string_view("document"));
    EXPECT_EQ(base::load_file(file), "document");
}

TEST(whole_file, a_mapped_file_reads_the_same_after_giving_back_what_it_read) {
    ScratchFolder folder;
    std::string bytes;
    for (int i = 0; bytes.size() < 50000; ++i) bytes += "PAGE," + std::to_string(i) + "\r\n";
    const auto file = folder.file("PRN_CHAR", bytes);
    base::MappedFile mapped(file);
    EXPECT_EQ(mapped.bytes(), bytes);
    mapped.release_before(20000);
    mapped.release_before(10000);  // already given back
    EXPECT_EQ(mapped.bytes(), bytes);
    mapped.release_all();
    mapped.release_before(bytes.size() + 100);
    EXPECT_EQ(mapped.bytes(), bytes);

    EXPECT_EQ(base::MappedFile(folder.file("empty", "")).bytes(), "");
    try {
        base::MappedFile missing(folder.path() / "PRN_PICT");
        FAIL();
    } catch (const base::RunTimeError& e) {
        EXPECT_EQ(e.number(), 53);
    }
}

}  // namespace
