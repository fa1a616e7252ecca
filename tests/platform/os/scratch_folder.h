// A folder of its own for each test, removed afterwards, with helpers for its files.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

namespace test_support {

class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vs-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~ScratchFolder() { std::filesystem::remove_all(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

    std::filesystem::path file(const std::string& name, const std::string& bytes,
                               mode_t mode = 0644) const {
        return write_file(path_ / name, bytes, mode);
    }

    static std::filesystem::path write_file(const std::filesystem::path& file,
                                            const std::string& bytes, mode_t mode = 0644) {
        std::ofstream(file, std::ios::binary) << bytes;
        chmod(file.c_str(), mode);
        return file;
    }

  private:
    std::filesystem::path path_;
};

inline std::string read_bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

}  // namespace test_support
