// Data exchange: values in both directions, and the platform's refusal of values that do not
// parse or are out of range (a message box, the focus back in the control, the exchange fails,
// the member keeps its last valid value).
#include <gtest/gtest.h>

#include "mfc_fixture.h"

namespace {

const char* const kForm = R"(
DIALOG 210 "Form" SIZE 160 120
  EDITTEXT 1001 "" 5 5 60 12
  EDITTEXT 1002 "" 5 20 60 12
  EDITTEXT 1003 "" 5 35 60 12
  COMBOBOX 1004 "" 5 50 60 60 CBS_DROPDOWNLIST
  RADIOBUTTON 1005 "Fixed" 5 65 40 10 WS_GROUP
  RADIOBUTTON 1006 "Scaled" 50 65 40 10
  RADIOBUTTON 1007 "Free" 95 65 40 10
  CHECKBOX 1008 "Verbose" 5 80 60 10 WS_GROUP
  COMBOBOX 1009 "" 70 80 60 60 CBS_DROPDOWN
END
)";

class FormDialog : public CDialog {
 public:
  FormDialog() : CDialog(210) {}
  int count = 5;
  double angle = 45.0;
  CString name = "beam";
  int unit = 1;
  int mode = 2;
  int verbose = 1;
  CString material;

  BOOL OnInitDialog() override {
    CComboBox* units = static_cast<CComboBox*>(GetDlgItem(1004));
    for (const char* u : {"meter", "millimeter", "inch"}) units->AddString(u);
    CComboBox* materials = static_cast<CComboBox*>(GetDlgItem(1009));
    for (const char* m : {"Steel", "Aluminium"}) materials->AddString(m);
    return CDialog::OnInitDialog();
  }

  void DoDataExchange(CDataExchange* dx) override {
    DDX_Text(dx, 1001, count);
    DDV_MinMaxInt(dx, count, 1, 20);
    DDX_Text(dx, 1002, angle);
    DDV_MinMaxDouble(dx, angle, 0.0, 180.0);
    DDX_Text(dx, 1003, name);
    DDX_CBIndex(dx, 1004, unit);
    DDX_Radio(dx, 1005, mode);
    DDX_Check(dx, 1008, verbose);
    DDX_CBString(dx, 1009, material);
  }
};

TEST(DataExchange, LoadsMembersIntoControlsAndSavesThemBack) {
  mfctest::ResourceScope resources(kForm);
  FormDialog form;
  form.material = "alu";
  ASSERT_TRUE(form.Create(210));
  EXPECT_EQ(mfctest::controlText(form, 1001), "5");
  EXPECT_EQ(mfctest::controlText(form, 1002), "45");
  EXPECT_EQ(mfctest::controlText(form, 1003), "beam");
  EXPECT_EQ(mfctest::controlText(form, 1004), "millimeter");
  EXPECT_EQ(form.IsDlgButtonChecked(1007), 1u);
  EXPECT_EQ(form.IsDlgButtonChecked(1005), 0u);
  EXPECT_EQ(form.IsDlgButtonChecked(1008), 1u);
  EXPECT_EQ(mfctest::controlText(form, 1009), "Aluminium") << "a text selects the entry it begins";

  form.SetDlgItemText(1001, " 12 ");
  form.SetDlgItemText(1002, "1.5e2");
  form.SetDlgItemText(1003, "plate");
  static_cast<CComboBox*>(form.GetDlgItem(1004))->SetCurSel(2);
  form.CheckRadioButton(1005, 1007, 1005);
  form.CheckDlgButton(1008, BST_UNCHECKED);
  EXPECT_TRUE(form.UpdateData(TRUE));
  EXPECT_EQ(form.count, 12);
  EXPECT_DOUBLE_EQ(form.angle, 150.0);
  EXPECT_EQ(form.name, "plate");
  EXPECT_EQ(form.unit, 2);
  EXPECT_EQ(form.mode, 0);
  EXPECT_EQ(form.verbose, 0);
  form.DestroyWindow();
}

