// Font heights as the pages give them: logical units of a drawing surface
// where a negative height is the character height (what Qt calls the pixel
// size) and a positive one the cell height, the character height plus the
// font's internal leading, so that the same number gives smaller text.
// 0 keeps the font's own size.
#pragma once

#include <QFont>

namespace vrx4 {

// The pixel size that gives `height`: -height for a negative one; for a
// positive one the largest size whose cell (ascent plus descent) is not
// taller than it, and never below 1.
int pixelSizeForHeight(const QFont& font, int height);

// The font at that size (unchanged for 0).
QFont fontWithHeight(QFont font, int height);

}  // namespace vrx4
