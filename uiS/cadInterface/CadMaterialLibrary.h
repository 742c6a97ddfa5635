// Material library files: named materials, one property row per temperature.
//
// MaterialLibrary binds one library file in the system's own format; AcMatLibrary (host side,
// db/dbMatLib.h) binds a file in the part modeller's format. The class is declared here, on the
// CAD-neutral side, because the user interface lists and edits the libraries that
// CadInterface::OpenMaterialLibrary hands out; its code lives with the host side. Both read
// the whole file when made and keep every line that is not a material (comments, blank lines and
// lines that could not be read) to write back where it was. Each material row is written back where
// it was read; rows added later follow the material's last row, new materials go at the end.
//
// Reading is forgiving about line ends (LF or CRLF) and trailing blanks. A line that cannot be read
// as a material (non-numeric values, fewer than eight, E <= 0, density <= 0, Poisson's ratio outside
// (-1, 0.5), a temperature <= 0 K, a second row for a material at one temperature) is reported as "FILE:LINE: reason"
// through the engine's message routine (level 1) and kept as text, so a save never drops it.
//
// Writing replaces the whole file atomically. When the file changed on disk since this object read
// or wrote it, a save reads it again and applies only this object's own changes (the names it
// stored, replaced or removed), so two library objects on one file do not undo each other.
// A path that cannot be used (empty, a folder, in a missing folder, unreadable, unwritable) gets
// one message naming the path and the reason; the file is then left as it is.
//
// The decimal separator is "." in every locale.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "amg/CaeList.h"
#include "amg/CaeMaterial.h"
#include "amg/CaeString.h"

class MaterialLibrary {
 public:
  // Reads the library file. A missing file in an existing folder is reported and made empty.
  explicit MaterialLibrary(const CaeString& path);
  // Saves when modified.
  virtual ~MaterialLibrary();
  MaterialLibrary(const MaterialLibrary&) = delete;
  MaterialLibrary& operator=(const MaterialLibrary&) = delete;

  // Appends a new text per material, in file order, to `names` (the caller owns them); answers 0.
  virtual int ListNames(CaeList<CaeString>& names);
  // The first material of exactly that name, or null; the library keeps it.
  virtual CaeMaterial* Find(const CaeString& name);
  // Takes ownership. A new name is added and written to the file at once; an existing one takes
  // the given rows and reaches the file at the next save. Sub-models using the name get a fresh
  // copy. An empty name is refused (the material is deleted); answers 1 when stored.
  virtual int Store(CaeMaterial* material);
  // Removes the material of that name; sub-models using it get an empty material of that name.
  // Answers 1 when there was one; an empty name is refused.
  virtual int Remove(const CaeString& name);
  // Gives the material of that name the rows of `material` (its name stays); sub-models using it
  // get a fresh copy. Answers 1 when there was one; an empty name is refused.
  virtual int Replace(const CaeString& name, CaeMaterial material);

  // Every sub-model of the current analysis control's live models whose material is named `name`
  // gets a new copy of `material`, or an empty material of that name when `material` is null.
  static void ReassignMaterial(const CaeString& name, const CaeMaterial* material);

  // Writes the kept text and every material; true when the file holds them. On failure the file
  // keeps its previous contents and the reason is reported.
  bool Save();

  const CaeString& Path() const { return path_; }
  bool IsModified() const { return modified_; }

  // One file format: how a file's text becomes kept lines and materials, and back; and what
  // reading a file yields.
  class Format;
  struct Contents;

 protected:
  MaterialLibrary(const CaeString& path, const Format& format);

 private:
  void Open();
  // The file's bytes for the kept text and the materials, in this library's format.
  std::string Serialise() const;
  bool Refuse(const CaeString& name, const char* operation) const;
  void Touch(const CaeString& name);
  void Adopt(Contents& fresh);
  bool WriteFile();

  const Format& format_;
  CaeString path_;
  std::vector<std::unique_ptr<CaeMaterial>> materials_;
  // The file as read, in order: kept text, and the place of each material row. A row is written
  // back at its place, so kept text keeps its neighbours; moving a row elsewhere could join the
  // kept lines around it into a material the next read would take.
  struct Piece {
    std::string text;        // kept text, or the material's name at a row's place (empty: removed)
    double temperature = 0;  // a row's place: its temperature, native units
    bool isRow = false;
    bool open = false;  // kept text ending in a damaged block, which a next line could continue
  };
  std::vector<Piece> layout_;
  std::vector<std::string> touched_;  // names this object stored, replaced or removed
  std::string diskImage_;             // the file's bytes when last read or written
  bool usable_ = false;               // the file could be read (or was made), so it may be written
  bool modified_ = false;
};
