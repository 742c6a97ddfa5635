// The resource compiler's work, callable on text in memory (the rescomp program, tests and fuzz
// targets share it).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kestrum/result.h"
#include "mfc/resource_module.h"

namespace kestrum::res {

// Parses one resource source held in memory into `module`. A mistake comes back as a Problem
// naming `origin` and the line; `module` may then hold part of the source and should be dropped.
Status ParseResourceText(std::string_view text, const std::string& origin, mfc::ResourceModule& module);

// One source: its name (for messages) and its text.
using ResourceSource = std::pair<std::string, std::string>;

// Checks every source alone (for its own line numbers) and then together (ids defined twice
// across sources), and answers the combined module.
Result<mfc::ResourceModule> CompileResourceSources(const std::vector<ResourceSource>& sources);

// A C++ header that names every symbolic id of `module` (its NAME lines): ids that fit an int
// as int constants, wider codes (messages) as 32-bit unsigned ones.
std::string ResourceIdHeader(const mfc::ResourceModule& module);

}  // namespace kestrum::res
