// CaeConfig: the engine's configuration store, named text values in two scopes.
//
// Values live in an INI file: the path in the environment variable KESTRUM_CONFIG, else
// "kestrum.ini" in the per-user folder ($KESTRUM_USER_DIR, else $XDG_CONFIG_HOME/kestrum, else
// ~/.config/kestrum). Scope 0 (user settings) is the section [User], scope 1 (installation
// settings) the section [Common]. A lookup in scope 0 falls back to scope 1; a lookup that finds
// nothing in the file falls back to the built-in defaults of an embedded set-up:
//   "Root Directory"     the shipped data folder (read only)
//   "Common Directory"   the build tree's root (the resource library is in its res/ folder)
//   "Scratch Directory"  a per-user temporary folder ($KESTRUM_USER_DIR/scratch, else
//                        $TMPDIR/kestrum-<uid>), created when first asked for
//   "Graph Font"         "Arial"
// "Graph Axes Font" has no default: a graph without it takes the "Graph Font" for its axes.
// Anything else (for example "MatLibLoc" or "EnableBrowserRebuild") is absent until set.
// Names match without regard to ASCII case; values are trimmed of surrounding blanks.
//
// The file is read on first use and written at once by SetValue, atomically (temporary file,
// fsync, rename), keeping every other line of it as it was. A missing file means "defaults only"
// (with a level-1 warning when KESTRUM_CONFIG names a file in a folder that does not exist, since it
// can then never be written). A malformed line gets a level-1 warning and is kept untouched; the
// values that could be read stay readable. A refused or failed write gets a level-1 warning and
// changes nothing.
#pragma once
#include <filesystem>
#include <optional>

#include "amg/CaeString.h"

class CaeConfig {
 public:
  // Records the installation's identity (mode, company, key path, version) and loads the file.
  static void InitSystem(int mode, const CaeString& company, const CaeString& keyPath, const CaeString& version);

  // The value's text, or nothing when it is absent.
  static std::optional<CaeString> GetValue(const CaeString& name, int scope = 1);
  // Puts the value's text in `value` and answers true; leaves `value` unchanged when absent.
  static bool GetValue(int scope, const CaeString& name, CaeString& value);
  // The value read as an integer; false (and `value` unchanged) when absent or not an integer.
  static bool GetValue(const CaeString& name, int scope, long& value);

  // Stores a value and writes the file; false when the file could not be written (the stored
  // values are then unchanged).
  static bool SetValue(const CaeString& name, const CaeString& value, int scope);
  static bool SetValue(int scope, const CaeString& name, const CaeString& value);

  // The locale suffix of the resource library and the menu file ("ENU").
  static CaeString GetOndrelLocale();
  // The file in use.
  static std::filesystem::path FilePath();
  // Forgets what was read, so the next access reads the file again (KESTRUM_CONFIG included).
  static void Reset();
};
