#pragma once

// Multiples of π as the solver uses them, written out to the last digit.
constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kFourPi = 12.566370614359172;
constexpr double kInvPi = 0.3183098861837907;      // 1/π
constexpr double kInvTwoPi = 0.15915494309189535;  // 1/(2π)
