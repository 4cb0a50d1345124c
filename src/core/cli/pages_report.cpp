#include "core/cli/pages_report.h"

#include <cstdio>
#include <initializer_list>
#include <sstream>
#include <utility>

namespace vrx4::cli {
namespace {

const char* typeName(int inputType) { return inputType == input_type::kCurrent ? "I" : "U"; }

void channelLine(std::ostream& os, const ChannelView& c, std::uint8_t unit) {
  const auto [xu, yu] = channelAxisUnits(c.channel, c.inputType, unit);
  os << "x " << c.texts.xLow << " .. " << c.texts.xHigh << " " << xu << ", y " << c.texts.yLow << " .. "
     << c.texts.yHigh << " " << yu << "\n";
}

void inputPage(std::ostream& os, const char* name, const InputChannelPages& p, const char* extra) {
  os << name << " (input in use: " << typeName(p.inputType) << extra << ")\n";
}

// A JSON string; the page texts are plain numbers, but nothing unescaped
// ever leaves here.
std::string quoted(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
      out += buf;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string object(std::initializer_list<std::pair<const char*, std::string>> members) {
  std::string out = "{";
  bool first = true;
  for (const auto& [key, value] : members) {
    if (!first) out += ", ";
    first = false;
    out += quoted(key) + ": " + value;
  }
  return out + "}";
}

std::string corners(const ChannelView& c) {
  return object({{"x_low", quoted(c.texts.xLow)},
                 {"x_high", quoted(c.texts.xHigh)},
                 {"y_low", quoted(c.texts.yLow)},
                 {"y_high", quoted(c.texts.yHigh)}});
}

}  // namespace

std::string pagesText(const AllPagesView& v, std::uint8_t unit) {
  std::ostringstream os;
  inputPage(os, "CONTROL", v.control, "");
  for (const ChannelView& c : v.control.byType) {
    os << "  " << typeName(c.inputType) << ": ";
    channelLine(os, c, unit);
  }
  inputPage(os, "AUXin", v.auxin, v.auxinReadAs == 1 ? ", to be read as: P2 pressure" : ", to be read as: Monitoring value");
  for (const ChannelView& c : v.auxin.byType) {
    os << "  " << typeName(c.inputType) << ": ";
    channelLine(os, c, unit);
  }
  os << "Uout: ";
  channelLine(os, v.uout, unit);
  os << "Iout: ";
  channelLine(os, v.iout, unit);
  const std::string p = pressureUnitName(unit);
  const AlarmTexts& a = v.alarm.texts;
  os << "ALARM (logic " << alarmLogicText(v.alarm.values.logic) << ")\n"
     << "  Error +: " << a.errorPlus << " " << p << "\n"
     << "  Error -: " << a.errorMinus << " " << p << "\n"
     << "  Delay ON: " << a.delayOn << " s\n"
     << "  Ton min: " << a.tonMin << " s\n"
     << "  Delay OFF: " << a.delayOff << " s\n";
  os << "PID: Kp High " << v.pid.kpHigh << ", Kp Low " << v.pid.kpLow << ", Ki " << v.pid.ki << ", Kd " << v.pid.kd
     << "\n";
  return os.str();
}

std::string pagesJson(const AllPagesView& v) {
  auto input = [](const InputChannelPages& p, const char* readAs) {
    const std::string type = quoted(typeName(p.inputType));
    if (readAs == nullptr)
      return object({{"U", corners(p.byType[0])}, {"I", corners(p.byType[1])}, {"type", type}});
    return object(
        {{"U", corners(p.byType[0])}, {"I", corners(p.byType[1])}, {"type", type}, {"read_as", quoted(readAs)}});
  };
  const AlarmTexts& a = v.alarm.texts;
  return object({{"CONTROL", input(v.control, nullptr)},
                 {"AUXin", input(v.auxin, v.auxinReadAs == 1 ? "p2" : "monitoring")},
                 {"Uout", corners(v.uout)},
                 {"Iout", corners(v.iout)},
                 {"ALARM", object({{"logic", quoted(alarmLogicText(v.alarm.values.logic))},
                                   {"error_plus", quoted(a.errorPlus)},
                                   {"error_minus", quoted(a.errorMinus)},
                                   {"delay_on", quoted(a.delayOn)},
                                   {"ton_min", quoted(a.tonMin)},
                                   {"delay_off", quoted(a.delayOff)}})},
                 {"PID", object({{"kp_high", quoted(v.pid.kpHigh)},
                                 {"kp_low", quoted(v.pid.kpLow)},
                                 {"ki", quoted(v.pid.ki)},
                                 {"kd", quoted(v.pid.kd)}})}}) +
         "\n";
}

}  // namespace vrx4::cli
