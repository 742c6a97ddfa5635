// Conditions on the sample plate written as solver decks: one condition of each code on the
// plate's named faces, edges, vertices and body, built either directly as engine objects or in the
// drawing, and the decks' condition lines read back for comparison.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "../topo/topo_fixture.h"
#include "amg/CaeVector.h"
#include "fea/AnlTypes.h"
#include "fea/AttCodes.h"
#include "test_env.h"

class AnlModel;
class AnlSubModel;
class AmgMesh;
class AttBaseLbc;
class AttLbcCase;
class CaeCoordSys;

namespace lbctest {

enum class Where { Vertex, Edge, Face, Body, Model };
// Rotated: cartesian axes turned about z; Identity: cartesian axes given at the identity;
// Cylindric: about the hole's axis.
enum class Axes { Global, Rotated, Identity, Cylindric, Face };

// One condition: its code, the named geometry, its value (a convection: film, ambient; a heat
// generation: the value; the model temperature: model, reference), free flags and axes.
struct Row {
  AttCode code;
  Where where;
  const char* name;
  CaeVector value;
  const char* flags;
  Axes axes;
};

// Every structural code, for a static model; every thermal code, for a heat-transfer model.
const std::vector<Row>& structuralRows();
const std::vector<Row>& thermalRows();

// A deck's condition lines: each step block (*BOUNDARY, *CLOAD, *DLOAD, *CFLUX, *DFLUX, *FILM,
// *TEMPERATURE, *INITIAL CONDITIONS, *TRANSFORM) as sorted lines, the force total per direction and
// the restrained (node, dof) pairs.
struct DeckLines {
  explicit DeckLines(const std::string& deck);
  std::map<std::string, std::vector<std::string>> blocks;
  CaeVector force;
  std::set<std::pair<long, int>> boundary;
  double heat = 0.0;  // the concentrated heat flows added up
};

class DeckFixture : public topotest::TopoTest {
 public:
  DeckFixture();
  ~DeckFixture() override;

 protected:
  void SetUp() override;
  void TearDown() override;

  // A model of the plate with steel and a coarse linear mesh (meshed when a deck is first written).
  void makeModel(AnlType type);
  AcTopoRef* refOf(const Row& row);
  // The row's axes (null for global); a face system lies on `ref`.
  std::unique_ptr<CaeCoordSys> axesOf(const Row& row, AcTopoRef* ref) const;
  // The row as an engine object, kept by the fixture and listed in the set of its kind.
  AttBaseLbc* engineCondition(const Row& row, AttLbcCase& loads, AttLbcCase& restraints);
  // The deck of one result case over these sets; empty (and a failure) when it cannot be written.
  // Sets of the drawing are read inside a transaction.
  std::string writeDeck(AttLbcCase& loads, AttLbcCase& restraints);

  // ---- the same made in the drawing, through the CAD interface ----
  // Runs `body` as a command of the add-in: one undo group, one transaction, aborted when an
  // exception comes through (which is passed on).
  static void asCommand(const std::function<void()>& body);
  // A model of the drawing with its load set and restraint set, all current.
  void makeDrawingSets(const char* model, AnlType type, const char* loads, const char* restraints);
  static AttLbcCase* currentLoads();
  static AttLbcCase* currentRestraints();
  // The row made in the drawing on its named geometry (no pick); fails the test when refused.
  void drawingCondition(const Row& row);
  // Saves under `name` in the test's folder; fails the test when the host reports a failed save.
  void saveAs(const std::string& name);
  // Closes the drawing and opens `name`; the first command after OPEN ends the post-load pass.
  void reopen(const std::string& name);

  kestrum::test::TempDir dir;

  AcDbObjectId plate;
  std::unique_ptr<AnlModel> model;
  AnlSubModel* sub = nullptr;
  AmgMesh* mesh = nullptr;
  std::vector<std::unique_ptr<AttBaseLbc>> conditions;
};

}  // namespace lbctest
