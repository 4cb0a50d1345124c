// vrx4ctl show and set: the parameter pages without windows. Both call
// the pages' own rules, so a script sees and writes exactly what a user of
// the desktop program sees and saves.
#include "core/cli/page_commands.h"

#include <algorithm>
#include <functional>
#include <iostream>

#include "core/base/decimal_text.h"
#include "core/base/hex_text.h"
#include "core/base/pressure_units.h"
#include "core/cli/cli_link.h"
#include "core/cli/command_support.h"
#include "core/cli/pages_report.h"
#include "core/memory/whole_config.h"
#include "core/pages/channel_save.h"

namespace vrx4::cli {
namespace {

struct Display {
  std::uint8_t unit = unit::kBar;
  std::optional<std::uint8_t> scale;  // nothing: from the device's byte 0x6F
  std::uint32_t accessMode = access::kVisualisation;
};

// --unit, --range and (for show) --access.
std::optional<Display> display(const Args& a) {
  Display d;
  const auto unit = parseUnit(a.get("--unit", "bar"));
  if (!unit) {
    std::cerr << "vrx4ctl " << a.command << ": --unit must be bar, PSI, kPa or MPa\n";
    return std::nullopt;
  }
  d.unit = *unit;
  if (auto r = a.get("--range")) {
    if (*r != "10" && *r != "20") {
      std::cerr << "vrx4ctl " << a.command << ": --range must be 10 or 20 (bar full scale)\n";
      return std::nullopt;
    }
    d.scale = *r == "20" ? 1 : 0;
  }
  const std::string access = a.get("--access", "1");
  if (access.size() != 1 || access[0] < '1' || access[0] > '4') {
    std::cerr << "vrx4ctl " << a.command << ": --access must be 1, 2, 3 or 4\n";
    return std::nullopt;
  }
  d.accessMode = static_cast<std::uint32_t>(access[0] - '0');
  return d;
}

PageUnits unitsFor(const Display& d, const Images& images) {
  const std::uint8_t scale = d.scale ? *d.scale : automaticRange(images.g_baseDevice[0x6F]);
  return PageUnits::of(d.unit, scale, d.accessMode);
}

// One Save or Restore of a page, from the device images.
using PageSave = std::function<SaveOutcome(const Images&)>;

struct SetPlan {
  std::string page;  // as the page is named: "CONTROL", "ALARM"...
  PageSave save;
};

// "XL,YL,XH,YH": the lower corner, then the upper one.
std::optional<CornerTexts> cornersOption(const Args& a) {
  const auto text = a.get("--corners");
  if (!text) {
    std::cerr << "vrx4ctl set " << a.positional[0] << ": --corners XL,YL,XH,YH is required\n";
    return std::nullopt;
  }
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (;;) {
    const std::size_t comma = text->find(',', from);
    parts.push_back(text->substr(from, comma == std::string::npos ? std::string::npos : comma - from));
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  if (parts.size() != 4) {
    std::cerr << "vrx4ctl set: --corners needs four numbers XL,YL,XH,YH, not '" << *text << "'\n";
    return std::nullopt;
  }
  for (const std::string& p : parts) {
    if (!readNumber(p)) {
      std::cerr << "vrx4ctl set: '" << p << "' in --corners is not a number\n";
      return std::nullopt;
    }
  }
  return CornerTexts{parts[0], parts[2], parts[1], parts[3]};
}

// A numeric option that was given, checked to be a number in the pages'
// grammar, so that the message names the option.
bool numberOption(const Args& a, const char* name, std::optional<std::string>& out) {
  out = a.get(name);
  if (out && !readNumber(*out)) {
    std::cerr << "vrx4ctl set: " << name << " needs a number, not '" << *out << "'\n";
    return false;
  }
  return true;
}

std::optional<int> typeOption(const Args& a) {
  const std::string t = a.get("--type", "");
  if (t == "U") return input_type::kVoltage;
  if (t == "I") return input_type::kCurrent;
  std::cerr << "vrx4ctl set " << a.positional[0] << ": --type must be U or I\n";
  return std::nullopt;
}

// The options each page takes besides --port, --timeout, --unit, --range.
const std::vector<std::string>& pageOptions(const std::string& page) {
  static const std::vector<std::string> control{"--type", "--corners"}, auxin{"--type", "--corners", "--read-as"},
      output{"--corners"},
      alarm{"--logic", "--error-plus", "--error-minus", "--delay-on", "--ton-min", "--delay-off"},
      pid{"--kp-high", "--kp-low", "--ki", "--kd"}, none;
  if (page == "control") return control;
  if (page == "auxin") return auxin;
  if (page == "uout" || page == "iout") return output;
  if (page == "alarm") return alarm;
  if (page == "pid") return pid;
  return none;
}

std::optional<SetPlan> channelPlan(const Args& a, Channel ch, bool restore, const PageUnits& u) {
  SetPlan plan{channelName(ch), {}};
  if (restore) {
    plan.save = [ch](const Images& im) { return restoreChannel(ch, im); };
    return plan;
  }
  int type = input_type::kVoltage;
  if (isInputChannel(ch)) {
    const auto t = typeOption(a);
    if (!t) return std::nullopt;
    type = *t;
  }
  std::optional<int> readAs;
  if (auto r = a.get("--read-as")) {
    if (*r != "monitoring" && *r != "p2") {
      std::cerr << "vrx4ctl set auxin: --read-as must be monitoring or p2\n";
      return std::nullopt;
    }
    readAs = *r == "p2" ? 1 : 0;
  }
  const auto corners = cornersOption(a);
  if (!corners) return std::nullopt;
  plan.save = [ch, type, readAs, corners = *corners, u](const Images& im) {
    // AUXin's reading keeps the device's choice unless one was given.
    const int reading = readAs ? *readAs : auxinReadAs(im.g_optionDevice);
    return saveChannel(ch, im, ChannelEdits{corners, type, reading, std::nullopt}, u);
  };
  return plan;
}

std::optional<SetPlan> alarmPlan(const Args& a, bool restore, const PageUnits& u) {
  SetPlan plan{"ALARM", {}};
  if (restore) {
    plan.save = [](const Images& im) { return restoreAlarm(im); };
    return plan;
  }
  AlarmEdits e;
  if (auto l = a.get("--logic")) {
    if (*l != "+" && *l != "-") {
      std::cerr << "vrx4ctl set alarm: --logic must be + or -\n";
      return std::nullopt;
    }
    e.logic = *l == "-" ? alarm_logic::kMinus : alarm_logic::kPlus;
  }
  if (!numberOption(a, "--error-plus", e.errorPlus) || !numberOption(a, "--error-minus", e.errorMinus) ||
      !numberOption(a, "--delay-on", e.delayOn) || !numberOption(a, "--ton-min", e.tonMin) ||
      !numberOption(a, "--delay-off", e.delayOff))
    return std::nullopt;
  plan.save = [e, u](const Images& im) { return saveAlarm(im, e, u); };
  return plan;
}

std::optional<SetPlan> pidPlan(const Args& a, bool restore) {
  if (restore) {
    std::cerr << "vrx4ctl set pid: the PID page has no restore\n";
    return std::nullopt;
  }
  PidEdits e{a.get("--kp-high"), a.get("--kp-low"), a.get("--ki"), a.get("--kd")};
  return SetPlan{"PID", [e](const Images& im) { return savePid(im, e); }};
}

std::optional<SetPlan> planFor(const Args& a, const PageUnits& u) {
  const std::string& page = a.positional[0];
  const bool restore = a.has("--restore");
  const auto& own = pageOptions(page);
  for (const auto& [name, value] : a.options) {
    static const std::vector<std::string> shared{"--port", "--timeout", "--unit", "--range"};
    const bool known = std::find(own.begin(), own.end(), name) != own.end() ||
                       std::find(shared.begin(), shared.end(), name) != shared.end();
    if (!known || (restore && std::find(own.begin(), own.end(), name) != own.end())) {
      std::cerr << "vrx4ctl set " << page << ": " << name
                << (known ? " cannot go with --restore\n" : " is not an option of this page\n");
      return std::nullopt;
    }
  }
  if (page == "control") return channelPlan(a, Channel::Control, restore, u);
  if (page == "auxin") return channelPlan(a, Channel::Auxin, restore, u);
  if (page == "uout") return channelPlan(a, Channel::Uout, restore, u);
  if (page == "iout") return channelPlan(a, Channel::Iout, restore, u);
  if (page == "alarm") return alarmPlan(a, restore, u);
  if (page == "pid") return pidPlan(a, restore);
  std::cerr << "vrx4ctl set: PAGE must be control, auxin, uout, iout, alarm or pid\n";
  return std::nullopt;
}

std::string rangeText(Area area, std::size_t first, std::size_t count) {
  std::string text = std::string(area == Area::Base ? "BASE 0x" : "OPTION 0x") +
                     hex_text::byte(static_cast<std::uint8_t>(first));
  if (count > 1) text += "..0x" + hex_text::byte(static_cast<std::uint8_t>(first + count - 1));
  return text;
}

// The image and byte-0 step of a page's request.
struct Written {
  Area area;
  bool byteZeroFirst;
};
Written writtenBy(std::uint32_t opCode) {
  switch (opCode) {
    case op::kWriteSetpointThenBaseRange: return {Area::Base, true};
    case op::kWriteBaseRange: return {Area::Base, false};
    case op::kWriteFlagThenOptionRange: return {Area::Option, true};
    default: return {Area::Option, false};
  }
}

}  // namespace

int cmdShow(const Args& a) {
  const auto d = display(a);
  if (!d) return kExitUsage;
  const auto in = a.get("--in");
  if (in.has_value() == a.get("--port").has_value()) {
    std::cerr << "vrx4ctl show: give either --port P or --in FILE\n";
    return kExitUsage;
  }
  Images images;
  std::string source;
  std::unique_ptr<Link> link;
  if (in) {
    if (int code = readConfiguration(*in, images, "show")) return code;
    source = *in;
  } else {
    const auto c = common(a);
    if (!c) return kExitUsage;
    link = std::make_unique<Link>(c->port, c->timeout);
    if (int code = link->fullRead()) return code;
    images = link->state().snapshot();
    source = c->port;
  }
  const PageUnits u = unitsFor(*d, images);
  const AllPagesView view = showAllPages(images, u);
  if (a.has("--json")) {
    std::cout << pagesJson(view);
  } else {
    std::cout << "Parameter pages of " << source << " (serial number " << whole_config::identity(images).serialNumber
              << "), pressure in " << pressureUnitName(u.unit) << ", range " << pressureFullScale(u.unit, u.scale)
              << " " << pressureUnitName(u.unit) << ", access mode " << u.accessMode << "\n"
              << pagesText(view, u.unit);
  }
  return kExitOk;
}

int cmdSet(const Args& a) {
  if (a.positional.empty()) {
    std::cerr << "vrx4ctl set: PAGE is required (control, auxin, uout, iout, alarm or pid)\n";
    return kExitUsage;
  }
  const auto d = display(a);
  if (!d) return kExitUsage;
  const auto c = common(a);
  if (!c) return kExitUsage;
  // The typed values do not depend on the range; the device's range is
  // only known after the read, and only the printout uses it.
  const auto plan = planFor(a, PageUnits::of(d->unit, 0, d->accessMode));
  if (!plan) return kExitUsage;
  // A value the page would refuse is refused before the port is touched:
  // the refusals depend on the typed values only.
  if (const SaveOutcome dry = plan->save(Images{}); dry.refused()) {
    std::cerr << "vrx4ctl set " << a.positional[0] << ": " << dry.refusal->message << "\n";
    return kExitUsage;
  }

  Link link(c->port, c->timeout);
  link.showProgress(progressWanted(a.has("--quiet")));
  if (int code = link.fullRead()) return code;
  const SaveOutcome outcome = plan->save(link.state().snapshot());
  if (outcome.refused()) {
    std::cerr << "vrx4ctl set " << a.positional[0] << ": " << outcome.refusal->message << "\n";
    return kExitUsage;
  }
  link.beginWrite();
  if (link.state().publishRequest(outcome.request) != DeviceState::Publish::Accepted) {
    std::cerr << "vrx4ctl: the link refused the request\n";
    return kExitDevice;
  }
  if (int code = link.waitTransfer(1, "the page's bytes to be written and verified")) {
    if (code != kExitOtherDevice && code != kExitInterrupted)
      std::cerr << "vrx4ctl: the write did not complete; run the command again\n";
    return code;
  }
  const Written w = writtenBy(outcome.request.op);
  std::cout << "set " << plan->page << " on " << c->port << ": "
            << (w.byteZeroFirst ? rangeText(w.area, 0, 1) + " then " : std::string())
            << rangeText(w.area, static_cast<std::uint8_t>(outcome.request.start), outcome.workSize)
            << " written, every byte read back and verified\n";
  const Images after = link.state().snapshot();
  std::cout << pagesText(showAllPages(after, unitsFor(*d, after)), d->unit);
  return finishedDespiteSignal();
}

}  // namespace vrx4::cli