struct RefusalCase {
  const char* name;
  int control;
  const char* text;
  const char* message;
  int count;     // the members afterwards: a text that does not parse leaves them alone, a value
  double angle;  // out of range has already been stored when the range check refuses it
  friend void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }
};

class DataExchangeRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(DataExchangeRefusal, ShowsThePlatformMessageRefocusesAndFails) {
  const RefusalCase& c = GetParam();
  mfctest::ResourceScope resources(kForm);
  mfctest::StepDriver driver;
  mfc::ScopedUserDriver installed(&driver);
  FormDialog form;
  ASSERT_TRUE(form.Create(210));
  form.SetDlgItemText(c.control, c.text);
  form.GetDlgItem(1003)->SetFocus();

  EXPECT_FALSE(form.UpdateData(TRUE));

  ASSERT_EQ(driver.boxes().size(), 1u);
  EXPECT_EQ(driver.boxes()[0].text, c.message);
  EXPECT_EQ(driver.boxes()[0].type, UINT{MB_OK | MB_ICONEXCLAMATION});
  EXPECT_EQ(CWnd::GetFocus(), form.GetDlgItem(c.control));
  EXPECT_EQ(form.count, c.count);
  EXPECT_DOUBLE_EQ(form.angle, c.angle);
  form.DestroyWindow();
}

const RefusalCase kRefusals[] = {
    {"IntegerThatIsNotANumber", 1001, "12a", "Please enter an integer.", 5, 45.0},
    {"EmptyInteger", 1001, "", "Please enter an integer.", 5, 45.0},
    {"IntegerAboveItsRange", 1001, "21", "Please enter an integer between 1 and 20.", 21, 45.0},
    {"IntegerBelowItsRange", 1001, "0", "Please enter an integer between 1 and 20.", 0, 45.0},
    {"RealThatIsNotANumber", 1002, "4,5", "Please enter a number.", 5, 45.0},
    {"RealOutOfRange", 1002, "180.5", "Please enter a number between 0 and 180.", 5, 180.5},
};

INSTANTIATE_TEST_SUITE_P(Cases, DataExchangeRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DataExchange, RefusedValueKeepsAModalDialogOpenOnOk) {
  mfctest::ResourceScope resources(kForm);
  FormDialog form;
  mfctest::StepDriver driver;
  driver.add([](CWnd& w) { EXPECT_EQ(mfc::userSetText(w.m_hWnd, 1001, "99"), ""); });
  driver.add([](CWnd& w) { mfc::userClick(w.m_hWnd, IDOK); });  // refused: the dialog stays
  driver.add([](CWnd& w) {
    EXPECT_TRUE(w.IsWindowVisible());
    EXPECT_EQ(mfc::userSetText(w.m_hWnd, 1001, "7"), "");
  });
  driver.add([](CWnd& w) { mfc::userClick(w.m_hWnd, IDOK); });
  mfc::ScopedUserDriver installed(&driver);
  EXPECT_EQ(form.DoModal(), IDOK);
  EXPECT_EQ(form.count, 7);
  EXPECT_EQ(driver.boxes().size(), 1u);
}

TEST(DataExchange, EmptyTextLeavesADropListSelectionAndRadioWithNoneCheckedIsMinusOne) {
  mfctest::ResourceScope resources(kForm);
  FormDialog form;
  ASSERT_TRUE(form.Create(210));
  CString empty;
  CDataExchange load(&form, FALSE);
  DDX_CBString(&load, 1004, empty);
  EXPECT_EQ(mfctest::controlText(form, 1004), "millimeter");
  form.CheckRadioButton(1005, 1007, 0);
  CDataExchange save(&form, TRUE);
  int mode = 99;
  DDX_Radio(&save, 1005, mode);
  EXPECT_EQ(mode, -1);
  form.DestroyWindow();
}

}  // namespace
