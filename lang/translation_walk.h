#pragma once
// The walk over a form that translates, collects or removes its texts.
//
// Starting at the form, the walk visits the form's published properties and then every
// component the form owns (by name, in creation order), following object properties that are
// not component references (fonts, string lists, status-bar panels, list-view columns and
// items). Each text has a key: the dot-separated path from the form to the object, a dot and
// the property name ("btStart.Caption", "StatusBar1.Panels.Item0.Text", "Memo1.Lines",
// "Caption" for the form's own). Rules decide which texts count.
//
// The three modes:
//  - translate: each text with an entry for (form name, key) in the current language file
//    takes the entry's text and, when the entry names one, a font; every font takes the
//    file's character set and every text direction the file's;
//  - collect: every text worth translating goes into a writable language file (new ones get
//    the next free number), with the font of the object it belongs to;
//  - remove: the entries of every text of a component (or the whole form) are deleted.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

class TComponent;
class TPersistent;
class TStrings;
class TLingroveLangFile;
class TLingroveLangFileEdit;

// True when text holds a character worth translating: any character above "9" other than
// the punctuation ":" to "?" and "[" to "^" (letters, "@", "_", "`", "{" to "~" and every
// character from 127 up). Times such as 12:30, numbers and rows of dashes are not collected.
bool HasText(const std::string& text);

// The rules of one translation component, compared without regard to letter case. A text is
// translatable when its class, its object (the last segment of the object path) and the
// object's property are not excluded ("-TEdit", "-edUser", "-edUser.Hint", "-TLabel.Caption")
// and the property is included, for every class ("+Caption") or for its class
// ("+TLabel.Caption").
class TLangRules {
public:
  // The rules become the lines of rules.
  void Assign(const TStrings& rules);
  // The rules become the local rules and the global ones together.
  void Merge(const TStrings& localRules, const TStrings& globalRules);
  bool Contains(const std::string& rule) const;
  bool IsTranslatable(const std::string& className, const std::string& objPath,
                      const std::string& propName) const;

private:
  std::set<std::string> rules_;  // lower-cased
};

// Translates form from file (nullptr: an empty file, which leaves every text and sets every
// character set and text direction to 0). A combo box keeps its chosen item.
void TranslateForm(TComponent* form, const TLangRules& rules, TLingroveLangFile* file);

// Collects form's texts into edit. A text already keyed there gets the new text and font, or
// loses its entry when it has nothing left worth translating; a new text gets the next free
// number, unless addNew is false (collecting while another language is current only updates
// existing entries). Text directions take current's (nullptr: 0). Raises ELangFileError when
// no number is left.
void CollectFormStrings(TComponent* form, const TLangRules& rules, TLingroveLangFileEdit& edit,
                        const TLingroveLangFile* current, bool addNew);

// Deletes from edit the entries of component's texts (those of its sub-objects, collection
// items and list-view items included); component may be form itself, for all of its texts.
void RemoveComponentStrings(TComponent* form, TComponent* component, const TLangRules& rules,
                            TLingroveLangFileEdit& edit);

// How the walk reads and writes the caption of a list-view item whose class offers it
// neither as a published "Caption" nor as text (the string-list role). The window side,
// which knows its list-view item class, installs the pair; each answers false for objects
// it does not know.
using TListItemCaptionGet = bool (*)(const TPersistent* item, std::string& caption);
using TListItemCaptionSet = bool (*)(TPersistent* item, const std::string& caption);
void SetListItemCaptionAccess(TListItemCaptionGet get, TListItemCaptionSet set);

// Rename tracking: the names a form's components had when the file was last written.
struct TLangCompRec {
  TComponent* Component;
  std::string Name;
};
using TLangCompList = std::vector<TLangCompRec>;

// Every component form owns except translators, with its name now.
TLangCompList TakeCompSnapshot(const TComponent* form);
// Re-keys edit after renames since the snapshot: the form's entries move from the old form
// name to the new one, and the keys of each renamed component to its new name. All moves
// are worked out before any is made, so exchanged names (A to B and B to A) and chains
// (A to B, B to C) come out right; a moved key replaces a stale one of the same name, whose
// entry goes. Afterwards the form's name and the snapshot are taken anew. Components deleted
// since the snapshot must have been dropped from it.
void TrackRenames(TLingroveLangFileEdit& edit, std::string& formNameSnapshot,
                  TLangCompList& snapshot, const TComponent* form);
