#include "ui/main_window.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "ui/display_metrics.h"
#include "calc/text_util.h"
#include "ui/aggregation_panel.h"
#include "ui/drawing_pane.h"
#include "ui/fittings_panel.h"
#include "ui/register_panel.h"
#include "ui/name_dialog.h"
#include "ui/print_dialog_widget.h"
#include "ui/qt_platform.h"
#include "ui/rooms_dialog.h"
#include "ui/scroll_content_layout.h"
#include "ui/settings_panel.h"
#include "ui/takeoff_panel.h"

// The window icon is compiled into the library; a static library needs
// its resources brought in by name.
static void InitResources() { Q_INIT_RESOURCE(veltrano); }

namespace veltrano {

namespace {

// The window's size at display size 小 when none has been remembered.
constexpr int kDefaultWidthTwips = 18000;
constexpr int kDefaultHeightTwips = 12000;
constexpr const char* kSizeKey = "MainForm/size";

struct ModeButton {
  const char* caption;
  const char* tooltip;
};
constexpr std::array<ModeButton, 6> kModeButtons = {{
    {"内部", "内部拾い"},
    {"建具廻り", "硝子・枠詰め等の拾い"},
    {"集計", "集計作業"},
    {"建具リスト", "建具リスト登録"},
    {"設定", "各種初期設定"},
    {"外部", "外部拾い"},
}};

QString Indexed(const char* name, int index) {
  return QString("%1(%2)").arg(QString::fromLatin1(name)).arg(index);
}

// A small printer for the toolbar, where the desktop theme has none.
QIcon PrinterIcon() {
  QIcon themed = QIcon::fromTheme("document-print");
  if (!themed.isNull()) return themed;
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(60, 60, 60), 1.5));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(9, 3, 14, 10));
  p.setBrush(QColor(150, 150, 150));
  p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(9, 20, 14, 9));
  return QIcon(pixmap);
}

}  // namespace

void ProjectNameLabel::mousePressEvent(QMouseEvent* event) {
  if (event->modifiers() == Qt::ControlModifier) emit backUpRequested();
  QLabel::mousePressEvent(event);
}

MainForm::MainForm(Workspace& workspace, QtProgress* progress, QWidget* parent)
    : QMainWindow(parent), ws_(workspace), progress_(progress) {
  setObjectName("MainForm");
  setWindowTitle(kTitle);
  InitResources();
  setWindowIcon(QIcon(":/veltrano.svg"));

  BuildToolbar();
  if (QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->installEventFilter(this);
  }
  // The recovery copy is looked after once a second; writing one takes a
  // snapshot here and the rest on a thread of its own.
  auto* recovery_timer = new QTimer(this);
  recovery_timer->setObjectName("RecoveryTimer");
  connect(recovery_timer, &QTimer::timeout, this, [this] { ws_.Tick(); });
  recovery_timer->start(1000);
  // Everything below the toolbar scrolls when the window cannot be as
  // large as it would like (a large display size on a small screen):
  // nothing is ever out of reach, and the window never outgrows the screen.
  auto* central = new QWidget(this);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(0, 0, 0, 0);
  panel_scroll_ = new QScrollArea(central);
  panel_scroll_->setObjectName("MainScroll");
  panel_scroll_->setWidgetResizable(true);
  panel_scroll_->setFrameShape(QFrame::NoFrame);
  outer->addWidget(panel_scroll_);
  auto* content = new QWidget();
  content->setObjectName("MainContent");
  auto* layout = new ScrollContentLayout(content);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->setSpacing(2);
  layout->addWidget(BuildTopRow());
  layout->addWidget(BuildRoomRow());
  panels_ = new QWidget(content);
  panels_->setObjectName("ModePanels");
  BuildPanels(panels_);
  layout->addWidget(panels_, 1);
  panel_scroll_->setWidget(content);
  setCentralWidget(central);

  progress_bar_ = new QProgressBar(this);
  progress_bar_->setObjectName("ProgressBar1");
  progress_bar_->setTextVisible(true);
  progress_bar_->hide();
  statusBar()->addPermanentWidget(progress_bar_, 1);
  statusBar()->setSizeGripEnabled(true);
  if (progress != nullptr) {
    progress->Attach(progress_bar_, [this] { Refresh(); });
  }

  panel_font_ = panels_->font();
  // Placed 50 twips from the top left of the screen, at the size it had
  // when it was last closed.
  const double dpi = Dpi();
  const QSize fallback(TwipsToPixels(kDefaultWidthTwips, dpi),
                       TwipsToPixels(kDefaultHeightTwips, dpi));
  const QSize remembered = QSettings().value(kSizeKey, fallback).toSize();
  move(TwipsToPixels(50, dpi), TwipsToPixels(50, dpi));
  FitToScreen(remembered.isValid() ? remembered : fallback);

  ApplyDisplaySize();
  if (settings_panel_ != nullptr) settings_panel_->Refresh();
  Refresh();
}

