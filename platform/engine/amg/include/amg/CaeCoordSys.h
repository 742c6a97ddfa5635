// Coordinate systems: a placement (CaeTransform) and a kind that says what the three local
// directions are at a point.
//   cartesian  the placement's x, y, z axes everywhere
//   cylindric  radial, tangential (around z) and axial directions; coordinates (r, theta, z)
//   spheric    radial, azimuthal (around z) and elevation (towards +z) directions, right-handed;
//              coordinates (r, theta, phi) with theta the azimuth and phi the elevation above x-y
//   face       normal-based axes on a face of the part: z the face normal at the point's projection,
//              x along the face's u direction, y = z x x; the placement's axes where there is no face
// Where the local directions are undefined (on the axis of a cylindric system, at the centre of a
// spheric one) the placement's own axes are used, so a vector given at the origin keeps its
// components; on the z axis of a spheric system the azimuth is taken as 0. Each kind reports its kind text, which is
// what gets filed.
#pragma once
#include "amg/CaeTransform.h"
#include "amg/CaeTypeInfo.h"
#include "amg/CaeVector.h"

class CaeTopoRef;

class CaeCoordSys {
 public:
  CAE_DECLARE_TYPE_INFO;

  explicit CaeCoordSys(const CaeTransform& transform = CaeTransform()) : transform_(transform) {}
  virtual ~CaeCoordSys() = default;

  virtual CaeTypeId GetInfo() const;
  // "cartesian", "cylindric", "spheric" or "face".
  virtual const char* KindName() const = 0;
  virtual CaeCoordSys* Clone() const = 0;

  const CaeTransform& GetTransform() const { return transform_; }
  void SetTransform(const CaeTransform& transform) { transform_ = transform; }

  // The unit vectors of the three local directions at a global point, in global components.
  virtual void LocalAxesAt(const CaeVector& point, CaeVector axes[3]) const = 0;
  // The coordinates of a global point in this system.
  virtual CaeVector CoordinatesOf(const CaeVector& point) const = 0;
  // Rewrites n vectors, given by local components at n global points, in global components (and
  // the reverse), in place.
  void VectorsToGlobal(int n, const CaeVector* points, CaeVector* vectors) const;
  void VectorsToLocal(int n, const CaeVector* points, CaeVector* vectors) const;
  // Same kind and a placement equal within `tolerance`.
  bool IsEqual(const CaeCoordSys& other, double tolerance = 1e-12) const;

 private:
  CaeTransform transform_;
};

class CaeCoordSysCartesian : public CaeCoordSys {
 public:
  CAE_DECLARE_TYPE_INFO;
  using CaeCoordSys::CaeCoordSys;
  CaeTypeId GetInfo() const override;
  const char* KindName() const override { return "cartesian"; }
  CaeCoordSys* Clone() const override { return new CaeCoordSysCartesian(*this); }
  void LocalAxesAt(const CaeVector& point, CaeVector axes[3]) const override;
  CaeVector CoordinatesOf(const CaeVector& point) const override;
};

class CaeCoordSysCylindric : public CaeCoordSys {
 public:
  CAE_DECLARE_TYPE_INFO;
  using CaeCoordSys::CaeCoordSys;
  CaeTypeId GetInfo() const override;
  const char* KindName() const override { return "cylindric"; }
  CaeCoordSys* Clone() const override { return new CaeCoordSysCylindric(*this); }
  void LocalAxesAt(const CaeVector& point, CaeVector axes[3]) const override;
  CaeVector CoordinatesOf(const CaeVector& point) const override;
};

class CaeCoordSysSpheric : public CaeCoordSys {
 public:
  CAE_DECLARE_TYPE_INFO;
  using CaeCoordSys::CaeCoordSys;
  CaeTypeId GetInfo() const override;
  const char* KindName() const override { return "spheric"; }
  CaeCoordSys* Clone() const override { return new CaeCoordSysSpheric(*this); }
  void LocalAxesAt(const CaeVector& point, CaeVector axes[3]) const override;
  CaeVector CoordinatesOf(const CaeVector& point) const override;
};

// The face reference is not owned.
class CaeCoordSysFace : public CaeCoordSys {
 public:
  CAE_DECLARE_TYPE_INFO;
  using CaeCoordSys::CaeCoordSys;
  CaeTypeId GetInfo() const override;
  const char* KindName() const override { return "face"; }
  CaeCoordSys* Clone() const override { return new CaeCoordSysFace(*this); }
  void LocalAxesAt(const CaeVector& point, CaeVector axes[3]) const override;
  // Cartesian coordinates in the placement.
  CaeVector CoordinatesOf(const CaeVector& point) const override;

  void SetTopoRef(CaeTopoRef* ref) { ref_ = ref; }
  CaeTopoRef* GetTopoRef() const { return ref_; }

 private:
  CaeTopoRef* ref_ = nullptr;
};
