#pragma once

#include <map>
#include <tuple>
#include <vector>

#include <QImage>
#include <QPixmap>
#include <QSize>

#include "rules/PieceCodes.h"

namespace tavlor {

// Entries of a piece set's picture lists: white king, queen, rook, bishop, knight, pawn, light
// square, then the same for Black with the dark square.
inline constexpr int cLightSquareEntry = 6;
inline constexpr int cDarkSquareEntry = 13;
inline constexpr int cPictureEntries = 14;

// The entry of a piece code; -1 for cEmpty and anything that is not one of the twelve pieces.
constexpr int FigureEntry(TPieceCode piece) {
    switch (piece) {
        case cWhiteKing:
            return 0;
        case cWhiteQueen:
            return 1;
        case cWhiteRook:
            return 2;
        case cWhiteBishop:
            return 3;
        case cWhiteKnight:
            return 4;
        case cWhitePawn:
            return 5;
        case cBlackKing:
            return 7;
        case cBlackQueen:
            return 8;
        case cBlackRook:
            return 9;
        case cBlackBishop:
            return 10;
        case cBlackKnight:
            return 11;
        case cBlackPawn:
            return 12;
        default:
            return -1;
    }
}

// The piece code of a piece entry; cEmpty for the square entries and anything out of range.
constexpr TPieceCode FigureOfEntry(int entry) {
    for (TPieceCode piece : AllPieceCodes)
        if (FigureEntry(piece) == entry) return piece;
    return cEmpty;
}

// A picture list of fixed entry size, as a piece set fills it: entries in the order they were
// added (fewer than planned when a file could not be read). A piece is drawn transparently, the
// colour of its bottom-left pixel being the transparent colour; pictures are stretched smoothly
// with premultiplied alpha, so no trace of the transparent colour bleeds into the edges.
class TPictureList {
public:
    explicit TPictureList(QSize entrySize) : FEntrySize(entrySize) {}

    void Clear();
    // Appends a picture, stretched to the entry size if it has another size.
    void Add(const QImage& picture);
    int Count() const { return static_cast<int>(FOpaque.size()); }
    bool Has(int index) const { return index >= 0 && index < Count(); }
    QSize EntrySize() const { return FEntrySize; }

    // The entry as loaded, or with its transparent colour cleared.
    const QImage& Opaque(int index) const { return FOpaque.at(static_cast<std::size_t>(index)); }
    const QImage& Transparent(int index) const {
        return FTransparent.at(static_cast<std::size_t>(index));
    }
    // The entry stretched to `size`; kept for the next call with the same size.
    const QPixmap& Stretched(int index, QSize size, bool transparent) const;

private:
    QSize FEntrySize;
    std::vector<QImage> FOpaque;
    std::vector<QImage> FTransparent;
    mutable std::map<std::tuple<int, int, int, bool>, QPixmap> FStretched;
};

// One picture kept stretched to the size last asked for (the two empty squares of the board).
class TStretchedPicture {
public:
    const QPixmap& Get(const QImage& picture, QSize size);

private:
    qint64 FKey = 0;
    QSize FSize;
    QPixmap FPixmap;
};

// The picture with every pixel of its bottom-left pixel's colour made transparent.
QImage WithTransparentColour(const QImage& picture);

// A picture stretched smoothly to `size` (an empty size gives a null picture).
QPixmap StretchSmooth(const QImage& picture, QSize size);

}  // namespace tavlor
