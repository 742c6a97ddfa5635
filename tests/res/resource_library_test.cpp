// The built resource library "ZqFEA_ENU": found the way the add-in builds its path, holding the
// frame's texts exactly as worded, its message table and its dialog templates.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <deque>
#include <fstream>

#include "mfc/afx.h"
#include "res/ResourceIds.h"
#include "test_env.h"

namespace {

class ResourceLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    // "<Common Directory>\res\ZqFEA_" + locale, with the platform's ".dll" implied.
    std::string path = kestrum::test::buildPath("").string() + "\\res\\ZqFEA_ENU";
    module = LoadLibraryA(path.c_str());
    ASSERT_NE(module, nullptr) << "no resource library at " << path;
    previous = AfxGetResourceHandle();
    AfxSetResourceHandle(module);
  }
  void TearDown() override {
    AfxSetResourceHandle(previous);
    if (module) FreeLibrary(module);
  }
  HINSTANCE module = nullptr;
  HINSTANCE previous = nullptr;
};

struct StringCase {
  UINT id;
  const char* text;
};

TEST_F(ResourceLibrary, HoldsTheFramesStringsAsWorded) {
  const StringCase strings[] = {
      {19, "(command  \"_.menuunload\""},
      {20, "(command \"_.menuload\" "},
      {53, "_.REGENALL"},
      {232, "(menucmd \"P11=+acad.pop16\")"},
      {508, "Kestrum Inside"},
      {580, "%lu KB Total, %lu KB Available"},
      {586, "%s %i.%i (build %i) %s"},
      {627, "Concentration point:  "},
      {683, "Kestrum Inside for Mechanical Desktop V6.2"},
      {811,
       "The last command invalidated the upper or lower bound on the following design variable(s).\n    %s\n"
       "Edit before submitting an optimization job."},
      {1259, "&kS.Inside"},
  };
  for (const StringCase& s : strings) {
    char buffer[256];
    LoadStringA(module, s.id, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, s.text) << "string " << s.id;
  }
}

TEST_F(ResourceLibrary, MessagesKeepTheirLineBreakAndTakeInserts) {
  const DWORD_PTR arguments[] = {reinterpret_cast<DWORD_PTR>("acCad.cpp"), reinterpret_cast<DWORD_PTR>("12")};
  char* text = nullptr;
  ASSERT_GT(FormatMessageA(0x2900, module, 0xC0000FA2, 0, reinterpret_cast<LPSTR>(&text), 0, arguments), 0u);
  EXPECT_STREQ(text, "General Error in acCad.cpp at line 12\r\n");
  LocalFree(text);
}

TEST_F(ResourceLibrary, TemplatesHaveTheControlsTheFrameUses) {
  struct TemplateCase {
    UINT id;
    const char* caption;
    std::vector<int> controls;
  };
  const TemplateCase templates[] = {
      {103, "Drawing Length Unit", {1000, IDOK, 1046}},
      {168, "About Kestrum Inside", {IDOK, 1241, 1242, 1243, 1244, 1245, 1247, 1254, 1490}},
      {900, "Kestrum Inside", {1560, 1558, 1559, 65535, IDCANCEL}},
  };
  auto resources = mfc::moduleOf(module);
  for (const TemplateCase& t : templates) {
    const mfc::DialogTemplate* dialog = resources->dialog(t.id);
    ASSERT_NE(dialog, nullptr) << "template " << t.id;
    EXPECT_EQ(dialog->caption, t.caption);
    for (int id : t.controls) {
      bool found = false;
      for (const auto& c : dialog->controls) found = found || c.id == id;
      EXPECT_TRUE(found) << "template " << t.id << " lacks control " << id;
    }
  }
  EXPECT_EQ(resources->dialog(900)->cx, 182);
  EXPECT_EQ(resources->dialog(900)->cy, 66);
}

TEST_F(ResourceLibrary, AboutBoxHostsTheHypertextControlByItsClassId) {
  CDialog about(168);
  ASSERT_TRUE(about.Create(168));
  CWnd* hosted = about.GetDlgItem(1490);
  ASSERT_NE(hosted, nullptr);
  std::string text = mfc::renderWindow(about.m_hWnd);
  EXPECT_NE(text.find("  control {C436DA22-A972-11D1-8033-0060B067C812} 1490 \"\"\n"), std::string::npos) << text;
  about.DestroyWindow();
}

