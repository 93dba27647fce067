// Reading a plan file: what a good plan gives, and for each kind of fault the message that
// names the place and says what is wrong.
#include "tools/storagecalc/PlanFile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kDisks = R"({"size": "8T", "count": 4, "raid": "5"})";
const std::string kGate = R"({"name": "gate", "count": 4, "bitrate": "4 Mbit/s", "retention_days": 30})";

std::string Plan(const std::string& group, const std::string& disks = kDisks) {
  return R"({"groups": [)" + kGate + ", " + group + R"(], "disks": )" + disks + "}";
}

TEST(ReadSitePlan, GroupsOfBothKindsAndTheDiskSet) {
  const TSitePlan plan = ReadSitePlan(R"({
    "groups": [
      {"name": "gate", "count": 4, "bitrate": "4 Mbit/s", "codec": "H.265", "hours_per_day": 12,
       "motion_percent": 100, "retention_days": 30},
      {"name": "hall", "count": 2, "frame_size": "768x576", "codec": "MPEG4", "colour": true,
       "fps": 12, "retention_days": 7},
      {"name": "двор", "count": 1, "frame_size": "320x240", "codec": "Без сжатия", "colour": false,
       "fps": 25, "retention_days": 1, "motion_percent": 30}],
    "disks": {"size": "1.5TiB", "count": 6, "raid": 10, "free_percent": 5}})");
  ASSERT_EQ(plan.Groups.size(), 3u);
  const TCameraGroup& gate = plan.Groups[0];
  EXPECT_EQ(gate.Name, "gate");
  EXPECT_EQ(gate.Codec, "H.265");
  EXPECT_EQ(gate.BitsPerSecond, 4000000u);
  EXPECT_EQ(gate.HoursPerDay, 12);
  EXPECT_EQ(gate.RetentionDays, 30);
  const TCameraGroup& hall = plan.Groups[1];
  EXPECT_FALSE(hall.BitsPerSecond.has_value());
  EXPECT_EQ(hall.Grid.FrameSize, 11);
  EXPECT_EQ(hall.Grid.Column, 8);
  EXPECT_EQ(hall.Grid.Mode, cmColour);
  EXPECT_EQ(hall.Grid.FrameRate, 12);
  EXPECT_EQ(hall.HoursPerDay, 24);     // default
  EXPECT_EQ(hall.MotionPercent, 100);  // default
  const TCameraGroup& yard = plan.Groups[2];
  EXPECT_EQ(yard.Name, "двор");
  EXPECT_EQ(yard.Grid.Column, 5);
  EXPECT_EQ(yard.Grid.Mode, cmBlackWhite);
  EXPECT_EQ(yard.MotionPercent, 30);
  EXPECT_EQ(DiskBytes(plan.Disks.Size), 1649267441664u);  // 1.5 x 2^40
  EXPECT_EQ(plan.Disks.SizeText, "1.5TiB");
  EXPECT_EQ(plan.Disks.Count, 6);
  EXPECT_EQ(plan.Disks.Raid, rlRaid10);
  EXPECT_EQ(plan.Disks.FreePercent, 5);
  // Spellings of the RAID level; free_percent defaults to 0.
  for (const auto& [raid, level] : {std::pair{"\"none\"", rlNone}, {"\"JBOD\"", rlNone}, {"0", rlRaid0},
                                    {"\"1\"", rlRaid1}, {"5", rlRaid5}, {"\"6\"", rlRaid6}}) {
    const TSitePlan p = ReadSitePlan(R"({"groups": [)" + kGate + R"(], "disks": {"size": "8T", "count": 4, "raid": )" +
                                     raid + "}}");
    EXPECT_EQ(p.Disks.Raid, level) << raid;
    EXPECT_EQ(p.Disks.FreePercent, 0);
  }
}

