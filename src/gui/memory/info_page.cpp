#include "gui/memory/info_page.h"

#include <QFrame>

#include "gui/controls/colour_label.h"
#include "gui/controls/control_id.h"
#include "core/memory/whole_config.h"

namespace vrx4 {
namespace {

using namespace info_id;

struct Row {
  int caption;
  const char* text;
  int value;
};
constexpr Row kRows[] = {{kSerialCaption, "VRX's serial number", kSerial},
                         {kBaseTypeCaption, "Type of BASE software", kBaseType},
                         {kBaseVersionCaption, "Version of BASE software", kBaseVersion},
                         {kOptionTypeCaption, "Type of OPTION software", kOptionType},
                         {kOptionVersionCaption, "Version of OPTION software", kOptionVersion}};

CColourLabel* label(QWidget* parent, int id, const QString& text, QRect place) {
  auto* l = new CColourLabel(text, parent);
  setControlId(l, id);
  l->setBackColour(colour::kWhite);
  l->setGeometry(place);
  return l;
}

}  // namespace

CInfoPage::CInfoPage(QWidget* parent) : CPage(dialog::kInfo, parent, colour::kWhite) {
  auto* frame = new QFrame(this);
  setControlId(frame, kFrame);
  frame->setFrameShape(QFrame::Box);
  frame->setFrameShadow(QFrame::Sunken);
  frame->setGeometry(8, 8, 384, 204);
  int y = 22;
  for (const Row& r : kRows) {
    label(this, r.caption, QString::fromLatin1(r.text), {24, y, 220, 22});
    CColourLabel* value = label(this, r.value, QStringLiteral("0"), {252, y, 120, 22});
    QFont f = value->font();
    f.setBold(true);
    value->setFont(f);
    y += 30;
  }
  CColourLabel* fixed = label(this, kFixedLine, QStringLiteral("As last read from the VRX"), {24, y + 4, 348, 22});
  fixed->setTextColour(colour::kDarkBlue);
  label(this, kSpare, QStringLiteral("0"), {24, y + 26, 348, 12});
}

void CInfoPage::ShowIdentity(const Images& images) {
  show();
  raise();
  const whole_config::Identity id = whole_config::identity(images);
  const std::string* values[] = {&id.serialNumber, &id.baseType, &id.baseVersion, &id.optionType, &id.optionVersion};
  for (std::size_t i = 0; i < std::size(kRows); ++i) setControlText(kRows[i].value, QString::fromStdString(*values[i]));
  setControlText(kSpare, QString());
}

}  // namespace vrx4
