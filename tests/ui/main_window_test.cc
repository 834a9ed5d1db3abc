// The main window: its start-up state, the modes, the sheet's layout, the
// display sizes, the toolbar, the manual and the close request.
#include <fstream>

#include <QAction>
#include <QCheckBox>
#include <QPageLayout>
#include <QPrinter>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include "calc/text_util.h"
#include "main_form_fixture.h"
#include "ui/print_dialog_widget.h"
#include "takeoff/sheet_layout.h"
#include "ui/display_metrics.h"
#include "ui/sheet_model.h"
#include "ui/takeoff_panel.h"

namespace veltrano::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

TEST_F(MainFormTest, StartsInInteriorModeWithNoProject) {
  EXPECT_EQ(window->windowTitle(), Q("Veltrano  Lite (3.93)"));
  const int fifty = TwipsToPixels(50, window->logicalDpiX());
  EXPECT_EQ(window->pos(), QPoint(fifty, fifty));

  const char* captions[6] = {"内部", "建具廻り", "集計", "建具リスト", "設定", "外部"};
  const char* tips[6] = {"内部拾い", "硝子・枠詰め等の拾い", "集計作業",
                         "建具リスト登録", "各種初期設定", "外部拾い"};
  for (int i = 0; i < 6; ++i) {
    auto* b = Find<QPushButton>(QString("HiroiBunrui(%1)").arg(i));
    EXPECT_EQ(b->text(), Q(captions[i]));
    EXPECT_EQ(b->toolTip(), Q(tips[i]));
    EXPECT_EQ(b->palette().color(QPalette::Button), QColor(153, 220, 153));
    EXPECT_EQ(b->isChecked(), i == 0);
  }

  auto* toolbar = Find<QToolBar>("Toolbar1");
  const std::pair<const char*, QKeySequence> keys[] = {
      {"新規作成", QKeySequence("Ctrl+N")},
      {"開く", QKeySequence("Ctrl+O")},
      {"上書き保存", QKeySequence("Ctrl+S")},
      {"印刷", QKeySequence("Ctrl+P")}};
  const char* names[] = {"New", "Open", "Save", "Print"};
  for (int i = 0; i < 4; ++i) {
    QAction* action = toolbar->findChild<QAction*>(names[i]);
    ASSERT_NE(action, nullptr) << names[i];
    EXPECT_EQ(action->text(), Q(keys[i].first));
    EXPECT_EQ(action->shortcut(), keys[i].second);
  }

  EXPECT_TRUE(Find<QLabel>("BukkenName")->text().isEmpty());
  EXPECT_EQ(Find<QLabel>("Label4")->text(), Q("物件名："));
  EXPECT_TRUE(Find<QGroupBox>("Frame_Siage")->isVisible());
  EXPECT_EQ(Find<QGroupBox>("Frame_Siage")->title(), Q("<<内部拾い>>"));
  EXPECT_EQ(Find<QLabel>("HeyaLabel")->text(), Q("部屋名："));
  EXPECT_TRUE(Find<QLabel>("HeyaName(0)")->isVisible());
  EXPECT_TRUE(Find<QLabel>("HeyaName(0)")->text().isEmpty());
  EXPECT_EQ(Find<QListWidget>("List1(0)")->count(), 0);
  EXPECT_TRUE(Sheet(0)->isVisible());
  EXPECT_FALSE(Sheet(1)->isVisible());
  EXPECT_FALSE(Find<QWidget>("DaisuFrame(1)")->isVisible());
  EXPECT_FALSE(Editor()->isVisible());
  // The item-copy panel with its part lists waits hidden.
  EXPECT_FALSE(Find<QWidget>("Frame_List")->isVisible());
  for (int part = 0; part < kParts; ++part) {
    EXPECT_EQ(Find<QListWidget>(QString("InputList(%1)").arg(part))
                  ->palette()
                  .color(QPalette::Base),
              PartColor(part));
  }
  const char* parameter_tips[3] = {"Aの値を計算式に代入できます。",
                                   "Sの値を計算式に代入できます。",
                                   "Lの値を計算式に代入できます。"};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(Find<QLineEdit>(QString("DaisuText(%1)").arg(i))->toolTip(),
              Q(parameter_tips[i % 3]));
  }
}

