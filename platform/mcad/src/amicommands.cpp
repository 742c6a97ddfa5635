#include "amicommands.h"

#include <BRepAdaptor_Surface.hxx>
#include <BRepGProp.hxx>
#include <BRep_Tool.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>

#include <filesystem>
#include <string>
#include <vector>

#include "arx/acdocman.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/adscodes.h"
#include "arx/hostcmds.h"
#include "mcad/amiparam.h"
#include "mcad/amipart.h"
#include "mcad/amipick.h"
#include "mcadkernel/error.h"
#include "mcadkernel/expression.h"
#include "mcadkernel/partfile.h"

namespace {

AcDbDatabase* currentDatabase() {
  AcApDocument* doc = acDocManagerPtr()->curDocument();
  return doc ? doc->database() : nullptr;
}

std::string fmt(double value) { return mcadkernel::formatNumber(std::abs(value) < 1e-9 ? 0.0 : value); }

std::string pointText(const gp_Pnt& p) { return "(" + fmt(p.X()) + ", " + fmt(p.Y()) + ", " + fmt(p.Z()) + ")"; }

// A typed answer; false when the user cancelled or gave nothing.
bool askText(const char* prompt, std::string& answer) {
  char buffer[4096] = {};
  int status = acedGetString(1, prompt, buffer, sizeof buffer);
  answer = buffer;
  return status == RTNORM && !answer.empty();
}

// A part file as typed, else from the shipped parts: "bracket", "bracket.part", "plate_and_bracket.asm".
std::filesystem::path findPartFile(const std::string& typed) {
  std::filesystem::path given(typed);
  if (std::filesystem::is_regular_file(given)) return given;
  std::filesystem::path shipped = std::filesystem::path(MCAD_PARTS_DIR) / typed;
  for (const char* extension : {"", ".part", ".asm"}) {
    std::filesystem::path candidate = shipped;
    candidate += extension;
    if (std::filesystem::is_regular_file(candidate)) return candidate;
  }
  return {};
}

template <class Work>
void withPart(AcDbObjectId id, AcDb::OpenMode mode, Work work) {
  AmiPartEntity* entity = nullptr;
  if (acdbOpenObject(entity, id, mode) != Acad::eOk) return;
  work(*entity);
  entity->close();
}

std::size_t countOf(const TopoDS_Shape* solid, TopAbs_ShapeEnum type) {
  if (!solid) return 0;
  TopTools_IndexedMapOfShape map;
  TopExp::MapShapes(*solid, type, map);
  return static_cast<std::size_t>(map.Extent());
}

void printPartSummary(const AmiPartEntity& entity) {
  const TopoDS_Shape* solid = entity.brepShape();
  acutPrintf("\nPart %s: %zu faces, %zu edges, %zu vertices\n", entity.componentName().c_str(),
             countOf(solid, TopAbs_FACE), countOf(solid, TopAbs_EDGE), countOf(solid, TopAbs_VERTEX));
}

int partCommand() {
  AcDbDatabase* db = currentDatabase();
  std::string typed;
  if (!db || !askText("\nPart or assembly file: ", typed)) return RTCAN;
  std::filesystem::path file = findPartFile(typed);
  if (file.empty()) {
    acutPrintf("\nNo part file %s (looked in the current folder and %s).\n", typed.c_str(), MCAD_PARTS_DIR);
    return RTERROR;
  }
  try {
    for (AcDbObjectId id : mcadLoadPartFile(db, file.string()))
      withPart(id, AcDb::kForRead, [](AmiPartEntity& entity) { printPartSummary(entity); });
  } catch (const mcadkernel::KernelError& error) {
    acutPrintf("\n%s\nNothing was added.\n", error.what());
    return RTERROR;
  }
  return RTNORM;
}

void listParameters(AcDbDatabase* db) {
  if (const mcadkernel::ParameterSet* globals = mcadGlobals(db))
    for (const std::string& name : globals->names())
      acutPrintf("\n  Designer %s = %s (%s)", name.c_str(), fmt(globals->value(name)).c_str(),
                 globals->expressionText(name).c_str());
  for (AcDbObjectId id : mcadPartIds(db)) {
    withPart(id, AcDb::kForRead, [](AmiPartEntity& entity) {
      const mcadkernel::Part* part = entity.part();
      if (!part) {
        acutPrintf("\n  %s: cannot be built: %s", entity.componentName().c_str(), entity.buildError().c_str());
        return;
      }
      for (const std::string& name : part->parameters().names())
        acutPrintf("\n  %s/%s = %s (%s)", entity.componentName().c_str(), name.c_str(),
                   fmt(part->parameters().value(name)).c_str(), part->parameters().expressionText(name).c_str());
    });
  }
  acutPrintf("\n");
}

// Sets "component/Name" or a global "Name"; prints what was regenerated or why nothing changed.
int setParameter(AcDbDatabase* db, const std::string& name, double value) {
  std::size_t slash = name.find('/');
  try {
    if (slash == std::string::npos) {
      mcadSetGlobal(db, name, value);
      acutPrintf("\nDesigner %s = %s: parts regenerated.\n", name.c_str(), fmt(value).c_str());
      return RTNORM;
    }
    AcDbObjectId id = mcadFindComponent(db, name.substr(0, slash));
    if (id.isNull()) throw mcadkernel::KernelError("No part named " + name.substr(0, slash) + ".");
    std::string error;
    // Tried on a copy first, so that a refused value leaves no change in the undo history.
    withPart(id, AcDb::kForRead, [&](AmiPartEntity& entity) {
      try {
        mcadkernel::readPart(entity.definition(), entity.componentName(), mcadGlobals(db))
            ->setParameterValue(name.substr(slash + 1), value);
      } catch (const mcadkernel::KernelError& refused) {
        error = refused.what();
      }
    });
    if (!error.empty()) throw mcadkernel::KernelError(error);
    withPart(id, AcDb::kForWrite, [&](AmiPartEntity& entity) {
      try {
        entity.setParameterValue(name.substr(slash + 1), value);
      } catch (const mcadkernel::KernelError& refused) {
        error = refused.what();
      }
    });
    if (!error.empty()) throw mcadkernel::KernelError(error);
    acutPrintf("\n%s = %s: part %s regenerated.\n", name.c_str(), fmt(value).c_str(), name.substr(0, slash).c_str());
    return RTNORM;
  } catch (const mcadkernel::KernelError& error) {
    acutPrintf("\n%s\nThe parameter was not changed.\n", error.what());
    return RTERROR;
  }
}

int paramCommand() {
  AcDbDatabase* db = currentDatabase();
  std::string choice;
  if (!db) return RTCAN;
  if (!askText("\nList/Set <List>: ", choice)) choice = "List";
  if (choice == "List" || choice == "list" || choice == "L" || choice == "l") {
    listParameters(db);
    return RTNORM;
  }
  if (choice != "Set" && choice != "set" && choice != "S" && choice != "s") {
    acutPrintf("\nAnswer List or Set.\n");
    return RTERROR;
  }
  std::string name;
  if (!askText("\nParameter (part/name or global name): ", name)) return RTCAN;
  ads_real value = 0.0;
  int status = acedGetReal("\nNew value: ", &value);
  if (status != RTNORM) return status == RTCAN ? RTCAN : RTERROR;
  return setParameter(db, name, value);
}

void printKeysOfKind(const AmiPartEntity& entity, const char* kind, const std::vector<std::string>& names) {
  for (const std::string& name : names)
    acutPrintf("\n    %s %s/%s", kind, entity.componentName().c_str(), name.c_str());
}

int partsCommand() {
  AcDbDatabase* db = currentDatabase();
  if (!db) return RTCAN;
  std::vector<AcDbObjectId> ids = mcadPartIds(db);
  acutPrintf("\nParts in the drawing: %zu\n", ids.size());
  for (AcDbObjectId id : ids) {
    withPart(id, AcDb::kForRead, [](AmiPartEntity& entity) {
      printPartSummary(entity);
      const mcadkernel::Part* part = entity.part();
      if (!part) return;
      for (const mcadkernel::Feature& feature : part->features())
        acutPrintf("  feature %s %s\n", feature.name.c_str(), mcadkernel::featureKeyword(feature));
      acutPrintf("  keys:");
      printKeysOfKind(entity, "face", part->faceNames());
      printKeysOfKind(entity, "edge", part->edgeNames());
      printKeysOfKind(entity, "vertex", part->vertexNames());
      acutPrintf("\n");
    });
  }
  return RTNORM;
}

std::string describe(const TopoDS_Shape& shape) {
  GProp_GProps props;
  switch (shape.ShapeType()) {
    case TopAbs_FACE: {
      BRepGProp::SurfaceProperties(shape, props);
      BRepAdaptor_Surface surface(TopoDS::Face(shape));
      std::string kind = surface.GetType() == GeomAbs_Plane      ? "plane"
                         : surface.GetType() == GeomAbs_Cylinder ? "cylinder"
                                                                 : "surface";
      if (surface.GetType() == GeomAbs_Cylinder) kind += " radius " + fmt(surface.Cylinder().Radius());
      return "face, " + kind + ", area " + fmt(props.Mass()) + ", centre " + pointText(props.CentreOfMass());
    }
    case TopAbs_EDGE:
      BRepGProp::LinearProperties(shape, props);
      return "edge, length " + fmt(props.Mass()) + ", centre " + pointText(props.CentreOfMass());
    case TopAbs_VERTEX: return "vertex at " + pointText(BRep_Tool::Pnt(TopoDS::Vertex(shape)));
    default: BRepGProp::VolumeProperties(shape, props); return "body, volume " + fmt(props.Mass());
  }
}

int keyCommand() {
  std::string name;
  if (!currentDatabase() || !askText("\nKey name: ", name)) return RTCAN;
  AmiPickObj pick;
  std::string why;
  Ami::KeyType kind = name.find('/') == std::string::npos ? Ami::kBodyKey : Ami::kAnyKey;
  if (amiPickByName(name, kind, pick, why) != Ami::eOk) {
    acutPrintf("\n%s: stale. %s\n", name.c_str(), why.c_str());
    return RTNORM;
  }
  AmiKey* key = nullptr;
  amiGetKeyFromPick(pick, key);
  TopoDS_Shape shape;
  if (amiGetShapeFromKey(key, shape) == Ami::eOk)
    acutPrintf("\n%s: %s\n", name.c_str(), describe(shape).c_str());
  else
    acutPrintf("\n%s: stale.\n", name.c_str());
  if (key) key->release();
  return RTNORM;
}

}  // namespace

void mcadRegisterPartCommands() {
  using cadhost::CommandContext;
  cadhost::addHostCommand("PART", CommandContext::kDocument, partCommand);
  cadhost::addHostCommand("PARAM", CommandContext::kDocument, paramCommand);
  cadhost::addHostCommand("PARTS", CommandContext::kDocument, partsCommand);
  cadhost::addHostCommand("KEY", CommandContext::kDocument, keyCommand);
}
