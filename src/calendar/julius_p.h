// Range checks shared by the files of the Julius unit; not part of its interface.
#pragma once

#include <cstdint>

namespace Julius::Detail {

/// Raises EJuliusError unless MinYear <= year <= MaxYear.
void CheckYear(std::int32_t year);
/// Raises EJuliusError unless MinJD <= jd <= MaxJD.
void CheckJD(std::int32_t jd);

} // namespace Julius::Detail
