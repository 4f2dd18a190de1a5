#include "model/CellOrdering.h"

#include "model/CellModel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>

namespace cellsonify {

namespace {

std::vector<int32_t> fileOrder(int n) {
    std::vector<int32_t> cells(static_cast<std::size_t>(std::max(n, 0)));
    std::iota(cells.begin(), cells.end(), int32_t{1});
    return cells;
}

int lastPlayedFrame(const CellModel& model) {
    return std::min<int>(model.FrameCount, model.Activity.lastFrame());
}

// out = A Xᵀ X A v over frames 1..lastFrame, X the frames x cells event matrix
// and A = diag(scale): a product with the scaled co-firing matrix, one walk
// over the events to gather each frame's sum and one to spread it.
void coFiringProduct(const ActivityTable& activity, int lastFrame, const std::vector<double>& scale,
                     const std::vector<double>& v, std::vector<double>& out) {
    std::vector<double> sv(v.size());
    for (std::size_t i = 0; i < v.size(); ++i) sv[i] = scale[i] * v[i];
    std::fill(out.begin(), out.end(), 0.0);
    for (int f = 1; f <= lastFrame; ++f) {
        const std::span<const int32_t> cells = activity.cellsIn(f);
        double sum = 0;
        for (const int32_t c : cells) sum += sv[c];
        if (sum == 0) continue;
        for (const int32_t c : cells) out[c] += sum;
    }
    for (std::size_t i = 0; i < out.size(); ++i) out[i] *= scale[i];
}

double dot(const std::vector<double>& a, const std::vector<double>& b) {
    return std::inner_product(a.begin(), a.end(), b.begin(), 0.0);
}

void normalise(std::vector<double>& v) {
    const double norm = std::sqrt(dot(v, v));
    if (norm > 0)
        for (double& x : v) x /= norm;
}

// Eigenvalues and eigenvectors of the symmetric k x k matrix `t` (row major)
// by cyclic Jacobi rotations: fine for the few dozen rows Lanczos makes.
// On return the diagonal of `t` holds the eigenvalues, column i of `vectors` the i-th vector.
void jacobiEigen(std::vector<double>& t, std::size_t k, std::vector<double>& vectors) {
    vectors.assign(k * k, 0.0);
    for (std::size_t i = 0; i < k; ++i) vectors[i * k + i] = 1.0;
    for (int sweep = 0; sweep < 100; ++sweep) {
        double off = 0;
        for (std::size_t p = 0; p < k; ++p)
            for (std::size_t q = p + 1; q < k; ++q) off += t[p * k + q] * t[p * k + q];
        if (off < 1e-24) return;
        for (std::size_t p = 0; p < k; ++p)
            for (std::size_t q = p + 1; q < k; ++q) {
                const double apq = t[p * k + q];
                if (std::abs(apq) < 1e-300) continue;
                const double theta = (t[q * k + q] - t[p * k + p]) / (2 * apq);
                const double tan = (theta >= 0 ? 1.0 : -1.0) / (std::abs(theta) + std::sqrt(theta * theta + 1));
                const double cos = 1 / std::sqrt(tan * tan + 1), sin = tan * cos;
                for (std::size_t r = 0; r < k; ++r) {  // columns p and q
                    const double rp = t[r * k + p], rq = t[r * k + q];
                    t[r * k + p] = cos * rp - sin * rq, t[r * k + q] = sin * rp + cos * rq;
                }
                for (std::size_t r = 0; r < k; ++r) {  // rows p and q
                    const double pr = t[p * k + r], qr = t[q * k + r];
                    t[p * k + r] = cos * pr - sin * qr, t[q * k + r] = sin * pr + cos * qr;
                }
                for (std::size_t r = 0; r < k; ++r) {
                    const double vp = vectors[r * k + p], vq = vectors[r * k + q];
                    vectors[r * k + p] = cos * vp - sin * vq, vectors[r * k + q] = sin * vp + cos * vq;
                }
            }
    }
}

// Most Lanczos steps (products with the operator) an embedding takes.
constexpr std::size_t kMostSteps = 48;

// The eigenvector of the largest eigenvalue of a symmetric operator on the
// space orthogonal to the unit vector `known` (itself an eigenvector), by
// Lanczos with full reorthogonalisation: far fewer products with the
// operator than power iteration needs when the top eigenvalues lie close.
template <class Product>
std::vector<double> largestEigenvectorBeside(const std::vector<double>& known, Product product) {
    const std::size_t n = known.size();
    constexpr double kResidual = 1e-7;
    auto orthogonalise = [&](std::vector<double>& w, const std::vector<std::vector<double>>& basis) {
        for (int twice = 0; twice < 2; ++twice) {
            const double k = dot(w, known);
            for (std::size_t i = 0; i < n; ++i) w[i] -= k * known[i];
            for (const std::vector<double>& q : basis) {
                const double c = dot(w, q);
                for (std::size_t i = 0; i < n; ++i) w[i] -= c * q[i];
            }
        }
    };
    // A fixed, spread-out start (a multiplicative hash of the index), only
    // where the operator reaches, so the result does not depend on a seed.
    std::vector<double> start(n, 0.0);
    for (std::size_t i = 1; i < n; ++i)
        if (known[i] != 0) start[i] = static_cast<double>((i * 2654435761u) % 1000003u) / 1000003.0 - 0.5;
    std::vector<std::vector<double>> basis;
    orthogonalise(start, basis);
    if (std::sqrt(dot(start, start)) < 1e-12) return start;
    normalise(start);
    basis.push_back(std::move(start));
    std::vector<double> alpha, beta;  // the tridiagonal matrix T
    std::vector<double> t, vectors, w(n);
    std::size_t best = 0;
    while (true) {
        product(basis.back(), w);
        alpha.push_back(dot(w, basis.back()));
        orthogonalise(w, basis);
        const double b = std::sqrt(dot(w, w));
        const std::size_t k = alpha.size();
        // Ritz values of T; the largest one's residual is b x its vector's last entry.
        t.assign(k * k, 0.0);
        for (std::size_t i = 0; i < k; ++i) {
            t[i * k + i] = alpha[i];
            if (i + 1 < k) t[i * k + i + 1] = t[(i + 1) * k + i] = beta[i];
        }
        jacobiEigen(t, k, vectors);
        best = 0;
        for (std::size_t i = 1; i < k; ++i)
            if (t[i * k + i] > t[best * k + best]) best = i;
        if (b < 1e-12 || b * std::abs(vectors[(k - 1) * k + best]) < kResidual || k == kMostSteps) break;
        beta.push_back(b);
        for (double& x : w) x /= b;
        basis.push_back(w);
    }
    const std::size_t k = basis.size();
    std::vector<double> ritz(n, 0.0);
    for (std::size_t j = 0; j < k; ++j)
        for (std::size_t i = 0; i < n; ++i) ritz[i] += vectors[j * k + best] * basis[j][i];
    normalise(ritz);
    return ritz;
}

}  // namespace

std::vector<int> eventCounts(const ActivityTable& activity, int cellCount, int lastFrame) {
    std::vector<int> counts(static_cast<std::size_t>(std::max(cellCount, 0)) + 1, 0);
    for (int cell = 1; cell <= cellCount; ++cell) {
        const std::span<const int32_t> frames = activity.framesOf(cell);
        counts[cell] = static_cast<int>(std::upper_bound(frames.begin(), frames.end(), lastFrame) - frames.begin());
    }
    return counts;
}

std::vector<double> similarityEmbedding(const ActivityTable& activity, int cellCount, int lastFrame,
                                        const OrderingProgress& progress) {
    const std::size_t size = static_cast<std::size_t>(std::max(cellCount, 0)) + 1;
    std::vector<double> embedding(size, NAN);
    const std::vector<int> counts = eventCounts(activity, cellCount, lastFrame);

    // Cosine similarity: W = S Xᵀ X S with S = diag(1 / sqrt(events)).
    std::vector<double> scale(size, 0.0), ones(size, 0.0), degree(size, 0.0);
    for (std::size_t c = 1; c < size; ++c)
        if (counts[c] > 0) scale[c] = 1.0 / std::sqrt(static_cast<double>(counts[c])), ones[c] = 1.0;
    coFiringProduct(activity, lastFrame, scale, ones, degree);

    // M = D^-1/2 W D^-1/2 = A Xᵀ X A with A = S D^-1/2. Its eigenvalues lie in
    // -1..1 and sqrt(degree) is an eigenvector for 1; the next one is wanted.
    std::vector<double> a(size, 0.0), first(size, 0.0);
    for (std::size_t c = 1; c < size; ++c)
        if (degree[c] > 0) a[c] = scale[c] / std::sqrt(degree[c]), first[c] = std::sqrt(degree[c]);
    normalise(first);
    // Each Lanczos step makes one product; the iteration stops at kMostSteps.
    int products = 0;
    bool stopped = false;
    const std::vector<double> v = largestEigenvectorBeside(
        first, [&](const std::vector<double>& in, std::vector<double>& out) {
            if (stopped || (progress && !progress(std::min(1.0, static_cast<double>(products++) / static_cast<double>(kMostSteps))))) {
                stopped = true;  // the rest of the iteration works on zeros and ends at once
                std::fill(out.begin(), out.end(), 0.0);
                return;
            }
            coFiringProduct(activity, lastFrame, a, in, out);
        });
    if (stopped) return {};

    // The sign of an eigenvector is arbitrary: turn it so the lowest-numbered
    // cell with events lies at or below zero, which keeps the order stable.
    double sign = 1.0;
    for (std::size_t c = 1; c < size; ++c)
        if (degree[c] > 0) {
            if (v[c] > 0) sign = -1.0;
            break;
        }
    for (std::size_t c = 1; c < size; ++c)
        if (degree[c] > 0) embedding[c] = sign * v[c] / std::sqrt(degree[c]);
    return embedding;
}

RowOrder orderRows(const CellModel& model, RowOrderKind kind) { return *orderRows(model, kind, OrderingProgress{}); }

std::optional<RowOrder> orderRows(const CellModel& model, RowOrderKind kind, const OrderingProgress& progress) {
    std::vector<int32_t> cells = fileOrder(model.CellCount);
    if (kind == RowOrderKind::File) return RowOrder(cells);
    // Sorted from the top row down, starting from file order as it reads from
    // the top (the highest cell number first), so that ties stay as they are.
    std::reverse(cells.begin(), cells.end());
    switch (kind) {
        case RowOrderKind::File: break;
        case RowOrderKind::Position: {
            auto at = [&](int c) { return c < static_cast<int>(model.CellPos.size()) ? model.CellPos[c] : CellPosition{}; };
            std::stable_sort(cells.begin(), cells.end(), [&](int32_t l, int32_t r) {
                const CellPosition a = at(l), b = at(r);
                return a.Y != b.Y ? a.Y < b.Y : a.X < b.X;
            });
            break;
        }
        case RowOrderKind::Activity: {
            const std::vector<int> counts = eventCounts(model.Activity, model.CellCount, lastPlayedFrame(model));
            std::stable_sort(cells.begin(), cells.end(), [&](int32_t l, int32_t r) { return counts[l] > counts[r]; });
            break;
        }
        case RowOrderKind::Similarity: {
            const std::vector<double> e =
                similarityEmbedding(model.Activity, model.CellCount, lastPlayedFrame(model), progress);
            if (e.empty()) return std::nullopt;
            std::stable_sort(cells.begin(), cells.end(), [&](int32_t l, int32_t r) {
                if (std::isnan(e[l]) || std::isnan(e[r])) return !std::isnan(e[l]) && std::isnan(e[r]);
                return e[l] < e[r];
            });
            break;
        }
    }
    // Places count from the bottom row, where cell 1 sits in file order (and
    // the lowest note of rows and scale).
    std::reverse(cells.begin(), cells.end());
    return RowOrder(cells);
}

}  // namespace cellsonify