TEST_F(MainFormTest, ModeButtonsShowThePanelOfTheModeAndChooseTheSide) {
  Click("HiroiBunrui(5)");
  EXPECT_EQ(ws->mode(), kModeExterior);
  EXPECT_EQ(Find<QGroupBox>("Frame_Siage")->title(), Q("<<外部拾い>>"));
  EXPECT_EQ(Find<QLabel>("Label3(0)")->text(), Q("<<場所一覧>>"));
  EXPECT_EQ(Find<QPushButton>("Command1(0)")->text(), Q("場所追加"));
  EXPECT_EQ(Find<QLabel>("HeyaLabel")->text(), Q("場所名："));
  EXPECT_FALSE(Find<QLineEdit>("Kasyo")->isVisible());
  EXPECT_TRUE(Find<QListWidget>("List1(1)")->isVisible());
  EXPECT_FALSE(Find<QListWidget>("List1(0)")->isVisible());
  EXPECT_TRUE(Sheet(1)->isVisible());
  EXPECT_FALSE(Sheet(0)->isVisible());
  EXPECT_TRUE(Find<QWidget>("DaisuFrame(1)")->isVisible());
  EXPECT_FALSE(Find<QWidget>("DaisuFrame(0)")->isVisible());
  EXPECT_TRUE(Find<QLabel>("HeyaName(1)")->isVisible());
  EXPECT_FALSE(Find<QLabel>("HeyaName(0)")->isVisible());
  EXPECT_EQ(Sheet(1)->model()->headerData(1, Qt::Horizontal).toString(),
            Q("項目( 外部 )"));

  const char* panels[] = {"Frame_Tategu", "Frame_Syukei", "Frame_TateguList"};
  const char* titles[] = {"建具廻り", "《集計》", "《建具登録》"};
  for (int mode = 1; mode <= 4; ++mode) {
    Click(QString("HiroiBunrui(%1)").arg(mode));
    EXPECT_EQ(ws->mode(), mode);
    EXPECT_FALSE(Find<QWidget>("Frame_Siage")->isVisible());
    EXPECT_FALSE(Find<QLabel>("HeyaLabel")->isVisible());
    EXPECT_FALSE(Find<QLabel>("HeyaName(0)")->isVisible());
    EXPECT_FALSE(Find<QLabel>("HeyaName(1)")->isVisible());
    for (int other = 0; other < 3; ++other) {
      auto* panel = Find<QGroupBox>(panels[other]);
      EXPECT_EQ(panel->isVisible(), other + 1 == mode) << mode << panels[other];
      EXPECT_EQ(panel->title(), Q(titles[other]));
    }
    EXPECT_EQ(Find<QWidget>("Frame_Set")->isVisible(), mode == 4);
  }
  // The side stays exterior until mode 0 is chosen.
  EXPECT_EQ(ws->side(), kExterior);
  Click("HiroiBunrui(0)");
  EXPECT_EQ(Find<QGroupBox>("Frame_Siage")->title(), Q("<<内部拾い>>"));
  EXPECT_TRUE(Sheet(0)->isVisible());
  EXPECT_EQ(Sheet(0)->model()->headerData(1, Qt::Horizontal).toString(),
            Q("項目( 内部 )"));
}

TEST_F(MainFormTest, ARoomStaysOnScreenAcrossAnotherMode) {
  NewProject("往復");
  AddRooms({Q("事務室")});
  Enter(1, 3, "2");
  Click("HiroiBunrui(2)");
  Click("HiroiBunrui(0)");
  EXPECT_EQ(Find<QLabel>("HeyaName(0)")->text(), Q("事務室"));
  EXPECT_EQ(Shown(1, 3), "2");
  EXPECT_EQ(Shown(1, 5), "2.00");
  EXPECT_FALSE(Editor()->isVisible());
}

