// The undo history of one database: closed groups that can be undone, groups that can be redone,
// and the group being recorded.
#pragma once

#include <string>
#include <vector>

#include "arx/adesk.h"

class AcDbStub;
class AcDbObject;

class UndoHistory {
 public:
  struct Entry {
    enum Kind { kModified, kAdded, kErased } kind;
    AcDbStub* stub;
    bool erasing = false;  // for kErased: true for an erase, false for an un-erase
    std::string before;    // kModified: fields at the first write-open in the group
    std::string after;     // kModified: fields when the group was undone (for redo)
  };
  struct Group {
    std::string name;
    Adesk::UInt64 serial = 0;
    std::vector<Entry> entries;
  };

  void begin(const std::string& name);
  void end();
  bool isOpen() const { return open_; }
  bool canUndo() const { return !done_.empty(); }
  bool canRedo() const { return !undone_.empty(); }
  std::vector<std::string> names() const;

  // True when the open group has no snapshot of the object yet.
  bool wantsSnapshot(const AcDbStub* stub) const;
  void recordModified(AcDbStub* stub, std::string before);
  void recordAdded(AcDbStub* stub);
  void recordErased(AcDbStub* stub, bool erasing);

  // Where the open group stands, so that a transaction abort can drop what came after.
  std::size_t mark() const { return open_ ? current_.entries.size() : 0; }
  Adesk::UInt64 currentSerial() const { return open_ ? current_.serial : 0; }
  void truncate(Adesk::UInt64 serial, std::size_t mark);

  int undo(int count);
  bool redo();

 private:
  void startRecording();
  static void undoGroup(Group& group);
  static void redoGroup(Group& group);

  std::vector<Group> done_;
  std::vector<Group> undone_;
  Group current_;
  bool open_ = false;
  Adesk::UInt64 nextSerial_ = 1;
};
