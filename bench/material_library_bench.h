// What the benches of the material pages share: a library of 2,000 materials of 5 rows each in the
// system's own file form, a CAD that opens it, and a person who plays queued steps on the modal
// window waiting and answers every message box with OK.
#pragma once

#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "cadInterface/CadInterface.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "mfc/afx.h"
#include "mfc/user_actions.h"

namespace bench_library {

constexpr int kMaterials = 2000;
constexpr int kRows = 5;

inline std::string MaterialName(int i) {
  char name[32];
  std::snprintf(name, sizeof name, "Mat%05d", i);
  return name;
}

// One "Material:" header per row.
inline void WriteLibrary(const std::filesystem::path& path) {
  std::ofstream out(path, std::ios::trunc);
  for (int m = 0; m < kMaterials; ++m)
    for (int r = 0; r < kRows; ++r)
      out << "Material: " << MaterialName(m) << "\n " << 2e11 - 1e9 * r << " 0.3 7850 1.2e-05 4.3e+08 2.75e+08 50 460 "
          << 293.15 + 100 * r << "\n";
}

// A CAD whose material library is the file at `path`.
class LibraryCad : public CadInterface {
 public:
  explicit LibraryCad(std::string path) : path_(std::move(path)) {}
  MaterialLibrary* OpenMaterialLibrary(const CaeString& path) override { return new MaterialLibrary(path); }
  void DeleteObject(void* object) override { delete static_cast<MaterialLibrary*>(object); }
  CaeString& MaterialLibraryLocation(CaeString& path) override {
    path = path_.c_str();
    return path;
  }

 private:
  std::string path_;
};

class Person : public mfc::UserDriver {
 public:
  std::deque<std::function<void(CWnd&)>> steps;  // each gets the modal window waiting
  bool onModalIdle(CWnd& window) override {
    if (steps.empty()) return false;
    auto step = std::move(steps.front());
    steps.pop_front();
    step(window);
    return true;
  }
  int onMessageBox(const mfc::MessageBoxRequest&) override { return IDOK; }
  std::optional<std::string> onFileDialog(const mfc::FileDialogRequest&) override { return std::nullopt; }
  UINT onPopupMenu(const CMenu&, CWnd*) override { return 0; }
};

}  // namespace bench_library
