// The passes over the points: the chi-square of the current parameters, the
// curvature and gradient of a Marquardt step with the triangle of the
// weighted Jacobian, and the robust scale; and the threads that share a long
// pass out, block by block.
#include "fitting/NonlinearPass.h"

#include "equation/EquationBase.h"
#include "fitting/CurvatureSums.h"
#include "fitting/GivensRows.h"
#include "fitting/PassThreads.h"

#include <algorithm>
#include <atomic>
#include <cfloat>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <exception>
#include <thread>
#include <vector>

namespace {

// A pass expected to take less than this stays on the calling thread:
// waking the threads costs some tens of microseconds, more on a busy machine.
constexpr double kThreadedPassSeconds = 1e-3;

// What the model's program keeps for the next curvature pass pays while it
// stays in the processor's nearer caches: past about two megabytes it comes
// back slower than the program computes it again (measured on a Gaussian
// peak: 10 % faster at 10^4 points, even at 7 x 10^4, 5 % slower at 10^5).
constexpr double kMaxKeptBytes = 2e6;

// Blocks whose points the equation evaluates in one call (256 points), so
// that it can take them together; the sums still go block by block.
constexpr int kGroupBlocks = 8;
constexpr int kGroupPoints = kGroupBlocks * kBlockPoints;

// A thread's room for the values of one group of points.
struct SGroupScratch {
    std::vector<const double*> columns;
    std::vector<double> values;
    std::vector<double> derivs;
    // Each point's weight times its robust weight, when that is on.
    std::vector<double> weight;
    // Room on a cache line's start (so that no load of eight lanes
    // straddles two lines) for the triangles, right sides and rows of
    // blocks interleaved for AddRowsOfEight or AddRowsOfFour, at laneR; and
    // each point's row of the weighted Jacobian and weighted residual, at
    // rows and rightSides: interleaved for AddRowsOfEight where the
    // block goes through it, else block by block in point order.
    std::vector<double> store;
    double* laneR = nullptr;
    double* rows = nullptr;
    double* rightSides = nullptr;
};

} // namespace

void CNonlinearFit::PrepareThreads(int points)
{
    const int m = m_pEquation->GetParameterCount();
    // Asking for the cores reads a system file: once is enough.
    static const int cores = int(std::min(8u, std::max(1u, std::thread::hardware_concurrency())));
    int threads = m_nMaxThreads > 0 ? m_nMaxThreads : cores;
    const int groups = (points + kGroupPoints - 1) / kGroupPoints;
    if (double(points) * (2 * m + 1) * m_dSecondsPerEvaluation < kThreadedPassSeconds)
        threads = 1;
    threads = std::max(1, std::min(threads, groups));
    if (m_pThreads && m_pThreads->GetCount() == threads && int(m_threadEquations.size()) == threads - 1)
        return;
    m_pThreads.reset();
    m_threadEquations.clear();
    for (int t = 1; t < threads; ++t) {
        m_threadEquations.push_back(m_pEquation->Clone());
        m_threadEquations.back()->ResizeValues();
        m_threadEquations.back()->SetStopFlag(m_pEquation->GetStopFlag());
    }
    if (threads > 1)
        m_pThreads = std::make_unique<CPassThreads>(threads);
}

