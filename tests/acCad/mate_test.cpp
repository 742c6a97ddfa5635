// Mating relations in the drawing: a pair made through the CAD interface on the sample assembly,
// the erase of any of its three objects and every way back, the records (round trips, filer
// failures at every call, objects without data, a key that no longer resolves), the relation made
// again from an old pair, topology lost to a part edit and back, and the markers.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "CadInterface/AcCadInterface.h"
#include "amg/CaeExcept.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbfiler.h"
#include "arx/dbsymtb.h"
#include "arx/hostcmds.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadTransactionScope.h"
#include "db/dbMateRel.h"
#include "db/dbMateRelPair.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "fea/AnlControl.h"
#include "lost_flag_table.h"
#include "mcad/amikey.h"
#include "mcad/amipart.h"
#include "symbol_fixture.h"
#include "topo/acTopoRef.h"

namespace {

using symboltest::SymbolTest;

// Runs `body` as a command of the add-in: one undo group, one transaction.
void asCommand(const std::function<void()>& body) {
  AcDbDatabase* db = topotest::TopoTest::db();
  db->beginUndoGroup("command");
  {
    CadTransactionScope scope(*CadInterface::GetCurrent());
    scope.Start();
    body();
    scope.Commit();
  }
  db->endUndoGroup();
}

std::string layerName(AcDbEntity* entity) {
  AcDbLayerTableRecord* layer = nullptr;
  if (acdbOpenObject(layer, entity->layerId(), AcDb::kForRead) != Acad::eOk) return {};
  const char* text = nullptr;
  layer->getName(text);
  std::string name = text ? text : "";
  layer->close();
  return name;
}

class MateTest : public SymbolTest {
 protected:
  void SetUp() override {
    SymbolTest::SetUp();
    command("PART plate_and_bracket.asm");
    const std::vector<AcDbObjectId> parts = mcadPartIds(db());
    ASSERT_EQ(parts.size(), 2u) << cadhost::printedText();
    base = parts[0];
    arm = parts[1];
    asCommand([] { CadInterface::GetCurrent()->SelectOrCreateModel("Assembly", 0); });
  }

  static CaepAnlModelObj* model() {
    return dynamic_cast<CaepAnlModelObj*>(AnlControl::GetCurrent()->CurrentAnlModel());
  }

  // A pair made through the interface on two named faces; its index in the model.
  int makePair(const char* name, AcTopoRef* first, AcTopoRef* second, int colour = 3, double scale = 2.0) {
    int index = -1;
    asCommand([&] {
      AcCadInterface::GetCurrentAc()->CreateMateRelPair(first->GetBrEntity(), second->GetBrEntity(), CaeString(name),
                                                        colour, scale);
      index = model()->NumMateRelPairs() - 1;
    });
    return index;
  }

  // The objects of a pair, opened for write in the running transaction, erased ones included.
  struct Three {
    CaepMateRelPair* pair;
    CaepMateRelEnt* first;
    CaepMateRelEnt* second;
  };
  static Three open(int index) {
    auto* listed = dynamic_cast<CaepMateRelPair*>(model()->GetMateRelPair(index));  // listed for read
    EXPECT_NE(listed, nullptr);
    auto* pair = CaepMateRelPair::cast(dbOpenMember(db(), listed->objectId(), AcDb::kForWrite, true));
    auto* first = CaepMateRelEnt::cast(dbOpenMember(db(), pair->FirstId(), AcDb::kForWrite, true));
    auto* second = CaepMateRelEnt::cast(dbOpenMember(db(), pair->SecondId(), AcDb::kForWrite, true));
    return {pair, first, second};
  }

  AcTopoRef* face(AcDbObjectId part, const char* name) { return refOf(part, Ami::kFaceKey, name); }

