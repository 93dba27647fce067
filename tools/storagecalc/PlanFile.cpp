#include "tools/storagecalc/PlanFile.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "calc/StrToInt.h"

namespace {

using TJson = nlohmann::json;

[[noreturn]] void Bad(const std::string& path, const std::string& what) { throw EPlanError(path + ": " + what); }

// A value as the message repeats it: its JSON text, cut like any shown text.
std::string Shown(const TJson& value) {
  return ShownInMessage(value.dump(-1, ' ', false, TJson::error_handler_t::replace));
}

std::string Quoted(std::string_view text) { return TJson(std::string(text)).dump(-1, ' ', false, TJson::error_handler_t::replace); }

std::string KindOf(const TJson& value) {
  switch (value.type()) {
    case TJson::value_t::object: return "an object";
    case TJson::value_t::array: return "a list";
    case TJson::value_t::string: return "a text";
    case TJson::value_t::boolean: return "true or false";
    case TJson::value_t::null: return "null";
    default: return "a number";
  }
}

// Refuses any key but those given: a misspelt key must not fall back to a default unseen.
void CheckKeys(const TJson& object, const std::string& path, std::initializer_list<std::string_view> known,
               std::string_view what) {
  for (auto it = object.begin(); it != object.end(); ++it) {
    if (std::find(known.begin(), known.end(), it.key()) != known.end()) continue;
    std::string list;
    for (const std::string_view k : known) (list.empty() ? list : list += ", ") += k;
    Bad(path + (path.empty() ? "" : ".") + it.key(), "is no key of " + std::string(what) + " (" + list + ")");
  }
}

const TJson* Find(const TJson& object, std::string_view key) {
  const auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

const TJson& Need(const TJson& object, const std::string& path, std::string_view key, std::string_view why) {
  const TJson* value = Find(object, key);
  if (value == nullptr) Bad(path + "." + std::string(key), "missing; " + std::string(why));
  return *value;
}

std::int64_t WholeNumber(const TJson& value, const std::string& path, std::int64_t low, std::int64_t high) {
  const auto fail = [&] {
    Bad(path, Shown(value) + " is not a whole number from " + std::to_string(low) + " to " + std::to_string(high));
  };
  std::int64_t n = 0;
  if (value.is_number_unsigned()) {
    const auto u = value.get<std::uint64_t>();
    if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) fail();
    n = static_cast<std::int64_t>(u);
  } else if (value.is_number_integer()) {
    n = value.get<std::int64_t>();
  } else {
    fail();
  }
  if (n < low || n > high) fail();
  return n;
}

std::int32_t OptionalWhole(const TJson& object, const std::string& path, std::string_view key, std::int64_t low,
                           std::int64_t high, std::int32_t byDefault) {
  const TJson* value = Find(object, key);
  return value == nullptr ? byDefault
                          : static_cast<std::int32_t>(WholeNumber(*value, path + "." + std::string(key), low, high));
}

const std::string& Text(const TJson& value, const std::string& path, std::string_view expected) {
  if (!value.is_string()) Bad(path, Shown(value) + " is " + KindOf(value) + ", not " + std::string(expected));
  return value.get_ref<const std::string&>();
}

TGridCamera ReadGridCamera(const TJson& g, const std::string& path) {
  constexpr std::string_view why =
      "a group without a bitrate is a camera of the grid: \"frame_size\", \"codec\", \"colour\" and \"fps\"";
  TGridCamera camera;
  const TJson& size = Need(g, path, "frame_size", why);
  const std::string& sizeText = Text(size, path + ".frame_size", "a frame size such as \"768x576\"");
  camera.FrameSize = -1;
  for (int i = 0; i < kFrameSizeCount; ++i)
    if (FrameSizeText(i) == sizeText) camera.FrameSize = i;
  if (camera.FrameSize < 0) {
    std::string sizes;
    for (int i = 0; i < kFrameSizeCount; ++i) (i == 0 ? sizes : sizes += ' ') += FrameSizeText(i);
    Bad(path + ".frame_size", Shown(size) + " is not a frame size of the grid: " + sizes);
  }

  const TJson& codec = Need(g, path, "codec", why);
  const std::string& codecText = Text(codec, path + ".codec", "a codec of the grid");
  camera.Column = 0;
  for (int c = 1; c <= kColumnCount; ++c)
    if (CodecCaption(c) == codecText) camera.Column = c;
  if (camera.Column == 0) {
    std::string columns;
    for (int c = 1; c <= kColumnCount; ++c) (c == 1 ? columns : columns += ", ") += CodecCaption(c);
    Bad(path + ".codec", Shown(codec) + " is not a codec of the grid (" + columns +
                             "); for another codec give the camera's \"bitrate\" instead");
  }

  const TJson& colour = Need(g, path, "colour", why);
  if (!colour.is_boolean()) Bad(path + ".colour", Shown(colour) + " is not true (colour) or false (black-and-white)");
  camera.Mode = colour.get<bool>() ? cmColour : cmBlackWhite;

  camera.FrameRate = static_cast<int>(WholeNumber(Need(g, path, "fps", why), path + ".fps", kMinFrameRate, kMaxFrameRate));

  const auto cell = [&] {
    return Quoted(codecText) + " at " + sizeText + " in " + (camera.Mode == cmColour ? "colour" : "black-and-white");
  };
  if (!GridCoefficient(camera.FrameSize, camera.Column, camera.Mode))
    Bad(path + ".codec", cell() + " records nothing (the grid shows \"" + std::string(kNoneText) + "\")");
  const int limit = LimitLookup(camera.FrameSize, camera.Column, camera.Mode);
  if (limit != 0 && limit < camera.FrameRate)
    Bad(path + ".fps", std::to_string(camera.FrameRate) + " is above the " + std::to_string(limit) +
                           " fps that " + cell() + " serves");
  return camera;
}

TCameraGroup ReadGroup(const TJson& g, const std::string& path) {
  if (!g.is_object()) Bad(path, Shown(g) + " is " + KindOf(g) + ", not a group of cameras (an object)");
  CheckKeys(g, path,
            {"name", "count", "bitrate", "codec", "frame_size", "colour", "fps", "hours_per_day", "motion_percent",
             "retention_days"},
            "a group");
  TCameraGroup group;
  const TJson& name = Need(g, path, "name", "every group has a name");
  group.Name = Text(name, path + ".name", "a name");
  if (group.Name.empty()) Bad(path + ".name", "is empty; every group has a name");
  group.Count = static_cast<std::int32_t>(
      WholeNumber(Need(g, path, "count", "how many cameras the group has"), path + ".count", 1, kMaxGroupCameras));

  if (const TJson* bitrate = Find(g, "bitrate")) {
    for (const std::string_view key : {"frame_size", "colour", "fps"})
      if (Find(g, key) != nullptr)
        Bad(path + "." + std::string(key), "a group with a bitrate takes no " + std::string(key) +
                                               ": the bitrate says what each camera writes");
    if (bitrate->is_number())
      Bad(path + ".bitrate", Shown(*bitrate) + " is not a bitrate; write \"" + Shown(*bitrate) + " Mbit/s\"");
    try {
      group.BitsPerSecond = ParseBitrate(Text(*bitrate, path + ".bitrate", "a bitrate such as \"4 Mbit/s\""));
    } catch (const EPlanError&) {
      throw;
    } catch (const Exception& e) {
      Bad(path + ".bitrate", e.Message());
    }
    if (const TJson* codec = Find(g, "codec")) group.Codec = Text(*codec, path + ".codec", "a codec's name");
  } else if (Find(g, "frame_size") || Find(g, "codec") || Find(g, "colour") || Find(g, "fps")) {
    group.Grid = ReadGridCamera(g, path);
    group.Codec = std::string(CodecCaption(group.Grid.Column));
  } else {
    Bad(path, "needs a \"bitrate\" (such as \"4 Mbit/s\"), or the grid's \"frame_size\", \"codec\", \"colour\" and \"fps\"");
  }

  group.HoursPerDay = OptionalWhole(g, path, "hours_per_day", 1, 24, 24);
  group.MotionPercent = OptionalWhole(g, path, "motion_percent", kMinMotionPercent, kMaxMotionPercent, 100);
  group.RetentionDays = static_cast<std::int32_t>(
      WholeNumber(Need(g, path, "retention_days", "how many days the recording is kept"), path + ".retention_days", 1,
                  kMaxRetentionDays));
  return group;
}

TRaidLevel ReadRaid(const TJson& raid) {
  const std::string message = " is not a RAID level: \"none\" (or \"jbod\"), \"0\", \"1\", \"5\", \"6\" or \"10\"";
  std::string text;
  if (raid.is_number_integer()) {
    text = raid.dump();
  } else if (raid.is_string()) {
    text = raid.get<std::string>();
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  } else {
    Bad("disks.raid", Shown(raid) + message);
  }
  const struct {
    std::string_view Text;
    TRaidLevel Level;
  } levels[] = {{"none", rlNone}, {"jbod", rlNone}, {"0", rlRaid0}, {"1", rlRaid1},
                {"5", rlRaid5},   {"6", rlRaid6},   {"10", rlRaid10}};
  for (const auto& l : levels)
    if (text == l.Text) return l.Level;
  Bad("disks.raid", Shown(raid) + message);
}

TDiskSet ReadDisks(const TJson& d) {
  if (!d.is_object()) Bad("disks", Shown(d) + " is " + KindOf(d) + ", not a disk set (an object)");
  CheckKeys(d, "disks", {"size", "count", "raid", "free_percent"}, "the disk set");
  TDiskSet disks;
  const TJson& size = Need(d, "disks", "size", "the size of one disk, such as \"8T\"");
  if (size.is_number()) Bad("disks.size", Shown(size) + " needs a unit; write \"" + Shown(size) + "T\"");
  disks.SizeText = Text(size, "disks.size", "a size such as \"8T\"");
  try {
    disks.Size = ParseDiskSize(disks.SizeText);
  } catch (const Exception& e) {
    Bad("disks.size", e.Message());
  }
  disks.Count = static_cast<std::int32_t>(
      WholeNumber(Need(d, "disks", "count", "how many disks the set has"), "disks.count", 1, kMaxDiskCount));
  disks.Raid = ReadRaid(Need(d, "disks", "raid", "the RAID level, or \"none\""));
  disks.FreePercent = OptionalWhole(d, "disks", "free_percent", 0, kMaxFreePercent, 0);
  if (!RaidCountFits(disks.Raid, disks.Count)) {
    const std::string level = "RAID " + std::string(RaidName(disks.Raid));
    if (disks.Raid == rlRaid10)
      Bad("disks.count", level + " takes an even count of disks, 4 or more, not " + std::to_string(disks.Count));
    Bad("disks.count", level + " takes at least " + std::to_string(RaidMinimumDisks(disks.Raid)) + " disks, not " +
                           std::to_string(disks.Count));
  }
  return disks;
}

// Builds the document as the library's own parser does, and tracks where the parser is, so that
// a key given twice (of which the library would silently keep the last) is reported with its
// path. Frames are reused from object to object: no allocation per key.
class TPlanSax {
 public:
  explicit TPlanSax(TJson& root) : Dom(root) {}