TEST_F(MainFormTest, SheetHasTheColoursWidthsAndAlignmentsOfItsColumns) {
  SheetView* view = Sheet(0);
  QAbstractItemModel* model = view->model();
  const QColor block[5] = {{251, 239, 190}, {218, 253, 249}, {166, 254, 205},
                           {255, 255, 150}, {245, 199, 234}};
  const QColor white(255, 255, 255), light(235, 235, 235), grey(128, 128, 128);
  for (int c = 1; c < kSheetCols; ++c) {
    const int part = PartOfColumn(c);
    const int m = SheetModel::ModelCol(c);
    const QColor header =
        model->headerData(m, Qt::Horizontal, Qt::BackgroundRole).value<QColor>();
    const QColor cell = model->index(10, m).data(Qt::BackgroundRole).value<QColor>();
    if (part < 0) {
      EXPECT_EQ(cell, grey) << c;
      continue;
    }
    EXPECT_EQ(header, block[part]) << c;
    EXPECT_EQ(cell, part == 1 || part == 3 ? light : white) << c;
  }
  auto align = [&](int c) {
    return model->index(0, SheetModel::ModelCol(c))
               .data(Qt::TextAlignmentRole)
               .value<Qt::Alignment>() &
           Qt::AlignHorizontal_Mask;
  };
  EXPECT_EQ(align(6), Qt::AlignHCenter);  // mark
  EXPECT_EQ(align(7), Qt::AlignLeft);     // item
  EXPECT_EQ(align(8), Qt::AlignLeft);     // fitting codes
  EXPECT_EQ(align(9), Qt::AlignRight);    // formula
  EXPECT_EQ(align(10), Qt::AlignHCenter); // deduction
  EXPECT_EQ(align(11), Qt::AlignRight);   // value
  EXPECT_EQ(model->headerData(49, Qt::Vertical).toString(), "50");
  EXPECT_EQ(model->headerData(SheetModel::ModelCol(9), Qt::Horizontal).toString(),
            Q("計算式"));

  // Twips at the screen's resolution, scaled by the display size.
  const double dpi = view->logicalDpiX();
  const std::pair<int, int> widths[] = {{1, 500},  {2, 2000}, {8, 750},
                                        {9, 1200}, {10, 500}, {11, 900},
                                        {28, 10000}};
  for (int size = 0; size < 3; ++size) {
    Click(QString("SizeOp(%1)").arg(size));
    const double scale = kDisplayScales[size];
    for (const auto& [c, twips] : widths) {
      EXPECT_EQ(view->columnWidth(SheetModel::ModelCol(c)),
                TwipsToPixels(twips * scale, dpi))
          << "column " << c << " size " << size;
    }
    EXPECT_EQ(view->rowHeight(0), TwipsToPixels(270 * scale, dpi));
    EXPECT_EQ(view->horizontalHeader()->height(), TwipsToPixels(350 * scale, dpi));
    EXPECT_EQ(view->verticalHeader()->width(), TwipsToPixels(350 * scale, dpi));
  }
}

TEST_F(MainFormTest, AtTheSmallSizeEveryModeFitsALaptopScreenWithoutScrolling) {
  // 1366 x 768 with a task bar: 728 high, less the window's title bar; as
  // wide as the small size makes it.
  NewProject("p");
  AddRooms({Q("居間")});
  ASSERT_LE(window->width(), 1366);
  window->resize(window->width(), 728 - 30);
  auto* scroll = Find<QScrollArea>("MainScroll");
  auto* settings = Find<QScrollArea>("SettingsPage");
  for (int mode : {0, 1, 2, 3, 4, 5}) {
    Click(QString("HiroiBunrui(%1)").arg(mode));
    for (int summary = 0; summary < (mode == 2 ? 4 : 1); ++summary) {
      if (mode == 2) Click(QString("Command4(%1)").arg(summary));
      Flush();
      EXPECT_FALSE(scroll->verticalScrollBar()->isVisible()) << mode << " " << summary;
      EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible()) << mode << " " << summary;
      if (mode == 4) {
        EXPECT_FALSE(settings->verticalScrollBar()->isVisible());
        EXPECT_FALSE(settings->horizontalScrollBar()->isVisible());
      }
    }
  }
}