MainForm::~MainForm() = default;

NameDialog* MainForm::name_dialog() const { return name_dialog_; }
RoomsDialog* MainForm::rooms_dialog() const { return rooms_dialog_; }

double MainForm::Dpi() const { return logicalDpiX(); }

void MainForm::BuildToolbar() {
  toolbar_ = addToolBar("Toolbar1");
  toolbar_->setObjectName("Toolbar1");
  toolbar_->setMovable(false);
  toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  struct Button {
    const char* key;
    const char* caption;
    QKeySequence shortcut;
    QIcon icon;
  };
  const Button buttons[] = {
      {"New", "新規作成", QKeySequence::New,
       style()->standardIcon(QStyle::SP_FileIcon)},
      {"Open", "開く", QKeySequence::Open,
       style()->standardIcon(QStyle::SP_DirOpenIcon)},
      {"Save", "上書き保存", QKeySequence::Save,
       style()->standardIcon(QStyle::SP_DialogSaveButton)},
      {"Print", "印刷", QKeySequence::Print, PrinterIcon()},
      {"Undo", "元に戻す", QKeySequence::Undo,
       style()->standardIcon(QStyle::SP_ArrowBack)},
      {"Redo", "やり直し", QKeySequence(Qt::CTRL | Qt::Key_Y),
       style()->standardIcon(QStyle::SP_ArrowForward)},
  };
  for (const Button& b : buttons) {
    QAction* action = toolbar_->addAction(b.icon, b.caption);
    const QString key = QString::fromLatin1(b.key);
    action->setObjectName(key);
    action->setData(key);
    action->setShortcut(b.shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setToolTip(QString("%1 (%2)").arg(
        b.caption, b.shortcut.toString(QKeySequence::NativeText)));
    connect(action, &QAction::triggered, this, [this, key] { ToolbarCommand(key); });
    if (key == "Open") {
      // "最近使った物件" under 開く: the arrow beside the button.
      auto* recent = new QMenu(this);
      recent->setObjectName("RecentProjects");
      connect(recent, &QMenu::aboutToShow, this, [this, recent] { FillRecentMenu(recent); });
      action->setMenu(recent);
      if (auto* button = qobject_cast<QToolButton*>(toolbar_->widgetForAction(action))) {
        button->setPopupMode(QToolButton::MenuButtonPopup);
      }
    }
    if (key == "Undo") undo_action_ = action;
    if (key == "Redo") {
      action->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y),
                            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
      redo_action_ = action;
    }
  }
  // The drawing pane beside the sheet of modes 0 and 5.
  toolbar_->addSeparator();
  drawing_action_ = toolbar_->addAction(
      style()->standardIcon(QStyle::SP_FileDialogContentsView), "図面");
  drawing_action_->setObjectName("Drawing");
  drawing_action_->setCheckable(true);
  drawing_action_->setToolTip("図面を拾い表の横に表示します");
  connect(drawing_action_, &QAction::toggled, this, [this] { Refresh(); });
}

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type == QEvent::KeyPress || type == QEvent::MouseButtonRelease) &&
      !history_refresh_posted_) {
    // After the event has done what it does.
    history_refresh_posted_ = true;
    QTimer::singleShot(0, this, [this] {
      history_refresh_posted_ = false;
      if (ws_.history().revision() != shown_history_revision_) RefreshHistoryActions();
    });
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainForm::FillRecentMenu(QMenu* menu) {
  menu->clear();
  menu->addSection("最近使った物件");
  const std::vector<std::filesystem::path>& entries = ws_.recent_projects().entries();
  if (entries.empty()) menu->addAction("（なし）")->setEnabled(false);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    QAction* entry = menu->addAction(
        QString("&%1 %2").arg((i + 1) % 10).arg(PathToQString(entries[i].filename())));
    entry->setObjectName(QString("RecentProject(%1)").arg(i));
    entry->setToolTip(PathToQString(entries[i]));
    entry->setStatusTip(PathToQString(entries[i]));
    connect(entry, &QAction::triggered, this, [this, i] {
      ws_.CommandOpenRecent(static_cast<int>(i));
      Refresh();
    });
  }
}

