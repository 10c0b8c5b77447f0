// The variance split that every palette reduction shares. A list of weighted colours is cut in
// two at the mean of one channel, chosen by comparing the channels' variances, and each half
// is cut again, down to a fixed depth: 2^D leaves, each of which that holds colours becomes one
// palette entry (the weighted mean of its colours).
#pragma once

#include <cmath>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "dibtypes.h"
#include "pixelconvert.h"

enum TSplitChannel : std::uint8_t { scRed = 0, scGreen = 1, scBlue = 2, scLeaf = 3 };

/// Which channel to cut: the histogram reductions and 8 → 4 bits use the low-quality rule,
/// the reduction over every pixel the high-quality one. They differ in one factor.
enum class TSplitRule { LowQuality, HighQuality };

/// A node of the split tree the high-quality reduction walks for each pixel.
struct TSplitNode {
    std::uint8_t DivideID = scLeaf;
    long double Threshold = 0; // values ≤ Threshold go to Lower
    int Lower = -1;
    int Upper = -1;
    int PaletteIndex = -1; // leaves only; -1 for a leaf that received no colours
};

/// Splits `items` (each with Red(), Green(), Blue() and Weight()) to depth `depthLimit`.
/// Palette entries are appended to `palette`; `onLeaf(range, index)` is told which items went
/// to each new entry; `progress` is called exactly 2^depthLimit times; when `tree` is given it
/// receives the nodes, node 0 being the root.
template <class Item, class OnLeaf> class TVarianceSplit {
  public:
    TVarianceSplit(int depthLimit, TSplitRule rule, const TSplitProgress& progress,
                   std::vector<RGBQUAD>& palette, std::vector<TSplitNode>* tree, OnLeaf onLeaf)
        : FDepthLimit(depthLimit), FRule(rule), FProgress(progress), FPalette(palette), FTree(tree),
          FOnLeaf(std::move(onLeaf)) {}

    void Run(std::span<Item> items) { Split(items, 0); }

  private:
    static int Channel(const Item& item, int channel) {
        switch (channel) {
        case scRed:
            return item.Red();
        case scGreen:
            return item.Green();
        default:
            return item.Blue();
        }
    }

    void Progress() {
        if (FProgress)
            FProgress();
    }

    int NewNode() {
        if (FTree == nullptr)
            return -1;
        FTree->push_back(TSplitNode{});
        return static_cast<int>(FTree->size()) - 1;
    }

    int Split(std::span<Item> items, int depth) {
        const int node = NewNode();
        if (items.empty()) {
            // An empty range still counts its leaves, so that progress always sums to 2^D.
            for (int i = 0; i < (1 << (FDepthLimit - depth)); ++i)
                Progress();
            return node;
        }
        // Integer sums are exact; the mean and variance need extended precision.
        std::uint64_t n = 0;
        std::uint64_t sum[3] = {0, 0, 0};
        std::uint64_t squares[3] = {0, 0, 0};
        for (const Item& item : items) {
            const std::uint64_t w = item.Weight();
            n += w;
            for (int c = 0; c < 3; ++c) {
                const std::uint64_t v = static_cast<std::uint64_t>(Channel(item, c));
                sum[c] += w * v;
                squares[c] += w * v * v;
            }
        }
        long double mean[3];
        long double variance[3];
        for (int c = 0; c < 3; ++c) {
            mean[c] = static_cast<long double>(sum[c]) / static_cast<long double>(n);
            variance[c] = static_cast<long double>(squares[c]) / static_cast<long double>(n) -
                          mean[c] * mean[c];
        }

        if (depth == FDepthLimit) {
            const int index = static_cast<int>(FPalette.size());
            // Rounded to nearest with halves to even: the default rounding mode.
            FPalette.push_back(RGBQUAD{static_cast<std::uint8_t>(std::nearbyint(mean[scBlue])),
                                       static_cast<std::uint8_t>(std::nearbyint(mean[scGreen])),
                                       static_cast<std::uint8_t>(std::nearbyint(mean[scRed])), 0});
            FOnLeaf(items, index);
            if (FTree != nullptr)
                (*FTree)[static_cast<std::size_t>(node)].PaletteIndex = index;
            Progress();
            return node;
        }

        const int channel = ChooseChannel(variance[scRed], variance[scGreen], variance[scBlue]);
        const long double threshold = mean[channel];
        // Two-ended scan: values ≤ the mean to the front, the others behind.
        std::size_t lo = 0;
        std::size_t hi = items.size();
        while (lo < hi) {
            if (Channel(items[lo], channel) <= threshold) {
                ++lo;
            } else {
                --hi;
                std::swap(items[lo], items[hi]);
            }
        }
        const int upper = Split(items.subspan(lo), depth + 1);
        const int lower = Split(items.first(lo), depth + 1);
        if (FTree != nullptr) {
            TSplitNode& s = (*FTree)[static_cast<std::size_t>(node)];
            s.DivideID = static_cast<std::uint8_t>(channel);
            s.Threshold = threshold;
            s.Lower = lower;
            s.Upper = upper;
        }
        return node;
    }

    int ChooseChannel(long double vR, long double vG, long double vB) const {
        if (4 * vG > 3 * vR || 2 * vB > 3 * vR) {
            const long double factor = FRule == TSplitRule::LowQuality ? 3 : 4;
            return (3 * vR > 4 * vG || 2 * vB > factor * vG) ? scBlue : scGreen;
        }
        return scRed;
    }

    int FDepthLimit;
    TSplitRule FRule;
    const TSplitProgress& FProgress;
    std::vector<RGBQUAD>& FPalette;
    std::vector<TSplitNode>* FTree;
    OnLeaf FOnLeaf;
};
