// Keys: handles the part modeller gives out for things in a drawing. This module has only the
// scene key, which event reactions receive; part and geometry keys live with the parts.
#pragma once

class AmiObject {
 public:
  virtual ~AmiObject() = default;
};

class AmiKey : public AmiObject {};

// Names a scene (an assembly view of the parts). Scene events pass scene keys.
class AmiSceneKey : public AmiKey {
 public:
  // The object as a scene key, or null when it is not one (null gives null).
  static AmiSceneKey* cast(AmiObject* object);
};
