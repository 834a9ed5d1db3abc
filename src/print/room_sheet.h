#ifndef VELTRANO_PRINT_ROOM_SHEET_H_
#define VELTRANO_PRINT_ROOM_SHEET_H_

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "print/page_frame.h"
#include "project/project.h"
#include "takeoff/sheet_layout.h"

namespace veltrano {

// The takeoff sheet of one room or place on paper: the five parts side by
// side, each listing block by block its item names, its formulas with their
// values and the subtotal, from the room's stored rows.
class RoomSheetPrinter {
 public:
  // The marker of the empty line that closes a block.
  static constexpr std::string_view kSeparator = "next";
  // Lines longer than this many bytes are broken.
  static constexpr std::size_t kLineBytes = 29;
  static constexpr int kFirstPageLines = 36;
  static constexpr int kPageLines = 37;

  RoomSheetPrinter(PageFrame& frame, const Project& tables)
      : frame_(frame), tables_(tables) {}

  // The lines of each part column of a stored room, long lines broken;
  // empty when the side has no data.
  static std::array<std::vector<std::string>, kParts> BuildLines(
      const Project& tables, int room_index, int side);
  // The pages a room takes for columns this long (a final separator not
  // counted).
  static int PagesFor(int longest_column);
  // Breaks a line into pieces of about 29 bytes (at most three).
  static std::vector<std::string> BreakLine(const std::string& line);

  // Prints the room at `room_index` of the side's list (and store),
  // starting on the current page; every page ends with NextPage.
  void PrintRoomSheet(int room_index, int side);

 private:
  PageFrame& frame_;
  const Project& tables_;
};

}  // namespace veltrano

#endif  // VELTRANO_PRINT_ROOM_SHEET_H_
