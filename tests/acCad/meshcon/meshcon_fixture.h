// Mesh-size constraints on the sample plate: a drawing with an analysis model, constraints made
// through the CAD interface on named geometry, and what they draw.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "../symbol_fixture.h"
#include "amg/CaeVector.h"
#include "mcad/amikey.h"

class AcTopoRef;
class AmgMesh;
class CaepAnlModelObj;
class CaepConEnt;
class CadInterface;

namespace meshcontest {

class MeshConTest : public symboltest::SymbolTest {
 protected:
  void SetUp() override;

  static CadInterface& cad();
  // Runs `body` as a command: one undo group, one transaction (aborted when an exception passes).
  static void asCommand(const std::function<void()>& body);
  // Runs `body` in a transaction outside any undo group, so that UNDO still reaches the last command.
  static void inspect(const std::function<void()>& body);
  // Opens a constraint for read (erased included) in the caller's transaction.
  static const CaepConEnt* readConstraint(AcDbObjectId id);
  // The current analysis model of the drawing.
  static CaepAnlModelObj* model();
  // The model's constraint entities (erased ones too), in the model's order.
  static std::vector<AcDbObjectId> constraintIds();
  // Opens a constraint for write (erased included) in the caller's transaction.
  static CaepConEnt* openConstraint(AcDbObjectId id);

  AcTopoRef* named(Ami::KeyType type, const std::string& name) { return refOf(plate, type, name); }
  // A constraint made through the interface on named geometry; its id (null when refused).
  AcDbObjectId constrain(Ami::KeyType type, const std::string& name, double size, bool point,
                         const CaeVector& location = CaeVector());

  AcDbObjectId plate;
};

// The lengths of the element edges of a linear mesh that lie on a sub-shape (both ends on it), or
// for a vertex those that touch it.
std::vector<double> edgeLengthsOn(AmgMesh& mesh, int kind, int index);
double median(std::vector<double> values);

}  // namespace meshcontest
