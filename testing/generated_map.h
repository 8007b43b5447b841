#pragma once
// A generated text map for the render benchmark and the render's pixel
// tests: `records` elements of every kind (lines of eight points, labels,
// zones with their outlines, and circles) spread over 100 x 100 cells of
// 1.2' from 46N 7E, the cells filled row by row, wrapping after 10,000
// records.

#include <string>

namespace test_support {

std::string GeneratedMapText(int records);

// "d,m,s,d,m,s," of the k-th point of the element in cell i % 10000.
std::string GeneratedMapPoint(int i, int k);

}  // namespace test_support