TEST_F(MainFormTest, DisplaySizesRescaleTheWindowWithinTheScreen) {
  const QRect area = window->screen()->availableGeometry();
  const QSize frame = window->frameGeometry().size() - window->size();
  const QSize room = area.size() - frame;
  const QSize small = window->size();
  const qreal font_small = Find<QWidget>("Frame_Siage")->font().pointSizeF();
  auto inside_screen = [&] {
    return area.contains(window->frameGeometry());
  };
  // 1200 x 800 at 小: 大 would be 1560 x 1040, taller than the screen.
  Click("SizeOp(2)");
  EXPECT_NEAR(window->width(), std::min(small.width() * 1.3, 1.0 * room.width()), 2);
  EXPECT_NEAR(window->height(), std::min(small.height() * 1.3, 1.0 * room.height()), 2);
  EXPECT_TRUE(inside_screen()) << window->frameGeometry().bottom();
  EXPECT_NEAR(Find<QWidget>("Frame_Siage")->font().pointSizeF(), font_small * 1.3,
              0.01);
  // Every control can still be reached: the panels scroll.
  auto* scroll = Find<QScrollArea>("MainScroll");
  for (const char* name : {"Check2", "Command10(1)", "Command1(0)"}) {
    QWidget* widget = Find<QWidget>(name);
    scroll->ensureWidgetVisible(widget, 0, 0);
    QCoreApplication::processEvents();
    const QRect in_window(widget->mapTo(window.get(), QPoint(0, 0)),
                          widget->size());
    EXPECT_TRUE(window->rect().contains(in_window)) << name;
  }
  Click("SizeOp(1)");
  EXPECT_NEAR(window->width(), small.width() * 1.15, 2);
  EXPECT_TRUE(inside_screen());
  Click("SizeOp(0)");
  EXPECT_NEAR(window->width(), small.width(), 2);
  EXPECT_NEAR(Find<QWidget>("Frame_Siage")->font().pointSizeF(), font_small, 0.01);

  // A size remembered from a larger screen is cut to this one.
  window->close();
  window.reset();
  QSettings().setValue("MainForm/size", QSize(3000, 2000));
  window = std::make_unique<MainForm>(*ws, &progress);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  EXPECT_LE(window->width(), area.width());
  EXPECT_LE(window->height(), area.height());
}

TEST_F(MainFormTest, PrintOpensThePrintDialogOfTheMode) {
  NewProject("印刷");
  AddRooms({Q("事務室")});
  Enter(1, 3, "1+1");
  Click("HiroiBunrui(3)");
  Toolbar("Print");
  Click("HiroiBunrui(4)");
  Toolbar("Print");
  EXPECT_EQ(window->print_dialog(), nullptr);
  EXPECT_TRUE(dialogs.Take().empty());

  Click("HiroiBunrui(0)");
  Toolbar("Print");
  PrintDialogWidget* dialog = window->print_dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), Q("内部拾い印刷"));
  EXPECT_EQ(FindIn<QLineEdit>(dialog, "PageTx")->text(), "1");
  auto* rooms = FindIn<QListWidget>(dialog, "List1(0)");
  ASSERT_EQ(rooms->count(), 1);
  // Nothing chosen to print: it says so before any printer is asked for.
  Click(FindIn<QAbstractButton>(dialog, "Command1"));
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{
                                {"確認", "印刷する部屋が選択されていません。", false}}));
  Click(FindIn<QAbstractButton>(dialog, "Command3(0)"));
  EXPECT_EQ(FindIn<QListWidget>(dialog, "List1(1)")->count(), 1);
  // The job is named after the project's file: printing to a file
  // proposes "印刷.pdf" (the platform's dialog puts ".pdf" in place of the
  // extension).
  QPrinter printer;
  dialog->SetUpPrinter(&printer);
  EXPECT_EQ(printer.docName(), Q("印刷.xdt"));
  EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
  Click(FindIn<QAbstractButton>(dialog, "Command4"));
  Flush();
  EXPECT_EQ(window->print_dialog(), nullptr);
  EXPECT_FALSE(ws->print_dialog().shown());

  // The fittings printout has one layout: no "詳細印刷" box that would
  // change nothing.
  Click("HiroiBunrui(1)");
  Toolbar("Print");
  dialog = window->print_dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), Q("建具廻り拾い印刷"));
  EXPECT_TRUE(dialog->findChildren<QCheckBox*>().isEmpty());
  Click(FindIn<QAbstractButton>(dialog, "Command4"));
  Flush();

  // Summaries not aggregated yet cannot be ticked.
  Click("HiroiBunrui(2)");
  Toolbar("Print");
  dialog = window->print_dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), Q("集計表印刷"));
  EXPECT_FALSE(FindIn<QCheckBox>(dialog, "Check1(0)")->isEnabled());
  Click(FindIn<QAbstractButton>(dialog, "Command4"));
  Flush();

  // The shown sheet was stored first: another room and back shows it.
  Click("HiroiBunrui(0)");
  AddRooms({Q("会議室")});
  PressRoom(0);
  EXPECT_EQ(Shown(1, 5), "2.00");
}

