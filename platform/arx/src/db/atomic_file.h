// Whole-file reading and atomic whole-file writing, shared by the drawing and DXF writers.
#pragma once

#include <string>

#include "kestrum/atomic_file.h"

// Writing is the platform's shared atomic writer.
using kestrum::writeFileAtomically;

// Reads a whole file; false (with `error` set) when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string* data, std::string* error);