  AcDbObjectId base, arm;
};

TEST_F(MateTest, APairPutsTwoRelationsOnTheirLayerAttachedToItAndToTheirFaces) {
  AcTopoRef* top = face(base, "plate/top");
  AcTopoRef* bottom = face(arm, "base/bottom");
  const int index = makePair("Joint", top, bottom, 5, 2.5);
  ASSERT_EQ(index, 0);
  asCommand([&] {
    const Three three = open(index);
    EXPECT_EQ(three.pair->Name().Str(), "Joint");
    EXPECT_EQ(three.pair->ownerId(), model()->objectId());
    const std::pair<CaepMateRelEnt*, AcTopoRef*> sides[] = {{three.first, top}, {three.second, bottom}};
    for (const auto& [relation, ref] : sides) {
      ASSERT_NE(relation, nullptr);
      EXPECT_EQ(layerName(relation), "CAE_MATEREL");
      EXPECT_EQ(relation->PairId(), three.pair->objectId());
      EXPECT_EQ(relation->GetTopoRef(), ref);
      EXPECT_TRUE(ref->HasAttributeId(relation->objectId()));
      EXPECT_EQ(relation->DataVersion(), CaepMateRelEnt::kDataVersion);
      EXPECT_TRUE(relation->Key()->hasBoundObject());
    }
    int colour = 0;
    double scale = 0;
    CadInterface::GetCurrent()->GetMateRelColorAndScale(three.pair, &colour, &scale);
    EXPECT_EQ(colour, 5);
    EXPECT_EQ(scale, 2.5);
    EXPECT_EQ(model()->NumLiveMateRelPairs(), 1);
  });
}

TEST_F(MateTest, AnEmptyNameIsRefusedAndMakesNothing) {
  cadhost::clearPrintedText();
  asCommand([] { CadInterface::GetCurrent()->CreateMateRelation(CaeString(""), 3, 1.0); });
  EXPECT_NE(cadhost::printedText().find("A mating relation needs a name."), std::string::npos);
  asCommand([] { EXPECT_EQ(model()->NumMateRelPairs(), 0); });
}

// Erasing the pair or either relation erases all three, each key told once (the top face's key
// also holds a second pair's relation, which stays bound); a relation's UnErase, the pair's
// UnErase and UNDO each bring all three back.
TEST_F(MateTest, ErasingAnyOfTheThreeErasesAllThreeAndEachWayBringsThemBack) {
  AcTopoRef* top = face(base, "plate/top");
  const int joint = makePair("Joint", top, face(arm, "base/bottom"));
  makePair("Other", top, face(arm, "upright/left"));
  enum class Target { Pair, First, Second };
  enum class Back { RelationUnErase, PairUnErase, Undo };
  for (Target target : {Target::Pair, Target::First, Target::Second}) {
    for (Back back : {Back::RelationUnErase, Back::PairUnErase, Back::Undo}) {
      SCOPED_TRACE(static_cast<int>(target) * 10 + static_cast<int>(back));
      asCommand([&] {
        const Three three = open(joint);
        AcDbObject* erased = target == Target::Pair    ? static_cast<AcDbObject*>(three.pair)
                             : target == Target::First ? static_cast<AcDbObject*>(three.first)
                                                       : three.second;
        ASSERT_EQ(erased->erase(), Acad::eOk);
      });
      asCommand([&] {
        const Three three = open(joint);
        for (AcDbObject* object : {static_cast<AcDbObject*>(three.pair), static_cast<AcDbObject*>(three.first),
                                   static_cast<AcDbObject*>(three.second)})
          EXPECT_TRUE(object->isErased());
        EXPECT_TRUE(three.pair->IsMarkedAsErased());
        EXPECT_TRUE(three.first->IsMarkedAsErased());
        EXPECT_TRUE(three.second->IsMarkedAsErased());
        EXPECT_TRUE(three.first->Key()->hasBoundObject()) << "the other pair's relation is still bound";
        EXPECT_FALSE(three.second->Key()->hasBoundObject());
        EXPECT_EQ(model()->NumLiveMateRelPairs(), 1);
      });
      if (back == Back::Undo) {
        command("UNDO 2");
      } else {
        asCommand([&] {
          const Three three = open(joint);
          back == Back::PairUnErase ? three.pair->UnErase() : three.second->UnErase();
        });
      }
      asCommand([&] {
        const Three three = open(joint);
        for (AcDbObject* object : {static_cast<AcDbObject*>(three.pair), static_cast<AcDbObject*>(three.first),
                                   static_cast<AcDbObject*>(three.second)})
          EXPECT_FALSE(object->isErased());
        EXPECT_FALSE(three.pair->IsMarkedAsErased());
        EXPECT_FALSE(three.first->IsMarkedAsErased());
        EXPECT_FALSE(three.second->IsMarkedAsErased());
        EXPECT_TRUE(three.second->Key()->hasBoundObject());
        EXPECT_EQ(model()->NumLiveMateRelPairs(), 2);
      });
    }
  }
}

// ---- records -----------------------------------------------------------------------------------

template <class Object>
std::string written(const Object& object, AcDb::FilerType type = AcDb::kFileFiler) {
  AcDbDwgFiler filer(type, topotest::TopoTest::db());
  EXPECT_EQ(object.dwgOutFields(&filer), Acad::eOk);
  return filer.takeBuffer();
}

template <class Object>
long callsToWrite(const Object& object) {
  AcDbDwgFiler filer(AcDb::kFileFiler, topotest::TopoTest::db());
  EXPECT_EQ(object.dwgOutFields(&filer), Acad::eOk);
  return filer.callCount();
}

TEST_F(MateTest, RecordsRoundTripAndAFilerFailureAtAnyCallLeavesTheCopyEmpty) {
  const int index = makePair("Joint", face(base, "plate/top"), face(arm, "base/bottom"), 4, 1.5);
  asCommand([&] {
    const Three three = open(index);
    for (AcDb::FilerType type : {AcDb::kFileFiler, AcDb::kUndoFiler}) {
      SCOPED_TRACE(static_cast<int>(type));
      const std::string relation = written(*three.first, type);
      CaepMateRelEnt relationCopy;
      AcDbDwgFiler in(type, db(), relation);
      ASSERT_EQ(relationCopy.dwgInFields(&in), Acad::eOk);
      EXPECT_TRUE(in.atEnd());
      EXPECT_EQ(relationCopy.DataVersion(), CaepMateRelEnt::kDataVersion);
      EXPECT_EQ(relationCopy.ColorIndex(), 4);
      EXPECT_EQ(relationCopy.SymbolScale(), 1.5);
      EXPECT_EQ(relationCopy.PairId(), three.pair->objectId());
      ASSERT_NE(relationCopy.Key(), nullptr);
      EXPECT_EQ(relationCopy.Key()->name(), "plate/top");
      EXPECT_EQ(relationCopy.IsUnresolved(), 1);

      const std::string pair = written(*three.pair, type);
      CaepMateRelPair pairCopy;
      AcDbDwgFiler pairIn(type, db(), pair);
      ASSERT_EQ(pairCopy.dwgInFields(&pairIn), Acad::eOk);
      EXPECT_TRUE(pairIn.atEnd());
      EXPECT_EQ(pairCopy.Name().Str(), "Joint");
      EXPECT_EQ(pairCopy.FirstId(), three.pair->FirstId());
      EXPECT_EQ(pairCopy.SecondId(), three.pair->SecondId());
    }
    // Every call of both writers and readers fails in turn: the writer answers the filer error,
    // and the reader leaves its object as it was (no data, no key).
    const std::string relation = written(*three.first);
    const std::string pair = written(*three.pair);
    for (long n = 1; n <= callsToWrite(*three.first); ++n) {
      SCOPED_TRACE(n);
      AcDbDwgFiler out(AcDb::kFileFiler, db());
      out.setFailAt(n);
      EXPECT_NE(three.first->dwgOutFields(&out), Acad::eOk);
      AcDbDwgFiler in(AcDb::kFileFiler, db(), relation);
      in.setFailAt(n);
      CaepMateRelEnt copy;
      EXPECT_NE(copy.dwgInFields(&in), Acad::eOk);
      EXPECT_EQ(copy.DataVersion(), 0);
      EXPECT_EQ(copy.Key(), nullptr);
    }
    for (long n = 1; n <= callsToWrite(*three.pair); ++n) {
      SCOPED_TRACE(n);
      AcDbDwgFiler out(AcDb::kFileFiler, db());
      out.setFailAt(n);
      EXPECT_NE(three.pair->dwgOutFields(&out), Acad::eOk);
      AcDbDwgFiler in(AcDb::kFileFiler, db(), pair);
      in.setFailAt(n);
      CaepMateRelPair copy;
      EXPECT_NE(copy.dwgInFields(&in), Acad::eOk);
      EXPECT_EQ(copy.DataVersion(), 0);
      EXPECT_TRUE(copy.Name().IsEmpty());
      EXPECT_TRUE(copy.FirstId().isNull());
    }
  });
}

// A relation record by hand: the entity's own fields, then the data version, colour 3, scale 2,
// the key of `part`'s plate top, the pair, and the topology-lost flag from version 631.
std::string relationRecord(int version, AcDbObjectId part, AcDbObjectId pair, long lost) {
  AcDbDwgFiler filer(AcDb::kFileFiler, topotest::TopoTest::db());
  kestrum::test::writeAttributeRecordHead(filer, CaepMateRelEnt(), version, part);
  EXPECT_EQ(filer.writeSoftPointerId(pair), Acad::eOk);
  if (version >= CaepMateRelEnt::kDataVersion) {
    EXPECT_EQ(filer.writeInt32(static_cast<Adesk::Int32>(lost)), Acad::eOk);
  }
  return filer.takeBuffer();
}

TEST_F(MateTest, TheTopologyLostFlagIsReadFromVersion631AndBoundedToZeroOrOne) {
  const int index = makePair("Joint", face(base, "plate/top"), face(arm, "base/bottom"));
  AcDbObjectId pairId;
  asCommand([&] { pairId = open(index).pair->objectId(); });
  kestrum::test::expectTheLostFlagTable<CaepMateRelEnt>(
      db(), [&](int version, long lost) { return relationRecord(version, base, pairId, lost); }, "dbMateRel",
      [&](const CaepMateRelEnt& read) { EXPECT_EQ(read.PairId(), pairId); });
  // Records older than the first data version are refused too.
  CaepMateRelEnt read;
  const std::string older = relationRecord(kMateOldestDataVersion - 1, base, pairId, 0);
  AcDbDwgFiler in(AcDb::kFileFiler, db(), older);
  EXPECT_NE(read.dwgInFields(&in), Acad::eOk);
  EXPECT_EQ(read.DataVersion(), 0);
}

// An object made by the default constructor writes its data version 0 and nothing more (the reader
// stops there and finds the record's end); a pair whose name was emptied refuses to be written, naming its source.
TEST_F(MateTest, ObjectsWithoutDataWriteVersionZeroAndAnEmptyNameIsNotWritten) {
  CaepMateRelEnt emptyRelation;
  CaepMateRelPair emptyPair;
  const std::string relation = written(emptyRelation);
  AcDbDwgFiler in(AcDb::kFileFiler, db(), relation);
  CaepMateRelEnt relationCopy;
  EXPECT_EQ(relationCopy.dwgInFields(&in), Acad::eOk);
  EXPECT_TRUE(in.atEnd());
  EXPECT_EQ(relationCopy.DataVersion(), 0);
  const std::string pair = written(emptyPair);
  AcDbDwgFiler pairIn(AcDb::kFileFiler, db(), pair);
  CaepMateRelPair pairCopy;
  EXPECT_EQ(pairCopy.dwgInFields(&pairIn), Acad::eOk);
  EXPECT_TRUE(pairCopy.Name().IsEmpty());
  EXPECT_TRUE(pairCopy.FirstId().isNull() && pairCopy.SecondId().isNull());

  const int index = makePair("Joint", face(base, "plate/top"), face(arm, "base/bottom"));
  asCommand([&] {
    CaepMateRelPair* live = open(index).pair;
    live->Name(CaeString(""));
    cadhost::clearPrintedText();
    AcDbDwgFiler out(AcDb::kFileFiler, db());
    EXPECT_EQ(live->dwgOutFields(&out), Acad::eFilerError);
    EXPECT_NE(cadhost::printedText().find("dbMateRelPair"), std::string::npos) << cadhost::printedText();
    live->Name(CaeString("Joint"));
  });
}

// The interface makes a pair again from an old one on the same faces and deletes the old one; an
// old pair one of whose sides is gone is kept as it was, with a message.
TEST_F(MateTest, MakingAPairAgainReplacesItUnlessASideIsGone) {
  const int old = makePair("Joint", face(base, "plate/top"), face(arm, "base/bottom"));
  asCommand(
      [&] { AcCadInterface::GetCurrentAc()->RecreateMateRelation(open(old).pair, CaeString("Joint 2"), 6, 3.0); });
  asCommand([&] {
    ASSERT_EQ(model()->NumMateRelPairs(), 2);
    EXPECT_TRUE(open(old).pair->isErased());
    EXPECT_TRUE(open(old).first->isErased());
    const Three renewed = open(1);
    EXPECT_EQ(renewed.pair->Name().Str(), "Joint 2");
    EXPECT_EQ(renewed.first->Key()->name(), "plate/top");
    EXPECT_EQ(renewed.second->Key()->name(), "base/bottom");
    EXPECT_EQ(renewed.pair->ColorIndex(), 6);
  });
  // The second relation's engine side marked as lost its geometry: the old pair stays.
  cadhost::clearPrintedText();
  asCommand([&] {
    const Three renewed = open(1);
    renewed.second->HoldErasedMark(true);
    renewed.second->AttMateRel::MarkAsErased();
    AcCadInterface::GetCurrentAc()->RecreateMateRelation(renewed.pair, CaeString("Joint 3"), 6, 3.0);
    EXPECT_EQ(model()->NumMateRelPairs(), 2);
    EXPECT_FALSE(renewed.pair->isErased());
    renewed.second->HoldErasedMark(false);
  });
  EXPECT_NE(cadhost::printedText().find("no longer exists"), std::string::npos) << cadhost::printedText();
}

// ---- markers -----------------------------------------------------------------------------------

struct Extent {
  CaeVector low{1e300, 1e300, 1e300}, high{-1e300, -1e300, -1e300};
  CaeVector Size() const { return CaeVector(high[0] - low[0], high[1] - low[1], high[2] - low[2]); }
};

Extent extentOf(const AcGiPrimitive& primitive) {
  Extent e;
  for (const AcGePoint3d& p : primitive.points) {
    const double c[3] = {p.x, p.y, p.z};
    for (int i = 0; i < 3; ++i) {
      e.low[i] = std::min(e.low[i], c[i]);
      e.high[i] = std::max(e.high[i], c[i]);
    }
  }
  return e;
}

// A face relation draws two arrows on each edge of its face, standing along the face's normal
// (the front face's normal is y); a hidden part shows none.
TEST_F(MateTest, AFaceRelationDrawsTwoArrowsPerEdgeAlongTheNormal) {
  AcTopoRef* front = face(base, "plate/front");
  const int index = makePair("Joint", front, face(arm, "base/bottom"), 3, 4.0);
  AcDbObjectId relation;
  asCommand([&] { relation = open(index).first->objectId(); });
  const std::vector<AcGiPrimitive> drawn = drawnBy(relation);
  const std::size_t edges = topotest::childrenOf(front).size();
  ASSERT_EQ(edges, 4u);
  ASSERT_EQ(drawn.size(), 2 * edges);
  for (const AcGiPrimitive& arrow : drawn) {
    const CaeVector size = extentOf(arrow).Size();
    EXPECT_NEAR(size[1], 4.0, 1e-6) << "as long as the scale, along y";
    EXPECT_LT(size[0], 2.0);
    EXPECT_LT(size[2], 2.0);
    EXPECT_NEAR((extentOf(arrow).low[1] + extentOf(arrow).high[1]) / 2, 0.0, 1e-6) << "centred on the face";
  }
  AcDbEntity* part = nullptr;
  ASSERT_EQ(acdbOpenObject(part, base, AcDb::kForWrite), Acad::eOk);
  part->setVisibility(AcDb::kInvisible);
  part->close();
  EXPECT_TRUE(drawnBy(relation).empty());
}

// ---- topology lost and back -------------------------------------------------------------------

class MatePocketTest : public SymbolTest {
 protected:
  void SetUp() override {
    SymbolTest::SetUp();
    block = loadPart(kestrum::test::sourcePath("tests/platform/mcad/fixtures/pocket_block.part").string());
    asCommand([] { CadInterface::GetCurrent()->SelectOrCreateModel("Block", 0); });
    AcTopoRef* bottom = refOf(block, Ami::kFaceKey, "pocket/bottom");
    AcTopoRef* top = refOf(block, Ami::kFaceKey, "body/top");
    asCommand([&] {
      AcCadInterface::GetCurrentAc()->CreateMateRelPair(bottom->GetBrEntity(), top->GetBrEntity(), CaeString("Pocket"),
                                                        3, 1.0);
      auto* pair = dynamic_cast<CaepMateRelPair*>(MateTestModel()->GetMateRelPair(0));
      ASSERT_NE(pair, nullptr);
      pairId = pair->objectId();
      bottomId = pair->FirstId();
      topId = pair->SecondId();
    });
  }
  static CaepAnlModelObj* MateTestModel() {
    return dynamic_cast<CaepAnlModelObj*>(AnlControl::GetCurrent()->CurrentAnlModel());
  }
  template <class T>
  static T* openErased(AcDbObjectId id) {
    return T::cast(dbOpenMember(db(), id, AcDb::kForWrite, true));
  }

