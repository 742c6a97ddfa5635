#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "amg/CaeExcept.h"
#include "amg/CaeList.h"
#include "amg/CaeStringList.h"
#include "engine_fixture.h"

namespace {

// An item that counts the live instances, to see who deletes what.
struct Tracked {
  explicit Tracked(int v = 0) : value(v) { ++alive; }
  virtual ~Tracked() { --alive; }
  int value;
  static int alive;
};
int Tracked::alive = 0;

std::vector<int> Walk(CaeList<Tracked>& list) {
  std::vector<int> values;
  for (CaeList<Tracked>* n = list.FirstNode(); n->HasItem(); n = n->Next()) values.push_back(n->Item()->value);
  return values;
}

std::vector<int> WalkBack(CaeList<Tracked>& list) {
  std::vector<int> values;
  for (CaeList<Tracked>* n = list.LastNode(); n->HasItem(); n = n->Prev()) values.push_back(n->Item()->value);
  return values;
}

using ListTest = EngineTest;

TEST_F(ListTest, AppendAndPrependKeepTheirOrderFromTheHeadOrANode) {
  Tracked a(1), b(2), c(3), d(4);
  CaeList<Tracked> appended;
  appended.Append(&a);
  appended.Append(&b);
  appended.Append(&c);
  EXPECT_EQ(Walk(appended), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(WalkBack(appended), (std::vector<int>{3, 2, 1}));

  CaeList<Tracked> prepended;
  prepended.Prepend(&a);
  prepended.Prepend(&b);
  prepended.Prepend(&c);
  EXPECT_EQ(Walk(prepended), (std::vector<int>{3, 2, 1}));

  // On an item node, Append inserts before it and Prepend after it.
  CaeList<Tracked>* middle = appended.Find(&b);
  middle->Append(&d);
  EXPECT_EQ(Walk(appended), (std::vector<int>{1, 4, 2, 3}));
  middle->Prepend(&d);
  EXPECT_EQ(Walk(appended), (std::vector<int>{1, 4, 2, 4, 3}));
  EXPECT_EQ(appended.Count(), 5);
  EXPECT_EQ(middle->Count(), 5);
}

TEST_F(ListTest, FindAnswersTheFirstMatchOrTheHead) {
  Tracked a(1), b(2), absent(9);
  CaeList<Tracked> list;
  CaeList<Tracked>* first = list.Append(&a);
  list.Append(&b);
  list.Append(&a);
  EXPECT_EQ(list.Find(&a), first);
  CaeList<Tracked>* head = list.Find(&absent);
  EXPECT_EQ(head, &list);
  EXPECT_FALSE(head->HasItem());
  EXPECT_EQ(head->Item(), nullptr);
}

TEST_F(ListTest, RemovingNodesNeverDeletesItemsOfAPlainList) {
  {
    auto* a = new Tracked(1);
    auto* b = new Tracked(2);
    {
      CaeList<Tracked> list;
      list.Append(a);
      list.Append(b);
      list.Find(a)->RemoveNode();
      EXPECT_EQ(Walk(list), (std::vector<int>{2}));
      list.Append(a);
    }
    EXPECT_EQ(Tracked::alive, 2);
    delete a;
    delete b;
  }
  EXPECT_EQ(Tracked::alive, 0);
}

TEST_F(ListTest, OwningListsDeleteTheirItemsWhenClearedOrDestroyed) {
  {
    CaePrimaryList<Tracked> primary;
    primary.Append(new Tracked(1));
    primary.Append(new Tracked(2));
    EXPECT_EQ(Tracked::alive, 2);
    primary.RemoveAll();
    EXPECT_EQ(Tracked::alive, 0);
    EXPECT_TRUE(primary.IsEmpty());
    primary.Append(new Tracked(3));
  }
  EXPECT_EQ(Tracked::alive, 0);
  CaeStringList names;
  names.Prepend(new CaeString("b"));
  names.Prepend(new CaeString("a"));
  std::vector<std::string> texts;
  for (CaeString* s : names) texts.push_back(s->Str());
  EXPECT_EQ(texts, (std::vector<std::string>{"a", "b"}));
}

TEST_F(ListTest, AppendListMovesEveryNodeAndEmptiesTheOther) {
  Tracked a(1), b(2), c(3);
  CaeList<Tracked> target, source;
  target.Append(&a);
  source.Append(&b);
  source.Append(&c);
  EXPECT_EQ(&target.AppendList(source), &source);
  EXPECT_EQ(Walk(target), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(WalkBack(target), (std::vector<int>{3, 2, 1}));
  EXPECT_TRUE(source.IsEmpty());
  CaeList<Tracked> empty;
  target.AppendList(empty);
  EXPECT_EQ(target.Count(), 3);
}

struct Misuse {
  const char* name;
  std::function<void(CaeList<Tracked>& list)> act;
  int line;
};

TEST_F(ListTest, MisuseIsAConsistencyCheckThatLeavesTheListAsItWas) {
  Tracked a(1), b(2);
  const std::vector<Misuse> cases = {
      {"append null", [](CaeList<Tracked>& l) { l.Append(nullptr); }, 133},
      {"prepend null", [](CaeList<Tracked>& l) { l.Prepend(nullptr); }, 114},
      {"remove the head", [](CaeList<Tracked>& l) { l.RemoveNode(); }, 100},
      {"clear from an item node", [](CaeList<Tracked>& l) { l.FirstNode()->RemoveAll(); }, 211},
      {"append an item node's list", [](CaeList<Tracked>& l) { l.AppendList(*l.FirstNode()); }, 193},
  };
  for (const Misuse& m : cases) {
    SCOPED_TRACE(m.name);
    Messages().clear();
    CaeList<Tracked> list;
    list.Append(&a);
    list.Append(&b);
    EXPECT_THROW(m.act(list), CaeExcept);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].level, 2);
    EXPECT_EQ(Messages()[0].text, "General Error in CaeList at line " + std::to_string(m.line) + "\r\n");
    EXPECT_EQ(Walk(list), (std::vector<int>{1, 2}));
  }
}

TEST_F(ListTest, CursorListWalksWithFirstAndNextAfter) {
  Tracked a(1), b(2), c(3), stranger(9);
  CaeCursorList<Tracked> list;
  EXPECT_EQ(list.First(), nullptr);
  EXPECT_EQ(list.NextAfter(nullptr), nullptr);
  list.Append(&a);
  list.Append(&b);
  list.Append(&c);

  EXPECT_EQ(list.First(), &a);
  EXPECT_EQ(list.NextAfter(nullptr), &b);
  EXPECT_EQ(list.NextAfter(&b), &c);            // the current item: one node on
  EXPECT_EQ(list.NextAfter(nullptr), nullptr);  // past the last item: the head
  EXPECT_EQ(list.Current(), nullptr);
  EXPECT_EQ(list.NextAfter(nullptr), &a);  // from the head round to the front

  EXPECT_EQ(list.NextAfter(&a), &b);
  EXPECT_EQ(list.NextAfter(&a), &b);  // an item that is not current is looked up
  EXPECT_EQ(list.NextAfter(&stranger), nullptr);
  EXPECT_EQ(list.Current(), &b);  // the cursor stayed where it was
  EXPECT_EQ(list.NextAfter(nullptr), &c);
}

TEST_F(ListTest, OwningCursorListDeletesItsRecords) {
  {
    CaeCursorList<Tracked, CaeOwningList<Tracked>> records;
    records.Append(new Tracked(1));
    records.Append(new Tracked(2));
    EXPECT_EQ(records.First()->value, 1);
  }
  EXPECT_EQ(Tracked::alive, 0);
}

}  // namespace
