// Rooms out of sheet lines, as import takes them (whole rooms always,
// whatever the lines), and the rules the rooms of a project keep.
#include "project/room_records.h"

#include "project/project_rooms.h"

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "calc/text_util.h"
#include "gtest/gtest.h"

namespace veltrano {
namespace {

std::vector<std::string> Lines(std::string_view name, int count) {
  std::vector<std::string> lines = {"Data," + std::string(name) + ",,x,"};
  for (int i = 1; i < count; ++i) lines.push_back("Data,@,," + std::to_string(i) + ",");
  return lines;
}

TEST(RoomRecordsTest, LinesAreTakenAsWholeRoomsWhateverTheirCount) {
  std::vector<std::string> lines = {"Data,@,,stray,"};  // before any room
  for (const auto& part : {Lines("短い", 3), Lines("長い", 52), Lines("丁度", 50)}) {
    lines.insert(lines.end(), part.begin(), part.end());
  }
  const std::vector<std::string_view> views(lines.begin(), lines.end());
  const std::vector<Room> rooms = RoomRecords::ReadRooms(kInterior, views);
  ASSERT_EQ(rooms.size(), 3u);
  EXPECT_EQ(rooms[0].name(), "短い");
  EXPECT_EQ(rooms[0].Cell(3, 2), "2");
  // Completed with empty rows, written as a room the dialog adds.
  std::vector<std::string> written;
  RoomRecords::AppendLines(kInterior, rooms[0], &written);
  ASSERT_EQ(written.size(), 50u);
  EXPECT_EQ(written[3], "Data,@" + std::string(29, ','));
  // The lines past the 50th belong to no room.
  EXPECT_EQ(rooms[1].name(), "長い");
  EXPECT_EQ(rooms[1].Cell(50, 2), "49");
  EXPECT_EQ(rooms[2].name(), "丁度");
  written.clear();
  RoomRecords::AppendLines(kInterior, rooms[2], &written);
  EXPECT_EQ(written, Lines("丁度", 50));
}

// Names are unique within a side as the rooms dialog requires, and a side
// holds no more than its capacity; a file's rooms are kept as the file has
// them, repeated names and all.
// A row's cells are its fields after the name, whatever their lengths and
// wherever the separators fall, with cells past a short row empty and the
// fields after the extra value left out.
TEST(RoomRecordsTest, ARowGivesTheFieldsOfItsLineAsCells) {
  std::mt19937 random(20261208);
  const std::vector<std::string> pieces = {",", ",", ",", "a", "1.25", "-0.5", "あ", "小計", "(A+S)*2*L"};
  std::vector<std::string_view> cells;
  for (int n = 0; n < 3000; ++n) {
    std::string tail = ",";
    const int length = static_cast<int>(random() % 90);
    for (int k = 0; k < length; ++k) tail += pieces[random() % pieces.size()];
    const std::string line = "Data,部屋" + tail;
    const std::vector<Room> rooms =
        RoomRecords::ReadRooms(kInterior, std::vector<std::string_view>{line});
    ASSERT_EQ(rooms.size(), 1u);
    rooms[0].row(1).Cells(&cells);
    ASSERT_EQ(cells.size(), static_cast<std::size_t>(kExtraColumn + 1));
    const std::vector<std::string_view> fields = SplitFields(tail);
    for (int c = 1; c <= kExtraColumn; ++c) {
      const std::string_view expected =
          static_cast<std::size_t>(c) < fields.size() ? fields[static_cast<std::size_t>(c)]
                                                      : std::string_view();
      ASSERT_EQ(cells[static_cast<std::size_t>(c)], expected) << tail << " cell " << c;
      EXPECT_EQ(rooms[0].Cell(1, c), expected);
    }
  }
}

TEST(RoomRecordsTest, TheRoomsKeepTheirNamesUniqueExceptAsAFileHoldsThem) {
  ProjectRooms rooms;
  EXPECT_TRUE(rooms.Append(kExterior, Room("北面")));
  EXPECT_FALSE(rooms.Append(kExterior, Room("北面")));
  EXPECT_TRUE(rooms.Append(kExterior, Room("北面 ")));   // another name
  EXPECT_TRUE(rooms.Append(kInterior, Room("北面")));    // the other side
  EXPECT_FALSE(rooms.Rename(kExterior, 1, "北面"));
  EXPECT_EQ(rooms.names(kExterior), (std::vector<std::string>{"北面", "北面 "}));
  EXPECT_TRUE(rooms.Rename(kExterior, 1, "南面"));
  EXPECT_EQ(rooms.names(kExterior)[1], "南面");

  for (int i = 2; i < kMaxRooms[kExterior]; ++i) {
    ASSERT_TRUE(rooms.Append(kExterior, Room("場所" + std::to_string(i))));
  }
  EXPECT_TRUE(rooms.Full(kExterior));
  EXPECT_FALSE(rooms.Append(kExterior, Room("もう一つ")));
  EXPECT_EQ(rooms.count(kExterior), kMaxRooms[kExterior]);

  rooms.AppendAsRead(kInterior, Room("北面"));
  EXPECT_EQ(rooms.names(kInterior), (std::vector<std::string>{"北面", "北面"}));
}

}  // namespace
}  // namespace veltrano
