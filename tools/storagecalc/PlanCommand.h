#pragma once
// `storagecalc plan FILE [--check | --need-days N] [--explain] [--json]`: the figures of a whole
// site from a plan file (PlanFile.h), for people and for scripts.
#include <string>
#include <string_view>
#include <vector>

#include "tools/console/Console.h"

// The arguments after "plan". Returns the exit status: 0, or with --check and --need-days 1
// when the plan does not fit. Throws TUsageError for a bad command line and EPlanError (its
// message starting with the file's name) for a bad plan; nothing is written then.
int RunPlan(const std::vector<std::string>& arguments, TConsoleOutput& out);

// A JSON string: quotes, backslashes and control characters escaped; other UTF-8 as it is.
std::string JsonString(std::string_view text);
