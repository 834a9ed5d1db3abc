#include "fittings/register.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "calc/text_file.h"
#include "calc/text_util.h"
#include "project/project_file.h"

namespace veltrano {

namespace {

constexpr std::string_view kRestingInfo =
    "符号・W・Hを入力後 OKをクリックまたはEnterキーで 登録一覧に追加されます。";
constexpr std::string_view kPickInfo = "位置を指定してください。";

}  // namespace

std::optional<FittingEntry> FittingsRegister::Lookup(std::string_view code) const {
  const std::optional<int> row = table().Find(code);
  if (!row) return std::nullopt;
  return table().Entry(*row);
}

std::vector<std::string> FittingsRegister::Codes() const { return table().Codes(); }

void FittingsRegister::TypeBox(int index, std::string_view text) {
  if (index < 0 || index > 2) return;
  Touch();
  std::string typed = FoldToCodePageLookalikes(text);
  // A refused text empties its box, as a sheet cell's editor is; W and H
  // are millimetres, and a letter typed there leaves the number as it was.
  bool empties = true;
  const std::string refusal =
      index == kCodeBox ? RecordTextRefusal(typed)
                        : NumberBoxRefusal(typed, NumberBox::kUnsigned, &empties);
  if (!refusal.empty()) {
    platform_.dialogs.ShowMessage(kTitleInputCheck, refusal);
    if (!empties) return;
    typed.clear();
  }
  boxes_[index] = std::move(typed);
}

void FittingsRegister::PressEnter(int index) {
  Touch();
  focus_box_ = -1;
  switch (index) {
    case kCodeBox:
      boxes_[kWidthBox].clear();
      focus_box_ = kWidthBox;
      break;
    case kWidthBox:
      boxes_[kHeightBox].clear();
      focus_box_ = kHeightBox;
      break;
    case kHeightBox:
      if (!boxes_[kCodeBox].empty()) RegisterFitting();
      break;
    default:
      break;
  }
}

void FittingsRegister::PressDelete(int index) {
  if (index < 0 || index > 2) return;
  Touch();
  boxes_[index].clear();
}

void FittingsRegister::AskToModify(int row, const std::string& w,
                                   const std::string& h) {
  if (platform_.dialogs.Ask(kTitleConfirm, "同じ符号があります。修正しますか?",
                            Buttons::kOkCancel) != Answer::kOk) {
    return;
  }
  MutableTable().SetSize(row, w, h);
}

void FittingsRegister::RegisterFitting() {
  HistoryStep step(history_, "建具登録");
  Touch();
  focus_box_ = -1;
  if (table().Full()) {
    platform_.dialogs.ShowMessage(kTitleConfirm, "これ以上登録できません。");
    return;
  }
  const std::string code = boxes_[kCodeBox];
  if (code.empty()) return;
  if (const std::optional<int> row = table().Find(code)) {
    AskToModify(*row, boxes_[kWidthBox], boxes_[kHeightBox]);
    return;
  }
  MutableTable().Add({code, boxes_[kWidthBox], boxes_[kHeightBox]});
  focus_box_ = kCodeBox;
}

void FittingsRegister::StartPositionPick() {
  Touch();
  if (table().Full()) {
    platform_.dialogs.ShowMessage(kTitleConfirm, "これ以上登録できません。");
    return;
  }
  if (boxes_[kCodeBox].empty()) return;
  position_pick_ = true;
  info_ = std::string(kPickInfo);
}

void FittingsRegister::ClickRow(int row) {
  if (row < 1 || row >= kRegisterRows) return;
  Touch();
  current_row_ = row;
  if (!position_pick_) {
    const TextGrid& reg = tables_.fittings_register();
    for (int i = 0; i < 3; ++i) boxes_[i] = reg.At(row, i);
    return;
  }
  // The click that ends the position pick registers the fitting there.
  HistoryStep step(history_, "建具登録");
  position_pick_ = false;
  info_ = std::string(kRestingInfo);
  const std::string code = boxes_[kCodeBox];
  if (code.empty()) return;
  if (const std::optional<int> found = table().Find(code)) {
    AskToModify(*found, boxes_[kWidthBox], boxes_[kHeightBox]);
    return;
  }
  // The register never has a gap: a row below the first free one takes
  // the first free one, as "OK" would.
  current_row_ = MutableTable().InsertAt(row, {code, boxes_[kWidthBox], boxes_[kHeightBox]});
  focus_box_ = kCodeBox;
}

void FittingsRegister::DeleteSelected() {
  HistoryStep step(history_, "建具削除");
  Touch();
  if (boxes_[kCodeBox].empty() || current_row_ < 1) return;
  if (platform_.dialogs.Ask(kTitleConfirm,
                            grid().At(current_row_, 0) + "を削除します。",
                            Buttons::kOkCancel) != Answer::kOk) {
    return;
  }
  MutableTable().RemoveAt(current_row_);
}

void FittingsRegister::DeleteAll() {
  HistoryStep step(history_, "建具全削除");
  Touch();
  if (platform_.dialogs.Ask(kTitleConfirm, "すべて削除します。",
                            Buttons::kOkCancel) != Answer::kOk) {
    return;
  }
  MutableTable().Clear();
}

void FittingsRegister::ReadFromFile() {
  HistoryStep step(history_, "建具読込");
  if (!session_.project_open()) return;
  Touch();
  const auto chosen = platform_.files.ChooseFileToOpen(
      ProjectFileDialog("建具リスト読込", folders_.data));
  if (!chosen || chosen->empty()) return;
  std::vector<std::string> lines;
  std::string error;
  if (!ReadTextLines(*chosen, &lines, &error)) {
    platform_.dialogs.ShowMessage(kTitleCheck,
                                  "エラー(SiageHiroi:FileOpen)\n" + error);
    return;
  }
  const std::vector<FittingEntry> kept = ReadRegisterEntries(lines);
  for (std::string& b : boxes_) b.clear();
  MutableTable().Replace(kept);
  if (static_cast<int>(kept.size()) > kMaxFittings) {
    platform_.dialogs.ShowMessage(
        kTitleConfirm, "建具は" + std::to_string(kMaxFittings) +
                           "件までしか登録できません。" +
                           std::to_string(kMaxFittings + 1) +
                           "件目から後は読み込みませんでした。");
  }
}

void FittingsRegister::ShowRestingInfo() {
  Touch();
  info_ = std::string(kRestingInfo);
}

void FittingsRegister::ProjectReplaced() {
  Touch();
  position_pick_ = false;
  current_row_ = 0;
}

}  // namespace veltrano
