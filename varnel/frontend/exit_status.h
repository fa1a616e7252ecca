// What the program's exit status tells the caller.
#pragma once

namespace frontend {

inline constexpr int exit_converted = 0;
inline constexpr int exit_failed = 1;   // the reason was shown
inline constexpr int exit_refused = 2;  // cancelled, or the choices were refused
// Saved, but part of the report was left out or changed; the warnings said what.
inline constexpr int exit_converted_with_warnings = 3;

}  // namespace frontend
