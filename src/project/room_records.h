#ifndef VELTRANO_PROJECT_ROOM_RECORDS_H_
#define VELTRANO_PROJECT_ROOM_RECORDS_H_

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "project/room.h"

namespace veltrano {

// Record tag of a side's sheet lines.
inline constexpr std::array<std::string_view, 2> kSheetTag = {"Data", "Gaib"};

// Where the lines of a project go as they are made, one by one.
using LineSink = std::function<void(std::string&&)>;

// How the rooms stand in a project file: each room is 50 sheet lines, one
// per item row; the first carries the room's name, the 49 others a
// marker in its place. A line keeps its tag as it was spelt and every
// field after the name, so that what is read is written back unchanged.
class RoomRecords {
 public:
  static constexpr int kLinesPerRoom = kItemRows;

  // The name field of a sheet line.
  static std::string_view NameField(std::string_view line);
  // Whether a sheet line's name field names a room (rather than carrying
  // the marker of a room's later lines).
  static bool NamesARoom(std::string_view name_field);
  // A name no room may have: the marker of a room's later lines.
  static bool IsMarker(std::string_view name) { return !NamesARoom(name); }

  // The room of 50 sheet lines of `side` (the first names it); the lines'
  // texts become its rows.
  static Room ReadRoom(int side, std::array<std::string, kLinesPerRoom>&& lines);
  // The rooms of a side's sheet lines as another program may have left
  // them: each line naming a room begins one, and its lines run to the
  // next such line. A room of fewer than 50 lines is completed with empty
  // ones; lines past the 50th, and lines before the first room, belong to
  // no room and are left out.
  static std::vector<Room> ReadRooms(int side, const std::vector<std::string_view>& lines);
  // The line that completes a room whose last lines are missing.
  static std::string EmptyLine(int side);
  // Appends a room's 50 lines.
  static void AppendLines(int side, const Room& room, std::vector<std::string>* out);
  // The same lines, each handed to `out` as it is made.
  static void ForEachLine(int side, const Room& room, const LineSink& out);
};

}  // namespace veltrano

#endif  // VELTRANO_PROJECT_ROOM_RECORDS_H_
