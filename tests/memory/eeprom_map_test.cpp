// The EEPROM map pages' texts and what their edits write; the whole-area
// writes of the tools page; the comparison of two configurations.
#include <gtest/gtest.h>

#include <random>

#include "core/base/hex_text.h"
#include "core/memory/config_diff.h"
#include "core/memory/eeprom_map.h"
#include "core/memory/whole_config.h"

namespace vrx4 {
namespace {

using namespace eeprom_map;

Image randomImage(unsigned seed) {
  std::mt19937 gen(seed);
  Image im{};
  for (auto& b : im) b = static_cast<std::uint8_t>(gen());
  return im;
}

std::vector<std::size_t> differences(const Image& a, const Image& b) {
  std::vector<std::size_t> out;
  for (std::size_t i = 0; i < kImageSize; ++i)
    if (a[i] != b[i]) out.push_back(i);
  return out;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return text.replace(at, from.size(), to);
}

// The Calibration page's field lists: the template's lines, exact and
// counted as the edit counts them; an edited value changes its own bytes;
// a list not in the template's layout writes nothing.
TEST(FieldList, TemplateLinesEditedValuesAndListsOutOfLayout) {
  const Image zero{};
  const std::string base = fieldList(Area::Base, zero);
  const std::string option = fieldList(Area::Option, zero);
  EXPECT_TRUE(base.starts_with("CONSIGNE              00\r\nV_TO_B_A            0000\r\n"));
  EXPECT_TRUE(base.ends_with("\r\nRESERVE_2           0000\r\n"));
  EXPECT_TRUE(option.starts_with("FLAG                  00\r\nB_TO_V_A            0000\r\n"));
  EXPECT_NE(option.find("\r\nNUMERO_SOFT       000000\r\n"), std::string::npos);
  EXPECT_EQ(base.size(), 41u * 26);
  EXPECT_EQ(option.size(), 27u * 26);
  EXPECT_EQ(editLineCount(base), 42u);
  EXPECT_EQ(editLineCount(option), 28u);

  Image im{};
  im[0x25] = 0x01, im[0x26] = 0xA2, im[0x27] = 0x0F;
  EXPECT_NE(fieldList(Area::Base, im).find("SN                01A20F\r\n"), std::string::npos);

  // A list read back gives the device's bytes; KPHG 00 -> 7F, with LF line
  // ends: the edit image differs from the device only at 0x2B. (OPTION's
  // last fields: the map page's file mode.)
  const Image device = randomImage(1);
  for (Area a : {Area::Base, Area::Option}) EXPECT_EQ(parseFieldList(a, fieldList(a, device), device).edit, device);
  std::string typed = replaced(base, "KPHG                  00", "KPHG                  7F");
  std::erase(typed, '\r');
  const Parsed kphg = parseFieldList(Area::Base, typed, zero);
  ASSERT_TRUE(kphg.ok());
  EXPECT_EQ(differences(*kphg.edit, zero), std::vector<std::size_t>{0x2B});
  EXPECT_EQ((*kphg.edit)[0x2B], 0x7F);

  // Wrong line counts: a line deleted, a line added, the last break gone.
  const std::string noKphg = replaced(base, "KPHG                  00\r\n", "");
  EXPECT_EQ(parseFieldList(Area::Base, noKphg, zero).line, 0u);
  EXPECT_FALSE(parseFieldList(Area::Base, base + "KPHG                  7F\r\n", zero).ok());
  EXPECT_FALSE(parseFieldList(Area::Base, base.substr(0, base.size() - 2), zero).ok());
  // The count is right but the lines are wrong: the line at fault is named.
  const Parsed shifted = parseFieldList(Area::Base, noKphg + "KPHG                  7F\r\n", zero);
  EXPECT_EQ(std::make_pair(shifted.ok(), shifted.line), std::make_pair(false, std::size_t{12}));  // KPLOW where KPHG belongs
  for (const char* bad : {"KPHG                  7G", "KPHG                  7f", "KPHG                 7F ",
                          "KPHG                   F", "KPHG  X               7F"}) {
    const Parsed p = parseFieldList(Area::Base, replaced(base, "KPHG                  00", bad), zero);
    EXPECT_EQ(std::make_pair(p.ok(), p.line), std::make_pair(false, std::size_t{12})) << bad;
  }
  EXPECT_TRUE(parseFieldList(Area::Base, replaced(base, "KPHG                  00", "KPHG7F"), zero).ok());
}


TEST(Dump, LinesOfFiftyCharactersAndTheCheckOfEachCharacter) {
  const Image device = randomImage(2);
  const std::string base = dumpText(Area::Base, device);
  const std::string option = dumpText(Area::Option, device);
  EXPECT_EQ(base.size(), 7u * 50);
  EXPECT_TRUE(base.ends_with(" \r\n"));
  EXPECT_EQ(option.size(), 7u * 50 + 9);
  EXPECT_EQ(option.substr(0, 3), hex_text::byte(device[0]) + " ");
  for (Area a : {Area::Base, Area::Option}) {
    std::string text = dumpText(a, device);
    const Image zero{};
    const Parsed p = parseDump(a, text, zero);
    ASSERT_TRUE(p.ok());
    Image want{};  // the area's dump bytes, the rest as the edit image held them
    std::copy_n(device.begin(), dumpBytes(a), want.begin());
    EXPECT_EQ(*p.edit, want);
    std::erase(text, '\r');  // as a multi-line edit gives it
    EXPECT_TRUE(parseDump(a, text, zero).ok());
  }
  std::string text = dumpText(Area::Base, Image{});
  // A missing space: refused at the character that moved into its place.
  const Parsed missing = parseDump(Area::Base, std::string(text).erase(52, 1), Image{});
  EXPECT_EQ(std::make_tuple(missing.ok(), missing.line, missing.column), std::make_tuple(false, std::size_t{2}, std::size_t{2}));
  EXPECT_FALSE(parseDump(Area::Base, std::string(text).replace(0, 1, "a"), Image{}).ok());
  // A deleted or repeated line would move the bytes after it: refused.
  EXPECT_FALSE(parseDump(Area::Base, std::string(text).erase(50, 50), Image{}).ok());
  EXPECT_FALSE(parseDump(Area::Base, text + text.substr(0, 50), Image{}).ok());
  // A lone digit after the last byte.
  EXPECT_FALSE(parseDump(Area::Option, dumpText(Area::Option, Image{}) + "A", Image{}).ok());
}

// Damaged and random texts: the file, dump and field list parsers stay
// within their bounds (heap buffers of odd small sizes, so AddressSanitizer
// sees any overflow) and a refusal names a line.
TEST(Parsers, RandomTextsNeverReadOrWriteOutOfBounds) {
  std::mt19937 gen(12345);
  const Image device = randomImage(8);
  const std::string alphabet = "0123456789ABCDEF  \r\n\n_KPHGx";
  const std::string sources[] = {config_file::wholeConfiguration(device, randomImage(9)), dumpText(Area::Option, device),
                                 fieldList(Area::Base, device)};
  for (int round = 0; round < 2400; ++round) {
    std::string text = sources[round % 3];
    if (round % 4 == 3) {
      text.resize(gen() % 400);
      for (auto& c : text) c = gen() % 4 == 0 ? static_cast<char>(gen()) : alphabet[gen() % alphabet.size()];
    }
    for (int m = static_cast<int>(gen() % 6); m > 0 && !text.empty(); --m) {
      const std::size_t at = gen() % text.size();
      switch (gen() % 4) {
        case 0: text[at] = static_cast<char>(gen()); break;
        case 1: text.erase(at, 1 + gen() % 60); break;
        case 2: text.insert(at, 1, alphabet[gen() % alphabet.size()]); break;
        default: text.insert(at, std::string(gen() % 300, alphabet[gen() % alphabet.size()]));
      }
    }
    std::vector<std::uint8_t> opt(1 + gen() % 20), base(gen() % 20);
    const config_file::ReadOutcome r = config_file::parse(text, {opt, base});
    EXPECT_TRUE(r.status == config_file::ReadStatus::Read || r.invalidLine >= 1);
    const Parsed d = parseDump(Area::Option, text, device);
    const Parsed l = parseFieldList(Area::Base, text, device);
    EXPECT_TRUE(d.ok() || d.line >= 1);
    EXPECT_TRUE(l.ok() || l.line <= listLineCount(Area::Base));
    // Bytes beyond the area's dump stay as the device holds them.
    EXPECT_TRUE(!d.ok() || std::equal(d.edit->begin() + 0x73, d.edit->end(), device.begin() + 0x73));
  }
}

TEST(MapWrites, RestoreTakesTheBackupCopyAndExporterFilesKeepWhatTheyDoNotSupply) {
  const Image device = randomImage(3);
  // OPTION 0x00..0x2F from 0x30..0x5F, BASE 0x00..0x0F from 0x10..0x1F.
  for (auto [area, copy] : {std::pair{Area::Option, 0x30}, {Area::Base, 0x10}}) {
    Image want = device;
    std::copy_n(device.begin() + copy, copy, want.begin());
    EXPECT_EQ(restored(area, device), want);
  }

  config_file::MapBuffer buf{};
  const auto read = [&](const std::string& text) {
    buf.fill(0);
    return config_file::parse(text, {{}, std::span<std::uint8_t>(buf)});
  };
  // A file with an invalid line writes nothing.
  EXPECT_FALSE(exported(Area::Base, device, buf, read("10000AABB\r\n10010xx\r\n"), 4));
  // One line: 0x00..0x01 and 0x10..0x11 from the file, the rest as the
  // device holds it; outside mode 4 the backup copy stays the device's.
  const auto r = read("10000AABB\r\n10010CCDD\r\n");
  const auto pro = exported(Area::Base, device, buf, r, 4);
  ASSERT_TRUE(pro);
  EXPECT_LE(differences(*pro, device).size(), 4u);
  EXPECT_EQ((std::array{(*pro)[0x00], (*pro)[0x02], (*pro)[0x11]}),
            (std::array{std::uint8_t{0xAA}, device[0x02], std::uint8_t{0xDD}}));
  const auto setting = exported(Area::Base, device, buf, r, 2);
  EXPECT_EQ((std::array{(*setting)[0x00], (*setting)[0x11]}), (std::array{std::uint8_t{0xAA}, device[0x11]}));
}

TEST(MapWrites, WholeAreaWritesWaitForARunningTransferAndApplyAtOnceInFileMode) {
  DeviceState s;
  s.setDevice(Area::Option, randomImage(8));
  ASSERT_EQ(s.publishRequest(TransferRequest{.op = op::kReadOption}), DeviceState::Publish::Accepted);
  const Image editBefore = s.edit(Area::Option);
  const Image wanted = randomImage(9);
  auto fill = [&](Images& im) { im.g_optionEdit = wanted; };
  EXPECT_EQ(whole_config::writeEdits(s, op::kWriteOption, fill), whole_config::EditWrite::Busy);
  EXPECT_EQ(s.edit(Area::Option), editBefore);  // the running transfer's bytes stay
  s.finishRequest();
  EXPECT_EQ(whole_config::writeEdits(s, op::kWriteOption, fill), whole_config::EditWrite::Requested);
  EXPECT_EQ(s.g_xferOp.load(), op::kWriteOption);
  s.finishRequest();
  // File mode: OPTION 0x00..0x72 at once (0x72 is ALIM_B, the last byte).
  s.g_fileMode.store(1);
  EXPECT_EQ(whole_config::writeEdits(s, op::kWriteOption, fill), whole_config::EditWrite::Applied);
  const Image device = s.device(Area::Option);
  EXPECT_TRUE(std::equal(device.begin(), device.begin() + 0x73, wanted.begin()));
}

TEST(MapWrites, AnEditGoesOverTheDeviceImageAsItIsNow) {
  Images shown;
  shown.g_baseDevice = randomImage(11);
  Images now = shown;
  now.g_baseDevice[0x01] ^= 0x01;  // V_TO_B_A's high byte, written by another page
  now.g_baseDevice[0x2C] ^= 0x01;  // KPLOW
  now.g_baseDevice[0x10] ^= 0x01;  // outside every field
  Image typed = shown.g_baseDevice;
  typed[0x02] ^= 0xFF;  // V_TO_B_A's low byte: a value is never made of two writes
  typed[0x10] ^= 0xFF, typed[0x11] ^= 0xFF;
  typed[0x2B] ^= 0xFF;                          // KPHG
  typed[0x2E] = now.g_baseDevice[0x2E] ^ 0x10;  // KD
  Merge m = mergeEdit(Area::Base, shown, typed, now);
  EXPECT_EQ(conflictList(m), "V_TO_B_A, 0x10");
  EXPECT_EQ(differences(m.edit, now.g_baseDevice), (std::vector<std::size_t>{0x11, 0x2B, 0x2E}));
  EXPECT_EQ(m.edit[0x2B], typed[0x2B]);
  typed[0x02] = now.g_baseDevice[0x02], typed[0x10] = now.g_baseDevice[0x10];  // typed as the device has it now
  EXPECT_TRUE(mergeEdit(Area::Base, shown, typed, now).ok());

  // Another regulator (another SN): nothing typed goes to it.
  now.g_baseDevice[0x27] ^= 0x01;
  EXPECT_TRUE(mergeEdit(Area::Option, shown, shown.g_optionDevice, now).ok());
  Image option = shown.g_optionDevice;
  option[0x72] ^= 0x01;  // ALIM_B, the area's last byte
  m = mergeEdit(Area::Option, shown, option, now);
  EXPECT_EQ(conflictList(m), "ALIM_B");
  EXPECT_EQ(m.edit, now.g_optionDevice);
}

TEST(ConfigDiff, FieldsFirstThenBytesOutsideAnyField) {
  Images a, b;
  b.g_baseDevice[0x2B] = 0x7F;                            // KPHG
  b.g_baseDevice[0x27] = 0x01;                            // last byte of SN
  b.g_baseDevice[0x10] = 0xAA;                            // backup copy, no field
  b.g_optionDevice[0x71] = 0x02;                          // ALIM_A
  b.g_optionDevice[0x40] = 0x03;                          // no field
  b.g_optionDevice[0x80] = b.g_baseDevice[0x70] = 0xFF;   // beyond a configuration file
  std::vector<std::string> lines;
  for (const auto& d : config_diff::compare(a, b)) lines.push_back(config_diff::text(d));
  EXPECT_EQ(lines, (std::vector<std::string>{"BASE SN 0x25 000000 000001", "BASE KPHG 0x2B 00 7F",
                                             "OPTION ALIM_A 0x70 0000 0002", "BASE 0x10 00 AA",
                                             "OPTION 0x40 00 03"}));
  EXPECT_TRUE(config_diff::compare(a, a).empty());
}

TEST(WholeConfig, UnsuppliedRangesFollowTheAccessMode) {
  Image option{}, base{};
  // OPTION 0x00..0x1F and BASE 0x00..0x0F plus one PID byte.
  const std::string text = "00000" + std::string(32, '1') + "\r\n00010" + std::string(32, '2') + "\r\n10000" +
                           std::string(32, '3') + "\r\n1002B44\r\n";
  const auto r = config_file::parse(text, {option, base});
  ASSERT_EQ(r.status, config_file::ReadStatus::Read);
  EXPECT_TRUE(r.optionSupplied.test(0x1F) && !r.optionSupplied.test(0x20));
  EXPECT_TRUE(r.baseSupplied.test(0x2B) && !r.baseSupplied.test(0x2C));

  EXPECT_EQ(whole_config::unsuppliedRanges(r, 2),
            (std::vector<std::string>{"OPTION 0x20..0x2F", "BASE 0x2C..0x2E"}));
  EXPECT_EQ(whole_config::unsuppliedRanges(r, 4),
            (std::vector<std::string>{"OPTION 0x20..0x72", "BASE 0x10..0x2A", "BASE 0x2C..0x6F"}));

  // A whole configuration supplies everything; a single missing byte is
  // named alone.
  const std::string whole = config_file::wholeConfiguration(option, base);
  auto full = config_file::parse(whole, {option, base});
  EXPECT_TRUE(whole_config::unsuppliedRanges(full, 4).empty());
  full.baseSupplied.reset(0x6F);
  EXPECT_EQ(whole_config::unsuppliedRanges(full, 4), (std::vector<std::string>{"BASE 0x6F"}));
  EXPECT_TRUE(whole_config::unsuppliedRanges(full, 2).empty());
}

}  // namespace
}  // namespace vrx4
