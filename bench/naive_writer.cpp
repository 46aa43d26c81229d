// The naive way of writing a ray set, kept as the yardstick of the throughput script:
// the same draws as lumiva-gen, one fprintf("%e") per field through stdio.
//   naive_writer OUTPUT RAYS SEED [lambertian|angular-ellipse]

#include <cstdio>
#include <cstdlib>
#include <string>

#include "distributions/distribution_file.h"
#include "generation/emission.h"
#include "generation/flux.h"

int main(int argc, char** argv) {
    using namespace lumiva;
    if (argc != 5) {
        std::fprintf(stderr, "usage: naive_writer OUTPUT RAYS SEED lambertian|angular-ellipse\n");
        return 2;
    }
    RunSettings s;
    s.rayCount = std::atoll(argv[2]);
    s.seed = static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10));
    s.angularType = AngularType::Lambertian;
    s.naX = s.naY = 0.99;
    if (std::string(argv[4]) == "angular-ellipse") {
        s.shape = Shape::Elliptical;
        s.angularSmoothing = true;
    }
    const RunParameters p = convertRunParameters(s);
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 1;
    std::fprintf(out, "%lld 4\r\n", static_cast<long long>(p.rayCount));
    RandomSource random(p.seed);
    SobolStream sobol;
    const Distribution none;
    FluxWeighting flux(p, none, none);
    for (std::int64_t i = 0; i < p.rayCount; ++i) {
        const EmissionPoint point = drawEmissionPoint(p, random, sobol);
        const EmissionDirection d = drawEmissionDirection(p, random, sobol);
        std::fprintf(out, "%e", point.x);
        std::fprintf(out, " %e", point.y);
        std::fprintf(out, " %e", point.z);
        std::fprintf(out, " %e", d.L);
        std::fprintf(out, " %e", d.M);
        std::fprintf(out, " %e", d.N);
        std::fprintf(out, " %e\r\n", flux.relativeIntensity(d));
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
