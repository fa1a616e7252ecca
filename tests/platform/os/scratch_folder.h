#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace os_test {

class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "os-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~ScratchFolder() { std::filesystem::remove_all(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

    std::filesystem::path file(const std::string& name, const std::string& bytes,
                               mode_t mode = 0644) const {
        const auto file = path_ / name;
        std::ofstream(file, std::ios::binary) << bytes;
        chmod(file.c_str(), mode);
        return file;
    }

  private:
    std::filesystem::path path_;
};

}  // namespace os_test
