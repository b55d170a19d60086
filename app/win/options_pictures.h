#pragma once
// The options dialog's pictures drawn in code: the page chooser's 32 x 32 pictures, the play
// and stop glyphs of the sound edits, the About page's banner, and the task groups' 16 x 16
// pictures (one per group number 0 to 15). Backgrounds are fuchsia, the key colour of the
// program's pictures.

class TBitmap;
class TImageList;

// Four pictures: the tracker (clock), health alarm, about, task list.
void FillPageChooserPictures(TImageList* images);
// A 12 x 12 glyph: a triangle to play or a square to stop.
void DrawSoundGlyph(TBitmap* glyph, bool play);
// The About page's banner at the given size.
void DrawAboutLogo(TBitmap* bitmap, int width, int height);
// Sixteen group pictures: hidden (grey, dotted), work, internet, games, system, stuff,
// restricted (red no-entry mark), then the custom groups' colours. For the icon holder's list
// of 32-bit pictures, which see through by their alpha channel rather than a mask.
void FillGroupPictures(TImageList* images);
