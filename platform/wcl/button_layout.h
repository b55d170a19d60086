#pragma once
// Where a button's glyph stands relative to its caption (the library's bitmap button and the
// kit's speed button).
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
