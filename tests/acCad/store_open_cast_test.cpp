// A stored object's engine part found through dbCrossCast: the same pointer dynamic_cast gives,
// whichever classes were cast before and wherever the part sits in the object.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "amg/CaeActive.h"
#include "arx/dbentity.h"
#include "db/dbOpen.h"

namespace {

// The engine part after the drawing's part, as the store's classes have it.
class PartAfter : public AcDbObject, public CaeActive {};
// The engine part first, with something before the drawing's part.
class PartFirst : public CaeActive, public AcDbEntity {
 public:
  double padding[5] = {};
};
// Another base between the two, and a class derived from one of the above.
struct Middle {
  virtual ~Middle() = default;
  char bytes[40] = {};
};
class PartLater : public AcDbEntity, public Middle, public CaeActive {};
class DerivedAfter : public PartAfter {
 public:
  int more = 0;
};
// No engine part at all.
class NoPart : public AcDbEntity, public Middle {};
// Two engine parts: dynamic_cast answers none.
class Twice : public PartAfter, public Middle {
 public:
  struct Second : CaeActive {
  } second;
};

TEST(StoreOpenCast, EachClassGetsWhatDynamicCastGivesInAnyOrder) {
  std::vector<std::unique_ptr<AcDbObject>> objects;
  objects.push_back(std::make_unique<PartAfter>());
  objects.push_back(std::make_unique<PartFirst>());
  objects.push_back(std::make_unique<NoPart>());
  objects.push_back(std::make_unique<PartLater>());
  objects.push_back(std::make_unique<DerivedAfter>());
  objects.push_back(std::make_unique<AcDbEntity>());
  objects.push_back(std::make_unique<Twice>());
  // Twice over, both ways round: a distance kept for one class is never used for another.
  for (int pass = 0; pass < 2; ++pass)
    for (std::size_t k = 0; k < objects.size(); ++k) {
      AcDbObject* object = objects[pass == 0 ? k : objects.size() - 1 - k].get();
      const std::string name = typeid(*object).name();
      EXPECT_EQ(dbCrossCast<CaeActive>(object), dynamic_cast<CaeActive*>(object)) << name << ", pass " << pass;
    }
  EXPECT_EQ(dbCrossCast<CaeActive>(nullptr), nullptr);
}

TEST(StoreOpenCast, TheFoundPartIsTheObjectsOwn) {
  PartLater first, second;
  second.MarkAsErased();
  ASSERT_NE(dbCrossCast<CaeActive>(&first), nullptr);
  ASSERT_NE(dbCrossCast<CaeActive>(&second), nullptr);
  EXPECT_FALSE(dbCrossCast<CaeActive>(&first)->IsMarkedAsErased());
  EXPECT_TRUE(dbCrossCast<CaeActive>(&second)->IsMarkedAsErased());
  EXPECT_EQ(dbCrossCast<Middle>(&second), static_cast<Middle*>(&second));
}

}  // namespace
