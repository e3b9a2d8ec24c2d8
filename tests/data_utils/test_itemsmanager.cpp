// Item managers: first-fit slot reuse, the slot checks and their plain text
// exceptions, ownership of the items, the tag walk, and the COM variant's
// reference rule with a counting fake of a reference-counted interface.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "cmorvane_utils_itemsmanager.h"

namespace {

// An owned item that counts its destructions.
struct Item {
  explicit Item(int* fp_pDestroyed) : destroyed(fp_pDestroyed) {}
  ~Item() { ++*destroyed; }
  int* destroyed;
};

// A reference-counted object in the shape of a device interface: it can only
// destroy itself (protected destructor), Release returns what is left.
class FakeCOM {
 public:
  static FakeCOM* Create(int* fp_pAlive) { return new FakeCOM(fp_pAlive); }
  unsigned long AddRef() { return ++refs; }
  unsigned long Release() {
    const unsigned long tmp_uLeft = --refs;
    ++releases;
    if (tmp_uLeft == 0) delete this;
    return tmp_uLeft;
  }
  static int releases;

 protected:
  ~FakeCOM() { --*alive; }

 private:
  explicit FakeCOM(int* fp_pAlive) : alive(fp_pAlive) { ++*alive; }
  unsigned long refs = 1;
  int* alive;
};
int FakeCOM::releases = 0;

template <class TManager>
void ExpectFreeItemThrows(TManager& fp_rManager, int fp_iIndex, const char* fp_pszText) {
  try {
    fp_rManager.FreeItem(fp_iIndex);
    ADD_FAILURE() << "FreeItem(" << fp_iIndex << ") did not throw";
  } catch (const char* e) {
    EXPECT_STREQ(e, fp_pszText) << "FreeItem(" << fp_iIndex << ")";
  }
}

TEST(ItemsManager, SlotsAreReusedFirstFit) {
  int tmp_iDestroyed = 0;
  TItemsManager<Item> tmp_Mgr;
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(
        tmp_Mgr.AddItem(new Item(&tmp_iDestroyed), ("ID" + std::to_string(i)).c_str(), 10 + i), i);
  }
  tmp_Mgr.FreeItem(5);
  tmp_Mgr.FreeItem(2);
  EXPECT_EQ(tmp_iDestroyed, 2);
  EXPECT_EQ(tmp_Mgr.count, 8);
  EXPECT_EQ(tmp_Mgr.GetItem(2), nullptr);
  EXPECT_EQ(tmp_Mgr.GetID(2), "");
  EXPECT_EQ(tmp_Mgr.GetTag(5), 0);
  EXPECT_EQ(tmp_Mgr.FindItem(""), 2);

  Item* tmp_pA = new Item(&tmp_iDestroyed);
  EXPECT_EQ(tmp_Mgr.AddItem(tmp_pA, "A", 7), 2);
  EXPECT_EQ(tmp_Mgr.AddItem(new Item(&tmp_iDestroyed), "B", 7), 5);
  EXPECT_EQ(tmp_Mgr.AddItem(new Item(&tmp_iDestroyed), "C", 7), 8);
  EXPECT_EQ(tmp_Mgr.count, 9);
  EXPECT_EQ(tmp_Mgr.items.size(), 9u);
  EXPECT_EQ(tmp_Mgr.tags.size(), 9u);
  EXPECT_EQ(tmp_Mgr.IDs.size(), 9u);
  EXPECT_EQ(tmp_Mgr.GetItem(2), tmp_pA);
  EXPECT_EQ(tmp_Mgr.GetID(2), "A");
  EXPECT_EQ(tmp_Mgr.GetTag(2), 7);
  EXPECT_EQ(tmp_Mgr.FindItem(""), -1);

  // Exact matches only; the lowest slot wins.
  EXPECT_EQ(tmp_Mgr.FindItem("ID3"), 3);
  EXPECT_EQ(tmp_Mgr.FindItem("ID"), -1);
  EXPECT_EQ(tmp_Mgr.FindItem("ID30"), -1);
  EXPECT_EQ(tmp_Mgr.FindItem("id3"), -1);
  EXPECT_EQ(tmp_Mgr.FindItem(nullptr), -1);
  tmp_Mgr.AddItem(new Item(&tmp_iDestroyed), "A", 0);
  EXPECT_EQ(tmp_Mgr.FindItem("A"), 2);