// The generated header and the module come from one compile: a name means what the module holds.
TEST_F(ResourceLibrary, GeneratedIdsNameWhatTheModuleHolds) {
  const struct {
    int id;
    const char* text;
  } strings[] = {{IDS_PRODUCT_NAME, "Kestrum Inside"},
                 {IDS_CAEP_STRESS_WIZARD, "CAEP_STRESS_WIZARD"},
                 {IDS_CAEP_SIM_DOCTOR, "CAEP_SIM_DOCTOR"},
                 {IDS_UNIT_ABBR_RAD_PER_SEC, "rad/sec"},
                 {IDS_EXPLORER_TAB_TITLE, "&kS.Inside"}};
  for (const auto& s : strings) {
    char buffer[256];
    LoadStringA(module, static_cast<UINT>(s.id), buffer, sizeof buffer);
    EXPECT_STREQ(buffer, s.text) << "string " << s.id;
  }
  auto resources = mfc::moduleOf(module);
  ASSERT_NE(resources->dialog(IDD_PROGRESS), nullptr);
  EXPECT_EQ(resources->dialog(IDD_ABOUT)->caption, "About Kestrum Inside");
  ASSERT_NE(resources->message(MSG_UNHANDLED_EXCEPTION), nullptr);
  EXPECT_EQ(*resources->message(MSG_UNHANDLED_EXCEPTION), "TLX Unhandled Exception: %1 \r\n");
  ASSERT_NE(resources->bitmap(mfc::pictureKey(IDB_ABOUT_SPLASH)), nullptr);
}

// The drawing-unit dialog driven by the host's "@" lines, with ids given by their names.
TEST_F(ResourceLibrary, UnitDialogDrivenByActionLines) {
  std::deque<mfc::ActionLine> lines{{"@select IDC_DRAWING_UNIT millimeter", 1}, {"@show", 2}, {"@click IDOK", 3}};
  std::string output;
  mfc::ActionLineDriver driver(
      [&]() -> std::optional<mfc::ActionLine> {
        if (lines.empty()) return std::nullopt;
        auto line = lines.front();
        lines.pop_front();
        return line;
      },
      [&](const std::string& text) { output += text; });
  mfc::ScopedUserDriver installed(&driver);
  struct UnitDialog : CDialog {
    UnitDialog() : CDialog(103) {}
    CString unit;
    BOOL OnInitDialog() override {
      auto* combo = static_cast<CComboBox*>(GetDlgItem(1000));
      for (const char* u : {"meter", "centimeter", "millimeter", "inch", "foot"}) combo->AddString(u);
      combo->SetCurSel(0);
      return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* dx) override { DDX_CBString(dx, 1000, unit); }
  } dialog;
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.unit, "millimeter");
  EXPECT_NE(output.find("combo 1000 \"millimeter\" [meter|centimeter|*millimeter|inch|foot] focus\n"),
            std::string::npos)
      << output;
}

}  // namespace

namespace {

// Runs the resource compiler; returns its exit code and what it printed.
int compile(const std::vector<std::string>& arguments, std::string& output) {
  std::string command = kestrum::test::buildPath("bin/kestrum_rescomp").string();
  for (const std::string& a : arguments) command += " '" + a + "'";
  command += " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
  int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ResourceCompiler, AFaultySourceStopsTheBuildAndLeavesTheOldModule) {
  kestrum::test::TempDir dir;
  std::ofstream(dir / "good.txt") << "STRING 1 \"one\"\n";
  std::ofstream(dir / "bad.txt") << "STRING 2 \"two\"\nSTRING 1 \"again\"\n";
  std::string module = (dir / "ZqFEA_TST.dll").string();
  std::string output;
  ASSERT_EQ(compile({module, (dir / "good.txt").string()}, output), 0) << output;
  std::string before = kestrum::test::readFile(module);
  EXPECT_EQ(before, "KESTRUM-RESOURCES 1\nSTRING 1 \"one\"\n");

  output.clear();
  EXPECT_EQ(compile({module, (dir / "good.txt").string(), (dir / "bad.txt").string()}, output), 1);
  EXPECT_EQ(output, (dir / "bad.txt").string() + ":2: string 1 is defined twice\n");
  EXPECT_EQ(kestrum::test::readFile(module), before);
  EXPECT_FALSE(std::filesystem::exists(module + ".tmp"));
}

TEST(ResourceCompiler, ANumeralAsANameStopsTheBuildAndWritesNothing) {
  kestrum::test::TempDir dir;
  std::ofstream(dir / "names.txt") << "STRING 9 \"nine\"\nNAME 0 9\nSTRING 0 \"zero\"\n";
  std::string module = (dir / "ZqFEA_TST.dll").string();
  std::string header = (dir / "ids.h").string();
  std::string output;
  EXPECT_EQ(compile({"--header", header, module, (dir / "names.txt").string()}, output), 1);
  EXPECT_EQ(output, (dir / "names.txt").string() + ":2: a NAME cannot be a number: '0'\n");
  EXPECT_FALSE(std::filesystem::exists(module));
  EXPECT_FALSE(std::filesystem::exists(header));
}

TEST(ResourceCompiler, WritesTheHeaderOfTheIdsItCompiled) {
  kestrum::test::TempDir dir;
  std::ofstream(dir / "a.txt") << "NAME IDS_ONE 1\nSTRING IDS_ONE \"one\"\n";
  std::string header = (dir / "include" / "ids.h").string();
  std::string output;
  ASSERT_EQ(compile({"--header", header, (dir / "m.dll").string(), (dir / "a.txt").string()}, output), 0) << output;
  EXPECT_NE(kestrum::test::readFile(header).find("inline constexpr int IDS_ONE = 1;\n"), std::string::npos);
}

}  // namespace
