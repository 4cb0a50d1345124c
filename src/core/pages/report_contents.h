// The commissioning report: what it says, computed once for the window's
// Report... command and for `vrx4ctl report`. A plain structure of texts
// and numbers (header lines, the identity, every parameter page as it
// shows its values, the four characteristic lines in the line diagram's
// own pixels, the differences from a golden file); the drawing code only
// lays it out on paper and never decides what it holds.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/colour_word.h"
#include "core/base/profile_file.h"
#include "core/link/device_state.h"
#include "core/memory/config_file.h"
#include "core/pages/page_formats.h"

namespace vrx4::report {

// The report's words in one language, looked up in "Language.ini" by their
// English key. A key the file or its section lacks keeps the English text,
// so a report without the data files (vrx4ctl on a bare production PC) is
// the English one.
struct Labels {
  std::string title, date, version, regulatorPort, simulated, configFile, pressureUnit, pressureRange, accessMode,
      note;
  std::string visualisation, setting, settingPro;
  std::string fileNotice, fileNoticeUnsaved;  // "%s": the file
  std::string identity, serial, baseType, baseVersion, optionType, optionVersion;
  std::string control, auxin, uout, iout, alarm, pid;
  std::string selection, readAs, monitoring, p2Pressure;
  std::string lowerX, upperX, lowerY, upperY;
  std::string logic, errorPlus, errorMinus, delayOn, tonMin, delayOff;
  std::string ctrl, p2;  // the axis captions' channel words
  std::string differences, goldenFile, noDifference, area, field, address, thisConfiguration;
  // The window's dialog and messages.
  std::string savePdf, print, cancel, open, notWritten, needsEeprom, replacesConfiguration;

  // The English texts.
  static Labels english();
  bool operator==(const Labels&) const = default;
};
// `languageIndex` 0..3 picks ENGLISH, FRANCAIS, DEUTSCH or ITALIANO.
Labels labels(const ProfileFile& language, std::uint8_t languageIndex);
// Every key the report looks up, for the check that each language has it.
std::vector<std::string_view> labelKeys();

struct Row {
  std::string label;
  std::string value;
  bool operator==(const Row&) const = default;
};

// A characteristic line as the channel page's line diagram draws it, in
// the diagram's client pixels: the plot from (30, 40) to (230, 240), the
// numbers at the grid lines, the captions and the title.
struct Diagram {
  std::string title;  // "INPUT (pin2)"
  ColourWord colour = colour::kBlack;
  std::string xCaption, yCaption;
  std::array<std::string, 5> yNumbers;  // at y grid lines 1..5
  std::array<std::string, 4> xNumbers;  // at x grid lines 1..4
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;   // the line's ends
  bool operator==(const Diagram&) const = default;
};

struct Section {
  std::string title;
  std::vector<Row> rows;
  std::optional<Diagram> diagram;
  bool operator==(const Section&) const = default;
};

// The configuration compared with a golden file, field by field as
// `vrx4ctl diff` compares them.
struct Differences {
  std::string title;
  std::string golden;  // the golden file's path
  std::array<std::string, 5> columns;  // area, field, address, this configuration, golden file
  std::vector<std::array<std::string, 5>> rows;
  std::string none;  // said when no row differs
  bool operator==(const Differences&) const = default;
};

struct Contents {
  std::string title;
  std::string footer;  // at the foot of every page: the title, serial number and date
  std::vector<Row> header;
  std::string notice;  // file mode: what the report describes
  std::vector<Section> sections;
  std::optional<Differences> differences;
  bool operator==(const Contents&) const = default;
};

// Where the images come from.
struct Source {
  bool fileMode = false;
  std::string name;  // the configuration file, or the regulator's port
  bool unsaved = false;  // file mode: the window holds changes not saved to the file
  bool simulated = false;  // the port is the built-in simulated regulator's line
};

struct Golden {
  std::string path;
  Images images;
};

struct Inputs {
  Images images;
  PageUnits units;
  Source source;
  std::string dateTime;  // dateTimeText()
  std::string version;   // the program's version
  std::string note;      // the technician and the machine, as typed
  std::optional<Golden> golden;
  Labels labels = Labels::english();
};

Contents build(const Inputs& in);

// "2025-03-14 10:15" in local time.
std::string dateTimeText(std::time_t when);

// True when writing the report to `out` would replace one of `sources`
// (the configuration file or the golden file), under its own name or
// another one: a PDF never takes the place of a configuration.
bool wouldReplace(const std::string& out, const std::vector<std::string>& sources);

// A golden file read as `vrx4ctl diff` reads a configuration: zeroed images,
// a byte the file has no line for stays 00. A file with an invalid line,
// or with no configuration line at all (status Read, anyAreaLine false),
// is no golden file.
config_file::ReadOutcome readGolden(const std::string& path, Images& images);

}  // namespace vrx4::report
