#pragma once
// Sums of the Gaussian weighting function over the samples of a closed
// profile at any angles t_0 < t_1 < … < t_(n−1) in [0, 2π): for every sample i
//
//   F_i = Σ_g s(T_g − t_i)·a_g·z_g,   S_i = Σ_g s(T_g − t_i)·a_g,   over |T_g − t_i| ≤ reach,
//
// s(x) = (1/β)·exp(−π·(x/β)²) the weighting function of width β = α·λc, a_g a
// weight per sample and z_g its value. The samples repeat every turn
// (T_g = t_(g mod n) + 2π·⌊g/n⌋), so a reach beyond half a turn takes a sample in
// more than once, as the equal-step kernel wraps round a short profile.
//
// Summed pair by pair that is one exponential per pair: 43 million of them
// for 36000 samples at 50 UPR, where the equal-step filter does as many
// multiply-adds, a hundred times faster. Instead the samples are taken in blocks a small fraction of β wide
// (neighbours whose weighting functions nearly coincide), about the block's
// mid-angle o. With x = T_g − o, y = t_i − o and h the block's half-width,
//
//   s(x − y) = s(x)·exp(−π·y²/β²)·exp(ξ_g·η_i),   ξ_g = 2π·x·h/β²,   η_i = y/h ∈ [−1, 1],
//
// and |ξ_g·η_i| stays near 1, so the last factor is its Taylor series to as
// many terms P as keep the remainder below 1e-17 of the sum. The block's
// samples are summed once into P moments Σ_g s(x_g)·a_g·ξ_g^k (and the same
// with z_g), and each output evaluates a polynomial in η_i. The samples
// within the reach of some of the block's outputs only (a block's width at
// each end of its window) are added up from the inside out, each output
// taking the partial moments that end where its own reach ends: every output
// gets exactly the samples within its reach, the hard truncation of the
// equal-step kernel, whose sums these reproduce to rounding on equal steps.
//
// The same operations run in the same order whatever vector unit the
// processor has (every long sum in four fixed interleaved parts), so the
// digits depend on nothing but the platform's exponential function.

#include <span>
#include <vector>

namespace kyklos {

class AnyAngleGaussianSums {
public:
    // `angles`: radians, strictly ascending within [0, 2π), at least one;
    // `width` β > 0 and `reach` ≥ 0 in radians. The windows and the blocks
    // are worked out here, once for every Apply.
    AnyAngleGaussianSums(std::span<const double> angles, double width, double reach);

    int Count() const { return static_cast<int>(angles_.size()); }
    // s(0) = 1/β: the weight of a sample in its own sum, per unit of a.
    double Peak() const { return 1.0 / width_; }
    // The samples within the reach of sample i, by their place in the repeated
    // sequence (g from WindowStart(i) to WindowEnd(i) − 1): for tests.
    long WindowStart(int i) const { return start_[static_cast<std::size_t>(i)]; }
    long WindowEnd(int i) const { return end_[static_cast<std::size_t>(i)]; }

    // F and S above for the weights a and values z (one per sample); the
    // four spans are of Count() elements.
    void Apply(std::span<const double> a, std::span<const double> z, std::span<double> weighted,
               std::span<double> weightSums) const;

private:
    struct Block {
        int First = 0, End = 0;      // the outputs i = First … End − 1
        double Origin = 0.0;         // o, radians
        double Half = 0.0;           // h, radians
        int Terms = 1;               // P
        long Low = 0, CoreLow = 0;   // g from Low to High − 1 reach some output;
        long CoreHigh = 0, High = 0; // from CoreLow to CoreHigh − 1 every output
    };

    double AngleAt(long g) const;
    int SampleAt(long g) const;
    void FindWindows();
    void FormBlocks();
    void PrepareBlock(Block& block) const;
    // A block's factors, moments and sums, their storage reused from block to block.
    struct BlockSums {
        std::vector<double> Weight, Value, Ratio;     // s(x_g)·β·a_g, z_g and ξ_g for g = Low … High − 1
        std::vector<double> CoreValue, CoreWeight;    // per term
        std::vector<double> EndValue, EndWeight;      // per term and output, the outputs side by side
        std::vector<double> Eta, OutValue, OutWeight; // per output
    };
    void Factors(const Block& block, std::span<const double> a, std::span<const double> z, BlockSums& sums) const;
    void CoreMoments(const Block& block, BlockSums& sums) const;
    void EndMoments(const Block& block, BlockSums& sums) const;
    void Evaluate(const Block& block, BlockSums& sums, std::span<double> weighted, std::span<double> weightSums) const;

    std::vector<double> angles_;
    // The angles of g = −shift_ … over as many turns as the reach spans.
    std::vector<double> repeated_;
    long shift_ = 0;
    double width_ = 1.0;
    double reach_ = 0.0;
    std::vector<long> start_, end_;
    std::vector<Block> blocks_;
};

} // namespace kyklos
