// Prints what the C library's float functions that ODE and the program call return for a fixed
// spread of inputs, one line an input (function, arguments, results, as bit patterns), so that two
// builds can be compared line by line (bench/math-figures.sh). Built twice: as the programs link
// (libsamemath first) and with the C library alone.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

constexpr int kInputsPerMagnitude = 50000;
constexpr float kMagnitudes[] = {1, 4, 100, 1e6f};  // unit vectors, angles, the arena, far out
constexpr char kFunctions[] = "atan2f sincosf sinf cosf hypotf sqrtf remainderf frexpf ldexpf nextafterf floorf ceilf";

static uint64_t gRandomState = 88172645463325252ull;

static uint32_t NextRandom()
{
    gRandomState ^= gRandomState << 13;
    gRandomState ^= gRandomState >> 7;
    gRandomState ^= gRandomState << 17;
    return uint32_t(gRandomState >> 16);
}

static float RandomWithin(float magnitude) { return (float(NextRandom()) / 4294967296.0f * 2 - 1) * magnitude; }

static uint32_t BitsOf(float f)
{
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

// Both results of one call; the second is 0 for functions with one.
static void Evaluate(const char* name, float a, float b, float* first, float* second)
{
    *second = 0;
    int exponent = 0;
    if (!std::strcmp(name, "atan2f")) *first = atan2f(a, b);
    else if (!std::strcmp(name, "sincosf")) sincosf(a, first, second);
    else if (!std::strcmp(name, "sinf")) *first = sinf(a);
    else if (!std::strcmp(name, "cosf")) *first = cosf(a);
    else if (!std::strcmp(name, "hypotf")) *first = hypotf(a, b);
    else if (!std::strcmp(name, "sqrtf")) *first = sqrtf(std::fabs(a));
    else if (!std::strcmp(name, "remainderf")) *first = remainderf(a, b);
    else if (!std::strcmp(name, "frexpf")) { *first = frexpf(a, &exponent); *second = float(exponent); }
    else if (!std::strcmp(name, "ldexpf")) *first = ldexpf(a, int(b) % 30);
    else if (!std::strcmp(name, "nextafterf")) *first = nextafterf(a, b);
    else if (!std::strcmp(name, "floorf")) *first = floorf(a);
    else if (!std::strcmp(name, "ceilf")) *first = ceilf(a);
}

int main()
{
    char names[sizeof kFunctions];
    std::memcpy(names, kFunctions, sizeof names);
    for (char* name = std::strtok(names, " "); name; name = std::strtok(nullptr, " "))
        for (float magnitude : kMagnitudes)
            for (int i = 0; i < kInputsPerMagnitude; ++i) {
                float a = RandomWithin(magnitude), b = RandomWithin(magnitude), first, second;
                Evaluate(name, a, b, &first, &second);
                std::printf("%s %08x %08x %08x %08x\n", name, BitsOf(a), BitsOf(b), BitsOf(first), BitsOf(second));
            }
}
