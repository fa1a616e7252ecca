// The run-time errors Word's automation interface raises, as a Japanese Word words them.
#pragma once

#include <string>

#include "base/run_time_error.h"

namespace word::detail {

// "The requested member of the collection does not exist" (an index out of range).
[[noreturn]] void throw_no_member(const std::string& context);
// A property value Word refuses.
[[noreturn]] void throw_out_of_range(const std::string& context);
// A call on a document, range or table that no longer exists, or an unsupported request.
[[noreturn]] void throw_invalid(const std::string& context);

}  // namespace word::detail
