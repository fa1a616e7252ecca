// A failed library call on its way out: the report library's error number and what failed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace xlsreport::detail {

struct ReportFailure {
    std::int32_t number;
    std::string what;
};

[[noreturn]] inline void fail(std::int32_t number, std::string what) {
    throw ReportFailure{number, std::move(what)};
}

// The library's short text for its error numbers (UTF-8); "" for a number it does not use.
std::string_view report_error_text(std::int32_t number) noexcept;

}  // namespace xlsreport::detail
