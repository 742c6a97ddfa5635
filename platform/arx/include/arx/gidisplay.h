// Display lists: what the host keeps of each entity's drawing, per viewport, and the picture it
// makes of them.
//
// Regeneration calls each visible model-space entity's worldDraw with a recording context (its
// traits start at the entity's colour, resolved through its layer when by layer) and, when
// worldDraw answers false, its viewportDraw; the primitives are kept under the entity's id.
// An entity that implements AcDbBrepSource (a solid) and records nothing itself is recorded as a
// shell of its shape's triangulation, in its own colour. update() redraws only entities that are
// new, erased or flagged by recordGraphicsModified since they were last drawn (the flag is
// cleared); regenerate() redraws everything.
//
// Rendering: an orthographic view along the viewport's direction, fitted to the drawing's extents,
// on a dark background; faces flat-shaded in their colour (lit from the viewer), edges and
// polylines drawn over them, a depth buffer deciding what is in front; a shell's edge of its
// face's own colour is drawn in a dark tone of it, so that it shows on the face. PNG files are written
// atomically (temporary file, sync, rename).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "arx/dbid.h"
#include "arx/gi.h"

class AcDbDatabase;

// One recorded primitive. Shell face lists are kept as given; a mesh keeps rows and columns.
struct AcGiPrimitive {
  enum Kind { kPolyline, kShell, kMesh };
  Kind kind = kPolyline;
  bool fromViewportDraw = false;
  Adesk::UInt16 color = 7;  // the traits colour when recorded (by block and by layer resolved)
  AcGi::FillType fillType = AcGi::kAcGiFillAlways;
  std::vector<AcGePoint3d> points;
  std::vector<Adesk::Int32> faceList;         // shells
  Adesk::UInt32 rows = 0, columns = 0;        // meshes
  std::vector<short> edgeColors, faceColors;  // empty when not given
  std::vector<Adesk::UInt8> edgeVisibility;   // empty when not given
};

// A viewport's view: the direction from the target towards the viewer, the image size, and the
// regeneration type entities are drawn for (the standard display, or hide and shade).
struct AcGiView {
  AcGeVector3d direction{1.0, -1.0, 1.0};
  int width = 640, height = 480;
  Adesk::Int32 viewportId = 2;
  AcGi::RegenType regenType = AcGi::kAcGiStandardDisplay;
};

// The world-to-eye rotation of a view (see AcGiViewport::getModelToEyeTransform); the z axis of
// the world stays upright on screen unless the view looks along it.
AcGeMatrix3d acgiModelToEye(const AcGeVector3d& direction);

// The number of the regeneration under way (a regenerate or update of any display list), new for
// each; 0 while none runs. Drawing changes no object, so what an entity finds in one regeneration
// holds for the rest of it.
std::uint64_t acgiRegenerationNumber();

class AcGiDisplayList {
 public:
  explicit AcGiDisplayList(AcDbDatabase* database, const AcGiView& view = AcGiView());
  const AcGiView& view() const { return view_; }
  void setView(const AcGiView& view);  // the next update redraws everything

  void regenerate();
  void update();
  // Records, for an entity, what `drawing` draws through a viewport-draw context of this list's
  // view (its primitives are marked fromViewportDraw), after what it has recorded already.
  // Regeneration calls the entity's own viewportDraw the same way; this lets a caller add a
  // drawing of its own.
  void drawInViewport(const AcDbObjectId& entity, const std::function<void(AcGiViewportDraw&)>& drawing);
  // Primitives of one entity (empty when it drew nothing or is not recorded).
  const std::vector<AcGiPrimitive>& primitivesOf(const AcDbObjectId& entity) const;
  const std::map<AcDbObjectId, std::vector<AcGiPrimitive>>& entries() const { return entries_; }
  // How many times each entity's worldDraw has run (for callers that check redraws).
  int drawCount(const AcDbObjectId& entity) const;

 private:
  void draw(const AcDbObjectId& id);
  AcDbDatabase* database_;
  AcGiView view_;
  bool stale_ = true;
  std::map<AcDbObjectId, std::vector<AcGiPrimitive>> entries_;
  std::map<AcDbObjectId, int> drawCounts_;
};

// An RGB picture, row 0 at the top.
struct AcGiImage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;  // 3 bytes per pixel
  struct Pixel {
    std::uint8_t r, g, b;
    bool operator==(const Pixel&) const = default;
  };
  Pixel at(int x, int y) const;
};

// The RGB of a colour index (1..9 the standard colours, 10..255 a grey ramp, 7 white).
AcGiImage::Pixel acgiColorOf(Adesk::UInt16 colorIndex);
inline constexpr AcGiImage::Pixel kAcGiBackground{33, 40, 48};

AcGiImage acgiRender(const AcGiDisplayList& list);
// Writes the picture as a PNG file; false (and `error` says why) when it cannot be written, in
// which case an existing file is left as it was.
bool acgiWritePng(const AcGiImage& image, const std::string& path, std::string& error);

// The display list the host keeps for a database's model-space viewport (made on first use,
// dropped with acgiForgetDisplay when the database goes away).
AcGiDisplayList& acgiDisplayOf(AcDbDatabase* database);
void acgiForgetDisplay(AcDbDatabase* database);