void MainForm::RefreshHistoryActions() {
  shown_history_revision_ = ws_.history().revision();
  const std::string undo = ws_.history().undo_name();
  const std::string redo = ws_.history().redo_name();
  undo_action_->setEnabled(!undo.empty());
  redo_action_->setEnabled(!redo.empty());
  undo_action_->setToolTip(undo.empty() ? QString("元に戻す (Ctrl+Z)")
                                        : QString("元に戻す: %1 (Ctrl+Z)").arg(ToQString(undo)));
  redo_action_->setToolTip(redo.empty() ? QString("やり直し (Ctrl+Y)")
                                        : QString("やり直し: %1 (Ctrl+Y)").arg(ToQString(redo)));
}

QWidget* MainForm::BuildTopRow() {
  auto* row = new QWidget(this);
  auto* h = new QHBoxLayout(row);
  h->setContentsMargins(0, 0, 0, 0);
  for (int i = 0; i < 6; ++i) {
    auto* b = new QPushButton(kModeButtons[i].caption, row);
    b->setObjectName(Indexed("HiroiBunrui", i));
    b->setToolTip(kModeButtons[i].tooltip);
    b->setCheckable(true);
    b->setAutoExclusive(true);
    b->setAutoFillBackground(true);
    QPalette p = b->palette();
    p.setColor(QPalette::Button, QColor(153, 220, 153));
    p.setColor(QPalette::ButtonText, Qt::black);
    b->setPalette(p);
    connect(b, &QPushButton::clicked, this, [this, i] { SelectMode(i); });
    mode_buttons_[i] = b;
    h->addWidget(b);
  }
  h->addSpacing(16);
  auto* caption = new QLabel("物件名：", row);
  caption->setObjectName("Label4");
  h->addWidget(caption);
  project_name_ = new ProjectNameLabel(row);
  project_name_->setObjectName("BukkenName");
  project_name_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  project_name_->setMinimumWidth(TwipsToPixels(1500, Dpi()));
  project_name_->setTextInteractionFlags(Qt::NoTextInteraction);
  connect(project_name_, &ProjectNameLabel::backUpRequested, this, [this] {
    ws_.BackUpProject();
    Refresh();
  });
  h->addWidget(project_name_, 1);
  h->addSpacing(16);

  auto* size_caption = new QLabel("表示", row);
  size_caption->setObjectName("Label30");
  h->addWidget(size_caption);
  auto* sizes = new QButtonGroup(row);
  static constexpr const char* kSizes[3] = {"小", "中", "大"};
  for (int i = 0; i < 3; ++i) {
    auto* option = new QRadioButton(kSizes[i], row);
    option->setObjectName(Indexed("SizeOp", i));
    sizes->addButton(option, i);
    connect(option, &QRadioButton::clicked, this,
            [this, i] { SelectDisplaySize(i); });
    size_options_[i] = option;
    h->addWidget(option);
  }
  size_options_[0]->setChecked(true);
  h->addSpacing(16);

  auto* manual = new QPushButton("操作説明", row);
  manual->setObjectName("Command14");
  connect(manual, &QPushButton::clicked, this, [this] { OpenManual(); });
  h->addWidget(manual);
  return row;
}

QWidget* MainForm::BuildRoomRow() {
  room_row_ = new QWidget(this);
  auto* h = new QHBoxLayout(room_row_);
  h->setContentsMargins(0, 0, 0, 0);
  room_caption_ = new QLabel(room_row_);
  room_caption_->setObjectName("HeyaLabel");
  h->addWidget(room_caption_);
  for (int side = 0; side < 2; ++side) {
    auto* name = new QLabel(room_row_);
    name->setObjectName(Indexed("HeyaName", side));
    name->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    name->setMinimumWidth(TwipsToPixels(3000, Dpi()));
    room_names_[side] = name;
    h->addWidget(name);
  }
  h->addStretch(1);
  return room_row_;
}

