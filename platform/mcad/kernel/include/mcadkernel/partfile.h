// Part files and assembly files: small line-oriented text files.
//
// A part file holds one line per parameter and per feature, in order:
//
//   # a comment line; a '#' after a blank also starts a comment
//   part plate
//   param L = 100
//   param W = L/2
//   box body corner=(0, 0, 0) size=(L, W, 10)
//   box slot op=cut corner=(L/2 - 5, 0, 5) size=(10, W, 5)
//   cylinder boss base=(20, 20, 10) axis=(0, 0, 1) radius=6 height=8
//   extrude rib plane=xy offset=10 height=4 start=(0, 0) line=(30, 0) arc=(40, 10, 30, 20) line=(0, 0)
//   hole h1 at=(80, W/2, 10) direction=(0, 0, -1) diameter=8             # through all
//   hole h2 at=(10, 40, 10) direction=(0, 0, -1) diameter=4 depth=3       # blind
//   fillet r1 radius=2 edges=(body/right|body/top#2)                      # the slot split the top
//
// The first line that is not blank or a comment is "part NAME". A feature line is its keyword, its
// name and key=value fields separated by blanks. A value is an expression without blanks, or a
// parenthesised list of expressions separated by commas (a single expression in parentheses may hold
// blanks). op is union (the default) or cut. An extrusion's profile is its start followed by line=(u,v)
// and arc=(through_u, through_v, end_u, end_v) segments in order; plane is xy, yz or zx.
//
// An assembly file names part files (relative to the assembly file) and places their parts:
//
//   assembly pair
//   global Gap = 5                                  # a "Designer" global parameter
//   part plate_with_hole.part
//   component left plate at=(0, 0, 0)
//   component right plate at=(100 + Gap, 0, 0) rotate=(0, 0, 1, 90)   # axis, then degrees
//
// Reading builds nothing unless the whole file is good. The parse* readers hand back a Problem
// naming the file and line (line 0 where none applies); the read* ones throw KernelError with its
// text, "<file>:<line>: <message>". No input makes a reader crash or hang: every value is checked
// and expressions are bounded in length and nesting.
#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "kestrum/result.h"

#include "mcadkernel/assembly.h"
#include "mcadkernel/part.h"

namespace mcadkernel {

// Reads and regenerates a part from text; sourceName names it in problems. globals, when given,
// must outlive the part.
kestrum::Result<std::unique_ptr<Part>> parsePart(std::string_view text, const std::string& sourceName,
                                                 const ParameterSet* globals = nullptr);
kestrum::Result<std::unique_ptr<Part>> parsePartFile(const std::filesystem::path& path,
                                                     const ParameterSet* globals = nullptr);
// Reads an assembly from text (`path` names it; the part files it names are read relative to
// its folder), or from its file.
kestrum::Result<std::unique_ptr<Assembly>> parseAssembly(std::string_view text, const std::filesystem::path& path);
kestrum::Result<std::unique_ptr<Assembly>> parseAssemblyFile(const std::filesystem::path& path);

// The same, throwing KernelError.
std::unique_ptr<Part> readPart(const std::string& text, const std::string& sourceName,
                               const ParameterSet* globals = nullptr);
std::unique_ptr<Part> readPartFile(const std::filesystem::path& path, const ParameterSet* globals = nullptr);

// Reads a part file into an assembly as a new part. The assembly is unchanged on error.
Part& loadPartFile(Assembly& assembly, const std::filesystem::path& path);

// The part file text of a part; reading it back gives the same parameters and features.
std::string partFileText(const Part& part);

// Writes partFileText atomically (temporary file, sync, rename).
void writePartFile(const Part& part, const std::filesystem::path& path);

// Reads an assembly file and the part files it names.
std::unique_ptr<Assembly> readAssemblyFile(const std::filesystem::path& path);

}  // namespace mcadkernel
