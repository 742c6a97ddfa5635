// Whole-file reading and atomic whole-file writing, shared by the drawing and DXF writers.
#pragma once

#include <string>

// Writes `data` to a temporary file in the target's folder, syncs it, renames it over `path` and
// syncs the folder, so that `path` holds either its old contents or all of `data`. On failure the
// temporary file is removed, `error` says what went wrong, and false is returned.
bool writeFileAtomically(const std::string& path, const std::string& data, std::string* error);

// Reads a whole file; false (with `error` set) when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string* data, std::string* error);
