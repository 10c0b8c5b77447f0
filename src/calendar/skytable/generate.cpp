// Writes the table of skytable.h as C++ source: every instant computed by the theory and
// written as a hexadecimal floating-point literal, so that the table holds exactly the value
// the computation gives.
// Usage: tamurika-skytable OUTPUT.cpp

#include <cstdio>

#include "../skyroots.h"
#include "skytable.h"

using namespace Koyomi;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tamurika-skytable OUTPUT.cpp\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out, "// Made by tamurika-skytable when the program was built.\n"
                      "#include \"skytable/skytable.h\"\n\n"
                      "namespace Koyomi::SkyTable {\n\n"
                      "const std::array<std::array<double, SunDegrees.size()>,\n"
                      "                 LastYear - FirstYear + 1> SunInstants = {{\n");
    for (int year = SkyTable::FirstYear; year <= SkyTable::LastYear; ++year) {
        std::fprintf(out, "    {{");
        for (const double degrees : SkyTable::SunDegrees)
            std::fprintf(out, "%a,", ComputedSunLongitudeInstant(year, degrees));
        std::fprintf(out, "}},\n");
    }
    std::fprintf(out, "}};\n\n");

    // From the lunation before 1 January of the first year to the one after the last year.
    const double start = ComputedSunLongitudeInstant(SkyTable::FirstYear, 285.0) - 40.0;
    const double end = ComputedSunLongitudeInstant(SkyTable::LastYear, 270.0) + 40.0;
    const auto first = static_cast<int>((start - FirstNewMoonOf2000) / SynodicMonth) - 1;
    const auto last = static_cast<int>((end - FirstNewMoonOf2000) / SynodicMonth) + 1;
    std::fprintf(out,
                 "const int FirstLunation = %d;\n\nnamespace {\n"
                 "constexpr std::array<std::array<double, 4>, %d> Phases = {{\n",
                 first, last - first + 1);
    for (int k = first; k <= last; ++k) {
        std::fprintf(out, "    {{");
        for (int phase = 0; phase < 4; ++phase)
            std::fprintf(out, "%a,", ComputedMoonPhaseInstant(k, static_cast<TLunarPhase>(phase)));
        std::fprintf(out, "}},\n");
    }
    std::fprintf(out, "}};\n} // namespace\n\n"
                      "const std::span<const std::array<double, 4>> PhaseInstants = Phases;\n\n"
                      "} // namespace Koyomi::SkyTable\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