void MainForm::BuildPanels(QWidget* container) {
  auto* v = new QVBoxLayout(container);
  v->setContentsMargins(0, 0, 0, 0);
  takeoff_ = new TakeoffPanel(ws_.sheets(), ws_.rooms(), ws_.sheet_editing(),
                              ws_.item_copy(), container);
  connect(takeoff_, &TakeoffPanel::roomPressed, this, [this](int row) {
    ws_.ClickRoomList(row < 0 ? std::nullopt : std::optional<int>(row));
    Refresh();
  });
  connect(takeoff_, &TakeoffPanel::changed, this,
          [this](bool focus_editor) { Refresh(focus_editor); });
  connect(takeoff_, &TakeoffPanel::roomsDialogRequested, this,
          [this] { OpenRoomsDialog(); });
  // The sheet and, when "図面" is on, the drawing pane beside it.
  drawing_splitter_ = new QSplitter(Qt::Horizontal, container);
  drawing_splitter_->setObjectName("DrawingSplitter");
  drawing_splitter_->setChildrenCollapsible(false);
  drawing_splitter_->addWidget(takeoff_);
  drawing_pane_ = new DrawingPane(ws_.plan_takeoff(), ws_.dialogs(), drawing_splitter_);
  drawing_splitter_->addWidget(drawing_pane_);
  drawing_splitter_->setStretchFactor(0, 3);
  drawing_splitter_->setStretchFactor(1, 2);
  drawing_pane_->hide();
  connect(drawing_pane_, &DrawingPane::changed, this, [this] {
    // The cell a shape of the pane showed is followed, not looked up.
    pane_acting_ = true;
    Refresh();
    pane_acting_ = false;
  });
  mode_panels_[kModeInterior] = drawing_splitter_;
  mode_panels_[kModeExterior] = drawing_splitter_;

  fittings_panel_ = new FittingsPanel(ws_.fittings_takeoff(), container);
  mode_panels_[kModeFittingsTakeoff] = fittings_panel_;
  register_panel_ = new RegisterPanel(ws_.fittings_register(), container);
  mode_panels_[kModeFittingsRegister] = register_panel_;
  aggregation_panel_ = new AggregationPanel(
      AggregationPanel::Objects{ws_.summary_view(), ws_.part_summaries(),
                                ws_.fittings_summary(), ws_.work_type_table(),
                                ws_.aggregation_dialog(), ws_.settings()},
      progress_, container);
  connect(aggregation_panel_, &AggregationPanel::summaryChosen, this,
          [this](int summary) {
            ws_.ChooseSummary(summary);
            Refresh();
          });
  mode_panels_[kModeAggregation] = aggregation_panel_;

  auto* settings_page = new QScrollArea(container);
  settings_page->setObjectName("SettingsPage");
  settings_page->setWidgetResizable(true);
  settings_panel_ = new SettingsPanelWidget(ws_.settings(), ws_.importer(),
                                            ws_.item_templates());
  if (settings_panel_->objectName().isEmpty()) {
    settings_panel_->setObjectName("Frame_Set");
  }
  settings_page->setWidget(settings_panel_);
  mode_panels_[kModeSettings] = settings_page;

  for (QWidget* panel : {static_cast<QWidget*>(drawing_splitter_), mode_panels_[1],
                         mode_panels_[2], mode_panels_[3], mode_panels_[4]}) {
    panel->hide();
    v->addWidget(panel, 1);
  }
}

