// Writing a whole file so that it holds either its old contents or all of the new ones, never a
// mix, even if the program or the machine stops half-way: drawings, configuration, material
// libraries, part files, reports and the resource library are all written this way.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace kestrum {

// Writes `data` to an unnamed temporary file in the target's folder (a hidden named one,
// ".NAME.XXXXXX", where the file system has no unnamed files), syncs it, renames it over `path`
// and syncs the folder. A replaced file keeps its permissions; a new one gets the usual ones (the
// process umask, read once, applied). Named temporaries of `path` older than this call, left by a
// save that was killed, are removed. On failure the target is untouched, the temporary file is
// removed, `error` (when given) says what went wrong, and false is returned.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view data, std::string* error = nullptr);

// Writes the file's contents into an open file: true when every byte was written. It may write
// at any offset (pwrite), and is called a second time, on a fresh file, when the file system
// turns out to have no unnamed temporary files.
using FileWriter = std::function<bool(int fd)>;
// The same steps as above, for contents made while they are written (a file too large to be
// held whole in memory). A writer that answers false fails the call.
bool writeFileAtomically(const std::filesystem::path& path, const FileWriter& write, std::string* error = nullptr);

// Writes all of `data` at the file's position, retrying short writes; false on an error (errno).
bool writeAllTo(int fd, std::string_view data);

}  // namespace kestrum
