#pragma once

#include <string>

// How the check writes its figures, for the photo's criteria and the person's alike.
namespace passport::format {

// `value` with `decimals` decimals and a decimal point, whatever the locale; "?" for a value
// that is not finite, and no "-0.0" for one that rounds to nothing.
std::string number(double value, int decimals);

// The value as shown, so that a verdict never contradicts the figure beside it.
double shown(double value, int decimals);

}  // namespace passport::format
