// AcCadApplication: the application object for the AutoCAD host.
//
// Constructing it creates the application controller (which installs the engine hooks),
// registers the add-in's custom drawing classes in the order of the class table, builds the
// host's class hierarchy and installs the editor and document-manager reactors. Destroying it
// removes the reactors and the command group "CAEP", deletes the custom classes in the table's
// unregistration order and then the controller. The drawing's shape source (topo/acShapeSource.h)
// is installed for the application's lifetime. A constructor that fails part-way undoes what
// it had done before it passes the exception on.
#pragma once

#include <memory>
#include <span>

#include "cadInterface/CadApplication.h"

class AcRxClass;
class AcShapeSource;

// One custom drawing class: its name, its registration and its runtime record.
struct AcCustomClassEntry {
  const char* name;
  void (*rxInit)();        // registers the class with the host runtime
  AcRxClass* (*desc)();    // its record, for deleteAcRxClass at unload
  int unregisterPosition;  // position in the unregistration order (1 first)
};

// The custom classes in registration order (it grows as the drawing objects join the module).
std::span<const AcCustomClassEntry> acCustomClasses();

class AcCadApplication : public CadApplication {
 public:
  AcCadApplication();
  ~AcCadApplication() override;

  CadDocControl* CreateDocControl(void* document) override;  // an AcCadDocControl
  bool IsDocumentUsable(void* token) override;               // true
  void* CurrentDocument() override;                          // the host's current document
  void OnDocumentActivated(void* document) override;         // rebuilds the Explorer
  // With no control current: activates the host's current document (creating its control).
  void OnDocumentBecameCurrent(void* document) override;
  // Removes and deletes every control, then deletes the application itself.
  void OnApplicationUnloading() override;

 private:
  void RegisterClasses();
  void UnregisterClasses();
  int registeredClasses_ = 0;
  // Where meshes and the deck find part geometry, from load to unload.
  std::unique_ptr<AcShapeSource> shapeSource_;
};
