#pragma once

#include <cstdint>

#include "solver/scan_converter.h"

// Dividing a patch's sum over its cells.
//
// Each covered cell samples the radiance met at its centre: the patch's sum
// over its cells (sky included) estimates the integral of that radiance over
// the projected patch, without bias wherever the patch falls within a cell,
// since the scan is watertight; its mean cell count is its projected area.
// - Sum / area is unbiased at any size, down to a small part of a cell, but
//   carries the wobble of the count: under a uniform radiance L it gives
//   L · count/area, ±10 % at 10 cells, ±0.3 % at 1000.
// - Sum / count is exact under uniform radiance whenever the count is not
//   zero, and within 0.1 % under radiance that varies across the patch, as
//   long as the count hardly wobbles; but a patch that covers no cell gets
//   nothing and one that covers one cell its whole share from it: −90 % at a
//   tenth of a cell.
// A patch whose projection is at least kMinWidth = 2.5 cells wide (its
// narrowest altitude) is divided by its count: it holds a disc of radius
// 0.83 cells, so the centre of some cell, wherever it falls. A narrower one
// is divided by its area. The choice depends on the projection's shape and
// size, not on where it falls within a cell, so the mean of the estimate is
// the mean of the division chosen. A choice made on the count itself would
// be biased: a patch would be divided by its area just when its count, and
// with it its sum, came out low. A choice on the area alone would let needles
// (many cells in area, under a cell wide, and able to miss every centre) be
// divided by their count: −0.4 % at 10 cells.
struct CellShare {
    double area;   // projected area in cells: the mean cell count
    bool byCount;  // at least kMinWidth wide: divided by the cells covered
};

constexpr double kMinWidth = 2.5;  // cells; 3/√2 = 2.12 is the least that always holds a centre

// The division of a patch's sums, from its projected triangle.
CellShare cellShare(const ProjectedTriangle& t);

// A share in one double, for compact arrays: the area, negated when the
// sums are divided by the count (which only a share of positive area is).
inline double packShare(const CellShare& s) { return s.byCount ? -s.area : s.area; }
inline CellShare unpackShare(double packed) {
    return {packed < 0.0 ? -packed : packed, packed < 0.0};
}

// What a patch's sums over its `cells` covered cells are divided by to give
// its mean incoming radiance: the count or the area, as `share` chose. 0 for
// a patch that has nothing it could divide by (and then no sum either).
double cellDivisor(int32_t cells, const CellShare& share);
