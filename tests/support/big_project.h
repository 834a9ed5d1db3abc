#ifndef VELTRANO_TESTS_SUPPORT_BIG_PROJECT_H_
#define VELTRANO_TESTS_SUPPORT_BIG_PROJECT_H_

#include <filesystem>

#include "project/project.h"

namespace veltrano::testing {

// The largest project the program holds, filled the way a user fills it:
//  - 500 rooms and 100 places, every one of the 50 rows of every part block
//    used: groups of item rows closed by a "小計" row, the first row of a
//    group marked "○" with an item name (now and then a second marked row),
//    formulas with the room parameters A, S, L, deduction rows "▲" (fitting
//    codes from the register in skirting and wall), values as the formula
//    engine writes them at 2 decimals; places count, A, S, L and the done
//    mark in field 29 of lines 1-5;
//  - 599 fittings in the register and a committed takeoff for each of them
//    in the store (599 six-row blocks);
//  - the part summary tables of both sides as an aggregation of all rooms
//    gives them, the fittings summary from the store, the work-type table
//    with units, unit prices, amounts, subtotals and total, its copy, the
//    unit-price table and the work-type memory.
// Names use kanji, kana, half-width katakana, "＼" and "～"; everything can be
// written in CP932. The same seed gives the same project.
Project MakeLargestProject(unsigned seed = 1);

// Writes MakeLargestProject() to `path`; throws std::runtime_error when the
// file cannot be written.
void WriteLargestProjectFile(const std::filesystem::path& path);

}  // namespace veltrano::testing

#endif  // VELTRANO_TESTS_SUPPORT_BIG_PROJECT_H_
