// Picks on the host's command line, and keys by name.
//
// amiPick asks the host's input for one item and answers:
//   - a point ("50,10,10", or a point given by a pointing device): the nearest subentity of the
//     asked kind of any part in the current drawing, if one lies within 1% of that part's size;
//   - a key name ("plate/hole1/side", "plate" for the component's body; for parameters
//     "plate/L" or a global's name "Lift");
//   - a subentity pick of a part entity (its full subentity path);
//   - ESC or the end of input: eUserEnded (2026).
// Anything that gives no subentity of the asked kind is a failed pick (eFailedPick, 2025) with a
// message on the command line saying why; the caller may ask again.
//
// Asked kinds: kFaceKey, kEdgeKey, kVertexKey; kAnyKey (a point gives the nearest face);
// kBodyKey, kPartKey, kCompKey (the part hit; the key from the pick is of the asked type);
// kParamKey (names only).
#pragma once

#include <string>

#include "arx/gebasic.h"
#include "mcad/amikey.h"

class AmiPickObj {
 public:
  bool isEmpty() const { return type_ == Ami::kAnyKey; }
  // What was picked: a geometry kind, kBodyKey, or kParamKey.
  Ami::KeyType pickedType() const { return type_; }
  AcDbObjectId partId() const { return part_; }
  // The subentity's name in its part, or the parameter's name; empty for a body.
  const std::string& name() const { return name_; }
  // The point given (for picks by name: the origin).
  const AcGePoint3d& point() const { return point_; }
  void set(Ami::KeyType type, AcDbObjectId part, std::string name, const AcGePoint3d& point = {});
  void clear() { *this = AmiPickObj(); }

 private:
  Ami::KeyType type_ = Ami::kAnyKey;
  AcDbObjectId part_;
  std::string name_;
  AcGePoint3d point_;
};

// Prompts and waits for a pick of `keyType` (see above). filter and options are not used.
AmiStatus amiPick(const char* prompt, Ami::KeyType keyType, const void* filter, AmiPickObj& pick,
                  const void* options = nullptr);
// The key of what was picked; with a key type, a key of that type: the picked subentity's key for
// its own kind or kAnyKey, the body, part or component key of its part, or eWrongKeyType.
AmiStatus amiGetKeyFromPick(const AmiPickObj& pick, AmiKey*& key);
AmiStatus amiGetKeyFromPick(const AmiPickObj& pick, Ami::KeyType keyType, AmiKey*& key);
// A geometry key of `keyType` from a pick (which: 1, the first pick; the second pick is not used).
AmiStatus amiGetGeomKey(Ami::KeyType keyType, int which, AmiObjectKey*& key, const AmiPickObj& pick,
                        const AmiPickObj* second = nullptr);

// The pick a key name gives in the current drawing (eNotFound with a message in `why` when it gives
// none, eWrongKeyType when it names another kind of thing).
AmiStatus amiPickByName(const std::string& name, Ami::KeyType keyType, AmiPickObj& pick, std::string& why);
// The nearest subentity of `keyType` to a point (eFailedPick with `why` when nothing is close).
AmiStatus amiPickAtPoint(const AcGePoint3d& point, Ami::KeyType keyType, AmiPickObj& pick, std::string& why);
// A key's text name ("plate/hole1/side", "plate", "plate/L", "Lift"); empty for a null or unknown key.
std::string amiKeyName(const AmiKey* key);
