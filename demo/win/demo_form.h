#pragma once
// The quick demo's one window: a slideshow of thirteen pages on the tracker's features with
// Previous, Next and Close, a page counter, pictures, small animations, the animated alarm
// clock and a mock options page. Everything it shows is fixed here; nothing is stored.

#include <string>
#include <utility>
#include <vector>

#include "demo/win/gif_animator.h"
#include "kit/win/animated_image.h"
#include "kit/win/spin_edit.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/std_controls.h"

// One page of a notebook; its name is what the page rule reads.
class TNotebookPage : public TPanel {
  HL_REFLECTABLE
public:
  explicit TNotebookPage(TComponent* owner);
  const std::string& PageName() const { return pageName_; }
  void SetPageName(const std::string& value) { pageName_ = value; }

private:
  std::string pageName_;
};

// A stack of pages of which one is visible.
class TNotebook : public TPanel {
  HL_REFLECTABLE
public:
  explicit TNotebook(TComponent* owner);

  // A new last page filling the notebook, hidden unless it is the current one.
  TNotebookPage* AddPage(const std::string& name);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TNotebookPage* Pages(int index) const;
  std::vector<std::string> PageNames() const;
  // Shows page index; indexes out of range are ignored. OnPageChanged fires on a change.
  int PageIndex() const { return pageIndex_; }
  void SetPageIndex(int value);

  TNotifyEvent OnPageChanged;

private:
  std::vector<TNotebookPage*> pages_;
  int pageIndex_ = -1;
};

class TformMain : public TForm {
  HL_REFLECTABLE
public:
  explicit TformMain(TComponent* owner);

  TPanel* Panel1;
  TBitBtn* btPrev;
  TBitBtn* btNext;
  TPanel* Panel4;
  TBitBtn* btClose;
  TPanel* Panel2;
  TImage* Image2;
  TPanel* lPage;
  TNotebook* Notebook;

  TLabel* lURL;
  TLabel* lURL2;
  TLabel* lURL_;
  TLabel* lURL2_;
  TLabel* lURLFile;
  TLabel* lHL_URLLingroveHL;
  TImage* imLingroveLogo;
  TKitGIFAnimator* KitGIFAnimator1;
  TAnimatedImage* AnimatedImage1;
  TAnimatedImage* AnimatedImage2;
  TAnimatedImage* AnimatedImage3;
  TAnimatedImage* AnimatedImage4;
  TAnimatedImage* AnimatedImage5;
  TAnimatedImage* AnimatedImage6;

  TGroupBox* gbOptions;
  TCheckBox* cbAutoStart;
  TCheckBox* cbAutoHide;
  TCheckBox* cbPauseScreenSaver;
  TCheckBox* cbShowIcons;
  TCheckBox* cbAnimatedIcon;
  TAnimatedImage* imAnimIcon;
  TImage* imIcon;
  TCheckBox* cbRemindEvery;
  TKitSpinEdit* edRemindEvery;
  TCheckBox* cbRemindDone;
  TKitSpinEdit* edRemindDone;

  void FormCreate(TObject* Sender);
  void NotebookPageChanged(TObject* Sender);
  void btPrevClick(TObject* Sender);
  void btNextClick(TObject* Sender);
  void btCloseClick(TObject* Sender);
  void lURLClick(TObject* Sender);
  void lHL_URLLingroveHLClick(TObject* Sender);
  void imLingroveLogoClick(TObject* Sender);
  void cbAnimatedIconClick(TObject* Sender);
  void cbRemindEveryClick(TObject* Sender);
  void cbRemindDoneClick(TObject* Sender);

private:
  template <class T>
  T* Add(const std::string& name, TWinControl* parent, int left, int top, int width, int height);
  TNotebookPage* AddPage(const std::string& name, const std::string& title);
  TLabel* AddText(TWinControl* parent, int left, int top, int width, const std::string& text);
  TLabel* AddLink(const std::string& name, TWinControl* parent, int left, int top);
  TImage* AddPicture(TWinControl* parent, int left, int top, const char* picture);
  TAnimatedImage* AddAnimation(const std::string& name, TWinControl* parent, int left, int top, const char* strip,
                               int glyphs, int startGlyph, unsigned interval);
  TCheckBox* AddCheck(const std::string& name, int top, const std::string& caption, const std::string& hint);
  // A reminder period (1 to maxValue) right of its check box, with its unit after it.
  TKitSpinEdit* AddReminderEdit(const std::string& name, TCheckBox* box, int maxValue, int increment, int value,
                                const std::string& unit);
  TBitBtn* AddButton(const std::string& name, TWinControl* parent, int left, const std::string& caption,
                     const char* glyph, TButtonLayout layout);
  void BuildPages();
  void BuildOptionsPage(TNotebookPage* page);

  // Each page's title and the line under it, placed once the titles know their height.
  std::vector<std::pair<TLabel*, TBevel*>> titles_;
};

extern TformMain* formMain;
