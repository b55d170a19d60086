#include "platform/rtl/exceptions.h"

#include <cmath>

long long Round(double value) {
  double whole = std::floor(value);
  double fraction = value - whole;
  long long base = static_cast<long long>(whole);
  if (fraction > 0.5) return base + 1;
  if (fraction < 0.5) return base;
  return (base % 2 == 0) ? base : base + 1;
}
