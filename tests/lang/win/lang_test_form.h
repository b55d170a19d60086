#pragma once
// A form built in code as the tracker's forms are: a label, a status bar with a panel, a
// memo, a list view with columns and an item, a combo box, an edit holding the user's data
// (kept out of translation by a local rule), a menu, and the translation component.

#include <string>

#include "lang/win/lingrove_lang.h"
#include "platform/wcl/win/edit_controls.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/list_view.h"
#include "platform/wcl/win/menus.h"
#include "platform/wcl/win/status_controls.h"
#include "platform/wcl/win/std_controls.h"

class TformLangTest : public TForm {
public:
  explicit TformLangTest(TComponent* owner) : TForm(owner) {
    BeginLoading();
    SetName("formLangTest");
    SetCaption("Tasks");
    SetBounds(40, 40, 420, 320);
    lbName = Place(new TLabel(this), "lbName", 8, 8, 100, 16);
    lbName->SetCaption("Name");
    lbName->SetHint("Who works");
    sbMain = Place(new TStatusBar(this), "sbMain", 0, 0, 0, 20);
    sbMain->Panels()->Add()->SetText("Ready");
    sbMain->Panels()->Add()->SetText("12:30");
    mmNotes = Place(new TMemo(this), "mmNotes", 8, 30, 200, 60);
    mmNotes->Lines()->SetText("First line\r\nSecond line");
    lvTasks = Place(new TListView(this), "lvTasks", 8, 100, 200, 80);
    lvTasks->SetViewStyle(vsReport);
    lvTasks->Columns()->Add()->SetCaption("Task");
    lvTasks->Columns()->Add()->SetCaption("Time");
    lvTasks->Items()->Add()->SetCaption("Writing");
    cbUser = Place(new TComboBox(this), "cbUser", 220, 8, 150, 24);
    cbUser->SetStyle(csDropDownList);
    cbUser->Items()->SetText("One\r\nTwo\r\nThree");
    cbUser->SetItemIndex(1);
    edUser = Place(new TEdit(this), "edUser", 220, 40, 150, 24);
    edUser->SetText("alice");
    mainMenu = new TMainMenu(this);
    mainMenu->SetName("mainMenu");
    mnFile = new TMenuItem(this);
    mnFile->SetName("mnFile");
    mnFile->SetCaption("&File");
    mnStart = new TMenuItem(this);
    mnStart->SetName("mnStart");
    mnStart->SetCaption("&Start");
    mainMenu->Items()->Add(mnFile);
    mnFile->Add(mnStart);
    SetMenu(mainMenu);
    LingroveLang1 = new TLingroveLang(this);
    LingroveLang1->SetName("LingroveLang1");
    LingroveLang1->LocalRules()->Add("-edUser");
    LoadedAll(this);
    DoCreate();
  }

  TLabel* lbName;
  TStatusBar* sbMain;
  TMemo* mmNotes;
  TListView* lvTasks;
  TComboBox* cbUser;
  TEdit* edUser;
  TMainMenu* mainMenu;
  TMenuItem* mnFile;
  TMenuItem* mnStart;
  TLingroveLang* LingroveLang1;

private:
  template <class T>
  T* Place(T* control, const std::string& name, int x, int y, int w, int h) {
    control->SetName(name);
    control->SetParent(this);
    control->SetBounds(x, y, w, h);
    return control;
  }
};
