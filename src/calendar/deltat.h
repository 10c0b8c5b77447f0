// ΔT, the difference TT − UT between the uniform time of the theories of the Sun and Moon and
// the time kept by the Earth's rotation, which the civil clock follows.
#pragma once

namespace Koyomi {

/// TT − UT in seconds at a moment given as a decimal year (2000.0 is the start of 2000).
/// Espenak and Meeus's polynomials, fitted to observed values, up to 2005; yearly observed
/// values from 2005 to 2025; after that a documented extrapolation (docs/koyomi.md).
double DeltaTSeconds(double decimalYear);

/// The same for an instant given as a Julian Day in UT.
double DeltaTSecondsAtJD(double jdUt);

} // namespace Koyomi
