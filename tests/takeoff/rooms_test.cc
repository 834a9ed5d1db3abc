#include <string>
#include <vector>

#include "calc/text_util.h"
#include "gtest/gtest.h"
#include "support/room_lines.h"
#include "support/workspace_fixture.h"

namespace veltrano::testing {
namespace {

class RoomsTest : public WorkspaceTest {
 protected:
  void SetUp() override {
    WorkspaceTest::SetUp();
    NewProjectNamed("現場");
    dialogs.Take();
  }
  std::vector<std::string> Store(int side) { return SideLines(w->tables(), side); }
};

TEST_F(RoomsTest, AddedRoomStartsWithEmptyLinesAndIsShown) {
  AddRooms({"居間", "寝室"});
  EXPECT_EQ(w->rooms().room_names(0), (std::vector<std::string>{"居間", "寝室"}));
  EXPECT_EQ(w->sheets().room_label(0), "寝室");
  EXPECT_EQ(w->sheets().current_room(0), 1);
  EXPECT_EQ(w->sheets().places_box(), "1");
  ASSERT_EQ(Store(0).size(), 100u);
  EXPECT_EQ(Store(0)[0], "Data,居間" + std::string(29, ','));
  EXPECT_EQ(Store(0)[1], "Data,@" + std::string(29, ','));
  EXPECT_EQ(SplitFields(Store(0)[50]).size(), 31u);
}

TEST_F(RoomsTest, SwitchingRoomsStoresAndShowsSheetsWithTheirValues) {
  AddRooms({"居間", "寝室"});
  w->ClickRoomList(0);
  w->sheets().SetParameter(0, "2.5");
  w->sheets().SetParameter(1, "0");   // a zero parameter is stored empty
  w->sheets().SetPlacesBox("0");      // a zero count is stored as 1
  w->sheets().SetDoneMark(true);
  TypeAt(1, 2, "フローリング");
  TypeAt(1, 3, "A*2");
  w->ClickRoomList(1);
  EXPECT_EQ(Cell(1, 2), "");
  EXPECT_EQ(w->sheets().room_label(0), "寝室");
  const std::vector<std::string> lines = Store(0);
  const std::vector<std::string_view> line1 = SplitFields(lines[0]);
  ASSERT_EQ(line1.size(), 31u);
  EXPECT_EQ(line1[1], "居間");
  EXPECT_EQ(line1[3], "フローリング");
  EXPECT_EQ(line1[4], "A*2");
  EXPECT_EQ(line1[6], "5.00");
  EXPECT_EQ(line1[29], "1");
  EXPECT_EQ(FieldOf(Store(0)[1], 29), "2.5");
  EXPECT_EQ(FieldOf(Store(0)[2], 29), "");
  EXPECT_EQ(FieldOf(Store(0)[4], 29), "1");
  EXPECT_EQ(FieldOf(Store(0)[5], 29), "dm");
  EXPECT_EQ(FieldOf(Store(0)[49], 29), "dm");
  w->ClickRoomList(0);
  EXPECT_EQ(Cell(1, 5), "5.00");
  EXPECT_EQ(w->sheets().parameter(0), "2.5");
  EXPECT_EQ(w->sheets().parameter(1), "");
  EXPECT_EQ(w->sheets().places_box(), "1");
  EXPECT_TRUE(w->sheets().done_mark());
  // A click on no entry changes nothing.
  w->ClickRoomList(std::nullopt);
  EXPECT_EQ(w->sheets().room_label(0), "居間");
}

TEST_F(RoomsTest, DoneMarkSurvivesAModeSwitch) {
  AddRooms({"居間"});
  w->sheets().SetDoneMark(true);
  w->SwitchMode(kModeAggregation);
  EXPECT_FALSE(w->sheets().done_mark());
  w->SwitchMode(kModeInterior);
  EXPECT_EQ(w->sheets().room_label(0), "居間");
  EXPECT_TRUE(w->sheets().done_mark());
  EXPECT_EQ(FieldOf(Store(0)[4], 29), "1");
}

TEST_F(RoomsTest, DialogRefusesBadAndDuplicateNames) {
  ASSERT_TRUE(w->rooms().OpenRoomsDialog());
  for (const char* bad : {"a,b", "@", "it's", "居間😀"}) {
    w->rooms().TypeName(bad);
    w->rooms().RoomsDialogAdd();
    EXPECT_EQ(w->rooms().dialog().name_box, "") << bad;
  }
  EXPECT_EQ(dialogs.Take().size(), 4u);
  EXPECT_TRUE(w->rooms().room_names(0).empty());
  w->rooms().TypeName("Room");
  w->rooms().RoomsDialogAdd();
  w->rooms().TypeName("room");  // letter case makes another name
  w->rooms().RoomsDialogAdd();
  w->rooms().TypeName("Room");
  w->rooms().RoomsDialogAdd();
  EXPECT_EQ(w->rooms().room_names(0), (std::vector<std::string>{"Room", "room"}));
  EXPECT_EQ(dialogs.beeps, 1);
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{
                                {"確認", "同じ名前の部屋があります。"}}));
  // Renaming to its own name is a duplicate too.
  w->rooms().RoomsDialogSelect(0);
  w->rooms().RoomsDialogRename();
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{
                                {"確認", "同じ名前の部屋があります。"}}));
}

