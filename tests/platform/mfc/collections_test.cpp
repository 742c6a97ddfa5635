// CPtrList walks and edits by POSITION; CArray and CStringArray grow, insert and refuse bad indices.
#include <gtest/gtest.h>

#include "mfc/collections.h"

namespace {

std::vector<int> values(const CPtrList& list) {
  std::vector<int> out;
  for (POSITION p = list.GetHeadPosition(); p;) out.push_back(*static_cast<int*>(list.GetNext(p)));
  return out;
}

TEST(PtrList, WalksBothWaysAndEditsByPosition) {
  int a = 1, b = 2, c = 3, d = 4;
  CPtrList list(10);
  list.AddTail(&b);
  list.AddHead(&a);
  POSITION last = list.AddTail(&d);
  list.InsertBefore(last, &c);
  EXPECT_EQ(values(list), (std::vector<int>{1, 2, 3, 4}));

  std::vector<int> backwards;
  for (POSITION p = list.GetTailPosition(); p;) backwards.push_back(*static_cast<int*>(list.GetPrev(p)));
  EXPECT_EQ(backwards, (std::vector<int>{4, 3, 2, 1}));

  // Removing the element just walked past is the usual way to filter a list.
  for (POSITION p = list.GetHeadPosition(); p;) {
    POSITION here = p;
    if (*static_cast<int*>(list.GetNext(p)) % 2 == 0) list.RemoveAt(here);
  }
  EXPECT_EQ(values(list), (std::vector<int>{1, 3}));
  EXPECT_EQ(list.Find(&c), list.FindIndex(1));
  EXPECT_EQ(list.Find(&b), nullptr);
  EXPECT_EQ(list.FindIndex(2), nullptr);
  EXPECT_EQ(list.RemoveHead(), &a);
  EXPECT_EQ(list.RemoveTail(), &c);
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_THROW(list.RemoveHead(), std::out_of_range);
  EXPECT_THROW(list.RemoveAt(last), std::out_of_range) << "a removed position is refused";
}

TEST(Arrays, GrowInsertRemoveAndRefuseBadIndices) {
  CArray<double> numbers;
  numbers.Add(1.5);
  numbers.SetAtGrow(3, 4.5);
  EXPECT_EQ(numbers.GetSize(), 4);
  EXPECT_DOUBLE_EQ(numbers[1], 0.0);
  numbers.InsertAt(1, 9.0, 2);
  EXPECT_EQ(numbers.GetSize(), 6);
  numbers.RemoveAt(0, 3);
  EXPECT_EQ(numbers.GetSize(), 3);
  EXPECT_DOUBLE_EQ(numbers[2], 4.5);
  EXPECT_THROW(numbers.GetAt(3), std::out_of_range);
  EXPECT_THROW(numbers.RemoveAt(2, 2), std::out_of_range);

  CStringArray names;
  names.Add("Load 1");
  names.Add("Load 2");
  names[0].Replace(' ', '_');
  EXPECT_EQ(names.GetAt(0), "Load_1");
  EXPECT_EQ(names.GetUpperBound(), 1);
}

}  // namespace