TEST(ReadSitePlan, BadPlansNameThePlaceAndTheFault) {
  const struct {
    std::string Json;
    std::string Message;
  } cases[] = {
      {"", "not JSON: parse error at line 1, column 1"},
      {R"({"groups": [}], "disks": {}})", "not JSON: parse error at line 1, column 13"},
      {"[]", "the plan is a list, not an object with \"groups\" and \"disks\""},
      {R"({"disks": {}})", "groups: missing; the plan lists its camera groups"},
      {R"({"groups": [], "disks": {}})", "groups: [] is empty, not a list of camera groups"},
      {R"({"groups": {}, "disks": {}})", "groups: {} is an object, not a list of camera groups"},
      {R"({"groups": [)" + kGate + "]}", "disks: missing; the plan names its disk set"},
      {R"({"groups": [)" + kGate + R"(], "disks": {}, "site": 1})",
       "site: is no key of the plan (groups, disks)"},
      {Plan("7"), "groups[1]: 7 is a number, not a group of cameras (an object)"},
      {Plan(R"({"name": "yard", "count": 3, "bitrate": "4 Mbps", "retention_days": 14})"),
       "groups[1].bitrate: \"4 Mbps\" is not a bitrate; write \"4 Mbit/s\""},
      {Plan(R"({"name": "yard", "count": 3, "bitrate": 4, "retention_days": 14})"),
       "groups[1].bitrate: 4 is not a bitrate; write \"4 Mbit/s\""},
      {Plan(R"({"name": "yard", "count": 3, "bitrate": "4 Mbit/s", "retention_day": 14})"),
       "groups[1].retention_day: is no key of a group (name, count, bitrate, codec, frame_size, colour, fps, "
       "hours_per_day, motion_percent, retention_days)"},
      {Plan(R"({"name": "yard", "count": 3, "bitrate": "4 Mbit/s"})"),
       "groups[1].retention_days: missing; how many days the recording is kept"},
      {Plan(R"({"count": 3, "bitrate": "4 Mbit/s", "retention_days": 1})"),
       "groups[1].name: missing; every group has a name"},
      {Plan(R"({"name": "", "count": 3, "bitrate": "4 Mbit/s", "retention_days": 1})"),
       "groups[1].name: is empty; every group has a name"},
      {Plan(R"({"name": 5, "count": 3, "bitrate": "4 Mbit/s", "retention_days": 1})"),
       "groups[1].name: 5 is a number, not a name"},
      {Plan(R"({"name": "yard", "count": 0, "bitrate": "4 Mbit/s", "retention_days": 1})"),
       "groups[1].count: 0 is not a whole number from 1 to 1000000"},
      {Plan(R"({"name": "yard", "count": 2.5, "bitrate": "4 Mbit/s", "retention_days": 1})"),
       "groups[1].count: 2.5 is not a whole number from 1 to 1000000"},
      {Plan(R"({"name": "yard", "count": "3", "bitrate": "4 Mbit/s", "retention_days": 1})"),
       "groups[1].count: \"3\" is not a whole number from 1 to 1000000"},
      {Plan(R"({"name": "yard", "count": 18446744073709551615, "bitrate": "4 Mbit/s", "retention_days": 1})"),
       "groups[1].count: 18446744073709551615 is not a whole number from 1 to 1000000"},
      {Plan(R"({"name": "yard", "count": 1, "bitrate": "4 Mbit/s", "hours_per_day": 25, "retention_days": 1})"),
       "groups[1].hours_per_day: 25 is not a whole number from 1 to 24"},
      {Plan(R"({"name": "yard", "count": 1, "bitrate": "4 Mbit/s", "motion_percent": 0, "retention_days": 1})"),
       "groups[1].motion_percent: 0 is not a whole number from 1 to 100"},
      {Plan(R"({"name": "yard", "count": 1, "bitrate": "4 Mbit/s", "retention_days": 36601})"),
       "groups[1].retention_days: 36601 is not a whole number from 1 to 36600"},
      {Plan(R"({"name": "yard", "count": 1, "retention_days": 1})"),
       "groups[1]: needs a \"bitrate\" (such as \"4 Mbit/s\"), or the grid's \"frame_size\", \"codec\", "
       "\"colour\" and \"fps\""},
      {Plan(R"({"name": "yard", "count": 1, "bitrate": "4 Mbit/s", "fps": 12, "retention_days": 1})"),
       "groups[1].fps: a group with a bitrate takes no fps: the bitrate says what each camera writes"},
      {Plan(R"({"name": "hall", "count": 1, "frame_size": "768x576", "codec": "MPEG4", "colour": true,
                "retention_days": 1})"),
       "groups[1].fps: missing; a group without a bitrate is a camera of the grid: \"frame_size\", \"codec\", "
       "\"colour\" and \"fps\""},
      {Plan(R"({"name": "hall", "count": 1, "frame_size": "800x600", "codec": "MPEG4", "colour": true, "fps": 1,
                "retention_days": 1})"),
       "groups[1].frame_size: \"800x600\" is not a frame size of the grid: 320x240 360x240 360x288 384x288 "
       "640x240 720x240 720x288 768x288 640x480 720x480 720x576 768x576"},
      {Plan(R"({"name": "hall", "count": 1, "frame_size": "768x576", "codec": "H.264", "colour": true, "fps": 1,
                "retention_days": 1})"),
       "groups[1].codec: \"H.264\" is not a codec of the grid (LEAD, Intel Indeo 5.11, MS Video1, Intel Indeo 3.2, "
       "Без сжатия, DivX 4.12, DivX 5.05, MPEG4, Orvex JPEG VC, Morgan MJPEG); for another codec give the "
       "camera's \"bitrate\" instead"},
      {Plan(R"({"name": "hall", "count": 1, "frame_size": "768x576", "codec": "MPEG4", "colour": "yes", "fps": 1,
                "retention_days": 1})"),
       "groups[1].colour: \"yes\" is not true (colour) or false (black-and-white)"},
      {Plan(R"({"name": "hall", "count": 1, "frame_size": "768x576", "codec": "MPEG4", "colour": true, "fps": 26,
                "retention_days": 1})"),
       "groups[1].fps: 26 is not a whole number from 1 to 25"},
      // The grid shows "нет" for DivX 4.12 in black-and-white, and "<= 8 fps" for MS Video1 at
      // 768x576 above 8 frames a second.
      {Plan(R"({"name": "hall", "count": 1, "frame_size": "768x576", "codec": "DivX 4.12", "colour": false,
                "fps": 1, "retention_days": 1})"),
       "groups[1].codec: \"DivX 4.12\" at 768x576 in black-and-white records nothing (the grid shows \"нет\")"},
      {Plan(R"({"name": "hall", "count": 1, "frame_size": "768x576", "codec": "MS Video1", "colour": false,
                "fps": 9, "retention_days": 1})"),
       "groups[1].fps: 9 is above the 8 fps that \"MS Video1\" at 768x576 in black-and-white serves"},
      // A key given twice would otherwise let the last one win unseen.
      {Plan(R"({"name": "yard", "count": 1, "count": 2, "bitrate": "4 Mbit/s", "retention_days": 1})"),
       "groups[1].count: is given twice"},
      {Plan(kGate, R"({"size": "8T", "count": 4, "raid": "5", "raid": "6"})"), "disks.raid: is given twice"},
      {Plan(kGate, "[]"), "disks: [] is a list, not a disk set (an object)"},
      {Plan(kGate, R"({"count": 4, "raid": "5"})"), "disks.size: missing; the size of one disk, such as \"8T\""},
      {Plan(kGate, R"({"size": 8, "count": 4, "raid": "5"})"), "disks.size: 8 needs a unit; write \"8T\""},
      {Plan(kGate, R"({"size": "8X", "count": 4, "raid": "5"})"),
       "disks.size: disk size '8X' is not a size such as 2T, 500G or 1.5TiB"},
      {Plan(kGate, R"({"size": "8T", "count": 0, "raid": "5"})"),
       "disks.count: 0 is not a whole number from 1 to 100000"},
      {Plan(kGate, R"({"size": "8T", "count": 4, "raid": "4"})"),
       "disks.raid: \"4\" is not a RAID level: \"none\" (or \"jbod\"), \"0\", \"1\", \"5\", \"6\" or \"10\""},
      {Plan(kGate, R"({"size": "8T", "count": 4})"), "disks.raid: missing; the RAID level, or \"none\""},
      {Plan(kGate, R"({"size": "8T", "count": 4, "raid": "5", "free_percent": 100})"),
       "disks.free_percent: 100 is not a whole number from 0 to 99"},
      {Plan(kGate, R"({"size": "8T", "count": 4, "raid": "5", "spare": 1})"),
       "disks.spare: is no key of the disk set (size, count, raid, free_percent)"},
      // Too few disks for the level, and RAID 10 in pairs.
      {Plan(kGate, R"({"size": "8T", "count": 1, "raid": "0"})"), "disks.count: RAID 0 takes at least 2 disks, not 1"},
      {Plan(kGate, R"({"size": "8T", "count": 1, "raid": "1"})"), "disks.count: RAID 1 takes at least 2 disks, not 1"},
      {Plan(kGate, R"({"size": "8T", "count": 2, "raid": "5"})"), "disks.count: RAID 5 takes at least 3 disks, not 2"},
      {Plan(kGate, R"({"size": "8T", "count": 3, "raid": "6"})"), "disks.count: RAID 6 takes at least 4 disks, not 3"},
      {Plan(kGate, R"({"size": "8T", "count": 5, "raid": "10"})"),
       "disks.count: RAID 10 takes an even count of disks, 4 or more, not 5"},
      {Plan(kGate, R"({"size": "8T", "count": 2, "raid": "10"})"),
       "disks.count: RAID 10 takes an even count of disks, 4 or more, not 2"},
  };
  for (const auto& c : cases) {
    try {
      ReadSitePlan(c.Json);
      ADD_FAILURE() << "accepted " << c.Json;
    } catch (const EPlanError& e) {
      // Parse errors go on with the library's own words after the place.
      const std::string message = e.Message();
      if (c.Message.starts_with("not JSON"))
        EXPECT_TRUE(message.starts_with(c.Message)) << message;
      else
        EXPECT_EQ(message, c.Message);
    }
  }
}

}  // namespace
