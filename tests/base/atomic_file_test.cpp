#include "base/atomic_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "base/run_time_error.h"
#include "base/system_error.h"
#include "base/whole_file.h"
#include "tests/platform/os/scratch_folder.h"

namespace {

using base::ErrorNumber;
using test_support::ScratchFolder;

std::size_t entries(const std::filesystem::path& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

// The number a failed replace_file gives, checking that its context names the destination.
int replace_error(const std::filesystem::path& file) {
    try {
        base::replace_file(file, std::string_view("x"));
    } catch (const base::RunTimeError& e) {
        EXPECT_NE(e.context().find(file.filename().string()), std::string::npos) << e.context();
        EXPECT_EQ(e.description(), base::standard_description(ErrorNumber(e.number())));
        return e.number();
    }
    ADD_FAILURE() << "no error for " << file;
    return 0;
}

TEST(atomic_file, replaces_the_whole_file_and_leaves_nothing_else) {
    ScratchFolder folder;
    const auto file = folder.file("out.bin", std::string(100000, 'o'));
    base::replace_file(file, std::string_view("new"));
    EXPECT_EQ(base::load_file(file), "new");
    EXPECT_EQ(entries(folder.path()), 1u);
}

TEST(atomic_file, header_filled_in_after_its_data) {
    ScratchFolder folder;
    const auto file = folder.path() / "out.bin";
    base::AtomicFile out(file);
    out.write("....data");
    EXPECT_EQ(out.size(), 8u);
    out.seek(0);
    out.write("HEAD");
    EXPECT_EQ(out.position(), 4u);
    EXPECT_EQ(out.size(), 8u);
    out.commit();
    EXPECT_EQ(base::load_file(file), "HEADdata");
}

TEST(atomic_file, without_commit_the_old_file_stays_and_the_temporary_goes) {
    ScratchFolder folder;
    const auto file = folder.file("out.bin", "old");
    {
        base::AtomicFile out(file);
        out.write("half of the new");
    }
    EXPECT_EQ(base::load_file(file), "old");
    EXPECT_EQ(entries(folder.path()), 1u);
}

TEST(atomic_file, every_writer_numbers_system_errors_alike) {
    ScratchFolder folder;
    EXPECT_EQ(replace_error(folder.path() / "missing" / "out.bin"), 76);
    std::filesystem::create_directory(folder.path() / "folder");
    EXPECT_EQ(replace_error(folder.path() / "folder"), 75);
    EXPECT_EQ(replace_error(folder.path() / std::string(300, 'n')), 75);
    const auto plain = folder.file("plain", "");
    EXPECT_EQ(replace_error(plain / "out.bin"), 76);
    if (::geteuid() != 0) {
        std::filesystem::create_directory(folder.path() / "locked");
        std::filesystem::permissions(
            folder.path() / "locked",
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        EXPECT_EQ(replace_error(folder.path() / "locked" / "out.bin"), 70);
    }
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder.path())) {
        EXPECT_FALSE(e.path().filename().string().starts_with(".")) << e.path();
    }
}

TEST(atomic_file, temporary_files_can_be_removed_from_a_signal_handler) {
    ScratchFolder folder;
    const auto file = folder.file("Book1.xlsx", "earlier");
    {
        base::AtomicFile out(file);
        out.write("half of it");
        base::AtomicFile other(folder.path() / "PRN_XLS");
        EXPECT_EQ(entries(folder.path()), 3u);
        base::remove_temporary_files();
        EXPECT_EQ(entries(folder.path()), 1u);
    }
    EXPECT_EQ(test_support::read_bytes(file), "earlier");
    // A committed file is no temporary one any more.
    base::replace_file(file, std::string_view("new"));
    base::remove_temporary_files();
    EXPECT_EQ(test_support::read_bytes(file), "new");
}

TEST(whole_file, removing_leaves_folders_alone_and_names_what_is_in_the_way) {
    ScratchFolder folder;
    const auto file = folder.file("1.emf", "earlier run");
    base::remove_file(file);
    EXPECT_FALSE(std::filesystem::exists(file));
    base::remove_file(file);  // nothing there: nothing to do
    std::filesystem::create_directories(folder.path() / "2.emf" / "kept");
    try {
        base::remove_file(folder.path() / "2.emf");
        ADD_FAILURE() << "no error";
    } catch (const base::RunTimeError& e) {
        EXPECT_EQ(e.number(), static_cast<int>(ErrorNumber::path_file_access));
        EXPECT_NE(e.context().find((folder.path() / "2.emf").string()), std::string::npos);
    }
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "2.emf" / "kept"));

    EXPECT_EQ(base::path_kind(folder.path()), base::PathKind::folder);
    EXPECT_EQ(base::path_kind(folder.path() / "x"), base::PathKind::missing);
    std::filesystem::create_symlink("loop", folder.path() / "loop");
    EXPECT_THROW(base::path_kind(folder.path() / "loop" / "x"), base::RunTimeError);
}

TEST(system_error, missing_file_depends_on_reading_or_writing) {
    using base::FileAccess;
    EXPECT_EQ(base::error_number_for(ENOENT, FileAccess::read), ErrorNumber::file_not_found);
    EXPECT_EQ(base::error_number_for(ENOENT, FileAccess::write), ErrorNumber::path_not_found);
    EXPECT_EQ(base::error_number_for(ENOSPC, FileAccess::write), ErrorNumber::device_io);
    try {
        base::load_file("/nonexistent/PRN_CHAR");
        FAIL();
    } catch (const base::RunTimeError& e) {
        EXPECT_EQ(e.number(), 53);
        EXPECT_NE(e.context().find("/nonexistent/PRN_CHAR"), std::string::npos);
    }
}

}  // namespace
