// The chart's automation objects: counted sub-objects that refer into the chart they came from
// (they keep it alive, so a wrapper that outlives its window stays harmless).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mfc/ole.h"
#include "model.h"

namespace chart {

// What the control and its objects share.
struct Shared {
  Model model;
  HWND window = nullptr;
  int refreshes = 0;  // standard refresh calls (the preview's repaint)
};
using SharedPtr = std::shared_ptr<Shared>;

// The client size of the chart's window (a fixed size when it has none).
std::pair<int, int> ClientSize(const Shared& shared);

// Argument and result helpers shared by the control and its objects.
namespace args {
bool IsGet(WORD flags, const std::vector<VARIANT>& arguments, std::size_t count = 0);
bool IsPut(WORD flags, const std::vector<VARIANT>& arguments, std::size_t count = 1);
bool IsCall(WORD flags, const std::vector<VARIANT>& arguments, std::size_t count);
std::optional<long> Int(const VARIANT& value);
std::optional<double> Real(const VARIANT& value);
std::optional<std::string> Text(const VARIANT& value);
void SetInt(VARIANT& result, long value, VARTYPE type = VT_I4);
void SetBool(VARIANT& result, bool value);
void SetReal(VARIANT& result, double value);
void SetText(VARIANT& result, const std::string& value);
// Hands out a new object (its first reference goes to the receiver).
void SetObject(VARIANT& result, IDispatch* object);
// Logs why a call is refused; answers false.
bool Refuse(const std::string& why);
}  // namespace args

// The objects the control itself hands out (dispatch ids 1, 2, 3, 8, 9).
IDispatch* MakeHeader(const SharedPtr& shared);
IDispatch* MakeFooter(const SharedPtr& shared);
IDispatch* MakeLegend(const SharedPtr& shared);
IDispatch* MakeChartArea(const SharedPtr& shared);
IDispatch* MakeChartGroups(const SharedPtr& shared);

}  // namespace chart
