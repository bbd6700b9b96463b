// Generates voices/kavrel_kick_wave_data.cpp, the 891-sample single-cycle wave the kick and the
// toms play. Standard library only; not part of the CMake build. From the repository root:
//
//   g++ -std=c++17 -O2 -Wall -Wextra -o /tmp/make_kick_wave tools/make_kick_wave.cpp
//   /tmp/make_kick_wave voices/kavrel_kick_wave_data.cpp
//   clang-format -i voices/kavrel_kick_wave_data.cpp
//
// The statistics of the result go to stderr. The program fails (exit 1) if the wave misses one
// of its anchor values by more than 1e-5.
//
// The wave is known only by a few anchor samples of a slightly squared, slightly skewed sine.
// Between them we draw cubic splines and then keep them shape-preserving:
// - The cycle is cut at its crest (266), its trough (674) and its wrap (890 -> 0). The crest and
//   trough are pinned flat, so the anchors there stay the true maximum and minimum; a plain
//   spline would bulge past them (about +0.996 and -1.006).
// - The anchors put only a shallow rise across the wrap (890 -> 0 climbs 0.0016 where the
//   samples around it climb 0.007), a seam of the original cycle. Each side of it ends straight,
//   as a sine does at its zero crossing; a periodic spline would spread that seam over several
//   samples and move the upward zero crossing away from sample 0/1.
// - The slopes at the anchors are then limited (Hyman's filter) so that no span overshoots the
//   anchors that bound it: before the trough the wave flattens so quickly that an unconstrained
//   spline dips below -1.0.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kLength = 891;

struct Anchor {
    double index;
    double value;
};

// The three spans, each sharing its end anchors with its neighbours.
const std::vector<Anchor> kRise = {{0, -0.00595},  {50, 0.35524},  {100, 0.67527},
                                   {150, 0.88699}, {200, 0.96316}, {266, 0.98686}};
const std::vector<Anchor> kFall = {
    {266, 0.98686},  {300, 0.92268},  {350, 0.76381},  {400, 0.46028},  {450, 0.00058},
    {451, -0.00854}, {500, -0.41261}, {550, -0.75029}, {600, -0.94695}, {674, -1.0}};
const std::vector<Anchor> kReturn = {{674, -1.0},     {700, -0.97506}, {750, -0.86560},
                                     {800, -0.67258}, {850, -0.32703}, {890, -0.00758}};

enum class End { Straight, Flat };

// Slopes at the anchors of a C2 cubic spline whose two ends are either straight (zero second
// derivative) or flat (zero first derivative).
std::vector<double> spline_slopes(const std::vector<Anchor>& a, End left, End right) {
    const size_t n = a.size();
    std::vector<double> lower(n, 0.0), diag(n, 0.0), upper(n, 0.0), rhs(n, 0.0), curv(n, 0.0);
    auto h = [&](size_t k) { return a[k + 1].index - a[k].index; };
    auto secant = [&](size_t k) { return (a[k + 1].value - a[k].value) / h(k); };
    for (size_t k = 0; k < n; ++k) {
        if (k == 0) {
            if (left == End::Straight) {
                diag[k] = 1.0;
            } else {
                diag[k] = h(0) / 3.0;
                upper[k] = h(0) / 6.0;
                rhs[k] = secant(0);
            }
        } else if (k == n - 1) {
            if (right == End::Straight) {
                diag[k] = 1.0;
            } else {
                lower[k] = h(k - 1) / 6.0;
                diag[k] = h(k - 1) / 3.0;
                rhs[k] = -secant(k - 1);
            }
        } else {
            lower[k] = h(k - 1) / 6.0;
            diag[k] = (h(k - 1) + h(k)) / 3.0;
            upper[k] = h(k) / 6.0;
            rhs[k] = secant(k) - secant(k - 1);
        }
    }
    for (size_t k = 1; k < n; ++k) {
        const double f = lower[k] / diag[k - 1];
        diag[k] -= f * upper[k - 1];
        rhs[k] -= f * rhs[k - 1];
    }
    curv[n - 1] = rhs[n - 1] / diag[n - 1];
    for (size_t k = n - 1; k-- > 0;) curv[k] = (rhs[k] - upper[k] * curv[k + 1]) / diag[k];

    std::vector<double> slope(n);
    for (size_t k = 0; k + 1 < n; ++k)
        slope[k] = secant(k) - h(k) * (2.0 * curv[k] + curv[k + 1]) / 6.0;
    slope[n - 1] = secant(n - 2) + h(n - 2) * (curv[n - 2] + 2.0 * curv[n - 1]) / 6.0;

    // Hyman's monotonicity filter: a slope against a neighbouring secant, or steeper than three
    // times it, would make that span overshoot its anchors.
    for (size_t k = 0; k < n; ++k) {
        double limit = HUGE_VAL;
        for (size_t s = (k == 0 ? 0 : k - 1); s <= k && s + 1 < n; ++s) {
            const double sec = secant(s);
            if (sec * slope[k] <= 0.0) slope[k] = 0.0;
            limit = std::min(limit, 3.0 * std::fabs(sec));
        }
        if (k > 0 && k + 1 < n && secant(k - 1) * secant(k) <= 0.0) slope[k] = 0.0;
        if (std::fabs(slope[k]) > limit) slope[k] = std::copysign(limit, slope[k]);
    }
    if (left == End::Flat) slope[0] = 0.0;
    if (right == End::Flat) slope[n - 1] = 0.0;
    return slope;
}

