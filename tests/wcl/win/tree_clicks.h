#pragma once
// Clicks on the nodes of a shown tree view as the user makes them. The system's tree waits
// for the release after a press on a node, so the release is queued before the press is
// handled; after a press on a node's open/close button it is handled later, by the pump.

#include <cstring>

#include "platform/wcl/win/tree_view.h"
#include "platform/wcl/win/application.h"

// The middle of a node's text.
inline POINT NodeTextPoint(TTreeView* view, TTreeNode* node) {
  // The rectangle carries the node's item in and its place out.
  RECT rect{};
  const HTREEITEM item = node->ItemId();
  std::memcpy(&rect, &item, sizeof item);
  SendMessageA(view->Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// A point on the node's open/close button, found by asking the tree left of the text.
inline POINT NodeButtonPoint(TTreeView* view, TTreeNode* node) {
  POINT text = NodeTextPoint(view, node);
  for (int x = 0; x < text.x; ++x) {
    TVHITTESTINFO hit{};
    hit.pt = POINT{x, text.y};
    SendMessageA(view->Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.hItem == node->ItemId() && (hit.flags & TVHT_ONITEMBUTTON) != 0) return hit.pt;
  }
  return POINT{-1, -1};
}

inline void ClickTreeAt(TTreeView* view, POINT at) {
  const LPARAM where = MAKELPARAM(at.x, at.y);
  PostMessageA(view->Handle(), WM_LBUTTONUP, 0, where);
  SendMessageA(view->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, where);
  // A release the tree left in the queue arrives now.
  Application->ProcessMessages();
}
