// The entries of a zip package as they are stored, read from its central directory by hand, so
// that tests see the compressed bytes, method and CRC libzip would hide behind its reading.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

struct StoredEntry {
    std::string name;
    std::uint16_t method = 0;
    std::uint32_t crc = 0;
    std::uint32_t size = 0;
    std::string data;        // the compressed bytes
    std::size_t offset = 0;  // where its compressed bytes start
};

inline std::uint32_t little_endian(std::string_view bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes.at(at + static_cast<std::size_t>(i)));
    }
    return value;
}

// Fails the test and gives what it found so far when the package is not a plain zip.
inline std::vector<StoredEntry> stored_entries(std::string_view zip) {
    std::vector<StoredEntry> entries;
    const std::size_t end = zip.rfind(std::string_view("PK\x05\x06", 4));
    if (end == std::string_view::npos) {
        ADD_FAILURE() << "no end of central directory";
        return entries;
    }
    const std::uint32_t count = little_endian(zip, end + 10, 2);
    std::size_t at = little_endian(zip, end + 16, 4);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (zip.substr(at, 4) != std::string_view("PK\x01\x02", 4)) {
            ADD_FAILURE() << "central header " << i << " is not where it should be";
            break;
        }
        StoredEntry e;
        e.method = static_cast<std::uint16_t>(little_endian(zip, at + 10, 2));
        e.crc = little_endian(zip, at + 16, 4);
        const std::uint32_t compressed = little_endian(zip, at + 20, 4);
        e.size = little_endian(zip, at + 24, 4);
        const std::uint32_t name_length = little_endian(zip, at + 28, 2);
        const std::uint32_t extra_length = little_endian(zip, at + 30, 2);
        const std::uint32_t comment_length = little_endian(zip, at + 32, 2);
        const std::size_t local = little_endian(zip, at + 42, 4);
        e.name = std::string(zip.substr(at + 46, name_length));
        e.offset =
            local + 30 + little_endian(zip, local + 26, 2) + little_endian(zip, local + 28, 2);
        e.data = std::string(zip.substr(e.offset, compressed));
        entries.push_back(std::move(e));
        at += 46 + name_length + extra_length + comment_length;
    }
    return entries;
}

// Fails the test and gives an empty entry when there is none of that name.
inline const StoredEntry& find_entry(const std::vector<StoredEntry>& entries,
                                     std::string_view name) {
    for (const StoredEntry& e : entries) {
        if (e.name == name) return e;
    }
    ADD_FAILURE() << "no entry " << name;
    static const StoredEntry none;
    return none;
}

}  // namespace test_support
