#pragma once
// The failure of a report-writer or figure routine. The routines below a report throw it; the
// report functions (Reports.h) catch it, keep what was written and return false with its text.

#include <stdexcept>
#include <string>

class ReportError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
