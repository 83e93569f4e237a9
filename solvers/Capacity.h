#pragma once

namespace tavrix {

// Largest number of panel end points each method's system can hold: every
// system has at most 200 unknowns, and the Soinne-Laine method has NP + 1.
inline constexpr int kMaxPointsPerSystem = 200;
inline constexpr int kMaxPointsSoinne = 199;

}  // namespace tavrix
