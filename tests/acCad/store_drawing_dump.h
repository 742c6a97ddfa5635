// The whole of what the store keeps in one drawing as text: the drawing's length unit and host
// units, the version record, the entries of "CAEP_DICT" and its sub-dictionaries, the control's
// id lists, every model with its members, every set, case and case entry, and the stand-in
// entities. Two drawings that hold the same store dump the same.
#pragma once

#include <string>

class AcApDocument;

// With `liveOnly`, erased objects and the ids naming them are left out: what a DXF file carries.
std::string dumpStoredDrawing(AcApDocument* document, bool liveOnly);
