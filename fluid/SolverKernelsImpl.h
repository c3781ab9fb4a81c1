// The bodies of the solver's kernels, written once for any vector width. Each SolverKernels*.cpp
// defines FLUID_KERNEL_LANES, includes this file and is compiled for its own instruction set.
// Everything here has internal linkage and nothing from the standard library is instantiated, so
// that no function compiled for a wider instruction set can stand in for another at link time.
//
// Vectors are the compilers' generic vector extension: element-wise IEEE single-precision
// operations, the same as on scalars, with no fused multiply-add (-ffp-contract=off, and the
// instruction sets are chosen without FMA). Each formula is written once, for a lane type that
// is either one cell (Scalar) or FLUID_KERNEL_LANES neighbouring cells (Vector), and keeps the
// term order of the straightforward loops. FLUID_KERNEL_LANES 1 gives the plain kernels, for
// compilers without the vector extension: ordinary loops over the same formulas, with Vector the
// one-cell lane type.
#pragma once

#include "SolverKernels.h"

#ifndef FLUID_KERNEL_LANES
#error "define FLUID_KERNEL_LANES before including SolverKernelsImpl.h"
#endif

#if defined(_MSC_VER) && !defined(__clang__)
#define FLUID_INLINE __forceinline
#define FLUID_LAMBDA_INLINE
#else
#define FLUID_INLINE inline __attribute__((always_inline))
#define FLUID_LAMBDA_INLINE __attribute__((always_inline))
#endif

