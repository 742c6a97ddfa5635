// The command-boundary passes that belong to the topology references and to the drawing's
// stored objects, and the flags that ask for them.
//
// The frame calls these at the points where the host tells it a command starts or ends. Host
// notifications only raise the topology flags; the re-resolution of the references
// (acTopoUtil.h) runs once at the next boundary however many arrived.
#pragma once

// Solid-modified: a watched solid's drawing object was modified (or its modification undone).
void acTopoSetSolidModified();
int acTopoSolidModified();
void acTopoClearSolidModified();
// Scene-changed: the part's scene changed (a scene event, or the part-update mode was raised).
// While it is set, a modified solid does not start the pass at the end of a command.
void acTopoSetSceneChanged();
int acTopoSceneChanged();
void acTopoClearSceneChanged();
// After a command ended: when the scene-changed flag is set it is cleared unless the command was
// "REGENALL", and the solid-modified flag is cleared with it.
void acTopoAfterCommand(const char* commandName);
// Undo-modified: an undo restored a watched object; the next command boundary skips its
// re-resolution once and clears the flag.
void acTopoSetUndoModified();
int acTopoUndoModified();
void acTopoClearUndoModified();
// Solid-erased: a watched solid's drawing object was erased (not un-erased).
void acTopoSetSolidErased();
int acTopoSolidErased();
void acTopoClearSolidErased();
// Clears every flag, the re-entry guard and the attribute cursor (unload, tests).
void acTopoResetFlags();

// The pending re-resolution at a command boundary: with the scene flag 0 a modified solid
// starts it, an erased one always does; the undo-modified flag swallows one boundary. Runs in a
// transaction of its own and reports an unbalanced transaction depth on the command line.
// Answers 1 when the pass ran, 0 otherwise. Nothing happens while the drawing is being filed.
int acTopoResolvePending(int sceneChanged);
// After an undo of one of the add-in's commands: asks every reference whether it is still valid
// and re-resolves at the first that is not; answers how many re-resolutions it started (at most
// one per call, so the walk is bounded).
int acTopoRevalidateAfterUndo();

// The drawing's post-load pass over its stored objects.
void dbReconcileDrawing();
// Brings the drawing's version and unit records up to date (before a save, after loading).
void dbUpdateRecords(int force);

// Tracing: the observer (null: none) hears the name of every pass above as it runs
// ("resolve", "revalidate", "reconcile", "records", "menus-install", "menus-reset"), and
// "reresolve" each time the re-resolution of the references does its work.
using AcPassObserver = void (*)(const char* passName);
AcPassObserver acSetPassObserver(AcPassObserver observer);
// Tells the observer that a pass runs.
void acNotePass(const char* passName);
