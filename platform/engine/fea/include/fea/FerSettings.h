// Results display settings. Settings travel by value: callers take a sub-setting out, change it
// and put it back (FerDispSettings), then hand the whole record to the display.
#pragma once

#include "amg/CaeString.h"
#include "amg/CaeTransform.h"

// Colour codes of the results display.
enum FerColor : int {
  FerBlue = 8,
  FerGreen = 10,
  FerLightBlue = 11,
  FerRed = 12,
  FerMagenta = 13,
  FerYellow = 14,
  FerBrown = 36,
  FerGrey = 37,
};

// Deformation scale: 1 a scale factor, 2 a percentage of the model size.
enum FerScale : int { FerScaleFactor = 1, FerScalePercent = 2 };

// What the data of a setting are read with (handed to result queries).
struct FerDataSetting {
  int result = 0;
  int component = 0;
  int average = 0;
  int surface = 0;
};

// The part every colour, deformed and symbol setting shares.
class FerDispSetting {
 public:
  void SetResult(int quantityType) { data_.result = quantityType; }
  int GetResult() const { return data_.result; }
  void Visible(int flag) { visible_ = flag ? 1 : 0; }
  int IsVisible() const { return visible_; }
  void Average(int flag) { data_.average = flag ? 1 : 0; }
  int IsAveraged() const { return data_.average; }
  void Error(int flag) { error_ = flag ? 1 : 0; }
  int IsError() const { return error_; }
  // One component bit among bits 0 to 10; the lowest bit set is the one shown.
  void SetComponent(int mask) { data_.component = mask; }
  int GetComponent() const { return data_.component; }
  // Coordinate system of the components: kind 0 Cartesian, anything else cylindrical.
  void SetCS(const CaeTransform& transform, int cylindrical) {
    csTransform_ = transform;
    csKind_ = cylindrical ? 1 : 0;
  }
  void GetCS(CaeTransform& transform, int& kind) const {
    transform = csTransform_;
    kind = csKind_;
  }
  // Shell surface: 0 top, 2 bottom.
  void SetSurface(int surface) { data_.surface = surface; }
  int GetSurface() const { return data_.surface; }
  // Factor of safety: 0 off, 1 a user value, 2 the material's yield.
  void UseFactorOfSafety(int mode) { fosMode_ = mode; }
  int FactorOfSafetyUsed() const { return fosMode_; }
  void SetFactorOfSafetyValue(double value) { fosValue_ = value; }
  double GetFactorOfSafetyValue() const { return fosValue_; }
  const FerDataSetting& GetDataSetting() const { return data_; }
  // Material-dependent colouring is derived when drawn; nothing is cached to re-derive.
  void UpdateMaterial() {}

 private:
  FerDataSetting data_;
  int visible_ = 0;
  int error_ = 0;
  CaeTransform csTransform_;
  int csKind_ = 0;
  int fosMode_ = 0;
  double fosValue_ = 1.0;
};

class FerColorSetting : public FerDispSetting {
 public:
  // 0 contours, 4 colour by value.
  void SetMethod(int method) { method_ = method; }
  int GetMethod() const { return method_; }
  // 1 full range, 2 min and max, 3 max and increment, 4 min and increment.
  void SetRangeType(int type) { rangeType_ = type; }
  int GetRangeType() const { return rangeType_; }
  // Native values; min == max means that no range is stored.
  void SetRange(double min, double max, double increment) {
    min_ = min;
    max_ = max;
    increment_ = increment;
  }
  void GetRange(double& min, double& max, double& increment) const {
    min = min_;
    max = max_;
    increment = increment_;
  }
  void SetNumberIntervals(int count) { intervals_ = count; }
  int GetNumberIntervals() const { return intervals_; }
  // 0 red-blue, 1 white-blue, 2 grey, 3 black-white; other values read back as 0.
  void SetColorStyle(int style) { style_ = style; }
  int GetColorStyle() const { return style_ >= 0 && style_ <= 3 ? style_ : 0; }

