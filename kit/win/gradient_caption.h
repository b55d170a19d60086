#pragma once
// TKitGradientCaption: a component a form carries to paint its own caption bar: a colour
// gradient from StartColor to the system's caption colour, the small icon, and a text made
// of several parts (TKitCaption, each with its own font, inactive colour and visibility)
// followed by FormCaption. When the bar is too narrow, whole parts give way from one end and
// the last one shown is cut with "...". A right click on the frame can pop up a menu.
//
// It works through a window hook on its owner form: before the form paints its frame, the
// caption is taken out of the region to paint; afterwards the component paints it. The
// layout arithmetic is in kit/gradient_caption_logic.h.

#include "platform/wcl/win/control.h"

#include <memory>
#include <string>
#include <vector>

#include "kit/gradient_caption_logic.h"
#include "platform/rtl/collection.h"
#include "platform/wcl/win/form.h"

class TKitGradientCaption;
class TKitWindowHook;
class TPopupMenu;

// Where a gradient caption's default font comes from: the system's caption metrics (true), or
// the fixed font used when they cannot be read. The language collector switches it off, so
// that the base language file it writes does not depend on the machine it runs on.
extern bool GradientCaptionSystemFont;

// One part of the caption text.
class TKitCaption : public TCollectionItem {
  HL_REFLECTABLE
public:
  // A part made inside a gradient caption starts with its font.
  explicit TKitCaption(TKitGradientCaption* gradientCaption = nullptr);
  ~TKitCaption() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  // The part's own font; a change of it clears ParentFont.
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* value) { font_->Assign(value); }
  // The part is drawn in the gradient caption's font.
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);
  // Text colour while the window is inactive.
  TColor InactiveColor() const { return inactiveColor_; }
  void SetInactiveColor(TColor value);
  // The part belongs with the next one: they give way together.
  bool GlueNext() const { return glueNext_; }
  void SetGlueNext(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);

  // InactiveColor, Visible and ParentFont back to their defaults.
  virtual void RestoreDefaults();
  // The gradient caption whose list holds the part, or nullptr.
  TKitGradientCaption* GradientCaption() const;
  // Width of Caption in the part's font.
  int TextWidth() const;

  void Assign(TPersistent* source) override;

private:
  friend class TKitGradientCaption;
  void FontChanged();
  // Takes the gradient caption's font without that counting as a change of its own.
  void TakeParentFont(TFont* font);

  std::string caption_;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  TColor inactiveColor_ = clInactiveCaptionText;
  bool glueNext_ = false;
  bool visible_ = true;
  bool takingFont_ = false;
};

class TKitCaptionList : public TCollection {
  HL_REFLECTABLE
public:
  explicit TKitCaptionList(TKitGradientCaption* owner);

  TKitCaption* GetItem(int index) const { return static_cast<TKitCaption*>(Items(index)); }
  TKitCaption* Add() { return static_cast<TKitCaption*>(TCollection::Add()); }

protected:
  void Update(TCollectionItem* item) override;

private:
  TKitGradientCaption* gradientCaption_;
};

class TKitGradientCaption : public TComponent {
  HL_REFLECTABLE
public:
  explicit TKitGradientCaption(TComponent* owner);
  ~TKitGradientCaption() override;

  // Paints the caption. Counts as on only when the owner is a form.
  bool Active() const { return active_; }
  void SetActive(bool value);
  TKitCaptionList* Captions() const { return captions_.get(); }
  void SetCaptions(TKitCaptionList* value) { captions_->Assign(value); }
  // Font follows the system caption font.
  bool DefaultFont() const { return defaultFont_; }
  void SetDefaultFont(bool value);
  // The text drawn after the parts (the form's own Caption is left alone).
  const std::string& FormCaption() const { return formCaption_; }
  void SetFormCaption(const std::string& value);
  TColor FontInactiveColor() const { return fontInactiveColor_; }
  void SetFontInactiveColor(TColor value);
  // Font of FormCaption and of parts with ParentFont; a change clears DefaultFont.
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* value) { font_->Assign(value); }
  bool GradientActive() const { return gradientActive_; }
  void SetGradientActive(bool value);
  bool GradientInactive() const { return gradientInactive_; }
  void SetGradientInactive(bool value);
  // Number of colour bands, taken as a byte.
  int GradientSteps() const { return gradientSteps_; }
  void SetGradientSteps(int value);
  THideDirection HideDirection() const { return hideDirection_; }
  void SetHideDirection(THideDirection value);
  // Popped up by a right click on the frame; not owned.
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* value);
  TColor StartColor() const { return startColor_; }
  void SetStartColor(TColor value);

  // Whether the caption is drawn as that of the active window.
  bool WindowActive() const { return windowActive_; }

  // Hooks or unhooks the owner form and has its frame painted again.
  void RefreshCaption();
  // The caption text area in screen coordinates, and the border icons that really show.
  RECT CaptionRect(unsigned* effectiveIcons = nullptr) const;
  // Paints the caption onto the DC of the whole window.
  void PaintCaption(HDC windowDc);
  // Pops PopupMenu up at a screen point; false when there is nothing to pop up.
  bool ShowPopup(int x, int y);
  // The system caption font (the small one for tool windows).
  void ApplyDefaultFont();

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

private:
  friend class TKitCaption;
  friend class TKitCaptionList;
  TCustomForm* Form() const;
  bool DrawnAsGradient() const;
  bool IsRightToLeftCaption() const;
  void FontChanged();
  void CaptionsChanged();
  // The font (and its colour for the state drawn) of a part, or of FormCaption for -1.
  TFont* PartFont(int part) const;
  TColor PartColor(int part) const;
  void BeforeFormMessage(TMessage& msg, bool& handled);
  void AfterFormMessage(TMessage& msg);
  void PaintOnWindow();

  // The region of a WM_NCPAINT on its way through the form, per message (they may nest).
  struct NcPaintRegion {
    WPARAM Incoming;
    HRGN Replacement;
  };

  bool active_ = true;
  std::unique_ptr<TKitCaptionList> captions_;
  bool defaultFont_ = true;
  std::string formCaption_;
  TColor fontInactiveColor_ = clInactiveCaptionText;
  std::unique_ptr<TFont> font_;
  bool gradientActive_ = true;
  bool gradientInactive_ = false;
  int gradientSteps_ = 64;
  THideDirection hideDirection_ = hdLeftToRight;
  TPopupMenu* popupMenu_ = nullptr;
  TColor startColor_ = clWindowText;
  std::unique_ptr<TKitWindowHook> hook_;
  bool windowActive_ = false;
  bool popupPending_ = false;
  bool applyingFont_ = false;
  std::vector<NcPaintRegion> regions_;
};
