#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

#include "amg/CaeExcept.h"
#include "amg/CaeLible.h"
#include "amg/CaeTable.h"
#include "engine_fixture.h"

namespace {

struct Node {
  long id;
};

int CompareId(const Node* a, const Node* b) { return a->id < b->id ? -1 : (a->id > b->id ? 1 : 0); }

std::vector<long> InOrder(const CaeTable<Node>& table) {
  std::vector<long> ids;
  for (CaeTable<Node>* n = table.FirstNode(); n; n = n->NextNode()) ids.push_back(n->Item()->id);
  return ids;
}

std::vector<long> Ring(const CaeLible<Node>& lible) {
  std::vector<long> ids;
  for (CaeLible<Node>* n = lible.FirstNode(); n->HasItem(); n = n->Next()) ids.push_back(n->Item()->id);
  return ids;
}

using TableTest = EngineTest;

TEST_F(TableTest, FindsByTheCompareRoutineAndWalksInKeyOrder) {
  std::vector<Node> nodes = {{5}, {1}, {9}, {3}, {7}};
  CaeTable<Node> table(&CompareId);
  for (Node& n : nodes) EXPECT_TRUE(CaeTable<Node>::IsNode(table.Insert(&n)));
  EXPECT_EQ(InOrder(table), (std::vector<long>{1, 3, 5, 7, 9}));
  Node probe{7};
  CaeTable<Node>* found = table.Find(&probe);
  ASSERT_TRUE(CaeTable<Node>::IsNode(found));
  EXPECT_EQ(found->Item(), &nodes[4]);
  Node absent{4};
  EXPECT_FALSE(CaeTable<Node>::IsNode(table.Find(&absent)));
  found->Remove();
  EXPECT_EQ(InOrder(table), (std::vector<long>{1, 3, 5, 9}));
  EXPECT_EQ(nodes[4].id, 7);  // the item itself is untouched
  table.RemoveAll();
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.Find(&nodes[0]), nullptr);
}

// Many mesh nodes arrive sorted by id; inserting, finding and removing them in bulk must stay
// correct (checked against std::multiset) and fast.
TEST_F(TableTest, StaysCorrectUnderManyInsertsAndRemovals) {
  const int count = 20000;
  std::vector<Node> nodes(count);
  for (int i = 0; i < count; ++i) nodes[i].id = i / 2;  // pairs of equal ids
  CaeTable<Node> table(&CompareId);
  std::multiset<long> expected;
  std::vector<CaeTable<Node>*> handles;
  for (Node& n : nodes) {
    handles.push_back(table.Insert(&n));
    expected.insert(n.id);
  }
  std::mt19937 random(7);
  std::vector<int> order(count);
  for (int i = 0; i < count; ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), random);
  for (int k = 0; k < count / 2; ++k) {
    int i = order[k];
    handles[i]->Remove();
    expected.erase(expected.find(nodes[i].id));
  }
  std::vector<long> remaining = InOrder(table);
  EXPECT_EQ(remaining, std::vector<long>(expected.begin(), expected.end()));
  for (int k = count / 2; k < count; ++k) {
    CaeTable<Node>* found = table.Find(&nodes[order[k]]);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->Item()->id, nodes[order[k]].id);
  }
}

TEST_F(TableTest, MisuseIsAConsistencyCheck) {
  Node a{1};
  CaeTable<Node> table(&CompareId);
  CaeTable<Node>* node = table.Insert(&a);
  EXPECT_THROW(table.Insert(nullptr), CaeExcept);
  EXPECT_THROW(node->RemoveAll(), CaeExcept);
  EXPECT_EQ(InOrder(table), (std::vector<long>{1}));
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages()[0].text, "General Error in CaeTable at line 88\r\n");
  EXPECT_EQ(Messages()[1].text, "General Error in CaeTable at line 159\r\n");
}

using LibleTest = EngineTest;

TEST_F(LibleTest, RingKeepsInsertionOrderWhileTheTreeFinds) {
  std::vector<Node> nodes = {{30}, {10}, {20}, {40}};
  CaeLible<Node> lible(&CompareId);
  lible.NewNode(&nodes[0]);
  lible.NewNode(&nodes[1]);
  lible.NewNode(&nodes[2]);
  lible.NewNodeAtFront(&nodes[3]);
  EXPECT_EQ(Ring(lible), (std::vector<long>{40, 30, 10, 20}));
  Node probe{10};
  CaeLible<Node>* found = lible.Find(&probe);
  ASSERT_TRUE(found->HasItem());
  EXPECT_EQ(found->Item(), &nodes[1]);

  found->Unlink();
  EXPECT_EQ(Ring(lible), (std::vector<long>{40, 30, 20}));
  EXPECT_EQ(lible.Find(&probe), &lible);
  // Inserting again at the front moves it there.
  lible.NewNodeAtFront(&nodes[1]);
  EXPECT_EQ(Ring(lible), (std::vector<long>{10, 40, 30, 20}));
  EXPECT_EQ(lible.Find(&probe)->Item(), &nodes[1]);
}

TEST_F(LibleTest, RemoveAllEmptiesRingAndTree) {
  std::vector<Node> nodes = {{3}, {1}, {2}};
  CaeLible<Node> lible(&CompareId);
  for (Node& n : nodes) lible.NewNode(&n);
  lible.RemoveAll();
  EXPECT_TRUE(lible.IsEmpty());
  for (Node& n : nodes) {
    CaeLible<Node>* found = lible.Find(&n);
    EXPECT_EQ(found, &lible);
    EXPECT_FALSE(found->HasItem());
  }
  lible.NewNode(&nodes[0]);
  EXPECT_EQ(Ring(lible), (std::vector<long>{3}));
}

TEST_F(LibleTest, MisuseIsAConsistencyCheck) {
  Node a{1};
  CaeLible<Node> lible(&CompareId);
  CaeLible<Node>* node = lible.NewNode(&a);
  EXPECT_THROW(lible.NewNode(nullptr), CaeExcept);
  EXPECT_THROW(node->RemoveAll(), CaeExcept);
  EXPECT_EQ(Ring(lible), (std::vector<long>{1}));
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages()[0].text, "General Error in CaeLible at line 107\r\n");
  EXPECT_EQ(Messages()[1].text, "General Error in CaeLible at line 144\r\n");
}

}  // namespace