TEST_F(MainFormTest, ManualButtonOpensTheManualOfTheBaseFolder) {
  // Without the file it says where the manual belongs.
  const std::filesystem::path manual = base / "Manual" / "操作マニュアル.pdf";
  std::filesystem::remove(manual);
  Click("Command14");
  auto shown = dialogs.Take();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].text.find("操作マニュアルが見つかりません。"), std::string::npos);
  EXPECT_NE(shown[0].text.find(PathText(manual)), std::string::npos);

  std::filesystem::create_directories(manual.parent_path());
  std::ofstream(manual) << "%PDF-1.4";

  // The desktop's programs, as scripts on a PATH of their own: "xdg-mime"
  // names the viewer registered for PDF (or none; a file manager for
  // folders), "xdg-open" writes what
  // it was given and ends with the status asked for.
  const std::filesystem::path bin = root / "bin";
  const std::filesystem::path opened = root / "opened.txt";
  std::filesystem::create_directories(bin);
  const auto script = [&](const char* name, const std::string& body) {
    const std::filesystem::path file = bin / name;
    std::ofstream(file) << "#!/bin/sh\n" << body << "\n";
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
  };
  const auto desktop = [&](const std::string& viewer, int launcher_status) {
    script("xdg-mime", "if [ \"$3\" = application/pdf ]; then echo " + viewer +
                           "; else echo files.desktop; fi");
    script("xdg-open", "echo \"$1\" >> '" + opened.string() + "'\nexit " +
                           std::to_string(launcher_status));
    std::filesystem::remove(opened);
  };
  const auto opened_files = [&] {
    std::vector<std::string> lines;
    std::ifstream in(opened);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  };
  // Waits for a launcher's end to be told, or a second at most.
  const auto settle = [&](std::size_t launches) {
    QTRY_VERIFY_WITH_TIMEOUT(opened_files().size() >= launches, 5000);
    QTest::qWait(300);
  };
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", QByteArray::fromStdString(bin.string()));
  const std::string manual_path = PathText(manual);
  const std::string folder_path = PathText(manual.parent_path());

  // A viewer: the launcher gets the manual, and nothing is said.
  desktop("okular.desktop", 0);
  Click("Command14");
  settle(1);
  EXPECT_EQ(opened_files(), std::vector<std::string>{manual_path});
  EXPECT_TRUE(dialogs.Take().empty());

  // No viewer for PDF: the launcher is not even started; it says so with
  // the path and offers the folder, which goes to the launcher.
  desktop("", 0);
  dialogs.answers.push_back(Answer::kYes);
  Click("Command14");
  QTRY_VERIFY_WITH_TIMEOUT(!dialogs.shown.empty(), 5000);
  settle(1);
  shown = dialogs.Take();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].question);
  EXPECT_EQ(shown[0].title, "確認");
  EXPECT_NE(shown[0].text.find("操作マニュアルを開けませんでした。"), std::string::npos);
  EXPECT_NE(shown[0].text.find(manual_path), std::string::npos);
  EXPECT_NE(shown[0].text.find("フォルダを開きますか"), std::string::npos);
  EXPECT_EQ(opened_files(), std::vector<std::string>{folder_path});

  // A viewer registered but the launcher failing: told once it has ended;
  // declining the folder opens nothing more.
  desktop("broken.desktop", 4);
  dialogs.answers.push_back(Answer::kNo);
  Click("Command14");
  QTRY_VERIFY_WITH_TIMEOUT(!dialogs.shown.empty(), 5000);
  settle(1);
  shown = dialogs.Take();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].text.find("操作マニュアルを開けませんでした。"), std::string::npos);
  EXPECT_NE(shown[0].text.find(manual_path), std::string::npos);
  EXPECT_EQ(opened_files(), std::vector<std::string>{manual_path});
  EXPECT_EQ(dialogs.unexpected, 0);
  qputenv("PATH", path);
}

