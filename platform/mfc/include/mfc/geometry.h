// CPoint, CSize and CRect: the toolkit's geometry helpers over POINT, SIZE and RECT.
#pragma once
#include "mfc/wintypes.h"

class CPoint : public POINT {
 public:
  CPoint() = default;
  CPoint(LONG px, LONG py) {
    x = px;
    y = py;
  }
  CPoint(POINT p) : POINT(p) {}
  friend bool operator==(const CPoint& a, const CPoint& b) { return a.x == b.x && a.y == b.y; }
};

class CSize : public SIZE {
 public:
  CSize() = default;
  CSize(LONG w, LONG h) {
    cx = w;
    cy = h;
  }
};

class CRect : public RECT {
 public:
  CRect() = default;
  CRect(LONG l, LONG t, LONG r, LONG b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
  }
  CRect(const RECT& r) : RECT(r) {}
  LONG Width() const { return right - left; }
  LONG Height() const { return bottom - top; }
  CPoint TopLeft() const { return CPoint(left, top); }
  CPoint BottomRight() const { return CPoint(right, bottom); }
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
  BOOL PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  void OffsetRect(LONG dx, LONG dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
  }
  BOOL IsRectEmpty() const { return right <= left || bottom <= top; }
  friend bool operator==(const CRect& a, const CRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }
};