  bool null() { return Value(Dom.null()); }
  bool boolean(bool value) { return Value(Dom.boolean(value)); }
  bool number_integer(TJson::number_integer_t value) { return Value(Dom.number_integer(value)); }
  bool number_unsigned(TJson::number_unsigned_t value) { return Value(Dom.number_unsigned(value)); }
  bool number_float(TJson::number_float_t value, const std::string& text) { return Value(Dom.number_float(value, text)); }
  bool string(std::string& value) { return Value(Dom.string(value)); }
  bool binary(TJson::binary_t& value) { return Value(Dom.binary(value)); }
  bool start_object(std::size_t length) {
    Open(false);
    return Dom.start_object(length);
  }
  bool key(std::string& key) {
    TFrame& top = Frames[Depth - 1];
    if (std::find(top.Keys.begin(), top.Keys.end(), key) != top.Keys.end()) {
      top.Key = key;
      throw EPlanError(Path() + ": is given twice");
    }
    top.Keys.push_back(key);
    top.Key = key;
    return Dom.key(key);
  }
  bool end_object() {
    --Depth;
    return Value(Dom.end_object());
  }
  bool start_array(std::size_t length) {
    Open(true);
    return Dom.start_array(length);
  }
  bool end_array() {
    --Depth;
    return Value(Dom.end_array());
  }
  // A template, as the library's: the error is thrown as its own type (parse_error and so on).
  template <class TError>
  bool parse_error(std::size_t position, const std::string& token, const TError& error) {
    return Dom.parse_error(position, token, error);
  }

