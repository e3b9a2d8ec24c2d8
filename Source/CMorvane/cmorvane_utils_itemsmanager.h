// Slot-numbered containers for every collection that game code and scripts
// address by integer ID. An item's ID is its slot number; freed slots are
// reused first-fit from slot 0; managers never shrink. The COM variant holds
// reference-counted device objects and frees by Release().
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

template <class T>
class TItemsManager {
 public:
  TItemsManager() = default;
  TItemsManager(const TItemsManager&) = delete;
  TItemsManager& operator=(const TItemsManager&) = delete;
  virtual ~TItemsManager() { FreeAllItemsNoThrow(); }

  virtual void FreeItem(int index) {
    if (index < 0 || index >= count) throw "Error in TItemsManager<T>::FreeItem";
    delete items[static_cast<size_t>(index)];
    ClearSlot(index);
  }

  virtual void FreeAllItems() {
    for (int i = 0; i < count; ++i) FreeItem(i);
  }

  int FindItem(const char* strID) const {
    for (int i = 0; i < count; ++i) {
      if (IDs[static_cast<size_t>(i)] == strID) return i;
    }
    return -1;
  }

  int AddItem(T* item, const char* strID, int tag) {
    for (int i = 0; i < count; ++i) {
      if (items[static_cast<size_t>(i)] == nullptr) {
        items[static_cast<size_t>(i)] = item;
        IDs[static_cast<size_t>(i)] = strID;
        tags[static_cast<size_t>(i)] = tag;
        return i;
      }
    }
    items.push_back(item);
    IDs.emplace_back(strID);
    tags.push_back(tag);
    return count++;
  }

  T* FirstItemWithTag(int tag) {
    tagFilter = tag;
    tagCursor = -1;
    return SeekTag(0);
  }

  T* NextItemWithTag() {
    if (tagCursor < 0 || tagCursor >= count) {
      tagCursor = -1;
      return nullptr;
    }
    return SeekTag(tagCursor + 1);
  }

  int GetTagCursor() const { return tagCursor; }

  T* GetItem(int index) const {
    if (index < 0 || index >= count) return nullptr;
    return items[static_cast<size_t>(index)];
  }

  // Out-of-range slots raise the standard out-of-range exception.
  const std::string& GetID(int index) const { return IDs.at(CheckedIndex(index)); }
  int GetTag(int index) const { return tags.at(CheckedIndex(index)); }

  int GetCount() const { return count; }

 protected:
  void ClearSlot(int index) {
    items[static_cast<size_t>(index)] = nullptr;
    IDs[static_cast<size_t>(index)].clear();
    tags[static_cast<size_t>(index)] = 0;
  }

  static size_t CheckedIndex(int index) {
    if (index < 0) throw std::out_of_range("invalid vector<T> subscript");
    return static_cast<size_t>(index);
  }

 private:
  T* SeekTag(int from) {
    for (int i = from; i < count; ++i) {
      T* tmp_pItem = items[static_cast<size_t>(i)];
      if (tmp_pItem != nullptr && (tagFilter == 0 || tags[static_cast<size_t>(i)] == tagFilter)) {
        tagCursor = i;
        return tmp_pItem;
      }
    }
    tagCursor = -1;
    return nullptr;
  }

  // The owners call FreeAllItems before deleting a manager; this only makes
  // sure a manager destroyed early (by an exception) leaks nothing.
  void FreeAllItemsNoThrow() noexcept {
    for (int i = 0; i < count; ++i) {
      if (!ownsByDelete) break;
      delete items[static_cast<size_t>(i)];
      items[static_cast<size_t>(i)] = nullptr;
    }
  }

 public:
  int count = 0;
  std::vector<T*> items;
  std::vector<int> tags;
  std::vector<std::string> IDs;
  int tagFilter = 0;
  int tagCursor = 0;

 protected:
  bool ownsByDelete = true;
};

template <class T>
class TItemsManagerCOM : public TItemsManager<T> {
 public:
  TItemsManagerCOM() { this->ownsByDelete = false; }

  void FreeItem(int index) override {
    if (index < 0 || index >= this->count) throw "Error in TItemsManagerCOM<T>::FreeItem";
    T* tmp_pItem = this->items[static_cast<size_t>(index)];
    if (tmp_pItem != nullptr) {
      if (tmp_pItem->Release() >= 1) throw "Unreleased object references left!";
    }
    this->ClearSlot(index);
  }
};
