#pragma once
// A command line storagecalc cannot act on: exit status 2, with a pointer to --help.
#include <stdexcept>

class TUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