TEST_F(MainFormTest, CtrlPressOnTheProjectNameBacksTheProjectUp) {
  NewProject("退避");
  auto* label = Find<QLabel>("BukkenName");
  EXPECT_EQ(label->text(), Q("退避"));
  const auto backup = root / "home" / "Veltrano" / "info" / "退避_BackUp.xdt";
  QTest::mouseClick(label, Qt::LeftButton);
  QTest::mouseClick(label, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_FALSE(std::filesystem::exists(backup));
  EXPECT_TRUE(dialogs.Take().empty());
  QTest::mouseClick(label, Qt::LeftButton, Qt::ControlModifier);
  EXPECT_TRUE(std::filesystem::exists(backup));
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{{"確認", "現在のデータを退避しました。", false}}));
}

TEST_F(MainFormTest, CloseAsksToSaveOnlyWithAProjectOpen) {
  NewProject("終了");
  AddRooms({Q("事務室")});
  Enter(1, 3, "3");

  dialogs.answers = {Answer::kCancel};
  window->close();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(dialogs.beeps, 1);
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{
                                {"Veltrano：終了確認", "保存して終了しますか？", true}}));

  dialogs.answers = {Answer::kYes};
  window->close();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{
                {"Veltrano：終了確認", "保存して終了しますか？", true},
                {"確認", "上書きしました。", false}}));
  // The room and its formula were saved.
  Workspace reread(FoldersUnder(base, root / "home"), Platform{dialogs, files, progress, clipboard});
  ASSERT_TRUE(reread.Startup());
  files.answers.push_back(DataFile("終了.xdt"));
  reread.session().OpenProject();
  ASSERT_EQ(reread.rooms().room_names(0), std::vector<std::string>{"事務室"});

  // The size the window had is the size a new window starts with.
  window->show();
  window->resize(1300, 900);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  dialogs.answers = {Answer::kNo};
  window->close();
  EXPECT_FALSE(window->isVisible());
  dialogs.Take();
  MainForm again(*ws);
  EXPECT_EQ(again.size(), QSize(1300, 900));
}

TEST_F(MainFormTest, CloseWithoutAProjectAsksNothing) {
  window->close();
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(dialogs.Take().empty());
  EXPECT_EQ(dialogs.beeps, 0);
}

}  // namespace
}  // namespace veltrano::testing


namespace veltrano::testing {
namespace {

TEST_F(MainFormTest, RecentProjectsUnderOpenAndTheProjectsNameInTheTitle) {
  NewProject("甲");
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8("甲 - Veltrano  Lite (3.93)"));
  NewProject("乙");
  auto* open = Find<QAction>("Open");
  ASSERT_NE(open->menu(), nullptr);
  auto* button = qobject_cast<QToolButton*>(window->findChild<QToolBar*>("Toolbar1")
                                                ->widgetForAction(open));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->popupMode(), QToolButton::MenuButtonPopup);
  // The list as it stands when the menu opens: the latest first.
  QMenu* menu = open->menu();
  QMetaObject::invokeMethod(menu, "aboutToShow");
  QStringList entries;
  for (QAction* a : menu->actions()) {
    if (!a->objectName().startsWith("RecentProject")) continue;
    entries << a->text();
    EXPECT_TRUE(a->toolTip().endsWith(".xdt")) << a->toolTip().toStdString();
  }
  EXPECT_EQ(entries, (QStringList{QString::fromUtf8("&1 乙.xdt"), QString::fromUtf8("&2 甲.xdt")}));
  dialogs.answers.push_back(Answer::kNo);  // not saved first
  menu->findChild<QAction*>("RecentProject(1)")->trigger();
  Flush();
  EXPECT_EQ(ws->session().project_name(), "甲");
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8("甲 - Veltrano  Lite (3.93)"));
  dialogs.Take();
}

}  // namespace
}  // namespace veltrano::testing
