#include "core/base/colour_word.h"

namespace vrx4 {
namespace {

bool isSystem(ColourWord c) { return c != colour::kNone && c != colour::kDefault && (c & 0xFF000000) == colour::kSystemBase; }

}  // namespace

ResolvedColours resolveColours(ColourWord text, ColourWord back, ControlKind kind, bool opaqueText,
                               const std::function<ColourWord(int)>& systemColour) {
  ResolvedColours r;
  if (text == colour::kDefault && back == colour::kDefault) {
    r.systemLook = true;
    return r;
  }
  auto resolve = [&](ColourWord c) -> ColourWord {
    if (c == colour::kNone || c == colour::kDefault) return c;
    if (isSystem(c)) return systemColour(static_cast<int>(c - colour::kSystemBase)) & 0xFFFFFF;
    return c & 0xFFFFFF;
  };
  ColourWord t = resolve(text);
  ColourWord b = resolve(back);
  if (b == colour::kDefault) {
    if (kind == ControlKind::ScrollBar) {
      r.systemLook = true;
      return r;
    }
    const bool window = kind == ControlKind::Edit || kind == ControlKind::ListBox;
    b = systemColour(window ? colour::kSysWindow : colour::kSysButtonFace) & 0xFFFFFF;
  }
  if (t == colour::kDefault)
    t = systemColour(kind == ControlKind::Button ? colour::kSysButtonText : colour::kSysWindowText) & 0xFFFFFF;
  // A text colour of none is drawn in black.
  r.text = t == colour::kNone ? colour::kBlack : t;
  if (b != colour::kNone) r.back = b;
  r.opaqueText = opaqueText && r.back.has_value();
  return r;
}

}  // namespace vrx4
