// The design doctor's parameters page: the yield stresses of the model's materials as the page
// edits them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "amg/CaeString.h"

class AnlModel;

// The materials of a model with the yield stress (native) the doctor judges them by, ordered by
// the bytes of their names. A material the user gave a new yield is marked edited: only those are
// written back into the model, so that a doctor run leaves every other material, its temperature
// rows included, as it was.
class DocMaterialYields {
 public:
  // Enters each material of the model's live sub-models (with a live mesh) not listed yet, with
  // the yield of its first row.
  void Collect(AnlModel* model);
  std::vector<CaeString> Names() const;
  // False when the material is not listed.
  bool Yield(const CaeString& material, double& yield) const;
  bool IsEdited(const CaeString& material) const;
  // The user's yield for a material: it becomes the material's and marks it edited when it
  // differs from the one listed. False when the material is not listed.
  bool Edit(const CaeString& material, double yield);
  // Writes each edited material's yield into every row of that material in the model that
  // differs. Answers 1 when a material changed, 0 when none did, -1 when a material of the model
  // is not listed (nothing is written then).
  int WriteBack(AnlModel* model) const;

 private:
  struct Entry {
    double yield = 0.0;
    bool edited = false;
  };
  std::map<std::string, Entry> entries_;
};
