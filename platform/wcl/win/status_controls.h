#pragma once
// The status bar with its panels, and the progress bar.

// Windows comes in through the library's handle header (see there).
#include "platform/wcl/win/handles.h"

#include <memory>
#include <string>

#include "platform/rtl/collection.h"
#include "platform/wcl/win/control.h"
#include "platform/wcl/win/std_controls.h"

class TStatusBar;

// One part of a status bar: its text, placed in it as Alignment says, and its width in
// pixels (the last panel takes the rest of the bar).
class TStatusPanel : public TCollectionItem {
  HL_REFLECTABLE
public:
  const std::string& Text() const { return text_; }
  void SetText(const std::string& value);
  int Width() const { return width_; }
  void SetWidth(int value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);

  void Assign(TPersistent* source) override;

private:
  std::string text_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
};

class TStatusPanels : public TCollection {
  HL_REFLECTABLE
public:
  explicit TStatusPanels(TStatusBar* statusBar);

  TStatusPanel* Items(int index) const { return static_cast<TStatusPanel*>(TCollection::Items(index)); }
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  TStatusPanel* Insert(int index) { return static_cast<TStatusPanel*>(TCollection::Insert(index)); }

protected:
  void Update(TCollectionItem* item) override;

private:
  TStatusBar* statusBar_;
};

// A status bar window, aligned to the bottom of its parent by default. It shows its panels,
// or with SimplePanel one text across the whole bar (the panels keep their texts).
class TStatusBar : public TWinControl {
  HL_REFLECTABLE
public:
  explicit TStatusBar(TComponent* owner);
  ~TStatusBar() override;

  TStatusPanels* Panels() const { return panels_.get(); }
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool value);
  const std::string& SimpleText() const { return simpleText_; }
  void SetSimpleText(const std::string& value);
  // The grip for resizing the form, in the bottom right corner.
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool value);

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  // The panels' widths scale with the bar.
  void ChangeScale(int m, int d) override;

private:
  friend class TStatusPanels;
  // Shows the panels again: all of them (panel nullptr) or one panel's text.
  void UpdatePanels(TStatusPanel* panel);
  void ShowPanelText(int index);

  std::unique_ptr<TStatusPanels> panels_;
  bool simplePanel_ = false;
  std::string simpleText_;
  bool sizeGrip_ = true;
};

// A progress bar window: Position between Min and Max.
class TProgressBar : public TWinControl {
  HL_REFLECTABLE
public:
  explicit TProgressBar(TComponent* owner);

  int Min() const { return min_; }
  void SetMin(int value);
  int Max() const { return max_; }
  void SetMax(int value);
  // Kept within Min..Max.
  int Position() const { return position_; }
  void SetPosition(int value);
  // What StepIt adds.
  int Step() const { return step_; }
  void SetStep(int value) { step_ = value; }
  // Advances by Step; past Max the bar starts again from Min, as the system's bar does.
  void StepIt();
  void StepBy(int delta);

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

private:
  void SetRange(int min, int max);

  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int step_ = 10;
};