 private:
  int method_ = 0;
  int rangeType_ = 1;
  double min_ = 0.0;
  double max_ = 0.0;
  double increment_ = 0.0;
  int intervals_ = 9;
  int style_ = 0;
};

class FerDeformedSetting : public FerDispSetting {
 public:
  void SetMethod(FerScale method) { method_ = method; }
  FerScale GetMethod() const { return method_; }
  void SetFactor(double factor) { factor_ = factor; }
  double GetFactor() const { return factor_; }
  void SetPercent(double percent) { percent_ = percent; }
  double GetPercent() const { return percent_; }
  void ShowUndeformed(int flag) { undeformed_ = flag ? 1 : 0; }
  int UndeformedShown() const { return undeformed_; }
  void SetUndeformedColor(FerColor color) { undeformedColor_ = color; }
  FerColor GetUndeformedColor() const { return undeformedColor_; }

 private:
  FerScale method_ = FerScalePercent;
  double factor_ = 1.0;
  double percent_ = 10.0;
  int undeformed_ = 0;
  FerColor undeformedColor_ = FerGrey;
};

class FerSymbolSetting : public FerDispSetting {
 public:
  // Whether symbols of the setting's quantity can only sit at nodes (it has no element values).
  int NodalOnly() const;
  // 1 nodes, 2 element centroids, 3 element faces.
  void SetLocation(int location) { location_ = location; }
  int GetLocation() const { return location_; }
  // 0 a fixed size, 2 a percentage of the model.
  void SetMethod(int method) { method_ = method; }
  int GetMethod() const { return method_; }
  void SetFactor(double factor) { factor_ = factor; }
  double GetFactor() const { return factor_; }
  void SetPercent(double percent) { percent_ = percent; }
  double GetPercent() const { return percent_; }
  void SetFixedSize(double size) { fixedSize_ = size; }
  double GetFixedSize() const { return fixedSize_; }
  void SetColor(FerColor color) { color_ = color; }
  FerColor GetColor() const { return color_; }

 private:
  int location_ = 1;
  int method_ = 2;
  double factor_ = 1.0;
  double percent_ = 5.0;
  double fixedSize_ = 1.0;
  FerColor color_ = FerRed;
};

class FerAnimationSetting {
 public:
  // -1: endless.
  void SetNumberRepetitions(int count) { repetitions_ = count; }
  int GetNumberRepetitions() const { return repetitions_; }
  void SetNumberFrames(int count) { frames_ = count; }
  int GetNumberFrames() const { return frames_; }
  void SetSpeedLimit(double limit) { speedLimit_ = limit; }
  double GetSpeedLimit() const { return speedLimit_; }

 private:
  int repetitions_ = -1;
  int frames_ = 12;
  double speedLimit_ = 10.0;
};

// The whole display record of a results view.
class FerDispSettings {
 public:
  const CaeString& GetResultSet() const { return resultSet_; }
  void SetResultSet(const CaeString& name) { resultSet_ = name; }
  // 1-based.
  int GetResultSubSet() const { return subSet_; }
  void SetResultSubSet(int subSet) { subSet_ = subSet; }
  void ShowEdges(int flag) { edges_ = flag ? 1 : 0; }
  int EdgesShown() const { return edges_; }
  FerColorSetting GetColorSettings() const { return color_; }
  void SetColorSettings(const FerColorSetting& setting) { color_ = setting; }
  FerDeformedSetting GetDeformedSettings() const { return deformed_; }
  void SetDeformedSettings(const FerDeformedSetting& setting) { deformed_ = setting; }
  FerSymbolSetting GetSymbolSettings() const { return symbol_; }
  void SetSymbolSettings(const FerSymbolSetting& setting) { symbol_ = setting; }
  FerAnimationSetting GetAnimationSettings() const { return animation_; }
  void SetAnimationSettings(const FerAnimationSetting& setting) { animation_ = setting; }

 private:
  CaeString resultSet_;
  int subSet_ = 1;
  int edges_ = 0;
  FerColorSetting color_;
  FerDeformedSetting deformed_;
  FerSymbolSetting symbol_;
  FerAnimationSetting animation_;
};
