#include "kit/win/icon_list_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/wcl/win/bitmap.h"

namespace {

// A system icon of our own (a copy of the shared one).
std::unique_ptr<TIcon> SystemIcon(LPCSTR id) {
  auto icon = std::make_unique<TIcon>();
  icon->SetHandle(CopyIcon(LoadIconA(nullptr, id)));
  return icon;
}

std::string Bytes(TMemoryStream& stream) {
  return std::string(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

std::string Saved(TIcon* icon) {
  TMemoryStream stream;
  icon->SaveToStream(stream);
  return Bytes(stream);
}

std::string Le32(uint32_t v) {
  return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 24)};
}

TMemoryStream StreamOf(const std::string& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  return stream;
}

// A list that counts its notifications.
struct CountedList {
  TIconList list;
  int changes = 0;
  CountedList() {
    list.OnChange = [this](TObject* sender) {
      EXPECT_EQ(&list, sender);
      ++changes;
    };
  }
};

}  // namespace

TEST(IconList, HoldsCopiesAndNotifiesEveryChange) {
  CountedList counted;
  TIconList& list = counted.list;
  std::unique_ptr<TIcon> app = SystemIcon(IDI_APPLICATION);
  std::unique_ptr<TIcon> hand = SystemIcon(IDI_HAND);

  EXPECT_EQ(0, list.Add(app.get()));
  EXPECT_EQ(-1, list.IndexOf(app.get()));  // the list holds a copy
  EXPECT_EQ(0, list.IndexOf(list.Get(0)));
  EXPECT_EQ(Saved(app.get()), Saved(list.Get(0)));
  list.Insert(0, hand.get());
  EXPECT_EQ(Saved(hand.get()), Saved(list.Get(0)));
  EXPECT_EQ(2, counted.changes);

  // An icon of the list changing by itself changes the list.
  list.Get(1)->Assign(hand.get());
  EXPECT_EQ(3, counted.changes);

  TIcon* a = list.Get(0);
  TIcon* b = list.Get(1);
  list.Exchange(0, 1);
  EXPECT_EQ(b, list.Get(0));
  list.Move(0, 1);
  EXPECT_EQ(a, list.Get(0));
  list.Delete(0);
  EXPECT_EQ(-1, list.IndexOf(a));
  EXPECT_EQ(6, counted.changes);

  EXPECT_THROW(list.Get(1), EListError);
  EXPECT_THROW(list.Delete(-1), EListError);
  EXPECT_THROW(list.Exchange(0, 1), EListError);
  EXPECT_THROW(list.Move(1, 0), EListError);
  EXPECT_THROW(list.Insert(2, app.get()), EListError);
  EXPECT_EQ(1, list.Count());
}

TEST(IconList, UpdatesGiveOneNotificationAtTheOutermostEnd) {
  CountedList counted;
  TIconList& list = counted.list;
  list.Clear();  // even an empty list notifies once
  EXPECT_EQ(1, counted.changes);

  std::unique_ptr<TIcon> app = SystemIcon(IDI_APPLICATION);
  list.BeginUpdate();
  list.BeginUpdate();
  list.Add(app.get());
  list.Add(app.get());
  list.EndUpdate();
  EXPECT_EQ(1, counted.changes);
  list.EndUpdate();
  EXPECT_EQ(2, counted.changes);

  // Put at Count appends; beyond Count it fails, still with one notification.
  list.Put(2, app.get());
  EXPECT_EQ(3, list.Count());
  EXPECT_EQ(3, counted.changes);
  EXPECT_THROW(list.Put(4, app.get()), EListError);
  EXPECT_EQ(4, counted.changes);

  // Put replaces the image in place; putting an entry onto itself keeps it.
  std::unique_ptr<TIcon> hand = SystemIcon(IDI_HAND);
  TIcon* first = list.Get(0);
  list.Put(0, hand.get());
  EXPECT_EQ(first, list.Get(0));
  list.Put(0, list.Get(0));
  EXPECT_EQ(Saved(hand.get()), Saved(first));
  list.Put(1, nullptr);
  EXPECT_TRUE(list.Get(1)->Empty());
}