 private:
  struct TFrame {
    bool IsArray = false;
    std::size_t Index = 0;
    std::string Key;
    std::vector<std::string> Keys;
  };

  void Open(bool isArray) {
    if (Depth == Frames.size()) Frames.emplace_back();
    TFrame& f = Frames[Depth++];
    f.IsArray = isArray;
    f.Index = 0;
    f.Keys.clear();
  }
  // A value ends: the next one in a list has the next index.
  bool Value(bool result) {
    if (Depth != 0 && Frames[Depth - 1].IsArray) ++Frames[Depth - 1].Index;
    return result;
  }
  std::string Path() const {
    std::string path;
    // Appended piece by piece: g++ 12 warns wrongly about "[" + text (-Wrestrict).
    for (std::size_t i = 0; i < Depth; ++i) {
      const TFrame& f = Frames[i];
      if (f.IsArray) {
        path += '[';
        path += std::to_string(f.Index);
        path += ']';
      } else {
        if (!path.empty()) path += '.';
        path += f.Key;
      }
    }
    return path;
  }

  nlohmann::detail::json_sax_dom_parser<TJson> Dom;
  std::vector<TFrame> Frames;
  std::size_t Depth = 0;
};

}  // namespace

TSitePlan ReadSitePlan(std::string_view json) {
  TJson root;
  try {
    TPlanSax sax(root);
    TJson::sax_parse(json.begin(), json.end(), &sax);
  } catch (const TJson::parse_error& e) {
    // "[json.exception.parse_error.101] parse error at line 1, column 2: ..." without its tag.
    std::string what = e.what();
    const std::size_t tag = what.find("] ");
    if (tag != std::string::npos) what.erase(0, tag + 2);
    throw EPlanError("not JSON: " + what);
  }
  if (!root.is_object())
    throw EPlanError("the plan is " + KindOf(root) + ", not an object with \"groups\" and \"disks\"");
  CheckKeys(root, "", {"groups", "disks"}, "the plan");
  TSitePlan plan;
  const TJson* groups = Find(root, "groups");
  if (groups == nullptr) Bad("groups", "missing; the plan lists its camera groups");
  if (!groups->is_array() || groups->empty())
    Bad("groups", Shown(*groups) + " is " + (groups->is_array() ? "empty" : KindOf(*groups)) +
                      ", not a list of camera groups");
  plan.Groups.reserve(groups->size());
  for (std::size_t i = 0; i < groups->size(); ++i)
    plan.Groups.push_back(ReadGroup((*groups)[i], std::string("groups[").append(std::to_string(i)).append("]")));
  const TJson* disks = Find(root, "disks");
  if (disks == nullptr) Bad("disks", "missing; the plan names its disk set");
  plan.Disks = ReadDisks(*disks);
  return plan;
}
