// Part entities: one drawing entity per placed part (a component) in model space. Each holds its
// part's definition (the part-file text, see mcadkernel/partfile.h), its placement and its
// component name, and is filed with exactly these, so undo and drawing files restore a part by
// rebuilding it from its definition.
//
// A part is built against its drawing's "Designer" global parameters. The built part and its
// world shape are made on first use and again after the definition or a global parameter changed.
//
// Changes go through a write-open entity: the host's undo snapshot (dwgOutFields) then keeps the
// earlier definition, so UNDO restores the earlier part with its faces. A change the part cannot
// be regenerated with throws mcadkernel::KernelError and leaves the entity as it was.
//
// Parts (and the drawing's global parameters) are kept in drawing files; DXFOUT leaves them out.
#pragma once

#include <TopLoc_Location.hxx>
#include <TopoDS_Shape.hxx>
#include <gp_Trsf.hxx>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "arx/dbbrep.h"
#include "arx/dbentity.h"
#include "mcadkernel/part.h"

class AmiPartEntity : public AcDbEntity, public AcDbBrepSource {
 public:
  ACRX_DECLARE_MEMBERS(AmiPartEntity);
  AmiPartEntity();
  ~AmiPartEntity() override;

  const std::string& componentName() const { return componentName_; }
  // The part-file text the part is built from.
  const std::string& definition() const { return definition_; }
  const gp_Trsf& placement() const { return placement_; }

  // The built part; null when its definition cannot be built now (buildError() says why).
  const mcadkernel::Part* part() const;
  const std::string& buildError() const;

  // The part's solid moved by the placement (null shape pointer when there is none).
  const TopoDS_Shape* brepShape() const override;
  // The named face, edge or vertex in world coordinates; a null shape when the name does not resolve.
  TopoDS_Shape resolve(const std::string& name) const;
  // The part name of a subshape of brepShape(); empty when it is none of its faces, edges or vertices.
  std::string nameOf(const TopoDS_Shape& worldSubshape) const;

  // Changes (the entity open for write). Each rebuilds the part first and keeps nothing on failure.
  void setParameterValue(const std::string& name, double value);
  void defineParameter(const std::string& name, const std::string& expression);
  // A value written without rebuilding: the next regenerate applies every such value in one
  // rebuild (amiSetParamValue with Ami::kParamNoRegen, then amiRegen).
  void setPendingParameterValue(const std::string& name, double value);
  // The value written without rebuilding; false when the parameter has none.
  bool pendingParameterValue(const std::string& name, double& value) const;
  // Rebuilds against the current global parameters and the pending values; throws KernelError
  // when that fails (the pending values are dropped and the definition stays as it was).
  void regenerate();

  // Component name, definition text, placement (12 numbers, row by row).
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;

 private:
  friend AcDbObjectId mcadAddPart(AcDbDatabase*, const std::string&, const std::string&, const gp_Trsf&);
  // Keeps a built part and its world shape (the cache, not the filed state).
  void adopt(std::unique_ptr<mcadkernel::Part> part) const;
  void ensureBuilt() const;
  void changeDefinition(const std::function<void(mcadkernel::Part&)>& change);

  std::string componentName_;
  std::string definition_;
  gp_Trsf placement_;
  mutable std::unique_ptr<mcadkernel::Part> part_;
  mutable TopLoc_Location location_;
  mutable TopoDS_Shape worldShape_;
  mutable std::string buildError_;
  mutable bool built_ = false;
  std::vector<std::pair<std::string, double>> pendingValues_;
  mutable unsigned long long builtGlobalsStamp_ = 0;
};

// Builds a part from part-file text against the drawing's globals and appends it to model space
// under a component name not yet used in the drawing (the given one, else with "_2", "_3" ...).
// Throws KernelError (nothing added) when the text does not read or the part cannot be built.
// Returns the new entity's id (closed).
AcDbObjectId mcadAddPart(AcDbDatabase* db, const std::string& componentName, const std::string& definition,
                         const gp_Trsf& placement);

// Reads a part file (*.part) or an assembly file (*.asm, its globals become the drawing's
// "Designer" globals) into the drawing; returns the new entities. Throws KernelError with the
// file's message and adds nothing when any of it cannot be read or built.
std::vector<AcDbObjectId> mcadLoadPartFile(AcDbDatabase* db, const std::string& path);

// The drawing's live (not erased) part entities in model-space order.
std::vector<AcDbObjectId> mcadPartIds(AcDbDatabase* db);
// The live part entity with a component name; null id when there is none.
AcDbObjectId mcadFindComponent(AcDbDatabase* db, const std::string& componentName);

// The drawing's "Designer" global parameters (null when the drawing has none yet).
const mcadkernel::ParameterSet* mcadGlobals(AcDbDatabase* db);
// Set a global parameter's value, or define globals, then rebuild every part using them: all or
// nothing, as undoable changes. Throw KernelError (nothing changed) when a value does not compute
// or a part cannot be rebuilt.
void mcadSetGlobal(AcDbDatabase* db, const std::string& name, double value);
// Sets a global parameter's value without rebuilding or checking the parts that use it (they
// rebuild when next used, or by amiRegen); throws KernelError for a value that does not compute.
void mcadSetGlobalDeferred(AcDbDatabase* db, const std::string& name, double value);
void mcadDefineGlobals(AcDbDatabase* db, const std::vector<std::pair<std::string, std::string>>& definitions);