void MainForm::Refresh(bool focus_editor) {
  const int mode = ws_.mode();
  const int side = ws_.side();
  const QString project = ToQString(ws_.session().project_name());
  if (project_name_->text() != project) project_name_->setText(project);
  // The project's name first, as desktop programs show their document; a
  // project another holder has open is saved only under another name.
  QString title = QString::fromUtf8(kTitle);
  if (!project.isEmpty()) title = project + QStringLiteral(" - ") + title;
  if (ws_.session().read_only()) title += QStringLiteral("（読み取り専用）");
  if (windowTitle() != title) setWindowTitle(title);
  if (!mode_buttons_[mode]->isChecked()) mode_buttons_[mode]->setChecked(true);

  // LayOutMode: the panel of the mode alone is shown.
  if (mode != shown_mode_) {
    for (int m = 0; m < 6; ++m) {
      if (mode_panels_[m] != mode_panels_[mode]) mode_panels_[m]->hide();
    }
    mode_panels_[mode]->show();
    shown_mode_ = mode;
  }
  // The settings page shows what the workspace holds, including the import
  // status while an import runs.
  if (mode == kModeSettings && settings_panel_ != nullptr) {
    settings_panel_->Refresh();
  }

  const bool sheet_mode = mode == kModeInterior || mode == kModeExterior;
  room_row_->setVisible(sheet_mode);
  room_caption_->setText(side == kInterior ? "部屋名：" : "場所名：");
  for (int s = 0; s < 2; ++s) {
    room_names_[s]->setVisible(sheet_mode && s == side);
    const QString label = ToQString(ws_.sheets().room_label(s));
    if (room_names_[s]->text() != label) room_names_[s]->setText(label);
  }
  if (sheet_mode) takeoff_->Refresh(focus_editor);
  RefreshDrawingPane(sheet_mode);
  if (mode == kModeFittingsTakeoff) fittings_panel_->Refresh();
  if (mode == kModeFittingsRegister) register_panel_->Refresh();
  if (mode == kModeAggregation) aggregation_panel_->Refresh();
  RefreshHistoryActions();
}

void MainForm::RefreshDrawingPane(bool sheet_mode) {
  drawing_action_->setEnabled(sheet_mode);
  const bool shown = sheet_mode && drawing_action_->isChecked();
  if (drawing_pane_->isVisibleTo(drawing_splitter_) != shown) {
    drawing_pane_->setVisible(shown);
    if (shown && drawing_splitter_->width() > 0) {
      // The sheet keeps three fifths of the width.
      const int w = drawing_splitter_->width();
      drawing_splitter_->setSizes({w * 3 / 5, w - w * 3 / 5});
    }
  }
  if (!shown) {
    followed_cell_.reset();
    return;
  }
  // A row clicked in the sheet shows the shape sent to it.
  const TakeoffSheets& sheets = ws_.sheets();
  auto cell = std::make_tuple(sheets.side(), sheets.room_label(sheets.side()),
                              sheets.current_row(), sheets.current_col());
  if (followed_cell_ != cell) {
    if (followed_cell_ && !pane_acting_) ws_.plan_takeoff().SelectOfCurrentCell();
    followed_cell_ = std::move(cell);
  }
  drawing_pane_->Refresh();
}

void MainForm::RefreshBeforeMessage() {
  if (!isVisible()) return;
  // The summaries end with a message over the table they made. Elsewhere a
  // box may come in the middle of an operation (a refused keystroke), whose
  // state the panels must not take before it ends.
  if (ws_.mode() == kModeAggregation) aggregation_panel_->RefreshShownTable();
  repaint();
}

void MainForm::SelectMode(int mode) {
  ws_.SwitchMode(mode);
  Refresh();
}

void MainForm::SelectDisplaySize(int size) {
  if (size < 0 || size >= kDisplaySizes || size == display_size_) return;
  const double before = kDisplayScales[display_size_];
  display_size_ = size;
  const double after = kDisplayScales[display_size_];
  if (!size_options_[size]->isChecked()) size_options_[size]->setChecked(true);
  FitToScreen(QSize(static_cast<int>(width() * after / before),
                    static_cast<int>(height() * after / before)));
  ApplyDisplaySize();
  Refresh();
}

QRect MainForm::AvailableArea() const {
  const QScreen* on = screen();
  if (on == nullptr) on = QGuiApplication::primaryScreen();
  return on != nullptr ? on->availableGeometry() : QRect();
}

void MainForm::FitToScreen(QSize wanted) {
  const QRect area = AvailableArea();
  if (area.isEmpty()) {
    resize(wanted);
    return;
  }
  // The window's frame (title bar, borders) is known once it is shown.
  const QSize frame = isVisible() ? frameGeometry().size() - geometry().size()
                                  : QSize(0, 0);
  const QSize room = area.size() - frame;
  const QSize size = wanted.boundedTo(room).expandedTo(minimumSizeHint().boundedTo(room));
  resize(size);
  // Keep the whole window on the screen.
  QPoint at = pos();
  at.setX(std::clamp(at.x(), area.left(),
                     std::max(area.left(), area.right() + 1 - size.width() - frame.width())));
  at.setY(std::clamp(at.y(), area.top(),
                     std::max(area.top(), area.bottom() + 1 - size.height() - frame.height())));
  if (at != pos()) move(at);
}

