// Engine type information: one CaeTypeInfo per engine class, reached as the class's static `Info`
// and, for an object, through its virtual GetInfo().
//
// An exact type test compares ids (obj.GetInfo() == AttLbc::Info); CanCast tells whether a type is
// the target or derives from it (every attribute class can cast to CaeAttrib::Info). A type has up
// to two parents, for classes that derive from two engine classes.
//
// Declaring a class's type:   in the class   CAE_DECLARE_TYPE_INFO;
//                             in its source  CAE_DEFINE_TYPE_INFO(AttLbc, AttBaseLbc, CaeAttrib)
#pragma once

class CaeTypeInfo {
 public:
  constexpr CaeTypeInfo(const char* name, const CaeTypeInfo* parent1 = nullptr, const CaeTypeInfo* parent2 = nullptr)
      : name_(name), parents_{parent1, parent2} {}

  const char* Name() const { return name_; }
  const CaeTypeInfo* Parent(int i) const { return (i == 0 || i == 1) ? parents_[i] : nullptr; }
  // Whether this type is `target` or derives from it.
  bool CanCast(const CaeTypeInfo& target) const;

 private:
  const char* name_;
  const CaeTypeInfo* parents_[2];
};

class CaeTypeId {
 public:
  constexpr CaeTypeId() = default;
  constexpr CaeTypeId(const CaeTypeInfo& info) : info_(&info) {}

  // The type's information, or null for the empty id.
  const CaeTypeInfo* GetTypeInfo() const { return info_; }
  bool CanCast(CaeTypeId target) const { return info_ && target.info_ && info_->CanCast(*target.info_); }
  bool IsNull() const { return info_ == nullptr; }
  friend bool operator==(CaeTypeId a, CaeTypeId b) { return a.info_ == b.info_; }
  friend bool operator!=(CaeTypeId a, CaeTypeId b) { return a.info_ != b.info_; }

 private:
  const CaeTypeInfo* info_ = nullptr;
};

#define CAE_DECLARE_TYPE_INFO static const CaeTypeInfo Info
// Constant-initialised, so type ids are usable from any static initialiser.
#define CAE_DEFINE_TYPE_INFO(Class, ...) CAE_TYPE_INFO_SELECT_(Class __VA_OPT__(, ) __VA_ARGS__, 2, 1, 0, -)
#define CAE_TYPE_INFO_SELECT_(Class, a, b, n, ...) CAE_TYPE_INFO_##n##_(Class, a, b)
#define CAE_TYPE_INFO_0_(Class, a, b) constinit const CaeTypeInfo Class::Info{#Class};
#define CAE_TYPE_INFO_1_(Class, a, b) constinit const CaeTypeInfo Class::Info{#Class, &a::Info};
#define CAE_TYPE_INFO_2_(Class, a, b) constinit const CaeTypeInfo Class::Info{#Class, &a::Info, &b::Info};
