// Dialog units of the original dialog font to pixels: a horizontal unit is
// a quarter of the average character width (6 px), a vertical unit an
// eighth of the character height (13 px).
#pragma once

#include <QRect>

namespace vrx4 {

constexpr int dluX(int units) { return (units * 6 + 2) / 4; }
constexpr int dluY(int units) { return (units * 13 + 4) / 8; }
inline QRect dluRect(int x, int y, int w, int h) { return {dluX(x), dluY(y), dluX(w), dluY(h)}; }

}  // namespace vrx4
