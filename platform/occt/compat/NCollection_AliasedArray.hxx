// Debian's OpenCASCADE 7.6 development packages ship Poly_ArrayOfNodes.hxx and
// Poly_ArrayOfUVNodes.hxx but not the header they include, so every header that reaches
// Poly_Triangulation.hxx (BRep_Tool.hxx among them) fails to compile. This stand-in declares only what
// those two headers use, so that they compile. The kernel never builds or reads triangulations
// through it: code that needs a triangulation's nodes must use the library's exported functions.
// It is searched after the library's own headers, so a complete installed header takes precedence.
#ifndef _NCollection_AliasedArray_HeaderFile
#define _NCollection_AliasedArray_HeaderFile

#include <Standard_Macro.hxx>
#include <Standard_OutOfRange.hxx>
#include <Standard_TypeDef.hxx>

#include <utility>

template <int MyAlignSize = 16>
class NCollection_AliasedArray {
 public:
  explicit NCollection_AliasedArray(Standard_Integer theStride)
      : myData(nullptr), myStride(theStride), mySize(0), myDeletable(Standard_False) {}

  NCollection_AliasedArray(Standard_Integer theStride, Standard_Integer theLength)
      : myData(nullptr), myStride(theStride), mySize(0), myDeletable(Standard_False) {
    (void)theLength;
    throw Standard_OutOfRange("NCollection_AliasedArray: allocation is not available in this build");
  }

  template <typename Type_t>
  NCollection_AliasedArray(const Type_t& theBegin, Standard_Integer theLength)
      : myData((Standard_Byte*)&theBegin), myStride((Standard_Integer)sizeof(Type_t)), mySize(theLength),
        myDeletable(Standard_False) {}

  NCollection_AliasedArray(NCollection_AliasedArray&& theOther)
      : myData(theOther.myData), myStride(theOther.myStride), mySize(theOther.mySize),
        myDeletable(theOther.myDeletable) {
    theOther.myData = nullptr;
    theOther.mySize = 0;
    theOther.myDeletable = Standard_False;
  }

  NCollection_AliasedArray(const NCollection_AliasedArray&) = delete;
  NCollection_AliasedArray& operator=(const NCollection_AliasedArray&) = delete;
  ~NCollection_AliasedArray() = default;

  Standard_Integer Length() const { return mySize; }
  Standard_Integer Size() const { return mySize; }
  Standard_Integer Stride() const { return myStride; }
  bool IsEmpty() const { return mySize == 0; }

  NCollection_AliasedArray& Move(NCollection_AliasedArray& theOther) {
    if (&theOther != this) {
      std::swap(myData, theOther.myData);
      std::swap(myStride, theOther.myStride);
      std::swap(mySize, theOther.mySize);
      std::swap(myDeletable, theOther.myDeletable);
    }
    return *this;
  }

  template <typename Type_t>
  const Type_t& Value(Standard_Integer theIndex) const {
    return *reinterpret_cast<const Type_t*>(myData + myStride * theIndex);
  }

  template <typename Type_t>
  Type_t& ChangeValue(Standard_Integer theIndex) {
    return *reinterpret_cast<Type_t*>(myData + myStride * theIndex);
  }

 protected:
  Standard_Byte* myData;
  Standard_Integer myStride;
  Standard_Integer mySize;
  Standard_Boolean myDeletable;
};

#endif