// Cubic Hermite evaluation of one span at every integer sample it covers.
void draw(const std::vector<Anchor>& a, End left, End right, std::vector<double>& wave) {
    const std::vector<double> slope = spline_slopes(a, left, right);
    for (size_t k = 0; k + 1 < a.size(); ++k) {
        const double h = a[k + 1].index - a[k].index;
        for (int i = static_cast<int>(a[k].index); i <= static_cast<int>(a[k + 1].index); ++i) {
            const double t = (i - a[k].index) / h;
            const double t2 = t * t, t3 = t2 * t;
            wave[static_cast<size_t>(i % kLength)] =
                (2 * t3 - 3 * t2 + 1) * a[k].value + (t3 - 2 * t2 + t) * h * slope[k] +
                (-2 * t3 + 3 * t2) * a[k + 1].value + (t3 - t2) * h * slope[k + 1];
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.cpp\n", argv[0]);
        return 2;
    }
    std::vector<double> wave(kLength, 0.0);
    draw(kRise, End::Straight, End::Flat, wave);
    draw(kFall, End::Flat, End::Flat, wave);
    draw(kReturn, End::Flat, End::Straight, wave);

    std::vector<float> samples(wave.begin(), wave.end());
    for (const auto* span : {&kRise, &kFall, &kReturn}) {
        for (const Anchor& a : *span) {
            const float got = samples[static_cast<size_t>(a.index) % kLength];
            if (std::fabs(got - a.value) > 1e-5) {
                std::fprintf(stderr, "sample %d is %.7f, not %.7f\n", static_cast<int>(a.index),
                             got, a.value);
                return 1;
            }
        }
    }

    double sum = 0.0, squares = 0.0;
    size_t top = 0, bottom = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        sum += samples[i];
        squares += static_cast<double>(samples[i]) * samples[i];
        if (samples[i] > samples[top]) top = i;
        if (samples[i] < samples[bottom]) bottom = i;
    }
    std::fprintf(stderr, "max %.5f at %zu, min %.5f at %zu, rms %.5f, mean %.5f\n", samples[top],
                 top, samples[bottom], bottom, std::sqrt(squares / kLength), sum / kLength);

    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::fprintf(out,
                 "// Generated by tools/make_kick_wave.cpp; do not edit. To regenerate, see the "
                 "commands at the top\n// of that file (compile it, run it with this file as its "
                 "argument, clang-format the result).\n\n"
                 "#include \"voices/kavrel_kick_wave.h\"\n\n"
                 "const float kavrel_kick_wave[kavrel_kick_wave_length] = {\n");
    for (size_t i = 0; i < samples.size(); ++i)
        std::fprintf(out, "    %#.9gf,\n", static_cast<double>(samples[i]));
    std::fprintf(out, "};\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