  tmp_Mgr.FreeAllItems();
  EXPECT_EQ(tmp_iDestroyed, 12);
  EXPECT_EQ(tmp_Mgr.count, 10);
  EXPECT_EQ(tmp_Mgr.FindItem(""), 0);
}

TEST(ItemsManager, FreeItemChecksTheSlot) {
  int tmp_iDestroyed = 0;
  TItemsManager<Item> tmp_Mgr;
  tmp_Mgr.FreeAllItems();  // empty: nothing happens
  tmp_Mgr.AddItem(new Item(&tmp_iDestroyed), "A", 1);
  tmp_Mgr.AddItem(new Item(&tmp_iDestroyed), "B", 2);

  for (int tmp_iBad : {-1, 2, 1000}) {
    ExpectFreeItemThrows(tmp_Mgr, tmp_iBad, "Error in TItemsManager<T>::FreeItem");
  }
  EXPECT_EQ(tmp_iDestroyed, 0);
  EXPECT_EQ(tmp_Mgr.count, 2);

  tmp_Mgr.FreeItem(0);
  tmp_Mgr.FreeItem(0);  // already free: allowed, no change
  EXPECT_EQ(tmp_iDestroyed, 1);
  EXPECT_EQ(tmp_Mgr.GetID(1), "B");

  EXPECT_EQ(tmp_Mgr.GetItem(-1), nullptr);
  EXPECT_EQ(tmp_Mgr.GetItem(2), nullptr);
  for (int tmp_iBad : {-1, 2}) {
    try {
      (void)tmp_Mgr.GetID(tmp_iBad);
      ADD_FAILURE() << "GetID(" << tmp_iBad << ")";
    } catch (const std::out_of_range& e) {
      EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
    }
    try {
      (void)tmp_Mgr.GetTag(tmp_iBad);
      ADD_FAILURE() << "GetTag(" << tmp_iBad << ")";
    } catch (const std::out_of_range& e) {
      EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
    }
  }
}

TEST(ItemsManager, DestructorDeletesWhatIsLeft) {
  int tmp_iDestroyed = 0;
  {
    TItemsManager<Item> tmp_Mgr;
    tmp_Mgr.AddItem(new Item(&tmp_iDestroyed), "A", 1);
    tmp_Mgr.AddItem(new Item(&tmp_iDestroyed), "B", 1);
    tmp_Mgr.FreeItem(0);
  }
  EXPECT_EQ(tmp_iDestroyed, 2);
}

TEST(ItemsManager, TagWalk) {
  int tmp_iDestroyed = 0;
  TItemsManager<Item> tmp_Mgr;
  // Slots:     0  1  2  3(free)  4  5  6
  const int kTags[] = {1, 2, 1, 1, 1, 3, 0};
  std::vector<Item*> tmp_vItems;
  for (int tmp_iTag : kTags) {
    tmp_vItems.push_back(new Item(&tmp_iDestroyed));
    tmp_Mgr.AddItem(tmp_vItems.back(), "X", tmp_iTag);
  }
  tmp_Mgr.FreeItem(3);
  EXPECT_EQ(tmp_Mgr.tagCursor, 0);  // as constructed

  auto Walk = [&](int fp_iTag) {
    std::vector<int> tmp_vSlots;
    for (Item* p = tmp_Mgr.FirstItemWithTag(fp_iTag); p != nullptr; p = tmp_Mgr.NextItemWithTag()) {
      EXPECT_EQ(p, tmp_vItems[static_cast<size_t>(tmp_Mgr.tagCursor)]);
      tmp_vSlots.push_back(tmp_Mgr.tagCursor);
    }
    EXPECT_EQ(tmp_Mgr.tagCursor, -1);
    return tmp_vSlots;
  };
  EXPECT_EQ(Walk(1), (std::vector<int>{0, 2, 4}));
  EXPECT_EQ(Walk(3), (std::vector<int>{5}));
  EXPECT_EQ(Walk(0), (std::vector<int>{0, 1, 2, 4, 5, 6}));  // every occupied slot
  EXPECT_EQ(Walk(9), (std::vector<int>{}));
  EXPECT_EQ(tmp_Mgr.tagFilter, 9);

  // A finished walk stays finished.
  EXPECT_EQ(tmp_Mgr.NextItemWithTag(), nullptr);
  EXPECT_EQ(tmp_Mgr.tagCursor, -1);

  // A walk over an empty manager.
  TItemsManager<Item> tmp_Empty;
  EXPECT_EQ(tmp_Empty.FirstItemWithTag(0), nullptr);
  EXPECT_EQ(tmp_Empty.tagCursor, -1);
}

