// Reduces a picture that arrives row by row, as a decoder makes it, to a smaller size without
// ever holding the whole picture: each new pixel is the average of the old pixels it covers,
// weighted by how much of each it covers.
#pragma once

#include <cstdint>
#include <vector>

#include <QImage>
#include <QSize>

class TAreaReducer {
  public:
    /// The largest pictures taken, so that the sums stay exact in 32 and 64 bits: the tallest
    /// (a JPEG picture has at most 65,500 rows) and the most pixels (we read up to 10^8).
    /// Larger ones give a null result.
    static constexpr int MaxFromHeight = 16'000'000;
    static constexpr long long MaxFromPixels = 1LL << 28;

    /// From a picture of `from` to one of `to`, bounded on each side by `from` (never enlarged)
    /// and at least 1 × 1.
    TAreaReducer(const QSize& from, const QSize& to);

    /// The next row of the picture, from.width() pixels of QImage::Format_RGB32 (alpha unread).
    void AddRow(const QRgb* row);
    /// The reduced picture, Format_RGB32; complete once every row has been added.
    const QImage& Result() const { return FResult; }

  private:
    // A source column or row seen from the reduced grid: the first reduced pixel it falls in
    // and how much of it falls there; the rest (if any) falls in the next one. Source pixels
    // are `to` units long and reduced ones `from` units, so each reduced pixel gathers `from`
    // units in all and a source pixel never spans more than two.
    struct TShare {
        int First = 0;
        std::uint32_t Part = 0;
        bool Ends = false; // the last source pixel of its reduced pixel, wholly or in part
    };
    static std::vector<TShare> Shares(int from, int to);
    void EmitRow();

    int FFromWidth;
    int FFromHeight;
    std::vector<TShare> FColumns;
    std::vector<TShare> FRows;
    // Weighted sums of source rows, per byte of a row: for the reduced row being gathered and
    // for the next one, which a source row on their border shares.
    std::vector<std::uint32_t> FThis;
    std::vector<std::uint32_t> FNext;
    int FRow = 0; // the next source row
    int FOut = 0; // the reduced row being gathered
    QImage FResult;
};