TEST(IconList, AssignCopiesListsAndIcons) {
  std::unique_ptr<TIcon> app = SystemIcon(IDI_APPLICATION);
  std::unique_ptr<TIcon> hand = SystemIcon(IDI_HAND);
  TIconList source;
  source.Add(app.get());
  source.Add(hand.get());

  CountedList counted;
  TIconList& list = counted.list;
  list.Add(hand.get());
  counted.changes = 0;
  list.Assign(&source);
  EXPECT_EQ(1, counted.changes);
  ASSERT_EQ(2, list.Count());
  EXPECT_NE(source.Get(0), list.Get(0));
  EXPECT_EQ(Saved(app.get()), Saved(list.Get(0)));

  // Assigning the list to itself keeps every frame.
  list.Assign(&list);
  EXPECT_EQ(2, list.Count());

  list.Assign(hand.get());
  ASSERT_EQ(1, list.Count());
  EXPECT_EQ(Saved(hand.get()), Saved(list.Get(0)));

  TBitmap bitmap;
  EXPECT_THROW(list.Assign(&bitmap), EConvertError);
  list.Assign(nullptr);
  EXPECT_EQ(0, list.Count());
}

TEST(IconList, StoredFormRoundTripsWithEmptyEntries) {
  std::unique_ptr<TIcon> app = SystemIcon(IDI_APPLICATION);
  TIcon emptyIcon;
  TIconList list;
  list.Add(app.get());
  list.Add(&emptyIcon);  // present but empty: stored as size 0
  TMemoryStream stream;
  list.WriteData(stream);
  const std::string icon = Saved(app.get());
  EXPECT_EQ(Le32(2) + Le32(static_cast<uint32_t>(icon.size())) + icon + Le32(0), Bytes(stream));

  CountedList counted;
  counted.list.Add(app.get());
  counted.changes = 0;
  stream.SetPosition(0);
  counted.list.ReadData(stream);
  EXPECT_EQ(1, counted.changes);
  ASSERT_EQ(2, counted.list.Count());
  EXPECT_EQ(icon, Saved(counted.list.Get(0)));
  EXPECT_EQ(nullptr, counted.list.Get(1));  // an empty entry
  counted.list.Put(1, app.get());           // until something is put there
  ASSERT_NE(nullptr, counted.list.Get(1));

  // An empty entry read is written back empty.
  TIconList withEmpty;
  TMemoryStream emptyEntry = StreamOf(Le32(1) + Le32(0));
  withEmpty.ReadData(emptyEntry);
  TMemoryStream again;
  withEmpty.WriteData(again);
  EXPECT_EQ(Le32(1) + Le32(0), Bytes(again));

  counted.changes = 0;
  TMemoryStream none = StreamOf(Le32(0));
  counted.list.ReadData(none);
  EXPECT_EQ(0, counted.list.Count());
  EXPECT_EQ(1, counted.changes);
}

TEST(IconList, DamagedStoredFormsAreRefused) {
  const std::string icon = Saved(SystemIcon(IDI_APPLICATION).get());
  const std::string good = Le32(static_cast<uint32_t>(icon.size())) + icon;
  CountedList counted;

  // A size beyond the end after one good entry: the good entry stays; one notification.
  TMemoryStream stream = StreamOf(Le32(2) + good + Le32(0x10000000) + "tail");
  EXPECT_THROW(counted.list.ReadData(stream), EReadError);
  EXPECT_EQ(1, counted.list.Count());
  EXPECT_EQ(1, counted.changes);

  // A record that is there but is no icon: no garbage icon is added.
  stream = StreamOf(Le32(2) + good + Le32(8) + "garbage!");
  EXPECT_THROW(counted.list.ReadData(stream), Exception);
  EXPECT_EQ(1, counted.list.Count());
}

TEST(IconList, ResourceIconsAreOwnedCopies) {
  CountedList counted;
  TIconList& list = counted.list;
  EXPECT_EQ(0, list.AddResource(nullptr, IDI_APPLICATION));
  ASSERT_NE(nullptr, list.Get(0));
  EXPECT_FALSE(list.Get(0)->Empty());
  EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), list.Get(0)->Handle());
  list.InsertResource(0, nullptr, IDI_HAND);
  EXPECT_EQ(2, list.Count());
  EXPECT_EQ(2, counted.changes);

  // A missing resource is an error, not an empty icon added as if all went well.
  EXPECT_THROW(list.AddResource(GetModuleHandleA(nullptr), "NO_SUCH_ICON"), EResNotFound);
  EXPECT_THROW(list.InsertResource(0, GetModuleHandleA(nullptr), "NO_SUCH_ICON"), EResNotFound);
  EXPECT_EQ(2, list.Count());
  EXPECT_EQ(2, counted.changes);
}

TEST(IconList, DestroyingTheListNotifiesNothing) {
  int changes = 0;
  {
    TIconList list;
    list.Add(SystemIcon(IDI_APPLICATION).get());
    list.OnChange = [&](TObject*) { ++changes; };
  }
  EXPECT_EQ(0, changes);
}