TEST(ItemsManagerCOM, FreeReleasesAndChecksReferences) {
  FakeCOM::releases = 0;
  int tmp_iAlive = 0;
  TItemsManagerCOM<FakeCOM> tmp_Mgr;
  FakeCOM* tmp_pOne = FakeCOM::Create(&tmp_iAlive);
  FakeCOM* tmp_pTwo = FakeCOM::Create(&tmp_iAlive);
  tmp_pTwo->AddRef();
  EXPECT_EQ(tmp_Mgr.AddItem(tmp_pOne, "TEX_ONE", 1), 0);
  EXPECT_EQ(tmp_Mgr.AddItem(tmp_pTwo, "TEX_TWO", 1), 1);

  ExpectFreeItemThrows(tmp_Mgr, -1, "Error in TItemsManagerCOM<T>::FreeItem");
  ExpectFreeItemThrows(tmp_Mgr, 2, "Error in TItemsManagerCOM<T>::FreeItem");
  EXPECT_EQ(FakeCOM::releases, 0);

  tmp_Mgr.FreeItem(0);
  EXPECT_EQ(tmp_iAlive, 1);
  EXPECT_EQ(tmp_Mgr.GetItem(0), nullptr);
  EXPECT_EQ(tmp_Mgr.GetID(0), "");
  tmp_Mgr.FreeItem(0);  // empty slot: nothing released
  EXPECT_EQ(FakeCOM::releases, 1);

  // Two references: the first free gives one up, complains and keeps the slot.
  ExpectFreeItemThrows(tmp_Mgr, 1, "Unreleased object references left!");
  EXPECT_EQ(tmp_Mgr.GetItem(1), tmp_pTwo);
  EXPECT_EQ(tmp_Mgr.GetID(1), "TEX_TWO");
  EXPECT_EQ(tmp_Mgr.GetTag(1), 1);
  EXPECT_EQ(tmp_iAlive, 1);
  tmp_Mgr.FreeItem(1);
  EXPECT_EQ(tmp_iAlive, 0);
  EXPECT_EQ(tmp_Mgr.GetItem(1), nullptr);
  EXPECT_EQ(FakeCOM::releases, 3);
}

TEST(ItemsManagerCOM, FreeAllItemsThroughTheBaseUsesRelease) {
  FakeCOM::releases = 0;
  int tmp_iAlive = 0;
  TItemsManagerCOM<FakeCOM>* tmp_pCOM = new TItemsManagerCOM<FakeCOM>;
  TItemsManager<FakeCOM>* tmp_pMgr = tmp_pCOM;
  FakeCOM* tmp_pHeld = FakeCOM::Create(&tmp_iAlive);
  tmp_pHeld->AddRef();
  tmp_pMgr->AddItem(FakeCOM::Create(&tmp_iAlive), "A", 0);
  tmp_pMgr->AddItem(tmp_pHeld, "B", 0);
  tmp_pMgr->AddItem(FakeCOM::Create(&tmp_iAlive), "C", 0);

  // The walk stops at the slot with a reference left; the ones before it are free.
  try {
    tmp_pMgr->FreeAllItems();
    ADD_FAILURE() << "no exception";
  } catch (const char* e) {
    EXPECT_STREQ(e, "Unreleased object references left!");
  }
  EXPECT_EQ(tmp_pMgr->GetItem(0), nullptr);
  EXPECT_EQ(tmp_pMgr->GetItem(1), tmp_pHeld);
  EXPECT_NE(tmp_pMgr->GetItem(2), nullptr);
  // The next attempt meets the same slot again, and now succeeds.
  tmp_pMgr->FreeAllItems();
  EXPECT_EQ(tmp_iAlive, 0);
  EXPECT_EQ(FakeCOM::releases, 4);

  // Destroying a COM manager never deletes or releases what it still holds.
  FakeCOM* tmp_pLeft = FakeCOM::Create(&tmp_iAlive);
  tmp_pMgr->AddItem(tmp_pLeft, "D", 0);
  delete tmp_pMgr;
  EXPECT_EQ(tmp_iAlive, 1);
  EXPECT_EQ(FakeCOM::releases, 4);
  tmp_pLeft->Release();
}

}  // namespace
