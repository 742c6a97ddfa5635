#include "undo_history.h"

#include "database_impl.h"

void UndoHistory::begin(const std::string& name) {
  if (open_) end();
  current_ = Group{name, nextSerial_++, {}};
  open_ = true;
}

void UndoHistory::end() {
  if (!open_) return;
  open_ = false;
  if (!current_.entries.empty()) done_.push_back(std::move(current_));
  current_ = Group();
}

std::vector<std::string> UndoHistory::names() const {
  std::vector<std::string> result;
  for (const Group& group : done_) result.push_back(group.name);
  return result;
}

bool UndoHistory::wantsSnapshot(const AcDbStub* stub) const { return open_ && stub->undoMark != current_.serial; }

void UndoHistory::startRecording() {
  if (current_.entries.empty()) undone_.clear();  // a new change: what was undone can no longer be redone
}

void UndoHistory::recordModified(AcDbStub* stub, std::string before) {
  if (!wantsSnapshot(stub)) return;
  startRecording();
  stub->undoMark = current_.serial;
  current_.entries.push_back(Entry{Entry::kModified, stub, false, std::move(before), {}});
}

void UndoHistory::recordAdded(AcDbStub* stub) {
  if (!open_) return;
  startRecording();
  stub->undoMark = current_.serial;  // nothing to snapshot: undo erases it
  current_.entries.push_back(Entry{Entry::kAdded, stub, false, {}, {}});
}

void UndoHistory::recordErased(AcDbStub* stub, bool erasing) {
  if (!open_) return;
  startRecording();
  current_.entries.push_back(Entry{Entry::kErased, stub, erasing, {}, {}});
}

void UndoHistory::truncate(Adesk::UInt64 serial, std::size_t mark) {
  if (!open_ || serial != current_.serial || mark >= current_.entries.size()) return;
  for (std::size_t i = mark; i < current_.entries.size(); ++i) {
    Entry& entry = current_.entries[i];
    if (entry.kind != Entry::kErased) entry.stub->undoMark = 0;  // the next write-open snapshots again
  }
  current_.entries.resize(mark);
}

int UndoHistory::undo(int count) {
  end();
  int undone = 0;
  while (undone < count && !done_.empty()) {
    Group group = std::move(done_.back());
    done_.pop_back();
    undoGroup(group);
    undone_.push_back(std::move(group));
    ++undone;
  }
  return undone;
}

bool UndoHistory::redo() {
  end();
  if (undone_.empty()) return false;
  Group group = std::move(undone_.back());
  undone_.pop_back();
  redoGroup(group);
  done_.push_back(std::move(group));
  return true;
}

void UndoHistory::undoGroup(Group& group) {
  for (auto it = group.entries.rbegin(); it != group.entries.rend(); ++it) {
    AcDbObject* object = it->stub->object;
    if (!object) continue;  // removed by a transaction abort
    switch (it->kind) {
      case Entry::kModified:
        it->after = AcDbObjectAccess::snapshot(object);
        AcDbObjectAccess::restore(object, it->before);
        AcDbObjectAccess::notifyModifyUndone(object);
        break;
      case Entry::kAdded: AcDbObjectAccess::setErasedByHistory(object, true, true); break;
      case Entry::kErased: AcDbObjectAccess::setErasedByHistory(object, !it->erasing, true); break;
    }
  }
}

void UndoHistory::redoGroup(Group& group) {
  for (Entry& entry : group.entries) {
    AcDbObject* object = entry.stub->object;
    if (!object) continue;
    switch (entry.kind) {
      case Entry::kModified:
        AcDbObjectAccess::restore(object, entry.after);
        AcDbObjectAccess::notifyModifyUndone(object);
        break;
      case Entry::kAdded: AcDbObjectAccess::setErasedByHistory(object, false, true); break;
      case Entry::kErased: AcDbObjectAccess::setErasedByHistory(object, entry.erasing, true); break;
    }
  }
}
