#include "foundation/NumberFormat.h"

#include "foundation/Numeric.h"

std::string FormatNumber(double value, std::string_view) { return FormatRoundTrip(value); }
std::string FormatGeneralNumber(double value) { return FormatRoundTrip(value); }
