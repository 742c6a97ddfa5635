#include "mfc/global_memory.h"

#include <map>
#include <mutex>
#include <vector>

namespace {

struct Block {
  std::vector<unsigned char> bytes;
  UINT locks = 0;
};

std::mutex memoryMutex;
std::map<HGLOBAL, Block*>& blocks() {
  static std::map<HGLOBAL, Block*> live;
  return live;
}

Block* find(HGLOBAL handle) {
  auto it = blocks().find(handle);
  return it == blocks().end() ? nullptr : it->second;
}

struct Clipboard {
  bool open = false;
  std::map<UINT, HGLOBAL> formats;
};
Clipboard clipboard;

void freeBlock(HGLOBAL handle) {
  Block* block = find(handle);
  if (!block) return;
  blocks().erase(handle);
  delete block;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT, size_t bytes) {
  std::lock_guard lock(memoryMutex);
  auto* block = new Block;
  block->bytes.assign(bytes == 0 ? 1 : bytes, 0);  // zeroed whatever the flags: simplest and safe
  HGLOBAL handle = block;
  blocks()[handle] = block;
  return handle;
}

void* GlobalLock(HGLOBAL handle) {
  std::lock_guard lock(memoryMutex);
  Block* block = find(handle);
  if (!block) return nullptr;
  ++block->locks;
  return block->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL handle) {
  std::lock_guard lock(memoryMutex);
  Block* block = find(handle);
  if (!block || block->locks == 0) return FALSE;
  return --block->locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL handle) {
  std::lock_guard lock(memoryMutex);
  if (!find(handle)) return handle;
  freeBlock(handle);
  return nullptr;
}

UINT GlobalFlags(HGLOBAL handle) {
  std::lock_guard lock(memoryMutex);
  Block* block = find(handle);
  return block ? block->locks : UINT{GMEM_INVALID_HANDLE};
}

size_t GlobalSize(HGLOBAL handle) {
  std::lock_guard lock(memoryMutex);
  Block* block = find(handle);
  return block ? block->bytes.size() : 0;
}

BOOL OpenClipboard(HWND) {
  std::lock_guard lock(memoryMutex);
  if (clipboard.open) return FALSE;
  clipboard.open = true;
  return TRUE;
}

BOOL EmptyClipboard() {
  std::lock_guard lock(memoryMutex);
  if (!clipboard.open) return FALSE;
  for (auto& [format, handle] : clipboard.formats) freeBlock(handle);
  clipboard.formats.clear();
  return TRUE;
}

HGLOBAL SetClipboardData(UINT format, HGLOBAL handle) {
  std::lock_guard lock(memoryMutex);
  if (!clipboard.open || !find(handle)) return nullptr;
  auto it = clipboard.formats.find(format);
  if (it != clipboard.formats.end() && it->second != handle) freeBlock(it->second);
  clipboard.formats[format] = handle;
  return handle;
}

HGLOBAL GetClipboardData(UINT format) {
  std::lock_guard lock(memoryMutex);
  if (!clipboard.open) return nullptr;
  auto it = clipboard.formats.find(format);
  return it == clipboard.formats.end() ? nullptr : it->second;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  std::lock_guard lock(memoryMutex);
  return clipboard.formats.count(format) ? TRUE : FALSE;
}

BOOL CloseClipboard() {
  std::lock_guard lock(memoryMutex);
  if (!clipboard.open) return FALSE;
  clipboard.open = false;
  return TRUE;
}
