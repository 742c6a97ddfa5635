// Faces of a body chosen by a selector of the study format: a face index, "x=min" ... "z=max"
// or "curved" (see Study.h). Names of a part's faces are resolved by the study itself.
#pragma once

#include <TopoDS_Shape.hxx>

#include <string_view>
#include <vector>

#include "kestrum/result.h"

namespace study {

// The largest face index a study may name; larger ones are refused while reading the file.
inline constexpr int kMaxFaceIndex = 1000000;

// True when `selector` is a face index, an extreme selector or "curved".
bool IsShapeSelector(std::string_view selector);

// The TopExp indexes (1-based) of the faces `selector` names on `shape`; a Problem (without a file)
// when it names none.
kestrum::Result<std::vector<int>> SelectFaces(const TopoDS_Shape& shape, std::string_view selector);

}  // namespace study