bool CNonlinearFit::RunPass(SPass& pass, CWorkerThread* worker)
{
    const int blocks = pass.Blocks();
    if (pass.sums.size() < std::size_t(blocks) * std::size_t(pass.stride))
        pass.sums.resize(std::size_t(blocks) * std::size_t(pass.stride));
    std::atomic<bool> stop{false};
    const int m = pass.m;
    const bool keepValues = pass.kind != EPassKind::Curvature;
    const bool reuseValues =
        !keepValues && m_bValuesValid && m_valuesParams.SameBits(m_pEquation->GetParameterValues());
    const int groups = (blocks + kGroupBlocks - 1) / kGroupBlocks;
    if (keepValues) {
        m_bValuesValid = false;
        m_values.resize(std::size_t(pass.n));
        m_keptCount = m_pEquation->KeptValueCount(m);
        if (double(m_keptCount) * pass.n * sizeof(double) > kMaxKeptBytes)
            m_keptCount = 0;
        m_kept.resize(std::size_t(m_keptCount) * std::size_t(pass.n));
        m_keptGroups.assign(std::size_t(groups), 0);
    }
    double* const values = m_values.data();

    const int xc = int(pass.columns.size());
    const int lanes = RowLanes();
    auto prepare = [&](SGroupScratch& g) {
        g.columns.resize(std::size_t(xc));
        g.values.resize(std::size_t(kGroupPoints));
        g.derivs.resize(std::size_t(kGroupPoints) * std::size_t(m));
        g.weight.resize(std::size_t(kGroupPoints));
        const std::size_t laneRoom = std::size_t(kGroupBlocks) * (std::size_t(m) * std::size_t(m) + 2 * std::size_t(m));
        g.store.resize(laneRoom + std::size_t(kGroupPoints) * (std::size_t(m) + 1) + 8);
        const auto address = reinterpret_cast<std::uintptr_t>(g.store.data());
        g.laneR = g.store.data() + (64 - address % 64) % 64 / sizeof(double);
        g.rows = g.laneR + laneRoom;
        g.rightSides = g.rows + std::size_t(kGroupPoints) * std::size_t(m);
    };
    // Evaluates the points of a group, then adds them up block by block in
    // point order.
    auto runGroup = [&](CEquationBase& eq, int group, SGroupScratch& g) {
        const int firstBlock = group * kGroupBlocks;
        const int endBlock = std::min(blocks, firstBlock + kGroupBlocks);
        const int begin = firstBlock * kBlockPoints;
        const int count = std::min(pass.n, endBlock * kBlockPoints) - begin;
        if (stop.load(std::memory_order_relaxed) || Poll(worker)) {
            stop = true;
            return;
        }
        for (int j = 0; j < xc; ++j)
            g.columns[std::size_t(j)] = pass.columns[std::size_t(j)] + begin;
        // The curvature pass keeps no values: its own go to the scratch.
        double* const f = pass.kind != EPassKind::Curvature || reuseValues ? values + begin : g.values.data();
        SKeptValues kept{m_keptCount ? m_kept.data() + begin : nullptr, std::size_t(pass.n), m_keptCount, false};
        if (pass.kind != EPassKind::Curvature) {
            eq.CalculatePoints(g.columns.data(), xc, count, f, m_keptCount ? &kept : nullptr);
            m_keptGroups[std::size_t(group)] = kept.complete ? 1 : 0;
        } else {
            kept.complete = m_keptCount && reuseValues && m_keptGroups[std::size_t(group)];
            eq.CalculatePointDerivatives(g.columns.data(), xc, count, pass.central, reuseValues, f, g.derivs.data(), m,
                                         m_keptCount ? &kept : nullptr);
        }
        // How the rows of a curvature pass go into their blocks' triangles
        // (below): the group's whole blocks eight at a time where the
        // processor takes eight, else four at a time where it takes four;
        // the others one at a time.
        const int whole = std::min(endBlock - firstBlock, count / kBlockPoints);
        const int eights = lanes >= 8 ? whole / 8 : 0;
        const int fours = lanes >= 4 ? (whole - 8 * eights) / 4 : 0;
        const bool robust = m_nRobust != 0;
        const double* ys = pass.y->GetData() + begin;
        const double* ws = pass.w->GetData() + begin;
        for (int block = firstBlock; block < endBlock; ++block) {
            if (block != firstBlock && (stop.load(std::memory_order_relaxed) || Poll(worker))) {
                stop = true;
                return;
            }
            double* acc = pass.Block(block);
            std::fill(acc, acc + pass.stride, 0.0);
            const int from = (block - firstBlock) * kBlockPoints;
            const int to = std::min(count, from + kBlockPoints);
            // The one sum of a chi-square or robust-scale pass goes in a
            // register, added in the same order.
            double sum = 0.0;
            if (pass.kind == EPassKind::ChiSq) {
                for (int i = from; i < to; ++i) {
                    double weight = ws[i];
                    if (robust)
                        weight *= RobustWeight(ys[i], ws[i], f[i]);
                    const double r = ys[i] - f[i];
                    sum += weight * r * r;
                }
                acc[0] = sum;
                continue;
            }
            if (pass.kind == EPassKind::RobustScale) {
                for (int i = from; i < to; ++i)
                    sum += std::fabs(std::sqrt(ws[i]) * (ys[i] - f[i]));
                acc[0] = sum;
                continue;
            }
            // Curvature: each point's weight first, then the sums and rows.
            const double* weight = ws;
            if (robust) {
                for (int i = from; i < to; ++i)
                    g.weight[std::size_t(i)] = ws[i] * RobustWeight(ys[i], ws[i], f[i]);
                weight = g.weight.data();
            }
            const int b = block - firstBlock;
            SCurvaturePoints points{
                m, ys, f, weight, g.derivs.data(), g.rows + std::size_t(from) * std::size_t(m), g.rightSides + from, 1};
            if (b < 8 * eights) {
                // Interleaved for AddRowsOfEight, with the other blocks of eight.
                points.rows = g.rows + std::size_t(b / 8 * 8 * kBlockPoints) * std::size_t(m) + b % 8;
                points.rightSides = g.rightSides + b / 8 * 8 * kBlockPoints + b % 8;
                points.stride = 8;
            }
            AddCurvature(points, from, to, acc);
        }
        if (pass.kind != EPassKind::Curvature)
            return;
        // The rows go into their blocks' triangles a point of several blocks
        // at a time: the rotations of one block wait on each other, those
        // of different blocks do not. Each block still takes its rows in
        // point order, so its triangle is the same bit for bit.
        const std::size_t mm = std::size_t(m) * std::size_t(m);
        const std::size_t laneSize = mm + 2 * std::size_t(m);
        // The triangles and right sides of width blocks from block first of
        // the group on, into the lanes at R and back.
        auto toLanes = [&](double* R, int first, int width) {
            const std::size_t w = std::size_t(width);
            for (std::size_t t = 0; t < w; ++t) {
                const double* tri = pass.Block(firstBlock + first + int(t)) + pass.TriangleOffset();
                for (std::size_t e = 0; e < mm + std::size_t(m); ++e)
                    R[w * e + t] = tri[e];
            }
        };
        auto fromLanes = [&](const double* R, int first, int width) {
            const std::size_t w = std::size_t(width);
            for (std::size_t t = 0; t < w; ++t) {
                double* tri = pass.Block(firstBlock + first + int(t)) + pass.TriangleOffset();
                for (std::size_t e = 0; e < mm + std::size_t(m); ++e)
                    tri[e] = R[w * e + t];
            }
        };
        // Eight whole blocks: every point in one call, which keeps the
        // triangles in registers from the first to the last.
        for (int k = 0; k < eights; ++k) {
            toLanes(g.laneR, 8 * k, 8);
            AddRowsOfEight(g.laneR, g.laneR + 8 * mm, g.rows + std::size_t(8 * k * kBlockPoints) * std::size_t(m),
                           g.rightSides + 8 * k * kBlockPoints, m, kBlockPoints);
            fromLanes(g.laneR, 8 * k, 8);
        }
        // Four whole blocks, the sets of four in turn a point of each.
        const int firstFour = 8 * eights;
        for (int k = 0; k < fours; ++k)
            toLanes(g.laneR + std::size_t(k) * 4 * laneSize, firstFour + 4 * k, 4);
        for (int p = 0; p < kBlockPoints && fours > 0; ++p) {
            for (int k = 0; k < fours; ++k) {
                double* const R = g.laneR + std::size_t(k) * 4 * laneSize;
                double* const q = R + 4 * mm;
                double* const v = q + 4 * std::size_t(m);
                double rv[4];
                for (std::size_t t = 0; t < 4; ++t) {
                    const std::size_t i = std::size_t(firstFour + 4 * k + int(t)) * kBlockPoints + std::size_t(p);
                    for (std::size_t j = 0; j < std::size_t(m); ++j)
                        v[4 * j + t] = g.rows[i * std::size_t(m) + j];
                    rv[t] = g.rightSides[i];
                }
                AddRowsOfFour(R, q, v, rv, m);
            }
        }
        for (int k = 0; k < fours; ++k)
            fromLanes(g.laneR + std::size_t(k) * 4 * laneSize, firstFour + 4 * k, 4);
        // The blocks left: a point of each in turn.
        for (int p = 0; p < kBlockPoints; ++p) {
            for (int b = firstFour + 4 * fours; b < endBlock - firstBlock; ++b) {
                const int i = b * kBlockPoints + p;
                if (i >= count)
                    break;
                double* tri = pass.Block(firstBlock + b) + pass.TriangleOffset();
                AddRow(tri, tri + mm, g.rows + std::size_t(i) * std::size_t(m), g.rightSides[i], m);
            }
        }
    };

    const bool threaded = m_pThreads && groups > 1
        && double(pass.n) * (pass.kind == EPassKind::Curvature ? 2 * m + 1 : 1) * m_dSecondsPerEvaluation
            >= kThreadedPassSeconds;
    if (!threaded) {
        SGroupScratch g;
        prepare(g);
        for (int group = 0; group < groups && !stop; ++group)
            runGroup(*m_pEquation, group, g);
        KeepValues(keepValues && !stop);
        return !stop;
    }

    // Every group runs even after an error, so that the error reported is
    // the one a single thread would have met first.
    std::vector<std::exception_ptr> errors(static_cast<std::size_t>(groups));
    std::atomic<int> next{0};
    for (auto& clone : m_threadEquations) {
        clone->GetParameterValues() = m_pEquation->GetParameterValues();
        clone->GetConstantValues() = m_pEquation->GetConstantValues();
        clone->GetXValues() = m_pEquation->GetXValues();
    }
    m_pThreads->Run([&](int t) {
        CEquationBase& eq = t == 0 ? *m_pEquation : *m_threadEquations[std::size_t(t - 1)];
        SGroupScratch g;
        prepare(g);
        for (int group; (group = next.fetch_add(1)) < groups && !stop.load(std::memory_order_relaxed);) {
            try {
                runGroup(eq, group, g);
            } catch (...) {
                errors[std::size_t(group)] = std::current_exception();
            }
        }
    });
    for (auto& e : errors)
        if (e)
            std::rethrow_exception(e);
    KeepValues(keepValues && !stop);
    return !stop;
}

