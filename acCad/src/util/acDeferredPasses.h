// The command-boundary passes that belong to the topology references and to the drawing's
// stored objects, and the flags that ask for them.
//
// The frame calls these at the points where the host tells it a command starts or ends; the
// passes themselves are defined by the topology and drawing-store layers. Until those layers are
// part of the module the passes find nothing to do; the flags are real and follow their rules.
#pragma once

// Scene-changed: the part's scene changed (a scene event, or the part-update mode was raised);
// the topology references must be re-resolved at the next command boundary.
void acTopoSetSceneChanged();
int acTopoSceneChanged();
// After a command ended: the scene-changed flag is cleared unless the command was "REGENALL".
void acTopoAfterCommand(const char* commandName);
// Undo-modified: an undo restored a watched object; the next command boundary skips its
// re-resolution once and clears the flag.
void acTopoSetUndoModified();
int acTopoUndoModified();
void acTopoClearUndoModified();
// Clears every flag (unload, tests).
void acTopoResetFlags();

// The pending re-resolution over the topology flags; 0 when nothing was pending.
int acTopoResolvePending(int sceneChanged);
// Re-validates every topology reference after an undo; answers how many re-resolutions it
// started (at most one per call, so the walk is bounded).
int acTopoRevalidateAfterUndo();

// The drawing's post-load pass over its stored objects.
void dbReconcileDrawing();
// Brings the drawing's version and unit records up to date (before a save, after loading).
void dbUpdateRecords(int force);

// The add-in's pull-down menu: installed after a drawing is loaded, reset before unload.
void acInstallMenus();
void acResetMenus();

// Tracing: the observer (null: none) hears the name of every pass above as it runs
// ("resolve", "revalidate", "reconcile", "records", "menus-install", "menus-reset").
using AcPassObserver = void (*)(const char* passName);
AcPassObserver acSetPassObserver(AcPassObserver observer);
