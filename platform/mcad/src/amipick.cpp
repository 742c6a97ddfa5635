#include "mcad/amipick.h"

#include <BRepBndLib.hxx>
#include <BRepBuilderAPI_MakeVertex.hxx>
#include <BRepExtrema_DistShapeShape.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS_Vertex.hxx>
#include <gp_Pnt.hxx>

#include <cmath>
#include <limits>
#include <locale>
#include <optional>
#include <sstream>
#include <vector>

#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/hostinput.h"
#include "mcad/amiparam.h"
#include "mcad/amipart.h"

namespace {

AcDbDatabase* currentDatabase() {
  AcApDocument* doc = acDocManagerPtr()->curDocument();
  return doc ? doc->database() : nullptr;
}

const char* kindWord(Ami::KeyType type) {
  switch (type) {
    case Ami::kFaceKey: return "face";
    case Ami::kEdgeKey: return "edge";
    case Ami::kVertexKey: return "vertex";
    case Ami::kParamKey: return "parameter";
    case Ami::kBodyKey: return "body";
    default: return "geometry";
  }
}

Ami::KeyType kindOfShape(const TopoDS_Shape& shape) {
  switch (shape.ShapeType()) {
    case TopAbs_FACE: return Ami::kFaceKey;
    case TopAbs_EDGE: return Ami::kEdgeKey;
    case TopAbs_VERTEX: return Ami::kVertexKey;
    default: return Ami::kBodyKey;
  }
}

bool isGeometry(Ami::KeyType type) { return type == Ami::kFaceKey || type == Ami::kEdgeKey || type == Ami::kVertexKey; }

bool isPartLevel(Ami::KeyType type) { return type == Ami::kBodyKey || type == Ami::kPartKey || type == Ami::kCompKey; }

// Whether a pick of `picked` answers a request for `asked`.
bool answers(Ami::KeyType asked, Ami::KeyType picked) {
  if (asked == picked) return true;
  if (asked == Ami::kAnyKey || isPartLevel(asked)) return isGeometry(picked);
  return false;
}

// "x,y,z" or "x,y" in the "C" locale.
bool parsePoint(const std::string& text, AcGePoint3d& point) {
  std::istringstream in(text);
  in.imbue(std::locale::classic());
  double values[3] = {0, 0, 0};
  int count = 0;
  while (count < 3 && in >> values[count]) {
    ++count;
    char comma = 0;
    if (!(in >> comma)) break;
    if (comma != ',') return false;
  }
  in >> std::ws;
  if (count < 2 || !in.eof()) return false;
  point = AcGePoint3d(values[0], values[1], values[2]);
  return true;
}

TopAbs_ShapeEnum searchedShape(Ami::KeyType type) {
  switch (type) {
    case Ami::kEdgeKey: return TopAbs_EDGE;
    case Ami::kVertexKey: return TopAbs_VERTEX;
    default: return TopAbs_FACE;
  }
}

struct Candidate {
  double distance = std::numeric_limits<double>::max();
  AcDbObjectId part;
  std::string name;
};

// The nearest subentity of one part, when it lies within 1% of the part's size.
void searchPart(AcDbObjectId id, const TopoDS_Vertex& probe, TopAbs_ShapeEnum shapeType, Candidate& best) {
  AmiPartEntity* entity = nullptr;
  if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk) return;
  const TopoDS_Shape* solid = entity->brepShape();
  if (solid) {
    Bnd_Box box;
    BRepBndLib::Add(*solid, box);
    double tolerance = 0.01 * std::sqrt(box.SquareExtent());
    box.Enlarge(tolerance);
    if (!box.IsOut(BRep_Tool::Pnt(probe))) {
      TopTools_IndexedMapOfShape map;
      TopExp::MapShapes(*solid, shapeType, map);
      for (int i = 1; i <= map.Extent(); ++i) {
        BRepExtrema_DistShapeShape distance(probe, map(i));
        if (!distance.IsDone() || distance.Value() > tolerance || distance.Value() >= best.distance) continue;
        best.distance = distance.Value();
        best.part = id;
        best.name = entity->nameOf(map(i));
      }
    }
  }
  entity->close();
}

}  // namespace

