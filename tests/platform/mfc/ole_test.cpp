// Hosted outside controls: the property store of an unregistered class id (a hypertext text set
// and read back by dispatch id), and a registered implementation reached through InvokeHelper.
#include <gtest/gtest.h>

#include "mfc_fixture.h"

namespace {

const char* const kHost = R"(
DIALOG 270 "Host" SIZE 120 60
  CUSTOM 1490 "{C436DA22-A972-11D1-8033-0060B067C812}" 5 5 100 10
  CUSTOM 1445 "{TEST-COUNTER}" 5 20 100 30
END
)";

constexpr LONG kTextProperty = 0x68030000;

TEST(HostedControls, AnUnregisteredControlKeepsItsPropertiesByDispatchId) {
  mfctest::ResourceScope resources(kHost);
  CDialog dialog(270);
  ASSERT_TRUE(dialog.Create(270));
  CWnd* hypertext = dialog.GetDlgItem(1490);
  ASSERT_NE(hypertext, nullptr);

  BSTR address = SysAllocString(L"https://kestrum.example/inside");
  EXPECT_EQ(SysStringLen(address), 30u);
  hypertext->InvokeHelper(kTextProperty, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_PBSTR, &address);
  SysFreeString(address);
  BSTR read = nullptr;
  hypertext->InvokeHelper(kTextProperty, DISPATCH_PROPERTYGET, VT_BSTR, &read, VTS_NONE);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(std::wstring(read), L"https://kestrum.example/inside");
  SysFreeString(read);

  BSTR unset = nullptr;
  hypertext->InvokeHelper(0x1234, DISPATCH_PROPERTYGET, VT_BSTR, &unset, VTS_NONE);
  EXPECT_EQ(SysStringLen(unset), 0u);
  SysFreeString(unset);
  dialog.DestroyWindow();
}

class Counter : public mfc::HostedControl {
 public:
  bool invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& arguments, VARIANT& result) override {
    if (dispid != 7 || flags != DISPATCH_METHOD) return false;
    for (const VARIANT& a : arguments) total_ += a.vt == VT_R8 ? a.dblVal : a.lVal;
    result.vt = VT_R8;
    result.dblVal = total_;
    return true;
  }

 private:
  double total_ = 0;
};

TEST(HostedControls, ARegisteredImplementationAnswersItsMembersAndOthersAreLogged) {
  mfc::registerHostedControl("{TEST-COUNTER}", [] { return std::make_unique<Counter>(); });
  mfctest::ResourceScope resources(kHost);
  CDialog dialog(270);
  ASSERT_TRUE(dialog.Create(270));
  CWnd* counter = dialog.GetDlgItem(1445);
  double sum = 0;
  short two = 2;
  counter->InvokeHelper(7, DISPATCH_METHOD, VT_R8, &sum, VTS_I4 VTS_R8 VTS_PI2, LONG{40}, 0.5, &two);
  EXPECT_DOUBLE_EQ(sum, 42.5);
  counter->InvokeHelper(8, DISPATCH_METHOD, VT_R8, &sum, VTS_NONE);
  EXPECT_DOUBLE_EQ(sum, 42.5) << "a failed call leaves the result alone";
  EXPECT_EQ(mfc::logLines().back(), "warning: call 0x8 is not a member of the hosted control");
  dialog.GetDlgItem(1490)->InvokeHelper(kTextProperty, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE);
  EXPECT_EQ(mfc::hostedControl(dialog.m_hWnd), nullptr) << "a dialog is not a hosted control";
  dialog.DestroyWindow();
}

}  // namespace
