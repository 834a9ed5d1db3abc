#ifndef VELTRANO_FITTINGS_ENTERED_DATA_H_
#define VELTRANO_FITTINGS_ENTERED_DATA_H_

#include "calc/grid.h"

namespace veltrano {

inline constexpr int kEnteredDataCols = 16;
inline constexpr int kEnteredDataMinRows = 20;

// Lays out the entered-data list (TateguDataGrid): its heading row and 20
// empty rows.
void LayOutEnteredDataList(TextGrid* list);

// Does a row of the fittings takeoff store hold any takeoff data?
bool StoreRowHasData(const TextGrid& store, int row);

// Fills the entered-data list from the fittings takeoff store: one line per
// store row with data, blocks marked deleted left out; the first line of a
// fitting carries its code, W, H and places.
void RebuildEnteredDataList(const TextGrid& store, TextGrid* list);

}  // namespace veltrano

#endif  // VELTRANO_FITTINGS_ENTERED_DATA_H_
