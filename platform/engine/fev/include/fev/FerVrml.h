// Writing a results view as a VRML scene (FerState::ExportVRML).
//
// The scene is what the view shows: the outer faces of the drawn mesh as an indexed face set with
// one colour per vertex (the colour the results window gives that vertex), at the positions the
// window draws them (the deformed shape when it is shown), in native units (metres).
//
//  - VRML 1.0 ("#VRML V1.0 ascii"): one Separator with the colours bound per vertex; never animated.
//  - VRML 2.0 ("#VRML V2.0 utf8"), static: one Shape.
//  - VRML 2.0 animated by interpolation: a looping TimeSensor drives a CoordinateInterpolator whose
//    keys are the window's animation frames (the first again at the end, so the loop closes).
//    Colours that change between frames (a step history) cannot be interpolated per vertex by a
//    standard node, so each frame's colours sit on a face set of their own that shares the moving
//    coordinates and is shown during its frame only.
//  - VRML 2.0 animated by frames: one face set per frame, each shown during its frame only.
// A frame is shown or hidden by the scale of its Transform, switched by a PositionInterpolator
// with step keys (VRML 2.0 has no standard node that switches a Switch without a script); a
// hidden frame shrinks to a speck at the model's centre.
#pragma once

#include <string>

#include "fev/FerRender.h"

struct FerVrmlOptions {
  bool version1 = false;
  bool animate = false;
  bool byFrames = false;    // the frame method; otherwise interpolation
  double cycleSeconds = 1;  // one pass through the frames
  std::string title;
};

// The scene's text. An animated scene has one frame per frame of `scene`; a static one shows the
// first frame.
std::string FerVrmlText(const FerScene& scene, const FerVrmlOptions& options);
