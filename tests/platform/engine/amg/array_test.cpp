#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "amg/CaeArray.h"
#include "amg/CaeString.h"
#include "amg/CaeUnit.h"

namespace {

template <class T>
std::vector<T> Items(const CaeArray<T>& array) {
  std::vector<T> items;
  for (int i = 0; i < array.Count(); ++i) items.push_back(*array.ItemAt(i));
  return items;
}

TEST(ArrayTest, InsertAtShiftsTheRestUpAndReturnsTheNewCount) {
  CaeArray<int> array;
  EXPECT_EQ(array.Count(), 0);
  EXPECT_EQ(array.Data(), nullptr);
  EXPECT_EQ(array.Append(1), 1);
  EXPECT_EQ(array.Append(2), 2);
  EXPECT_EQ(array.Append(3), 3);
  EXPECT_EQ(array.InsertAt(0, 9), 4);
  EXPECT_EQ(Items(array), (std::vector<int>{9, 1, 2, 3}));
  EXPECT_EQ(array.InsertAt(2, 8), 5);
  EXPECT_EQ(Items(array), (std::vector<int>{9, 1, 8, 2, 3}));
  EXPECT_EQ(array.RemoveAt(0), 4);
  EXPECT_EQ(Items(array), (std::vector<int>{1, 8, 2, 3}));
}

TEST(ArrayTest, StringArraysStartEmptyAndCopyDeeply) {
  CaeArray<CaeString> texts(3);
  EXPECT_EQ(texts.Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(texts[i].IsEmpty());
  texts[1] = "middle";
  CaeArray<CaeString> copy = texts;
  copy[1] = "changed";
  copy.Append("more");
  EXPECT_EQ(texts[1].Str(), "middle");
  EXPECT_EQ(texts.Count(), 3);
  EXPECT_EQ(copy.Count(), 4);
  CaeArray<CaeString> moved = std::move(copy);
  EXPECT_EQ(moved[3].Str(), "more");
}

TEST(ArrayTest, UnitArraysDefaultToLength) {
  CaeArray<CaeUnit> units(2);
  units.InsertAt(1, CaeUnit(CaeUtStress));
  EXPECT_EQ(units[0].Type(), CaeUtLength);
  EXPECT_EQ(units[1].Type(), CaeUtStress);
  EXPECT_EQ(units[2].Type(), CaeUtLength);
}

}  // namespace
