#pragma once
// The plan file of `storagecalc plan`: a JSON object with the camera groups and the disk set.
// README.md and `storagecalc --help` describe its keys.
#include <string_view>

#include "calc/SitePlan.h"
#include "framework/core/Exceptions.h"

// A plan that cannot be used. The message names the place in the JSON and what is wrong:
// `groups[2].bitrate: "4 Mbps" is not a bitrate; write "4 Mbit/s"`.
class EPlanError : public Exception {
 public:
  using Exception::Exception;
};

// Reads and checks a whole plan: every key known, every value of its kind and in its range, every
// grid camera one whose cell shows an amount, every disk count one its RAID level takes. Throws
// EPlanError at the first fault found.
TSitePlan ReadSitePlan(std::string_view json);
