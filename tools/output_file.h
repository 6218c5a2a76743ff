// Writes one output file so that nothing is lost or left half-written:
//
// - a symbolic link is followed, and its target written;
// - an existing FIFO, device or socket is written straight into, never
//   replaced (so "-o /dev/stdout" works and "-o /dev/null" stays a device);
// - a regular file is written under a temporary name beside it and renamed
//   into place, so a failed or interrupted run leaves the old file whole;
// - a folder, a missing parent folder or a failed write is a RunError that
//   names the file and the reason.
// The file is noted in the RunRecord as written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zanhost::cli {

void WriteOutputFile(const std::string &path, const std::vector<uint8_t> &bytes);

// `path` in double quotes, for messages.
std::string Quoted(const std::string &path);

}  // namespace zanhost::cli
