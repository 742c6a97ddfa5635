// Creating, editing and replacing conditions: the condition requests of the setup pages turned
// into drawing entities on the part.
//
// A creation builds the engine condition and its drawing entity (db/dbLbc.h and its siblings)
// with its value function, adds it to the current load or restraint set (which posts it to model
// space on "CAE_LBC"), attaches it to its topology reference, binds it to the reference's key and
// makes it the current condition. Without geometry the user picks first, after being asked which
// kind of geometry when the condition allows several. An edit never changes an entity in place:
// it builds a new entity from the new values on the old one's geometry, gives it the old one's set
// and current mark, and erases the old one.
//
// The creation keeps a copy of the coordinate system it is given (the caller keeps and frees its
// own); a null system means global axes (filed as a cartesian system at the identity). A null
// temperature table is an empty one.
//
// Input the user typed is checked before anything is made: a value, temperature or scale that is
// not finite, a scale <= 0, a colour outside 0..256, a type that the operation does not make, an
// edit that would change the condition's kind or of a condition that no set holds. Each is
// printed on the command line and nothing is made or changed (the operations answer 0 or null). A
// type the engine has no descriptor for, no current document control and an unexpected engine
// object are consistency checks (MSG_GENERAL_ERROR, then CaeExcept), which end the command.
//
// Everything runs in the host's thread inside a command and its transaction.
#pragma once

#include "amg/CaeList.h"
#include "amg/CaeString.h"
#include "amg/CaeVector.h"
#include "fea/AttLbc.h"

class AcBrEntity;
class AcTopoRef;
class CaeCoordSys;
class CaepLbcConvEnt;
class CaepLbcEnt;
class CaepLbcHtGenEnt;
class CaepModelLbcEnt;
class CaepModelTempEnt;

using AttTempList = CaeList<AttTableTempValue>;

// ---- picking ----
// The pick kind (3 vertex, 2 edge, 1 face, 0 object) among those allowed (nonzero). One allowed
// kind is answered without a prompt; several are asked with "Enter Pick Type (%s%s%s%s): " until
// the answer is 0..3 (any of them, allowed or not). Answers 1, or 0 with the kind -1 when the user
// pressed ESC or the input ended. None allowed is a consistency check.
int acAskPickType(int vertexAllowed, int edgeAllowed, int faceAllowed, int objectAllowed, int* pickKind);
// Asks the pick kind the type allows and picks; null when the user ended either. No current
// document control, or a type without descriptor, is a consistency check.
AcBrEntity* acPickLbcTopology(int type, int* pickKind);

// ---- loads, restraints and model-level loads ----
// `flags`: six free-component flags (null: all fixed); `values`: three doubles (null: zero).
// With geometry; a model-level type does not use it. Answers 1, or 0 when the input was refused.
int acCreateLbc(const CaeString& name, int colour, double scale, int type, const int* flags, const double* values,
                const CaeCoordSys* coordSys, AcBrEntity* entity);
// Picks the geometry first (not for a model-level type); 0 when the pick was ended or the input
// refused, 1 when created.
int acCreateLbcByPick(const CaeString& name, int colour, double scale, int type, const int* flags, const double* values,
                      const CaeCoordSys* coordSys);
// `old` is the engine part of an entity the caller holds open for write. Answers 1 when the
// replacement was made, 0 when the input was refused (nothing changed).
int acEditLbc(AttBaseLbc* old, const CaeString& name, int colour, double scale, int type, const int* flags,
              const double* values, const CaeCoordSys* coordSys);

// Builders: the entity open for write, not yet in the drawing, its engine part not current.
CaepLbcEnt* acNewLbcEnt(int colour, double scale, int type, const CaeVector& value, AcTopoRef* ref,
                        const AttLbcComponents& components, const CaeCoordSys* coordSys);
CaepModelLbcEnt* acNewModelLbcEnt(int colour, double scale, int type, const CaeVector& value,
                                  const AttLbcComponents& components, const CaeCoordSys* coordSys);
// Builds, adds to the current set, attaches and binds; the engine part current; still open.
CaepLbcEnt* acAttachNewLbcEnt(int colour, double scale, int type, const CaeVector& value, AcTopoRef* ref,
                              const AttLbcComponents& components, const CaeCoordSys* coordSys);
CaepModelLbcEnt* acAttachNewModelLbcEnt(int colour, double scale, int type, const CaeVector& value,
                                        const AttLbcComponents& components, const CaeCoordSys* coordSys);

// ---- model temperature ----
// The new condition (its entity already closed), or null when the input was refused. The extra
// argument of the interface is ignored: the model temperature has no topology.
AttModelTemp* acCreateModelTemp(const CaeString& name, int colour, double scale, double modelTemperature,
                                double referenceTemperature, int extra);
AttModelTemp* acCreateModelTempDefault(const CaeString& name, int colour, double scale, double modelTemperature,
                                       double referenceTemperature);
int acEditModelTemp(AttModelTemp* old, const CaeString& name, int colour, double scale, double modelTemperature,
                    double referenceTemperature);
CaepModelTempEnt* acNewModelTempEnt(int colour, double scale, double modelTemperature, double referenceTemperature);
CaepModelTempEnt* acAttachNewModelTempEnt(int colour, double scale, double modelTemperature,
                                          double referenceTemperature);

// ---- convection (type 18) ----
int acCreateConv(const CaeString& name, int colour, double scale, int type, int constant, double filmCoefficient,
                 double ambientTemperature, AttTempList* table, AcBrEntity* entity);
int acCreateConvByPick(const CaeString& name, int colour, double scale, int type, int constant, double filmCoefficient,
                       double ambientTemperature, AttTempList* table);
int acEditConv(AttLbcConv* old, const CaeString& name, int colour, double scale, int type, int constant,
               double filmCoefficient, double ambientTemperature, AttTempList* table);
CaepLbcConvEnt* acNewConvEnt(int colour, double scale, int type, int constant, AcTopoRef* ref, double filmCoefficient,
                             double ambientTemperature, AttTempList* table);
CaepLbcConvEnt* acAttachNewConvEnt(int colour, double scale, int type, int constant, AcTopoRef* ref,
                                   double filmCoefficient, double ambientTemperature, AttTempList* table);

// ---- heat generation (type 19) ----
int acCreateHtGen(const CaeString& name, int colour, double scale, int type, int constant, double value,
                  AttTempList* table, AcBrEntity* entity);
int acCreateHtGenByPick(const CaeString& name, int colour, double scale, int type, int constant, double value,
                        AttTempList* table);
int acEditHtGen(AttLbcHgen* old, const CaeString& name, int colour, double scale, int type, int constant, double value,
                AttTempList* table);
CaepLbcHtGenEnt* acNewHtGenEnt(int colour, double scale, int type, int constant, AcTopoRef* ref, double value,
                               AttTempList* table);
CaepLbcHtGenEnt* acAttachNewHtGenEnt(int colour, double scale, int type, int constant, AcTopoRef* ref, double value,
                                     AttTempList* table);