void MainForm::ApplyDisplaySize() {
  const double scale = kDisplayScales[display_size_];
  QFont font = panel_font_;
  if (font.pointSizeF() > 0) {
    font.setPointSizeF(panel_font_.pointSizeF() * scale);
  } else {
    font.setPixelSize(static_cast<int>(panel_font_.pixelSize() * scale));
  }
  panels_->setFont(font);
  room_row_->setFont(font);
  takeoff_->ApplyDisplayScale(scale, Dpi());
  if (settings_panel_ != nullptr) settings_panel_->SetDisplayScale(scale);
  fittings_panel_->ApplyDisplayScale(scale, Dpi());
  register_panel_->ApplyDisplayScale(scale, Dpi());
  aggregation_panel_->ApplyDisplayScale(scale, Dpi());
}

void MainForm::ToolbarCommand(const QString& key) {
  if (key == "New") {
    if (ws_.CommandNew()) OpenNameDialog();
  } else if (key == "Open") {
    ws_.CommandOpen();
  } else if (key == "Save") {
    ws_.CommandSave();
  } else if (key == "Undo") {
    ws_.Undo();
  } else if (key == "Redo") {
    ws_.Redo();
  } else if (key == "Print") {
    if (ws_.CommandPrint()) OpenPrintDialog();
  }
  Refresh();
}

void MainForm::OpenPrintDialog() {
  auto* dialog = new PrintDialogWidget(ws_.print_dialog(), this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  print_dialog_ = dialog;
  dialog->open();
}

PrintDialogWidget* MainForm::print_dialog() const { return print_dialog_; }

void MainForm::OpenNameDialog() {
  auto* dialog = new NameDialog(ws_.session(), this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::finished, this, [this] { Refresh(); });
  name_dialog_ = dialog;
  dialog->show();
}

void MainForm::OpenRoomsDialog() {
  const bool opened = ws_.rooms().OpenRoomsDialog();
  Refresh();
  if (!opened) return;
  auto* dialog = new RoomsDialog(ws_.rooms(), this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &RoomsDialog::changed, this, [this] { Refresh(); });
  // Level with the top of the main window, 3500 twips right of its left
  // edge.
  const QRect frame = frameGeometry();
  dialog->move(frame.left() + TwipsToPixels(3500, Dpi()), frame.top());
  rooms_dialog_ = dialog;
  dialog->show();
}

void MainForm::OpenManual() {
  const std::filesystem::path manual =
      FindFileIgnoringCase(ws_.folders().manual, kManualFileName);
  // A missing file or viewer is said, with where the manual belongs.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(manual, ec)) {
    ws_.dialogs().ShowMessage(kTitleConfirm,
                              "操作マニュアルが見つかりません。\n次の場所に置いてください。\n" +
                                  PathText(manual),
                              MessageIcon::kWarning);
    return;
  }
  OpenWithDesktop(PathToQString(manual), QStringLiteral("application/pdf"), this,
                  [this, manual] { ManualNotOpened(manual); });
}

void MainForm::ManualNotOpened(const std::filesystem::path& manual) {
  // No viewer for PDF: the file is there, and its folder can be opened to
  // take it elsewhere.
  const std::filesystem::path folder = manual.parent_path();
  const Answer answer = ws_.dialogs().Ask(
      kTitleConfirm,
      "操作マニュアルを開けませんでした。\n"
      "PDFを表示するプログラムがあるか確かめてください。\n" +
          PathText(manual) + "\n\nこのファイルのあるフォルダを開きますか？",
      Buttons::kYesNo, MessageIcon::kWarning);
  if (answer != Answer::kYes) return;
  OpenWithDesktop(PathToQString(folder), QStringLiteral("inode/directory"), this,
                  [this, folder] {
                    ws_.dialogs().ShowMessage(
                        kTitleConfirm, "フォルダを開けませんでした。\n" + PathText(folder),
                        MessageIcon::kWarning);
                  });
}

void MainForm::closeEvent(QCloseEvent* event) {
  if (!ws_.RequestClose()) {
    event->ignore();
    Refresh();
    return;
  }
  const double scale = kDisplayScales[display_size_];
  QSettings().setValue(kSizeKey, QSize(static_cast<int>(width() / scale),
                                       static_cast<int>(height() / scale)));
  event->accept();
}

}  // namespace veltrano