  AcDbObjectId block, pairId, bottomId, topId;
};

// The pocket's bottom goes with a deeper pocket: its relation erases itself with the topology-lost
// flag and takes the pair and the other relation along; UNDO brings all three back on the face.
TEST_F(MatePocketTest, ALostFaceErasesTheRelationAsAWholeAndUndoBringsItBack) {
  command("PARAM set block/Depth 12");
  command("REGENALL");
  asCommand([&] {
    auto* bottom = openErased<CaepMateRelEnt>(bottomId);
    EXPECT_TRUE(bottom->isErased());
    EXPECT_TRUE(bottom->TopologyLost());
    EXPECT_TRUE(openErased<CaepMateRelEnt>(topId)->isErased());
    EXPECT_FALSE(openErased<CaepMateRelEnt>(topId)->TopologyLost());
    EXPECT_TRUE(openErased<CaepMateRelPair>(pairId)->isErased());
    EXPECT_EQ(MateTestModel()->NumLiveMateRelPairs(), 0);
  });
  EXPECT_TRUE(drawnBy(bottomId).empty());
  command("UNDO 2");
  command("REGENALL");
  asCommand([&] {
    auto* bottom = openErased<CaepMateRelEnt>(bottomId);
    EXPECT_FALSE(bottom->isErased());
    EXPECT_FALSE(openErased<CaepMateRelEnt>(topId)->isErased());
    EXPECT_FALSE(openErased<CaepMateRelPair>(pairId)->isErased());
    EXPECT_EQ(MateTestModel()->NumLiveMateRelPairs(), 1);
    ASSERT_NE(bottom->GetTopoRef(), nullptr);
    EXPECT_EQ(static_cast<AcTopoRef*>(bottom->GetTopoRef())->GetKey()->name(), "pocket/bottom");
  });
  EXPECT_FALSE(drawnBy(bottomId).empty());
}

// A relation read while its face is gone keeps its key (written back unchanged), draws nothing
// and is inactive for the engine; resolving the pair marks the whole pair inactive.
TEST_F(MatePocketTest, AKeyThatNoLongerResolvesIsKeptAndWrittenBack) {
  std::string record;
  asCommand([&] { record = written(*openErased<CaepMateRelEnt>(bottomId)); });
  command("PARAM set block/Depth 12");
  command("REGENALL");
  asCommand([&] {
    CaepMateRelEnt read;
    AcDbDwgFiler in(AcDb::kFileFiler, db(), record);
    ASSERT_EQ(read.dwgInFields(&in), Acad::eOk);
    read.ResolveTopoRef();
    EXPECT_TRUE(read.GeometryMissing());
    EXPECT_TRUE(read.IsMarkedAsErased());
    read.MarkAsNotErased();  // as a re-open of a live object would
    EXPECT_TRUE(read.IsMarkedAsErased()) << "held while the face is missing";
    EXPECT_EQ(read.GetTopoRef(), nullptr);
    const std::string again = written(read);
    CaepMateRelEnt reread;
    AcDbDwgFiler in2(AcDb::kFileFiler, db(), again);
    ASSERT_EQ(reread.dwgInFields(&in2), Acad::eOk);
    ASSERT_NE(reread.Key(), nullptr);
    EXPECT_EQ(reread.Key()->name(), "pocket/bottom");
    EXPECT_EQ(reread.Key()->objectId(), block);
    EXPECT_EQ(reread.PairId(), pairId);
  });
}

// A pair resolved while a side's face is gone (as a drawing is read) stays in the drawing,
// inactive; the part edit that brings the face back makes the pair and both relations active and
// drawn again, without waiting for the drawing to be reopened.
TEST_F(MatePocketTest, APairWithASideMissingComesBackWithTheFaceByTheNextEdit) {
  command("PARAM set block/Depth 12");
  asCommand([&] {
    // Brought back by hand while the face is gone, then resolved as after reading.
    CaepMateRelPair* pair = openErased<CaepMateRelPair>(pairId);
    pair->UnErase();
    pair->ResolveTopoRefs(MateTestModel());
    EXPECT_TRUE(pair->SideMissing());
    EXPECT_TRUE(pair->IsMarkedAsErased());
    EXPECT_TRUE(openErased<CaepMateRelEnt>(bottomId)->GeometryMissing());
    EXPECT_TRUE(openErased<CaepMateRelEnt>(topId)->IsMarkedAsErased());
  });
  EXPECT_TRUE(drawnBy(bottomId).empty());
  command("PARAM set block/Depth 6");  // the floor returns
  asCommand([&] {
    CaepMateRelPair* pair = openErased<CaepMateRelPair>(pairId);
    EXPECT_FALSE(pair->isErased());
    EXPECT_FALSE(pair->SideMissing());
    EXPECT_FALSE(pair->IsMarkedAsErased());
    EXPECT_EQ(MateTestModel()->NumLiveMateRelPairs(), 1);
    for (AcDbObjectId id : {bottomId, topId}) {
      CaepMateRelEnt* relation = openErased<CaepMateRelEnt>(id);
      EXPECT_FALSE(relation->isErased());
      EXPECT_FALSE(relation->GeometryMissing());
      EXPECT_FALSE(relation->IsMarkedAsErased());
      relation->MarkAsNotErased();  // no hold is left behind
      EXPECT_FALSE(relation->IsMarkedAsErased());
    }
    auto* bottom = openErased<CaepMateRelEnt>(bottomId);
    ASSERT_NE(bottom->GetTopoRef(), nullptr);
    EXPECT_EQ(static_cast<AcTopoRef*>(bottom->GetTopoRef())->GetKey()->name(), "pocket/bottom");
  });
  EXPECT_FALSE(drawnBy(bottomId).empty());
}

}  // namespace
