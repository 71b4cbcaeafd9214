// PowersOfTen: the powers of ten that reading and writing numbers scale by, exact as Doubles.
#pragma once

// Powers of ten from 10^-4 to 10^15, the range of fixed notation in FloatToText.
constexpr int kPowerCount = 20;
inline constexpr double kPowerOfTen[kPowerCount] = {1e-4, 1e-3, 1e-2, 1e-1, 1e0,  1e1, 1e2,
                                                    1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                                                    1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
// Powers of ten from 10^0 to 10^22, the ones a Double holds exactly.
inline constexpr double kExactPowerOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
