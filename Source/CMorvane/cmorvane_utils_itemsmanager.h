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
  TItemsManager() : destroyItem(&DeleteItem) {}
  TItemsManager(const TItemsManager&) = delete;
  TItemsManager& operator=(const TItemsManager&) = delete;
  virtual ~TItemsManager() { FreeAllItemsNoThrow(); }

  virtual void FreeItem(int index) {
    if (index < 0 || index >= count) throw "Error in TItemsManager<T>::FreeItem";
    T* tmp_pItem = items[static_cast<size_t>(index)];
    if (tmp_pItem != nullptr) destroyItem(tmp_pItem);
    ClearSlot(index);
  }

  virtual void FreeAllItems() {
    for (int i = 0; i < count; ++i) FreeItem(i);
  }

  // Lowest slot whose ID equals strID exactly; a free slot's ID is "".
  int FindItem(const char* strID) const {
    if (strID == nullptr) return -1;
    for (int i = 0; i < count; ++i) {
      if (IDs[static_cast<size_t>(i)] == strID) return i;
    }
    return -1;
  }

  int AddItem(T* item, const char* strID, int tag) {
    const char* tmp_pszID = strID != nullptr ? strID : "";
    for (int i = 0; i < count; ++i) {
      if (items[static_cast<size_t>(i)] == nullptr) {
        items[static_cast<size_t>(i)] = item;
        IDs[static_cast<size_t>(i)] = tmp_pszID;
        tags[static_cast<size_t>(i)] = tag;
        return i;
      }
    }
    items.push_back(item);
    IDs.emplace_back(tmp_pszID);
    tags.push_back(tag);
    return count++;
  }

  T* FirstItemWithTag(int tag) {
    tagFilter = tag;
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

  // Slots outside the arrays raise std::out_of_range("invalid vector<T> subscript").
  const std::string& GetID(int index) const { return IDs[CheckedIndex(index)]; }
  int GetTag(int index) const { return tags[CheckedIndex(index)]; }

  int GetCount() const { return count; }

 protected:
  // The COM variant passes this: its items are given up by Release(), never
  // deleted, so no delete expression for T is ever instantiated for it (a
  // reference-counted interface may well have a protected destructor).
  struct ReleaseOnly {};
  explicit TItemsManager(ReleaseOnly) : destroyItem(nullptr) {}

  void ClearSlot(int index) {
    items[static_cast<size_t>(index)] = nullptr;
    IDs[static_cast<size_t>(index)].clear();
    tags[static_cast<size_t>(index)] = 0;
  }

  size_t CheckedIndex(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= IDs.size()) {
      throw std::out_of_range("invalid vector<T> subscript");
    }
    return static_cast<size_t>(index);
  }

 private:
  static void DeleteItem(T* fp_pItem) { delete fp_pItem; }

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
  // sure a manager destroyed early (by an exception) leaks nothing it owns.
  // Reference-counted items are left alone: their device may be gone.
  void FreeAllItemsNoThrow() noexcept {
    if (destroyItem == nullptr) return;
    for (int i = 0; i < count; ++i) {
      T* tmp_pItem = items[static_cast<size_t>(i)];
      items[static_cast<size_t>(i)] = nullptr;
      if (tmp_pItem != nullptr) destroyItem(tmp_pItem);
    }
  }

  void (*destroyItem)(T*);

 public:
  int count = 0;
  std::vector<T*> items;
  std::vector<int> tags;
  std::vector<std::string> IDs;
  int tagFilter = 0;
  int tagCursor = 0;
};

template <class T>
class TItemsManagerCOM : public TItemsManager<T> {
 public:
  TItemsManagerCOM() : TItemsManager<T>(typename TItemsManager<T>::ReleaseOnly{}) {}

  void FreeItem(int index) override {
    if (index < 0 || index >= this->count) throw "Error in TItemsManagerCOM<T>::FreeItem";
    T* tmp_pItem = this->items[static_cast<size_t>(index)];
    if (tmp_pItem != nullptr) {
      if (tmp_pItem->Release() >= 1) throw "Unreleased object references left!";
    }
    this->ClearSlot(index);
  }
};
