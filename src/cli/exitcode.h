#pragma once

// The exit statuses of the command line, for scripts.
namespace ExitCode {
inline constexpr int success = 0;
// The command ran and failed: a feed could not be found, added, read or saved.
inline constexpr int failure = 1;
// The command line itself was wrong.
inline constexpr int usage = 2;
} // namespace ExitCode
