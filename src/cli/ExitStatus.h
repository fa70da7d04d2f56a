#pragma once
// kyklos-report's exit statuses, as the footer of its help states them.

namespace kyklos {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFileFailed = 1;  // a file could not be evaluated, or the output not written
inline constexpr int kExitUsage = 2;       // the command line was refused
inline constexpr int kExitVerdictFail = 3; // every file evaluated, and a verdict was "Fail"
// With --uncertainty, the decision replaces the verdict: 3 when a profile
// does not conform, else 4 when one is undecided.
inline constexpr int kExitUndecided = 4;

} // namespace kyklos
