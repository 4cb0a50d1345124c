#include "core/pages/report_contents.h"

#include <filesystem>

#include "core/base/language_table.h"
#include "core/base/pressure_units.h"
#include "core/base/hex_text.h"
#include "core/memory/config_diff.h"
#include "core/memory/whole_config.h"
#include "core/pages/line_diagram_scale.h"
#include "core/pages/pages_view.h"

namespace vrx4::report {
namespace {

struct LabelKey {
  std::string_view key;      // in Language.ini
  std::string_view english;  // the text without the file
  std::string Labels::*member;
};

// clang-format off
constexpr LabelKey kKeys[] = {
    {"Commissioning report", "VRX4 commissioning report", &Labels::title},
    {"Date and time", "Date and time", &Labels::date},
    {"Program version", "Program version", &Labels::version},
    {"Regulator on port", "Regulator on port", &Labels::regulatorPort},
    {"Built-in simulated regulator", "the built-in simulated regulator", &Labels::simulated},
    {"Configuration file", "Configuration file", &Labels::configFile},
    {"Pressure unit", "Pressure unit", &Labels::pressureUnit},
    {"Pressure range", "Pressure range", &Labels::pressureRange},
    {"Access mode", "Access mode", &Labels::accessMode},
    {"Technician and machine", "Technician and machine", &Labels::note},
    {"VISUALISATION", "VISUALISATION", &Labels::visualisation},
    {"SETTING", "SETTING", &Labels::setting},
    {"SETTING PRO", "SETTING PRO", &Labels::settingPro},
    {"Report of a file", "This report describes the configuration file %s, not a connected regulator.",
     &Labels::fileNotice},
    {"Report of a file with unsaved changes",
     "This report describes the configuration file %s with the changes made in the window, which are not saved "
     "to the file yet. It does not describe a connected regulator.",
     &Labels::fileNoticeUnsaved},
    {"VRX's information", "VRX's information", &Labels::identity},
    {"VRX's serial number", "VRX's serial number", &Labels::serial},
    {"Type of Base software", "Type of BASE software", &Labels::baseType},
    {"Version of BASE software", "Version of BASE software", &Labels::baseVersion},
    {"Type of Option software", "Type of OPTION software", &Labels::optionType},
    {"Version of Option software", "Version of OPTION software", &Labels::optionVersion},
    {"CONTROL", "CONTROL", &Labels::control},
    {"AUXin", "AUXin", &Labels::auxin},
    {"Uout", "Uout", &Labels::uout},
    {"Iout", "Iout", &Labels::iout},
    {"Alarm", "Alarm", &Labels::alarm},
    {"PID", "PID", &Labels::pid},
    {"SELECTION U/I", "SELECTION U/I", &Labels::selection},
    {"TO BE READ AS", "TO BE READ AS", &Labels::readAs},
    {"Monitoring value", "Monitoring value", &Labels::monitoring},
    {"P2 pressure", "P2 pressure", &Labels::p2Pressure},
    {"lower x corner", "lower x corner", &Labels::lowerX},
    {"upper x corner", "upper x corner", &Labels::upperX},
    {"lower y corner", "lower y corner", &Labels::lowerY},
    {"upper y corner", "upper y corner", &Labels::upperY},
    {"LOGIC", "LOGIC", &Labels::logic},
    {"Error +", "Error +", &Labels::errorPlus},
    {"Error -", "Error -", &Labels::errorMinus},
    {"Delay ON", "Delay ON", &Labels::delayOn},
    {"Ton min", "Ton min", &Labels::tonMin},
    {"Delay OFF", "Delay OFF", &Labels::delayOff},
    {"CTRL", "CTRL", &Labels::ctrl},
    {"P2", "P2", &Labels::p2},
    {"Differences from the golden file", "Differences from the golden file", &Labels::differences},
    {"Golden file", "Golden file", &Labels::goldenFile},
    {"No difference from the golden file", "No field differs from the golden file.", &Labels::noDifference},
    {"Area", "Area", &Labels::area},
    {"Field", "Field", &Labels::field},
    {"Address", "Address", &Labels::address},
    {"This configuration", "This configuration", &Labels::thisConfiguration},
    {"Save as PDF...", "Save as PDF...", &Labels::savePdf},
    {"Print", "Print", &Labels::print},
    {"Cancel", "Cancel", &Labels::cancel},
    {"Open", "Open", &Labels::open},
    {"Report not written", "The report was not written (%s).", &Labels::notWritten},
    {"Report needs the EEPROM",
     "The regulator's EEPROM has not been read completely yet. Wait until it has been read, then make the report "
     "again.",
     &Labels::needsEeprom},
    {"Report would replace a configuration",
     "The report was not written: %s is a configuration file of this report. Choose another name for the PDF.",
     &Labels::replacesConfiguration},
};
// clang-format on

// "%s" of a text replaced by `value` (appended when the text has none).
std::string fillIn(const std::string& text, const std::string& value) {
  const auto at = text.find("%s");
  if (at == std::string::npos) return text + " " + value;
  return text.substr(0, at) + value + text.substr(at + 2);
}

std::string modeName(const Labels& l, std::uint32_t mode) {
  switch (mode) {
    case access::kVisualisation: return l.visualisation;
    case access::kSetting: return l.setting;
    case access::kSettingPro:
    case access::kSettingProService: return l.settingPro + (mode == access::kSettingProService ? " (4)" : "");
    default: return std::to_string(mode);
  }
}

// The axis captions as the page gives them to its diagram: on an input
// page the pressure caption ("CTRL [bar]") and the same word with the
// input's unit ("CTRL [V]"); on an output page the P2 caption on x and the
// output's caption on y.
AxisUnits captions(Channel ch, int inputType, const Labels& l, std::uint8_t unit) {
  const std::string suffix = unitSuffix(unit);
  const std::string signal = inputType == input_type::kCurrent ? " [mA]" : " [V]";
  switch (ch) {
    case Channel::Control: return {l.ctrl + signal, l.ctrl + suffix};
    case Channel::Auxin: return {l.auxin + signal, l.auxin + suffix};
    case Channel::Uout: return {l.p2 + suffix, l.uout + " [V]"};
    case Channel::Iout: return {l.p2 + suffix, l.iout + " [mA]"};
  }
  return {};
}

Diagram diagramOf(const ChannelView& v, const Labels& l, const PageUnits& u) {
  const DiagramSetup setup = diagramSetup(v.channel);
  const DiagramScales scales = diagramScales(v.channel, v.inputType, u);
  const AxisUnits c = captions(v.channel, v.inputType, l, u.unit);
  Diagram d;
  d.title = setup.title;
  d.colour = setup.colour;
  d.xCaption = c.x;
  d.yCaption = c.y;
  for (int i = 1; i <= 5; ++i) d.yNumbers[i - 1] = axisNumber(scales.yScale, i);
  for (int i = 1; i <= 4; ++i) d.xNumbers[i - 1] = axisNumber(scales.xScale, i);
  d.x1 = diagramPixelX(v.corners.xLow, scales.xScale);
  d.x2 = diagramPixelX(v.corners.xHigh, scales.xScale);
  d.y1 = diagramPixelY(v.corners.yLow, scales.yScale);
  d.y2 = diagramPixelY(v.corners.yHigh, scales.yScale);
  return d;
}

Section channelSection(const std::string& title, const ChannelView& v, const Labels& l, const PageUnits& u) {
  const AxisUnits units = channelAxisUnits(v.channel, v.inputType, u.unit);
  Section s{title, {}, diagramOf(v, l, u)};
  if (isInputChannel(v.channel))
    s.rows.push_back({l.selection, v.inputType == input_type::kCurrent ? "I" : "U"});
  s.rows.push_back({l.lowerX, v.texts.xLow + " " + units.x});
  s.rows.push_back({l.upperX, v.texts.xHigh + " " + units.x});
  s.rows.push_back({l.lowerY, v.texts.yLow + " " + units.y});
  s.rows.push_back({l.upperY, v.texts.yHigh + " " + units.y});
  return s;
}

}  // namespace

Labels Labels::english() {
  Labels l;
  for (const LabelKey& k : kKeys) l.*k.member = std::string(k.english);
  return l;
}

Labels labels(const ProfileFile& language, std::uint8_t languageIndex) {
  Labels l = Labels::english();
  const std::string_view section = languageSection(languageIndex);
  if (section.empty()) return l;
  for (const LabelKey& k : kKeys) {
    const auto text = language.find(section, k.key);
    if (text && !text->empty()) l.*k.member = *text;
  }
  return l;
}

std::vector<std::string_view> labelKeys() {
  std::vector<std::string_view> keys;
  for (const LabelKey& k : kKeys) keys.push_back(k.key);
  return keys;
}

Contents build(const Inputs& in) {
  const Labels& l = in.labels;
  const PageUnits& u = in.units;
  const std::string unitName = pressureUnitName(u.unit);
  const whole_config::Identity id = whole_config::identity(in.images);
  Contents c;
  c.title = l.title;
  // A page that comes apart from the others still says whose it is.
  c.footer = l.title + " - " + l.serial + " " + id.serialNumber + " - " + in.dateTime;
  c.header = {{l.date, in.dateTime},
              {l.version, in.version},
              {in.source.fileMode ? l.configFile : l.regulatorPort,
               in.source.simulated ? in.source.name + " (" + l.simulated + ")" : in.source.name},
              {l.pressureUnit, unitName},
              {l.pressureRange, "0 .. " + std::to_string(pressureFullScale(u.unit, u.scale)) + " " + unitName},
              {l.accessMode, modeName(l, u.accessMode)},
              {l.note, in.note}};
  if (in.source.fileMode)
    c.notice = fillIn(in.source.unsaved ? l.fileNoticeUnsaved : l.fileNotice, in.source.name);

  c.sections.push_back({l.identity,
                        {{l.serial, id.serialNumber},
                         {l.baseType, id.baseType},
                         {l.baseVersion, id.baseVersion},
                         {l.optionType, id.optionType},
                         {l.optionVersion, id.optionVersion}},
                        std::nullopt});

  const AllPagesView v = showAllPages(in.images, u);
  c.sections.push_back(channelSection(l.control, v.control.byType[v.control.inputType], l, u));
  Section auxin = channelSection(l.auxin, v.auxin.byType[v.auxin.inputType], l, u);
  auxin.rows.insert(auxin.rows.begin() + 1, {l.readAs, v.auxinReadAs == 1 ? l.p2Pressure : l.monitoring});
  c.sections.push_back(std::move(auxin));
  c.sections.push_back(channelSection(l.uout, v.uout, l, u));
  c.sections.push_back(channelSection(l.iout, v.iout, l, u));

  const AlarmTexts& a = v.alarm.texts;
  c.sections.push_back({l.alarm,
                        {{l.logic, alarmLogicText(v.alarm.values.logic)},
                         {l.errorPlus, a.errorPlus + " " + unitName},
                         {l.errorMinus, a.errorMinus + " " + unitName},
                         {l.delayOn, a.delayOn + " s"},
                         {l.tonMin, a.tonMin + " s"},
                         {l.delayOff, a.delayOff + " s"}},
                        std::nullopt});
  // The gains' captions are the page's own; the language file has none.
  c.sections.push_back(
      {l.pid, {{"Kp High", v.pid.kpHigh}, {"Kp Low", v.pid.kpLow}, {"Ki", v.pid.ki}, {"Kd", v.pid.kd}}, std::nullopt});

  if (in.golden) {
    Differences d;
    d.title = l.differences;
    d.golden = in.golden->path;
    d.columns = {l.area, l.field, l.address, l.thisConfiguration, l.goldenFile};
    for (const config_diff::Difference& x : config_diff::compare(in.images, in.golden->images))
      d.rows.push_back({x.area == Area::Base ? "BASE" : "OPTION", x.field ? std::string(x.field->name) : "",
                        "0x" + hex_text::byte(x.address), x.a, x.b});
    d.none = l.noDifference;
    c.differences = std::move(d);
  }
  return c;
}

std::string dateTimeText(std::time_t when) {
  std::tm local{};
  if (localtime_r(&when, &local) == nullptr) return {};
  char text[32];
  const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return std::string(text, n);
}

bool wouldReplace(const std::string& out, const std::vector<std::string>& sources) {
  for (const std::string& source : sources) {
    if (source.empty()) continue;
    std::error_code ec;
    if (out == source || std::filesystem::equivalent(out, source, ec)) return true;
  }
  return false;
}

config_file::ReadOutcome readGolden(const std::string& path, Images& images) {
  images = Images{};
  return config_file::readFile(path, {images.g_optionDevice, images.g_baseDevice});
}

}  // namespace vrx4::report
