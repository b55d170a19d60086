#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <utility>

#include "platform/wcl/win/handles.h"

namespace {

bool GdiAlive(HGDIOBJ object) { return GetObjectType(object) != 0; }

}  // namespace

TEST(Handles, GdiOwnersFreeOnceAndMovedFromOwnersAreEmpty) {
  HBRUSH raw = CreateSolidBrush(RGB(1, 2, 3));
  {
    UniqueBrush first(raw);
    UniqueBrush second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(first.get(), nullptr);
    EXPECT_EQ(second.get(), raw);
    first.reset();  // freeing an empty owner does nothing to the moved handle
    EXPECT_TRUE(GdiAlive(raw));
    UniqueBrush third;
    third = std::move(second);
    EXPECT_TRUE(GdiAlive(raw));
  }
  EXPECT_FALSE(GdiAlive(raw));

  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  UniquePen owner(pen);
  HPEN released = owner.release();
  EXPECT_FALSE(owner);
  owner.reset();
  EXPECT_TRUE(GdiAlive(released));
  owner.reset(released);
  HPEN other = CreatePen(PS_SOLID, 2, 0);
  owner.reset(other);  // a reset frees the handle held before
  EXPECT_FALSE(GdiAlive(released));
  EXPECT_TRUE(GdiAlive(other));
}

TEST(Handles, DcsIconsKeysAndKernelHandlesAreClosed) {
  HDC memory = CreateCompatibleDC(nullptr);
  { UniqueMemoryDc dc(memory); }
  EXPECT_EQ(GetObjectType(memory), 0u);

  BYTE andBits[32 * 4];
  BYTE xorBits[32 * 4] = {};
  std::fill(std::begin(andBits), std::end(andBits), 0xFF);
  HICON raw = CreateIcon(nullptr, 32, 32, 1, 1, andBits, xorBits);
  ICONINFO info{};
  {
    UniqueIcon icon(raw);
    UniqueIcon moved(std::move(icon));
    EXPECT_FALSE(icon);
  }
  EXPECT_FALSE(GetIconInfo(raw, &info));

  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD flags = 0;
  { UniqueKernelHandle handle(event); }
  EXPECT_FALSE(GetHandleInformation(event, &flags));
  UniqueKernelHandle invalid(INVALID_HANDLE_VALUE);
  EXPECT_FALSE(invalid);

  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
  { UniqueKey owner(key); }
  EXPECT_NE(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr),
            ERROR_SUCCESS);

  HMENU menu = CreatePopupMenu();
  { UniqueMenu owner(menu); }
  EXPECT_FALSE(IsMenu(menu));

  WindowDc screen = WindowDc::ForClient(nullptr);
  EXPECT_TRUE(screen);
  WindowDc moved(std::move(screen));
  EXPECT_FALSE(screen);
  EXPECT_NE(moved.get(), nullptr);
}

TEST(Handles, ScopedSelectionPutsThePreviousObjectBack) {
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  UniqueBrush brush(CreateSolidBrush(RGB(9, 9, 9)));
  HGDIOBJ before = GetCurrentObject(dc.get(), OBJ_BRUSH);
  {
    ScopedSelectObject select(dc.get(), brush.get());
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), brush.get());
  }
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), before);
}