void AmiPickObj::set(Ami::KeyType type, AcDbObjectId part, std::string name, const AcGePoint3d& point) {
  type_ = type;
  part_ = part;
  name_ = std::move(name);
  point_ = point;
}

AmiStatus amiPickByName(const std::string& name, Ami::KeyType keyType, AmiPickObj& pick, std::string& why) {
  AcDbDatabase* db = currentDatabase();
  if (!db) {
    why = "No drawing is open.";
    return Ami::eNoDocument;
  }
  if (keyType == Ami::kParamKey) {
    AmiParamKey* key = nullptr;
    if (amiFindParam(name.c_str(), key) != Ami::eOk) {
      why = "No parameter named " + name + ".";
      return Ami::eNotFound;
    }
    pick.set(Ami::kParamKey, key->partId(), key->name());
    delete key;
    return Ami::eOk;
  }
  std::size_t slash = name.find('/');
  std::string component = name.substr(0, slash);
  AcDbObjectId part = mcadFindComponent(db, component);
  if (part.isNull()) {
    why = "No part named " + component + " in the drawing.";
    return Ami::eNotFound;
  }
  if (slash == std::string::npos) {
    if (!isPartLevel(keyType)) {
      why = name + " is a part, not a " + std::string(kindWord(keyType)) + ".";
      return Ami::eWrongKeyType;
    }
    pick.set(Ami::kBodyKey, part, "");
    return Ami::eOk;
  }
  std::string inPart = name.substr(slash + 1);
  AmiPartEntity* entity = nullptr;
  if (acdbOpenObject(entity, part, AcDb::kForRead) != Acad::eOk) {
    why = "Part " + component + " cannot be read now.";
    return Ami::eNotFound;
  }
  TopoDS_Shape shape = entity->resolve(inPart);
  entity->close();
  if (shape.IsNull()) {
    why = "Part " + component + " has no face, edge or vertex named " + inPart + ".";
    return Ami::eNotFound;
  }
  Ami::KeyType picked = kindOfShape(shape);
  if (!answers(keyType, picked)) {
    why = name + " is a " + std::string(kindWord(picked)) + ", not a " + kindWord(keyType) + ".";
    return Ami::eWrongKeyType;
  }
  pick.set(picked, part, inPart);
  return Ami::eOk;
}

AmiStatus amiPickAtPoint(const AcGePoint3d& point, Ami::KeyType keyType, AmiPickObj& pick, std::string& why) {
  AcDbDatabase* db = currentDatabase();
  if (!db) {
    why = "No drawing is open.";
    return Ami::eNoDocument;
  }
  if (keyType == Ami::kParamKey) {
    why = "Select a parameter by its name.";
    return Ami::eFailedPick;
  }
  TopoDS_Vertex probe = BRepBuilderAPI_MakeVertex(gp_Pnt(point.x, point.y, point.z));
  Candidate best;
  for (AcDbObjectId id : mcadPartIds(db)) searchPart(id, probe, searchedShape(keyType), best);
  if (best.part.isNull()) {
    why = std::string("No ") + kindWord(keyType) + " of a part is near that point.";
    return Ami::eFailedPick;
  }
  if (isPartLevel(keyType))
    pick.set(Ami::kBodyKey, best.part, "", point);
  else
    pick.set(keyType == Ami::kAnyKey ? Ami::kFaceKey : keyType, best.part, best.name, point);
  return Ami::eOk;
}