void CNonlinearFit::KeepValues(bool complete)
{
    if (!complete)
        return;
    m_valuesParams = m_pEquation->GetParameterValues();
    m_bValuesValid = true;
}

double CNonlinearFit::CalcChiSq(const CDoubleColumns& x, const CMyVector& y, const CMyVector& w,
                                CWorkerThread* worker, bool& stopped)
{
    const int n = m_nPoints;
    const int m = m_pEquation->GetParameterCount();
    SPass pass(EPassKind::ChiSq, x, y, w, n, m, m_pEquation->GetXCount(), m_pointSums);
    // The first pass of a fit runs on this thread and tells what an
    // evaluation costs, which decides whether later passes share out.
    const bool timing = m_dSecondsPerEvaluation < 0.0;
    const auto start = std::chrono::steady_clock::now();
    stopped = !RunPass(pass, worker);
    if (timing && !stopped) {
        m_dSecondsPerEvaluation = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / n;
        PrepareThreads(n);
    }
    return pass.Total(0) / double(n - m);
}

double CNonlinearFit::RobustWeight(double y, double w, double f) const
{
    if (m_nIterations <= 1)
        return 1.0;
    const double u = (y - f) * std::sqrt(w) / m_dRobustScale;
    const double u2 = u * u;
    return u2 < 1.0 ? (1.0 - u2) * (1.0 - u2) : 0.0;
}
