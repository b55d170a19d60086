#pragma once
// The tree view: nodes with a text, an image, a selected image and data of the program's
// own, shown in the system's tree control.
//
// The nodes live in the objects; the window shows them and is filled again whenever it is
// made. A closed node's children are put into the window when it is first opened (or one
// of them is selected), so that a tree of many thousand nodes in closed branches fills at
// once. What the user changes in the window (the selected node, a node opened or closed) is
// taken back into the objects as the window reports it. The control keeps its mouse
// release: the system's tree swallows the release of a click on a node while it waits to
// see whether a drag starts, and the library then reports the release itself.

// Windows comes in through the library's handle header (see there).
#include "platform/wcl/win/handles.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/wcl/win/control.h"

class TImageList;
class TTreeNodes;
class TTreeView;

class TTreeNode {
public:
  TTreeNode(TTreeNodes* owner, TTreeNode* parent);
  ~TTreeNode();
  TTreeNode(const TTreeNode&) = delete;
  TTreeNode& operator=(const TTreeNode&) = delete;

  TTreeNodes* Owner() const { return owner_; }
  TTreeView* TreeView() const;
  TTreeNode* Parent() const { return parent_; }
  // 0 for a top-level node.
  int Level() const;
  // Position among its siblings.
  int Index() const;

  const std::string& Text() const { return text_; }
  void SetText(const std::string& value);
  // Indexes into the tree view's Images; -1 for none.
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  int SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int value);
  void* Data() const { return data_; }
  void SetData(void* value) { data_ = value; }

  int Count() const { return static_cast<int>(children_.size()); }
  TTreeNode* Item(int index) const { return children_.at(static_cast<size_t>(index)).get(); }
  bool HasChildren() const { return !children_.empty(); }

  // Open (children shown) or closed; changing it from code asks no permission.
  bool Expanded() const { return expanded_; }
  void SetExpanded(bool value);
  void Expand(bool recurse);
  void Collapse(bool recurse);
  bool Selected() const;
  void SetSelected(bool value);

  // The node's item in the window, or nullptr while it is not shown.
  HTREEITEM ItemId() const { return item_; }

private:
  friend class TTreeNodes;
  friend class TTreeView;
  void ShowNode(HTREEITEM parentItem);
  // Puts the children into the window under the node's item, once.
  void ShowChildren();
  // Shows the node's parents' children down to the node, so that it has its item.
  void ShowInWindow();
  // Tells the window whether the node has children (the button to open it).
  void ShowHasChildren();
  void ShowState(UINT mask);
  void Forget();

  TTreeNodes* owner_;
  TTreeNode* parent_;
  std::vector<std::unique_ptr<TTreeNode>> children_;
  std::string text_;
  int imageIndex_ = -1;
  int selectedIndex_ = -1;
  void* data_ = nullptr;
  bool expanded_ = false;
  HTREEITEM item_ = nullptr;
  bool childrenShown_ = false;
};

// The nodes of a tree view, top-level ones in order, each with its children.
class TTreeNodes {
public:
  explicit TTreeNodes(TTreeView* owner);
  ~TTreeNodes();
  TTreeNodes(const TTreeNodes&) = delete;
  TTreeNodes& operator=(const TTreeNodes&) = delete;

  TTreeView* Owner() const { return owner_; }
  // Every node, at any level.
  int Count() const;
  // The node at a position of the order in which the nodes are shown, all opened.
  TTreeNode* Item(int index) const;
  int TopCount() const { return static_cast<int>(roots_.size()); }
  TTreeNode* TopItem(int index) const { return roots_.at(static_cast<size_t>(index)).get(); }
  TTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front().get(); }

  // A new last node on the level of sibling (top level for nullptr).
  TTreeNode* Add(TTreeNode* sibling, const std::string& text);
  // A new last child of parent (top level for nullptr).
  TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
  // Removes a node with its children.
  void Delete(TTreeNode* node);
  void Clear();
  // Between the outermost BeginUpdate and EndUpdate the window neither draws nor measures
  // itself again after each change (a few hundred shown nodes given their pictures took
  // a twentieth of a second); it is drawn once at the end. A hidden window stays hidden.
  void BeginUpdate();
  void EndUpdate();

private:
  friend class TTreeView;
  friend class TTreeNode;
  std::vector<std::unique_ptr<TTreeNode>>& SiblingsOf(TTreeNode* parent);

  TTreeView* owner_;
  std::vector<std::unique_ptr<TTreeNode>> roots_;
  int updating_ = 0;
  bool hiddenWhileUpdating_ = false;
};

using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVExpandingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& Allow)>;

class TTreeView : public TWinControl {
  HL_REFLECTABLE
public:
  explicit TTreeView(TComponent* owner);
  ~TTreeView() override;

  TTreeNodes* Items() const { return items_.get(); }
  // The selected node, or nullptr. Setting it from code runs OnChange as a click does.
  TTreeNode* Selected() const { return selected_; }
  void SetSelected(TTreeNode* node);

  // Node texts cannot be edited in place.
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  // The whole row is highlighted (not with lines).
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool value);
  bool ToolTips() const { return toolTips_; }
  void SetToolTips(bool value);
  bool ShowButtons() const { return showButtons_; }
  void SetShowButtons(bool value);
  bool ShowLines() const { return showLines_; }
  void SetShowLines(bool value);
  bool ShowRoot() const { return showRoot_; }
  void SetShowRoot(bool value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  // Pixels a level is moved in from its parent; 0 leaves the system's.
  int Indent() const { return indent_; }
  void SetIndent(int value);
  // Not owned: the list must live while the view shows it.
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* value);

  // The node at a client point, or nullptr.
  TTreeNode* GetNodeAt(int x, int y);
  void FullExpand();
  void FullCollapse();

  void WndProc(TMessage& msg) override;

  TTVChangedEvent OnChange;
  TTVExpandingEvent OnExpanding;
  TTVExpandingEvent OnCollapsing;
  TTVChangedEvent OnExpanded;
  TTVChangedEvent OnCollapsed;

protected:
  // Asked before a node opens or closes, by mouse or key: fire OnExpanding or OnCollapsing.
  virtual bool CanExpand(TTreeNode* node);
  virtual bool CanCollapse(TTreeNode* node);
  // The selection moved to node (nullptr: none); fires OnChange.
  virtual void Change(TTreeNode* node);

  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void SaveWindowState() override;

private:
  friend class TTreeNode;
  friend class TTreeNodes;
  LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam);
  void HandleNotify(TMessage& msg);
  void ShowImages();
  void NodeDeleting(TTreeNode* node);
  static TTreeNode* NodeOf(LPARAM param) { return reinterpret_cast<TTreeNode*>(param); }

  std::unique_ptr<TTreeNodes> items_;
  TTreeNode* selected_ = nullptr;
  bool readOnly_ = false;
  bool rowSelect_ = false;
  bool toolTips_ = true;
  bool showButtons_ = true;
  bool showLines_ = true;
  bool showRoot_ = true;
  bool hideSelection_ = true;
  int indent_ = 0;
  TImageList* images_ = nullptr;
  int pushing_ = 0;  // changes made from code are not reported back
};
