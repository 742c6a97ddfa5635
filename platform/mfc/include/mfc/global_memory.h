// Global memory blocks and the clipboard, as the add-in uses them: blocks are allocated, locked
// for a pointer, unlocked and freed; a freed or unknown handle reports GMEM_INVALID_HANDLE. The
// clipboard holds one block per format, owned by the clipboard once set.
#pragma once
#include <cstddef>

#include "mfc/wintypes.h"

enum : UINT { GMEM_FIXED = 0x0, GMEM_MOVEABLE = 0x2, GMEM_ZEROINIT = 0x40, GMEM_INVALID_HANDLE = 0x8000 };

HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
void* GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);
// Null on success, the handle when it is not a live block.
HGLOBAL GlobalFree(HGLOBAL block);
// The lock count, or GMEM_INVALID_HANDLE for a handle that is not a live block.
UINT GlobalFlags(HGLOBAL block);
size_t GlobalSize(HGLOBAL block);

enum : UINT { CF_TEXT = 1, CF_BITMAP = 2, CF_METAFILEPICT = 3, CF_DIB = 8, CF_ENHMETAFILE = 14 };
BOOL OpenClipboard(HWND owner);
BOOL EmptyClipboard();
// Takes ownership of `block`; null on failure (clipboard not open), when the block stays the
// caller's.
HGLOBAL SetClipboardData(UINT format, HGLOBAL block);
HGLOBAL GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
BOOL CloseClipboard();
