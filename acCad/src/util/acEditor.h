// The host reactors: the editor reactor and the document-manager reactor, and the scene-event
// reaction of the part modeller.
//
// Reactors only bring host events to the application (CadEvents) and run the add-in's own work
// at command boundaries: the pending topology pass, the post-load reconcile after a drawing got
// its document, record updates before a save, and the Explorer rebuild after SAVEAS and after an
// UNDO of one of the add-in's commands. Every piece of reactor work runs inside the resource
// scope and one host transaction; an engine exception is printed on the command line and the
// transactions are aborted back to where the notification found them; it never reaches the host.
#pragma once

class AcDbObjectReactor;
class AmiObject;

// Adds the reactors to the host editor and the document manager. A second installation without
// acResetReactorState is a consistency check.
void acInstallReactors();
// Removes both reactors (the installed flag stays set, as the host expects of a loaded module).
void acRemoveReactors();
// Clears the reactors' module-wide state: installed flag, reconcile-pending and part-command
// flags, browser-rebuild setting and previous-command flag (module detach, tests).
void acResetReactorState();
// True while the reactors are attached to the host.
bool acReactorsAttached();
// The reconcile-pending flag: the next command end with a working database runs the post-load
// pass.
int acReconcilePending();

// Takes `reactor` off every object of every open drawing that opens for read (an object open for
// write elsewhere cannot be reached; the unload refusal keeps such objects from being left behind).
void acRemoveReactorFromAllDrawings(AcDbObjectReactor* reactor);

// Scene event 110: entering a scene (key 2) or leaving one (key 1) marks the scene changed and
// switches the four analysis layers on (entered) or off (left).
void acSceneEventCallback(AmiObject* key1, AmiObject* key2, void* context);