namespace {

AmiStatus pickFromPath(const AcDbFullSubentPath& path, const AcGePoint3d& point, Ami::KeyType keyType, AmiPickObj& pick,
                       std::string& why) {
  AmiObjectKey* key = nullptr;
  if (amiGetKeyFromPath(path, Ami::kBodyKey, key) != Ami::eOk) {
    why = "That is not part geometry.";
    return Ami::eFailedPick;
  }
  Ami::KeyType picked = key->keyType();
  if (!answers(keyType, picked)) {
    why = std::string("That is a ") + kindWord(picked) + ", not a " + kindWord(keyType) + ".";
    delete key;
    return Ami::eFailedPick;
  }
  if (isPartLevel(keyType))
    pick.set(Ami::kBodyKey, key->objectId(), "", point);
  else
    pick.set(picked, key->objectId(), key->name(), point);
  delete key;
  return Ami::eOk;
}

std::string trimmed(const std::string& text) {
  std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

AmiStatus amiPick(const char* prompt, Ami::KeyType keyType, const void*, AmiPickObj& pick, const void*) {
  pick.clear();
  std::optional<cadhost::InputItem> item = cadhost::nextInput(prompt ? prompt : "");
  if (!item || item->kind == cadhost::InputItem::kEscape) return Ami::eUserEnded;
  std::string why;
  AmiStatus status = Ami::eFailedPick;
  AcGePoint3d point;
  if (item->kind == cadhost::InputItem::kPoint) {
    status = amiPickAtPoint(AcGePoint3d(item->point[0], item->point[1], item->point[2]), keyType, pick, why);
  } else if (item->kind == cadhost::InputItem::kPick) {
    point = AcGePoint3d(item->point[0], item->point[1], item->point[2]);
    status = pickFromPath(item->path, point, keyType, pick, why);
  } else {
    std::string text = trimmed(item->text);
    if (text.empty())
      why = "Nothing was selected.";
    else if (parsePoint(text, point))
      status = amiPickAtPoint(point, keyType, pick, why);
    else
      status = amiPickByName(text, keyType, pick, why);
  }
  if (status == Ami::eOk) return Ami::eOk;
  pick.clear();
  acutPrintf("\n%s\n", why.c_str());
  return Ami::eFailedPick;
}

AmiStatus amiGetKeyFromPick(const AmiPickObj& pick, AmiKey*& key) {
  return amiGetKeyFromPick(pick, pick.pickedType(), key);
}

AmiStatus amiGetKeyFromPick(const AmiPickObj& pick, Ami::KeyType keyType, AmiKey*& key) {
  key = nullptr;
  if (pick.isEmpty()) return Ami::eBadInput;
  Ami::KeyType picked = pick.pickedType();
  if (picked == Ami::kParamKey) {
    if (keyType != Ami::kParamKey) return Ami::eWrongKeyType;
    key = new AmiParamKey(currentDatabase(), pick.partId(), pick.name());
    return Ami::eOk;
  }
  if (keyType == Ami::kBodyKey || keyType == Ami::kPartKey || keyType == Ami::kCompKey) {
    key = new AmiObjectKey(keyType, pick.partId());
    return Ami::eOk;
  }
  if (picked == Ami::kBodyKey || !(keyType == picked || keyType == Ami::kAnyKey)) return Ami::eWrongKeyType;
  key = new AmiObjectKey(picked, pick.partId(), pick.name());
  return Ami::eOk;
}

AmiStatus amiGetGeomKey(Ami::KeyType keyType, int which, AmiObjectKey*& key, const AmiPickObj& pick,
                        const AmiPickObj*) {
  key = nullptr;
  if (which != 1 || !isGeometry(keyType)) return Ami::eBadInput;
  AmiKey* found = nullptr;
  AmiStatus status = amiGetKeyFromPick(pick, keyType, found);
  key = static_cast<AmiObjectKey*>(found);
  return status;
}

std::string amiKeyName(const AmiKey* key) {
  std::string scope;
  std::string name;
  AcDbObjectId part;
  if (const auto* objectKey = dynamic_cast<const AmiObjectKey*>(key)) {
    part = objectKey->objectId();
    name = objectKey->name();
  } else if (const auto* paramKey = dynamic_cast<const AmiParamKey*>(key)) {
    if (paramKey->isGlobal()) return paramKey->name();
    part = paramKey->partId();
    name = paramKey->name();
  } else {
    return {};
  }
  AmiPartEntity* entity = nullptr;
  if (acdbOpenObject(entity, part, AcDb::kForRead, true) != Acad::eOk) return {};
  scope = entity->componentName();
  entity->close();
  return name.empty() ? scope : scope + "/" + name;
}