namespace {

constexpr int kLanes = FLUID_KERNEL_LANES;

struct Scalar {
    using F = float;
    using I = int;
    static F load(const float* p) { return *p; }
    static void store(float* p, F v) { *p = v; }
    static I columns(int first) { return first; }
    static I truncate(F v) { return static_cast<int>(v); }
    static F toFloat(I v) { return static_cast<float>(v); }
    // x and y of cell k of an interleaved field (x, y, x, y, ...).
    static void loadCell(const float* u, int k, F& x, F& y) {
        x = u[2 * k];
        y = u[2 * k + 1];
    }
    // x and y of cell k and of the cell after it.
    static void loadPair(const float* u, I k, F& x0, F& y0, F& x1, F& y1) {
        x0 = u[2 * k];
        y0 = u[2 * k + 1];
        x1 = u[2 * k + 2];
        y1 = u[2 * k + 3];
    }
    // A back-traced coordinate clamped to [0.5, high]; NaN goes to the low end.
    static F clampTrace(F p, float high) {
        if (!(p >= 0.5f)) {
            return 0.5f;
        }
        return p > high ? high : p;
    }
    // v clamped to [low, high]; NaN stays.
    static F clamp(F v, float low, float high) { return v < low ? low : (v > high ? high : v); }
    // +0 where v is below low (-0 included); NaN stays.
    static F flushBelow(F v, float low) { return v < low ? 0.0f : v; }
    static I atMost(I v, int high) { return v > high ? high : v; }
    // x and y of cells k0 and k1 of an interleaved field, any two.
    static void loadNeighbours(const float* u, I k0, I k1, F& x0, F& y0, F& x1, F& y1) {
        x0 = u[2 * k0];
        y0 = u[2 * k0 + 1];
        x1 = u[2 * k1];
        y1 = u[2 * k1 + 1];
    }
    // Cells k0 and k1 of a planar array.
    static void loadNeighbours(const float* p, I k0, I k1, F& c0, F& c1) {
        c0 = p[k0];
        c1 = p[k1];
    }
};

#if FLUID_KERNEL_LANES == 1

using Floats = float;
using Vector = Scalar;

FLUID_INLINE void storeChunk(float* p, int, Floats v) {
    *p = v;
}

#else

typedef float Floats __attribute__((vector_size(kLanes * sizeof(float))));
typedef int Ints __attribute__((vector_size(kLanes * sizeof(int))));

// clang and GCC from version 12 have __builtin_shufflevector; older GCC has __builtin_shuffle,
// which takes the lane pattern as a vector of indices. Both select the same lanes.
#if defined(__has_builtin)
#if __has_builtin(__builtin_shufflevector)
#define FLUID_HAS_SHUFFLEVECTOR 1
#endif
#endif

// Lane patterns for a shuffle of a and b: lane l of the result is element at(l) of a followed
// by b.
template <int... I>
struct LaneList {};
template <int N, int... I>
struct MakeLaneList : MakeLaneList<N - 1, N - 1, I...> {};
template <int... I>
struct MakeLaneList<0, I...> {
    using type = LaneList<I...>;
};

template <typename Pattern, int... I>
inline Floats shuffle(Floats a, Floats b, LaneList<I...>) {
#if FLUID_HAS_SHUFFLEVECTOR
    return __builtin_shufflevector(a, b, Pattern::at(I)...);
#else
    return __builtin_shuffle(a, b, Ints{Pattern::at(I)...});
#endif
}
template <typename Pattern>
inline Floats shuffle(Floats a, Floats b) {
    return shuffle<Pattern>(a, b, typename MakeLaneList<kLanes>::type{});
}

struct EvenLanes {  // a0 a2 ... b0 b2 ...
    static constexpr int at(int l) { return 2 * l; }
};
struct OddLanes {
    static constexpr int at(int l) { return 2 * l + 1; }
};
struct InterleaveLow {  // a0 b0 a1 b1 ...
    static constexpr int at(int l) { return l / 2 + (l % 2) * kLanes; }
};
struct InterleaveHigh {  // from the middle of a and b on
    static constexpr int at(int l) { return kLanes / 2 + l / 2 + (l % 2) * kLanes; }
};
// Within each group of four lanes g: a0 b0 a1 b1, a2 b2 a3 b3, a0 a1 b0 b1 and a2 a3 b2 b3 of
// that group; the steps of a 4 x 4 transpose.
struct GroupUnpackLow {
    static constexpr int at(int l) { return l / 4 * 4 + l % 4 / 2 + l % 2 * kLanes; }
};
struct GroupUnpackHigh {
    static constexpr int at(int l) { return l / 4 * 4 + 2 + l % 4 / 2 + l % 2 * kLanes; }
};
struct GroupLowHalves {
    static constexpr int at(int l) { return l / 4 * 4 + l % 2 + l % 4 / 2 * kLanes; }
};
struct GroupHighHalves {
    static constexpr int at(int l) { return l / 4 * 4 + 2 + l % 2 + l % 4 / 2 * kLanes; }
};

// Within each group of four lanes: a0 a2 b0 b2 and a1 a3 b1 b3 of that group.
struct GroupEvenLanes {
    static constexpr int at(int l) { return l / 4 * 4 + l % 4 / 2 * kLanes + l % 2 * 2; }
};
struct GroupOddLanes {
    static constexpr int at(int l) { return GroupEvenLanes::at(l) + 1; }
};

typedef float Quad __attribute__((vector_size(4 * sizeof(float))));

// The quads q[m], q[m + 4], q[m + 8], ... side by side in one vector.
inline Floats spreadQuads(const Quad* q, int m) {
#if FLUID_KERNEL_LANES == 4
    return q[m];
#elif FLUID_KERNEL_LANES == 8 && FLUID_HAS_SHUFFLEVECTOR
    return __builtin_shufflevector(q[m], q[m + 4], 0, 1, 2, 3, 4, 5, 6, 7);
#elif FLUID_KERNEL_LANES == 8
    // __builtin_shuffle cannot widen a vector: the two quads are copied into place, which the
    // compiler does through memory, more slowly.
    Floats v;
    __builtin_memcpy(&v, &q[m], sizeof(Quad));
    __builtin_memcpy(reinterpret_cast<char*>(&v) + sizeof(Quad), &q[m + 4], sizeof(Quad));
    return v;
#else
#error "FLUID_KERNEL_LANES must be 1, 4 or 8"
#endif
}

struct Vector {
    using F = Floats;
    using I = Ints;
    static F load(const float* p) {
        F v;
        __builtin_memcpy(&v, p, sizeof v);
        return v;
    }
    static void store(float* p, F v) { __builtin_memcpy(p, &v, sizeof v); }
    // Written as initialisers, which compilers turn into one broadcast, rather than lane by lane.
    template <int... L>
    static F broadcast(float s, LaneList<L...>) {
        return F{((void)L, s)...};
    }
    static F broadcast(float s) { return broadcast(s, typename MakeLaneList<kLanes>::type{}); }
    template <int... L>
    static I columns(int first, LaneList<L...>) {
        return I{L...} + first;
    }
    static I columns(int first) { return columns(first, typename MakeLaneList<kLanes>::type{}); }
    static I truncate(F v) { return __builtin_convertvector(v, I); }
    static F toFloat(I v) { return __builtin_convertvector(v, F); }
    static void loadCell(const float* u, int k, F& x, F& y) {
        const F a = load(u + 2 * k);
        const F b = load(u + 2 * k + kLanes);
        x = shuffle<EvenLanes>(a, b);
        y = shuffle<OddLanes>(a, b);
    }
    // Each lane's two cells are 16 neighbouring bytes: one load per lane, then a 4 x 4 transpose
    // within each group of four lanes.
    static void loadPair(const float* u, I k, F& x0, F& y0, F& x1, F& y1) {
        Quad q[kLanes];
        for (int l = 0; l < kLanes; ++l) {
            __builtin_memcpy(&q[l], u + 2 * k[l], sizeof(Quad));
        }
        // Group g of r[m] holds quad 4g + m: (x0, y0, x1, y1) of lane 4g + m.
        const F r0 = spreadQuads(q, 0);
        const F r1 = spreadQuads(q, 1);
        const F r2 = spreadQuads(q, 2);
        const F r3 = spreadQuads(q, 3);
        const F t0 = shuffle<GroupUnpackLow>(r0, r1);   // x0 x0 y0 y0 of lanes 4g, 4g + 1
        const F t1 = shuffle<GroupUnpackHigh>(r0, r1);  // x1 x1 y1 y1
        const F t2 = shuffle<GroupUnpackLow>(r2, r3);   // the same for lanes 4g + 2, 4g + 3
        const F t3 = shuffle<GroupUnpackHigh>(r2, r3);
        x0 = shuffle<GroupLowHalves>(t0, t2);
        y0 = shuffle<GroupHighHalves>(t0, t2);
        x1 = shuffle<GroupLowHalves>(t1, t3);
        y1 = shuffle<GroupHighHalves>(t1, t3);
    }
    // mask ? a : b, lane by lane; mask lanes are all ones or all zeros.
    static F select(I mask, F a, F b) { return (F)((mask & (I)a) | (~mask & (I)b)); }
    static F clampTrace(F p, float high) {
        const I low = ~(p >= broadcast(0.5f));  // NaN included
        const I over = p > broadcast(high);
        return select(low, broadcast(0.5f), select(over, broadcast(high), p));
    }
    static F clamp(F v, float low, float high) {
        return select(v < broadcast(low), broadcast(low),
                      select(v > broadcast(high), broadcast(high), v));
    }
    static F flushBelow(F v, float low) { return select(v < broadcast(low), broadcast(0.0f), v); }
    static I atMost(I v, int high) {
        const I over = v > high;
        return (over & high) | (~over & v);
    }
    // p[k] and p[k + 1] of each lane: one 8-byte load per lane, into two vectors that hold the
    // first two lanes of each group of four and the last two, then the floats apart within each
    // group.
    static void loadTwo(const float* p, I k, F& first, F& second) {
        typedef long long Pairs __attribute__((vector_size(kLanes * sizeof(float))));
        int at[kLanes];
        __builtin_memcpy(at, &k, sizeof at);
        Pairs low{};
        Pairs high{};
        for (int e = 0; e < kLanes / 2; ++e) {
            const int lane = e / 2 * 4 + e % 2;
            long long pair;
            __builtin_memcpy(&pair, p + at[lane], sizeof pair);
            low[e] = pair;
            __builtin_memcpy(&pair, p + at[lane + 2], sizeof pair);
            high[e] = pair;
        }
        first = shuffle<GroupEvenLanes>((F)low, (F)high);
        second = shuffle<GroupOddLanes>((F)low, (F)high);
    }
    static void loadNeighbours(const float* u, I k0, I k1, F& x0, F& y0, F& x1, F& y1) {
        loadTwo(u, 2 * k0, x0, y0);
        loadTwo(u, 2 * k1, x1, y1);
    }
    // The second neighbour is taken with the first: the kernels use this only where k1 is
    // k0 + 1.
    static void loadNeighbours(const float* p, I k0, I, F& c0, F& c1) { loadTwo(p, k0, c0, c1); }
};

// The lanes from `lanes` on, which a short chunk leaves as they are.
FLUID_INLINE Ints lanesFrom(int lanes) {
    return Vector::columns(0) >= lanes;
}

// Stores a chunk's new values; lanes past its end keep what they hold.
FLUID_INLINE void storeChunk(float* p, int lanes, Floats v) {
    if (lanes == kLanes) {
        Vector::store(p, v);
    } else {
        Vector::store(p, Vector::select(lanesFrom(lanes), Vector::load(p), v));
    }
}

#endif  // FLUID_KERNEL_LANES

// d = (dW + dE + dN + dS + alpha * u) * beta
FLUID_INLINE Floats diffused(const float* d, const float* au, const SweepChunk& c, float beta) {
    using L = Vector;
    return ((((L::load(d + c.north - 1) + L::load(d + c.south + 1)) + L::load(d + c.north)) +
             L::load(d + c.south)) +
            L::load(au + c.first)) *
           beta;
}

void diffusionSweep(const SweepChunk* chunks, int count, float* x, float* y, const float* ax,
                    const float* ay, float beta) {
    for (int k = 0; k < count; ++k) {
        const SweepChunk c = chunks[k];
        const Floats newX = diffused(x, ax, c, beta);
        const Floats newY = diffused(y, ay, c, beta);
        storeChunk(x + c.first, c.lanes, newX);
        storeChunk(y + c.first, c.lanes, newY);
    }
}

void pressureSweep(const SweepChunk* chunks, int count, float* p, const float* D) {
    using L = Vector;
    for (int k = 0; k < count; ++k) {
        const SweepChunk c = chunks[k];
        // p = 0.25 * (pW - D + pE + pN + pS)
        storeChunk(
            p + c.first, c.lanes,
            0.25f *
                ((((L::load(p + c.north - 1) - L::load(D + c.first)) + L::load(p + c.south + 1)) +
                  L::load(p + c.north)) +
                 L::load(p + c.south)));
    }
}

// cells(lanes, k, i, j) over the interior, row by row, a vector of cells (i, j) on at a time, k
// the storage index of (i, j). A last partial vector is moved back to end with the row, which
// computes some cells twice: only for loops that do not read what they write, where the second
// result equals the first. Rows shorter than a vector go cell by cell.
template <typename Cells>
FLUID_INLINE void forInteriorRows(int width, int height, Cells cells) {
    const int n = width - 2;
    for (int j = 1; j <= height - 2; ++j) {
        const int row = 1 + j * width;
        if (n < kLanes) {
            for (int t = 0; t < n; ++t) {
                cells(Scalar{}, row + t, 1 + t, j);
            }
            continue;
        }
        for (int t = 0;; t += kLanes) {
            t = t + kLanes > n ? n - kLanes : t;
            cells(Vector{}, row + t, 1 + t, j);
            if (t + kLanes == n) {
                break;
            }
        }
    }
}

// The weights of the four cells around a point, from its distances to the far sides of the
// cells: w00 = left * upper, w10 = right * upper, w01 = left * lower, w11 = right * lower.
template <typename F>
struct BilinearWeights {
    F w00, w10, w01, w11;
};

template <typename F, typename G>
FLUID_INLINE BilinearWeights<F> bilinearWeights(F left, F right, G upper, G lower) {
    return {left * upper, right * upper, left * lower, right * lower};
}

// c = ((c00 * w00 + c10 * w10) + c01 * w01) + c11 * w11
template <typename F>
FLUID_INLINE F bilinear(const BilinearWeights<F>& w, F c00, F c10, F c01, F c11) {
    return ((c00 * w.w00 + c10 * w.w10) + c01 * w.w01) + c11 * w.w11;
}

// Advects the cells (i, j) .. (i + lanes - 1, j), at storage index k on; u is interleaved.
template <typename L>
FLUID_INLINE void advectCells(int k, int i, int j, int width, float factor, float highX,
                              float highY, const float* u, float* x, float* y) {
    using F = typename L::F;
    using I = typename L::I;
    F ux;
    F uy;
    L::loadCell(u, k, ux, uy);
    // Trace back along the cell's own velocity, p = (i, j) - factor * u, staying within half a
    // cell of the walls.
    const F px = L::clampTrace(L::toFloat(L::columns(i)) - ux * factor, highX);
    const F py = L::clampTrace(static_cast<float>(j) - uy * factor, highY);
    const I i0 = L::truncate(px);
    const I j0 = L::truncate(py);
    // Bilinear weights of the four cells around p.
    const BilinearWeights<F> w = bilinearWeights(L::toFloat(i0 + 1) - px, px - L::toFloat(i0),
                                                 L::toFloat(j0 + 1) - py, py - L::toFloat(j0));
    const I k00 = i0 + j0 * width;
    F x00, y00, x10, y10, x01, y01, x11, y11;
    L::loadPair(u, k00, x00, y00, x10, y10);
    L::loadPair(u, k00 + width, x01, y01, x11, y11);
    L::store(x + k, bilinear(w, x00, x10, x01, x11));
    L::store(y + k, bilinear(w, y00, y10, y01, y11));
}

void advect(int width, int height, float factor, const float* u, float* x, float* y) {
    const float highX = static_cast<float>(width - 2) + 0.5f;
    const float highY = static_cast<float>(height - 2) + 0.5f;
    forInteriorRows(width, height, [=](auto lanes, int k, int i, int j) FLUID_LAMBDA_INLINE {
        advectCells<decltype(lanes)>(k, i, j, width, factor, highX, highY, u, x, y);
    });
}

// An interleaved field (x, y, x, y, ...) of n cells to two component arrays, and back.
void split(const float* v, int n, float* x, float* y) {
    int k = 0;
#if FLUID_KERNEL_LANES > 1
    for (; k + kLanes <= n; k += kLanes) {
        Floats cx;
        Floats cy;
        Vector::loadCell(v, k, cx, cy);
        Vector::store(x + k, cx);
        Vector::store(y + k, cy);
    }
#endif
    for (; k < n; ++k) {
        x[k] = v[2 * k];
        y[k] = v[2 * k + 1];
    }
}

void join(const float* x, const float* y, int n, float* v) {
    int k = 0;
#if FLUID_KERNEL_LANES > 1
    for (; k + kLanes <= n; k += kLanes) {
        const Floats cx = Vector::load(x + k);
        const Floats cy = Vector::load(y + k);
        Vector::store(v + 2 * k, shuffle<InterleaveLow>(cx, cy));
        Vector::store(v + 2 * k + kLanes, shuffle<InterleaveHigh>(cx, cy));
    }
#endif
    for (; k < n; ++k) {
        v[2 * k] = x[k];
        v[2 * k + 1] = y[k];
    }
}

// div = 0.5 * (uE - uW + vS - vN), in cell units
template <typename L>
FLUID_INLINE void divergenceCells(int k, int width, const float* x, const float* y, float* q) {
    L::store(q + k, 0.5f * (((L::load(x + k + 1) - L::load(x + k - 1)) + L::load(y + k + width)) -
                            L::load(y + k - width)));
}

void divergence(int width, int height, const float* x, const float* y, float* q) {
    forInteriorRows(width, height, [=](auto lanes, int k, int, int) FLUID_LAMBDA_INLINE {
        divergenceCells<decltype(lanes)>(k, width, x, y, q);
    });
}

// v = v - grad(p), central differences
template <typename L>
FLUID_INLINE void subtractGradientCells(int k, int width, const float* p, float* x, float* y) {
    L::store(x + k, L::load(x + k) + -0.5f * (L::load(p + k + 1) - L::load(p + k - 1)));
    L::store(y + k, L::load(y + k) + -0.5f * (L::load(p + k + width) - L::load(p + k - width)));
}

// In place, so each cell exactly once.
void subtractGradient(int width, int height, const float* p, float* x, float* y) {
    const int first = 1 + width;
    const int count = (height - 2) * width - 2;  // (1, 1) to (width - 2, height - 2)
    int t = 0;
    for (; t + kLanes <= count; t += kLanes) {
        subtractGradientCells<Vector>(first + t, width, p, x, y);
    }
    for (; t < count; ++t) {
        subtractGradientCells<Scalar>(first + t, width, p, x, y);
    }
}

// What a dye step keeps fixed: the flow, the dye and the clamps of the rule.
struct DyeGrid {
    int flowSize;
    int size;
    float s;       // flow cells per texel
    float factor;  // flow cells travelled per unit of velocity
    float keep;
    float flowHigh;   // flowSize - 1: where the velocity is sampled
    float traceHigh;  // (flowSize - 2) + 0.5: where a trace may end
    float high;       // size - 1: where the dye is sampled
    const float* u;
    const float* const* from;
    float* const* to;
};

// What is the same along a texel row: its centre's y and the velocity's rows and weights there.
struct DyeRow {
    float y;
    int flowRow;   // the upper flow row's first cell
    int flowStep;  // from the upper flow row to the lower, 0 on the last row
    float upper;
    float lower;
};

// A texel centre's coordinate in flow positions.
FLUID_INLINE float texelCentre(int a, float s) {
    return (static_cast<float>(a) + 0.5f) * s - 0.5f;
}

FLUID_INLINE DyeRow dyeRow(int b, const DyeGrid& g) {
    DyeRow r;
    r.y = texelCentre(b, g.s);
    const float cy = Scalar::clamp(r.y, 0.0f, g.flowHigh);
    const int j0 = Scalar::truncate(cy);
    r.flowRow = j0 * g.flowSize;
    r.flowStep = (Scalar::atMost(j0 + 1, g.flowSize - 1) - j0) * g.flowSize;
    r.upper = static_cast<float>(j0 + 1) - cy;
    r.lower = cy - static_cast<float>(j0);
    return r;
}

// Where the texels (a, b) .. (a + lanes - 1, b) come from: q, in dye coordinates.
template <typename L>
FLUID_INLINE void traceTexels(int a, const DyeRow& r, const DyeGrid& g, float* qx, float* qy) {
    using F = typename L::F;
    using I = typename L::I;
    // x = (a + 0.5) * s - 0.5
    const F x = (L::toFloat(L::columns(a)) + 0.5f) * g.s - 0.5f;
    // The velocity there, bilinear at x clamped to [0, N - 1], i1 = min(i0 + 1, N - 1).
    const F cx = L::clamp(x, 0.0f, g.flowHigh);
    const I i0 = L::truncate(cx);
    const I i1 = L::atMost(i0 + 1, g.flowSize - 1);
    const BilinearWeights<F> w =
        bilinearWeights(L::toFloat(i0 + 1) - cx, cx - L::toFloat(i0), r.upper, r.lower);
    const I k00 = i0 + r.flowRow;
    const I k10 = i1 + r.flowRow;
    F x00, y00, x10, y10, x01, y01, x11, y11;
    L::loadNeighbours(g.u, k00, k10, x00, y00, x10, y10);
    L::loadNeighbours(g.u, k00 + r.flowStep, k10 + r.flowStep, x01, y01, x11, y11);
    const F ux = bilinear(w, x00, x10, x01, x11);
    const F uy = bilinear(w, y00, y10, y01, y11);
    // p = (x, y) - factor * u, within half a cell of the walls
    const F px = L::clampTrace(x - ux * g.factor, g.traceHigh);
    const F py = L::clampTrace(r.y - uy * g.factor, g.traceHigh);
    // q = (p + 0.5) / s - 0.5, within the dye
    L::store(qx, L::clamp((px + 0.5f) / g.s - 0.5f, 0.0f, g.high));
    L::store(qy, L::clamp((py + 0.5f) / g.s - 0.5f, 0.0f, g.high));
}

// The texels at storage index k on: every channel sampled at q, and faded.
template <typename L>
FLUID_INLINE void sampleTexels(int k, const float* qx, const float* qy, const DyeGrid& g) {
    using F = typename L::F;
    using I = typename L::I;
    const F x = L::load(qx);
    const F y = L::load(qy);
    const I i0 = L::truncate(x);
    const I j0 = L::truncate(y);
    // The neighbours' offsets: 1 and size, or 0 on the last column and row.
    const I across = L::atMost(i0 + 1, g.size - 1) - i0;
    const I down = (L::atMost(j0 + 1, g.size - 1) - j0) * g.size;
    const BilinearWeights<F> w = bilinearWeights(L::toFloat(i0 + 1) - x, x - L::toFloat(i0),
                                                 L::toFloat(j0 + 1) - y, y - L::toFloat(j0));
    const I k00 = i0 + j0 * g.size;
    const I k01 = k00 + down;
    // dye = (c00 * w00 + c10 * w10 + c01 * w01 + c11 * w11) * keep, channel by channel, and
    // +0 where that is fainter than kFaintestDye
    for (int c = 0; c < 3; ++c) {
        F c00, c10, c01, c11;
        L::loadNeighbours(g.from[c], k00, k00 + across, c00, c10);
        L::loadNeighbours(g.from[c], k01, k01 + across, c01, c11);
        const F faded = bilinear(w, c00, c10, c01, c11) * g.keep;
        L::store(g.to[c] + k, L::flushBelow(faded, kFaintestDye));
    }
}

void advectDye(int flowSize, float factor, const float* u, int size, float keep,
               const float* const* from, float* const* to) {
    DyeGrid g;
    g.flowSize = flowSize;
    g.size = size;
    g.s = static_cast<float>(flowSize) / static_cast<float>(size);
    g.factor = factor;
    g.keep = keep;
    g.flowHigh = static_cast<float>(flowSize - 1);
    g.traceHigh = static_cast<float>(flowSize - 2) + 0.5f;
    g.high = static_cast<float>(size - 1);
    g.u = u;
    g.from = from;
    g.to = to;
    // Vectors load the two neighbours of a dye sample together, which needs the second to be
    // the next texel: true unless a trace can reach the dye's last column (a dye coarser than
    // half the flow), as the highest p gives the highest q. Then all go one at a time.
    const bool vectors = (g.traceHigh + 0.5f) / g.s - 0.5f < g.high && size >= kLanes;
    const int vectorEnd = vectors ? size : 0;
    // Each block of a row is traced, then sampled: two shorter chains of dependent loads, which
    // the processor overlaps better than one long one.
    constexpr int kBlock = 8 * kLanes;
    float qx[kBlock];
    float qy[kBlock];
    // A last partial vector is moved back to end with the others: it writes some texels twice,
    // with the same values, as nothing here reads what it writes.
    // dye(a, b) = from(q) * keep, q traced back from the texel's centre along u
    for (int b = 0; b < size; ++b) {
        const DyeRow r = dyeRow(b, g);
        const int row = b * size;
        for (int first = 0; first < vectorEnd; first += kBlock) {
            const int end = first + kBlock < vectorEnd ? first + kBlock : vectorEnd;
            // q = (p + 0.5) / s - 0.5, p = (x, y) - factor * u(x, y)
            for (int a = first; a < end; a += kLanes) {
                const int t = a + kLanes > end ? end - kLanes : a;
                traceTexels<Vector>(t, r, g, qx + (a - first), qy + (a - first));
            }
            // dye = from bilinear at q, times keep
            for (int a = first; a < end; a += kLanes) {
                const int t = a + kLanes > end ? end - kLanes : a;
                sampleTexels<Vector>(row + t, qx + (a - first), qy + (a - first), g);
            }
        }
        // the same, one texel at a time
        for (int a = vectorEnd; a < size; ++a) {
            traceTexels<Scalar>(a, r, g, qx, qy);
            sampleTexels<Scalar>(row + a, qx, qy, g);
        }
    }
}

constexpr SolverKernels kKernels{kLanes, diffusionSweep, pressureSweep,
                                 advect, divergence,     subtractGradient,
                                 split,  join,           advectDye};

}  // namespace
