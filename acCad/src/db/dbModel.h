// The analysis model kept in the drawing: the engine's model joined to a host object, owning its
// sub-models, jobs and result sets and pointing to its mesh constraints and mating-relation pairs.
//
// Members are kept as object ids, only ever appended: deleting one erases its object and leaves
// its id listed. Plain counts include those; live counts and walks pass over members that are
// erased, carry the engine's erased mark or never open (a record dropped on reading). Engine
// indexes are 0-based, as the engine calls them; an index outside the list is a consistency check.
//
// Objects are opened through the transaction manager of the drawing that holds the model, so an
// engine operation needs an active transaction there; what it hands back stays open until that
// transaction ends.
#pragma once

#include <string>
#include <vector>

#include "amg/CaeMsgCall.h"
#include "amg/CaeString.h"
#include "arx/dbdxffiler.h"
#include "arx/dbfiler.h"
#include "arx/dbobject.h"
#include "db/dbFiling.h"
#include "fea/AnlModel.h"

class AcDbDatabase;
class AmgMesh;
class CaepAnlSubModelObj;
class DbMaterialSource;

// ---- the model --------------------------------------------------------------------------------

class CaepAnlModelObj : public AcDbObject, public AnlModel {
 public:
  ACRX_DECLARE_MEMBERS(CaepAnlModelObj);
  static void rxInit();

  CaepAnlModelObj();
  CaepAnlModelObj(const CaeString& name, AnlType type);
  ~CaepAnlModelObj() override;

  // --- engine operations -------------------------------------------------------------------
  // Listing opens the model for read: a change of what it files write-enables it first.
  void AboutToChange() override;
  AnlJob* NewJob() override;
  // Meshes are made by their entities; until those exist these are consistency checks.
  AmgMesh* NewMesh(CaeTopoRef* body) override;
  AnlSubModel* NewSubModelForBody(CaeTopoRef* body) override;
  AnlSubModel* NewSubModel() override;
  void DeleteSubModel(AnlSubModel* subModel) override;
  int NumSubModels() override { return static_cast<int>(subModelIds_.size()); }
  AnlSubModel* GetSubModel(int index) override;
  void AddConstraint(AmgConstraint* constraint) override;
  void DeleteConstraint(AmgConstraint* constraint) override;
  int NumConstraints() override { return static_cast<int>(constraintIds_.size()); }
  int NumLiveConstraints() override;
  AmgConstraint* GetConstraint(int index) override;
  void AddMateRelPair(AnlMateRelPair* pair) override;
  void DeleteMateRelPair(AnlMateRelPair* pair) override;
  int NumMateRelPairs() override { return static_cast<int>(pairIds_.size()); }
  int NumLiveMateRelPairs() override;
  AnlMateRelPair* GetMateRelPair(int index) override;
  AnlMateRelPair* FirstLiveMateRelPair() override;
  AnlMateRelPair* NextLiveMateRelPair() override;
  FerResultSet* NewResultSet(const CaeString& name) override;
  int DeleteResultSet(const CaeString& name) override;
  int NumResultSets() override { return static_cast<int>(resultSetIds_.size()); }
  FerResultSet* GetResultSet(int index) override;
  FerResultSet* FindResultSet(const CaeString& name) override;
  void AddJob(AnlJob* job) override;
  void DeleteJob(AnlJob* job) override;
  int NumJobs() override { return static_cast<int>(jobIds_.size()); }
  AnlJob* GetJob(int index) override;
  AnlJob* FindJobByDeck(const CaeString& deckName) override;

  // --- the class's own ---------------------------------------------------------------------
  // A new sub-model holding `mesh` (the engine part of a mesh entity): listed, owned, named
  // "SubModel N" after the count, given the next sub-model id.
  AnlSubModel* NewSubModelFor(AmgMesh* mesh);
  void AddResultSet(FerResultSet* resultSet);
  // Mode 0: members that open; mode 1: members not marked erased.
  int CountLiveJobs(int mode);
  int CountLiveResultSets(int mode);
  int NumLiveSubModels();
  // The i-th live member (0-based) in list order; an index outside the live count is a check.
  AnlSubModel* LiveSubModel(int index);
  AmgConstraint* LiveConstraint(int index);
  AnlJob* LiveJob(int index);
  FerResultSet* LiveResultSet(int index);
  // Redraw request for the model's meshes, constraints and mating relations; erased and never
  // opening members are passed over.
  void MarkGraphicsModified();
  // The post-load pass: materials and element properties of the live sub-models, default names
  // for unnamed ones, meshes made not current, constraints and pairs re-linked.
  void Reconcile();
  void Reconcile(DbMaterialSource& materials);
  // Regenerates the meshes of live sub-models that need it (the mesh entities do the work).
  void RegenerateMeshes();
  void EraseSubModel(AnlSubModel* subModel);

  const std::vector<AcDbObjectId>& SubModelIds() const { return subModelIds_; }
  const std::vector<AcDbObjectId>& JobIds() const { return jobIds_; }
  const std::vector<AcDbObjectId>& ResultSetIds() const { return resultSetIds_; }
  const std::vector<AcDbObjectId>& ConstraintIds() const { return constraintIds_; }
  const std::vector<AcDbObjectId>& PairIds() const { return pairIds_; }

  // --- host side ---------------------------------------------------------------------------
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

 private:
  void File(DbFields& fields, Adesk::UInt16 version) const;
  void Read(DbFields& fields);
  template <class T>
  T* Member(const std::vector<AcDbObjectId>& ids, int index, bool openErased);
  template <class T>
  T* LiveMember(const std::vector<AcDbObjectId>& ids, int index);
  template <class T>
  int CountMarked(const std::vector<AcDbObjectId>& ids);
  AcDbObjectId Append(std::vector<AcDbObjectId>& ids, AcDbObject* object);

  std::vector<AcDbObjectId> subModelIds_;
  std::vector<AcDbObjectId> jobIds_;
  std::vector<AcDbObjectId> resultSetIds_;
  std::vector<AcDbObjectId> constraintIds_;
  std::vector<AcDbObjectId> pairIds_;
  std::size_t pairCursor_ = 0;
};
