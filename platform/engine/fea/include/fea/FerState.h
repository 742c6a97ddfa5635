// The results state, its interface to the drawing, and the results display.
//
// Process-wide current objects: one results state (FerState::GetState) and one current display
// (FerDisplay::GetCurrent, the active drawing's). Each is unset by its own destructor, so neither
// query ever answers a destroyed object.
//
// The protocol of a settings change: get the state, get its interface, GetFerSettings, change a
// sub-setting, SetFerSettings. That does not redraw; FerState::UpdateImage does.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "amg/CaeString.h"
#include "fea/FerSettings.h"

#include "fea/FerResult.h"

class AnlModel;
class CaeUnitSystem;

// Reads a solver's results file into a new result set of the model (its NewResultSet), named after
// the first result case name given, else the file's base name. The model is the one set with
// SetModel, else the current control's current model; without any model the set stays in the
// results state (FerState::KeptResultSet). The set keeps the file's mesh. A damaged or missing
// file is reported (level 1) and gives the model no result set.
class FerReader {
 public:
  explicit FerReader(const CaeString& resultsFile) : file_(resultsFile) {}
  virtual ~FerReader() = default;
  const CaeString& File() const { return file_; }
  void SetModel(AnlModel* model) { model_ = model; }
  // The analysis type of the results (an AnlType); without one the model's type is taken, and
  // without a model a stress type.
  void SetAnlType(int type) { type_ = type; }
  // The result set the last Read made (owned by the model), or null.
  FerResultSet* ResultSet() const { return made_; }
  // The result-case name pairs of the job, in the order given.
  void AddResltCaseNames(const CaeString& first, const CaeString& second);
  int NumResltCaseNames() const { return static_cast<int>(names_.size()); }
  // Loads the file in the given units. Answers 1 when a result set was made, 0 when not.
  virtual int Read(const CaeUnitSystem& units);

 private:
  CaeString file_;
  AnlModel* model_ = nullptr;
  int type_ = -1;
  FerResultSet* made_ = nullptr;
  std::vector<std::pair<CaeString, CaeString>> names_;
};

// A results display (the results window derives from it). It keeps the settings of its view and
// counts its redraws.
class FerDisplay {
 public:
  FerDisplay();
  virtual ~FerDisplay();
  FerDisplay(const FerDisplay&) = delete;
  FerDisplay& operator=(const FerDisplay&) = delete;

  static FerDisplay* GetCurrent();
  // Makes `display` current (null unsets); answers the display that was current.
  static FerDisplay* SetCurrent(FerDisplay* display);
  // Leaves the process without a current display.
  static void UnSetCurrent();
  // Unsets the current display only when it is `display`.
  static void UnSetCurrent(FerDisplay* display);

  const FerDispSettings& Settings() const { return settings_; }
  void SetSettings(const FerDispSettings& settings) { settings_ = settings; }

  // Redraws the view from its settings.
  virtual void Redraw() { ++redraws_; }
  // The animation of the results state starts or stops: a display with a window runs it on its
  // own timer (FerState::AnimateTick each frame); this one has nothing to run it on.
  virtual void StartAnimation() {}
  virtual void StopAnimation() {}
  int RedrawCount() const { return redraws_; }
  // Closes the view's window (the display object stays).
  virtual void Close() {}
  // Draws the displayed result set with `settings` (not the view's own) into a PNG file, as the
  // view would show it; false with the reason when it cannot (this display draws no pictures).
  virtual bool SaveViewPicture(const FerDispSettings& settings, const std::string& path, std::string& error) {
    (void)settings, (void)path;
    error = "the results display draws no pictures";
    return false;
  }
  // Rebuilds the view's graphics (after a change of host units).
  virtual void ForceRecreate() { Redraw(); }

 private:
  FerDispSettings settings_;
  int redraws_ = 0;
};

// The results state's view of the drawing: which result set is displayed, the display
// settings, and the drawing's meshes. The drawing's interface derives from it.
class CaeFerInterface {
 public:
  virtual ~CaeFerInterface() = default;
  // The current display and a copy of its settings; the display is null without one.
  virtual void GetFerSettings(FerDisplay*& display, FerDispSettings& settings);
  // Stores the settings in the display (null: the current display). No redraw.
  virtual void SetFerSettings(FerDisplay* display, const FerDispSettings& settings);
  // The displayed result set: the one named by the current display's settings, found in the
  // current model, else the set the results state keeps when its name matches; null when none.
  // A set of the model whose data are filed beside the drawing has them loaded (LoadData).
  virtual FerResultSet* GetResultSet();
  // The current model's meshes as one mesh (native units, nodes shared by meshes once), and the
  // model's name; null when there is no current model or it has no mesh with elements.
  virtual std::shared_ptr<const FerMesh> ModelMesh(CaeString& modelName);
  // The current model's meshes: how many sub-models have one, the id of the i-th (0-based), and
  // whether the mesh of that id has shell elements. 0 without a model.
  virtual int NumMesh();
  virtual long MeshId(int index);
  virtual int MeshHasShells(long meshId);
  // The allowable stress of a material-based factor of safety: the ultimate stress of the
  // current model's first sub-model's material at its first temperature (native); 0 without one.
  virtual double MaterialAllowable();
  // A new reader of a results file (the caller deletes it); the code is the job's analysis code.
  virtual FerReader* Reader(const CaeString& resultsFile, int code);
};