TEST_F(RoomsTest, RenameDeleteAndMoveKeepStoreAndListInStep) {
  AddRooms({"A", "B", "C"});
  for (int k = 0; k < 3; ++k) {
    w->ClickRoomList(k);
    TypeAt(1, 2, std::string(1, static_cast<char>('a' + k)));
  }
  ASSERT_TRUE(w->rooms().OpenRoomsDialog());
  w->rooms().RoomsDialogSelect(1);
  w->rooms().TypeName("B2");
  dialogs.answers = {Answer::kOk};
  w->rooms().RoomsDialogRename();
  EXPECT_EQ(dialogs.Take().back().text, "BをB2に変更します。");
  EXPECT_EQ(FieldOf(Store(0)[50], 1), "B2");
  EXPECT_EQ(FieldOf(Store(0)[50], 3), "b");

  w->rooms().ChooseMove("C", "A");
  w->rooms().RoomsDialogMove();
  EXPECT_EQ(w->rooms().room_names(0), (std::vector<std::string>{"C", "A", "B2"}));
  EXPECT_EQ(FieldOf(Store(0)[0], 1), "C");
  EXPECT_EQ(FieldOf(Store(0)[0], 3), "c");
  EXPECT_EQ(FieldOf(Store(0)[100], 3), "b");
  EXPECT_EQ(w->sheets().room_label(0), "");

  // Moving above the room that already follows leaves the order.
  w->rooms().ChooseMove("A", "B2");
  w->rooms().RoomsDialogMove();
  EXPECT_EQ(w->rooms().room_names(0), (std::vector<std::string>{"C", "A", "B2"}));

  w->rooms().RoomsDialogSelect(1);
  dialogs.answers = {Answer::kCancel};
  w->rooms().RoomsDialogDelete();
  EXPECT_EQ(w->rooms().room_names(0).size(), 3u);
  dialogs.answers = {Answer::kOk};
  w->rooms().RoomsDialogDelete();
  EXPECT_EQ(w->rooms().room_names(0), (std::vector<std::string>{"C", "B2"}));
  EXPECT_EQ(Store(0).size(), 100u);
  EXPECT_EQ(FieldOf(Store(0)[50], 1), "B2");
  EXPECT_EQ(dialogs.Take().back(), (ShownDialog{"確認", "削除しました。"}));
}

TEST_F(RoomsTest, FullSideRefusesAnotherRoom) {
  w->SwitchMode(kModeExterior);
  std::vector<std::string> names;
  for (int i = 0; i < 100; ++i) names.push_back("P" + std::to_string(i));
  AddRooms(names);
  ASSERT_EQ(w->rooms().room_names(1).size(), 100u);
  dialogs.Take();
  AddRooms({"P100"});
  EXPECT_EQ(w->rooms().room_names(1).size(), 100u);
  EXPECT_EQ(Store(1).size(), 5000u);
  const auto shown = dialogs.Take();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].text.find("100"), std::string::npos);
}

TEST_F(RoomsTest, RoomsDialogNeedsAProject) {
  ASSERT_TRUE(w->rooms().OpenRoomsDialog());
  w->rooms().RoomsDialogClose();
  Workspace fresh(w->folders(), Platform{dialogs, files, progress, clipboard});
  ASSERT_TRUE(fresh.Startup());
  dialogs.Take();
  EXPECT_FALSE(fresh.rooms().OpenRoomsDialog());
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{{"確認", "物件名がありません。"}}));
}

}  // namespace
}  // namespace veltrano::testing