class FerState {
 public:
  FerState();
  // Unsets the state when it is the current one. Never raises.
  virtual ~FerState();
  FerState(const FerState&) = delete;
  FerState& operator=(const FerState&) = delete;

  // The current state, or null.
  static FerState* GetState();
  // Makes `state` current (null unsets); answers the state that was current.
  static FerState* SetState(FerState* state);

  // The interface is not owned.
  void SetInterface(CaeFerInterface* ferInterface) { interface_ = ferInterface; }
  CaeFerInterface* GetInterface() const { return interface_; }

  // Redraws the current display from its settings; nothing without a display.
  void UpdateImage();
  // Puts displayable defaults into the view, first subset, no factor of safety: static sets show
  // the von Mises stress on the deformed shape; modal sets (vibration, buckling) the displacement
  // magnitude on the deformed shape; heat transfer sets the temperature, undeformed. A set without
  // that quantity shows its first result. Answers 1 when defaults were set, 0 when there is no
  // result set or it has no result. Redraws when asked.
  virtual int DefaultDisplay(int redraw);

  // A result set read while no model was current: the state owns it until the next one replaces
  // it or the state ends. Answers the kept set.
  FerResultSet* KeepResultSet(std::unique_ptr<FerResultSet> set);
  FerResultSet* KeptResultSet() const { return kept_.get(); }

  // The animation state machine. Go returns at once: the current display animates on its own,
  // calling AnimateTick for each frame. Step moves one frame either way within the frame count of
  // the animation settings (and stops a running animation); Stop keeps the frame shown; Done
  // returns the view to the plain result.
  void AnimateInit();
  void AnimateGo(int fullCycle);
  void AnimateStop();
  void AnimateStep(int direction);
  void AnimateDone();
  int IsAnimationInitialized() const { return animInitialized_; }
  int IsAnimating() const { return animating_; }
  int AnimationFrame() const { return frame_; }
  int IsFullCycle() const { return fullCycle_; }
  // Moves a running animation to its next frame: answers 1 when that frame is to be drawn, 0
  // when the animation is not running. The animation stops by itself with the frame that
  // completes the repetitions of the animation settings (each the number of frames; -1 endless).
  int AnimateTick();
  // What frame `frame` of `frames` shows: the displacement scaled by `factor` (a full cycle swings
  // through cos(2 pi i / frames), forward only grows (i + 1) / frames), or for a step history the
  // subset `subset` (1-based, 0 when the frame keeps the view's subset).
  struct AnimationFrameView {
    double factor = 1.0;
    int subset = 0;
  };
  static AnimationFrameView FrameView(int frame, int frames, int fullCycle, const FerResultSet& set);

  // Writes what the current view shows as a VRML scene, atomically (fev/FerVrml.h, where it is
  // defined: the scene comes from the results window's drawing). VRML 1.0 when `version1` is set,
  // else 2.0, animated when `animate` is set by interpolation (`frameMethod` 0) or one face set
  // per frame (1), `frames` frames (1 to 100) of the window's animation. Answers 1 when written;
  // 0 with a message when nothing is shown, the frames are out of range or the file cannot be
  // written (an existing file is left as it was).
  int ExportVRML(const CaeString& file, int animate, int frameMethod, int frames, int version1);
  // Writes the displayed result set as a neutral text file, atomically, in native units, one
  // record per line, fields separated by blanks, names in double quotes:
  //   KESTRUM-RESULTS-NF 1
  //   SET "name" TYPE <0 stress | 1 vibration | 2 buckling | 3 heat transfer>
  //   SUBSETS <count> "subset name"         then per subset: SUBSET <1-based> <value>
  //   NODES <count>                         then per node: <id> <x> <y> <z>
  //   ELEMENTS <count>                      then per element: <id> <type> <node count> <nodes...>
  //   RESULT "quantity" <quantity type> <component count>   then per component: COMPONENT "name"
  //     then per subset holding values: VALUES <1-based subset> <node count>
  //       and per node: <id> <one value per component>
  //   END
  // Element types are the solver's (FerMesh::ElementType). Numbers are written with 9
  // significant digits.
  // Answers 1 when written; 0 with a message when there is no displayed set or the file cannot
  // be written (an existing file is left as it was).
  int ExportNF(const CaeString& file, int flag);

 private:
  CaeFerInterface* interface_ = nullptr;
  std::unique_ptr<FerResultSet> kept_;
  int animInitialized_ = 0;
  int animating_ = 0;
  int fullCycle_ = 0;
  int frame_ = 0;
  long framesDrawn_ = 0;
};
