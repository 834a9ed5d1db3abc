#include "qt/printer_canvas.h"

#include <QFontDatabase>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPen>
#include <QPrinter>
#include <filesystem>
#include <utility>

namespace veltrano {

namespace {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The unprintable border a PDF keeps, as on a common laser printer.
constexpr double kPdfBorderMm = 4.2;

}  // namespace

QString PrintFontFamily() {
  static const QString family = [] {
    const QStringList families = QFontDatabase::families(QFontDatabase::Japanese);
    for (const QString& wanted : {QString::fromUtf8("ＭＳ 明朝"), QString("MS Mincho"),
                                  QString("IPAMincho"), QString::fromUtf8("IPA明朝"),
                                  QString("IPAexMincho"), QString("Noto Serif CJK JP")}) {
      if (families.contains(wanted)) return wanted;
    }
    for (const QString& f : families) {
      if (f.contains("Mincho", Qt::CaseInsensitive) || f.contains(QString::fromUtf8("明朝"))) {
        return f;
      }
    }
    return QString::fromUtf8("ＭＳ 明朝");
  }();
  return family;
}

QtPrinterCanvas::QtPrinterCanvas(QPagedPaintDevice* device) : device_(device) {
  painter_.begin(device_);
  dpi_ = device_->logicalDpiX();
  width_ = device_->width() * 1440.0 / dpi_;
  height_ = device_->height() * 1440.0 / device_->logicalDpiY();
  SetFont(PrintFont{});
}

QtPrinterCanvas::~QtPrinterCanvas() {
  if (painter_.isActive()) painter_.end();
}

std::unique_ptr<QtPrinterCanvas> QtPrinterCanvas::ForPdf(const QString& path,
                                                         std::string* error) {
  // QPdfWriter does not tell of failed writes; its bytes go through a
  // device that sees each one.
  auto file = std::make_unique<ReplacingFileDevice>();
  if (!file->Start(std::filesystem::path(path.toStdString()), error)) return nullptr;
  auto writer = std::make_unique<QPdfWriter>(file.get());
  writer->setResolution(600);
  writer->setCreator("Veltrano");
  writer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                    QMarginsF(kPdfBorderMm, kPdfBorderMm, kPdfBorderMm,
                                              kPdfBorderMm),
                                    QPageLayout::Millimeter));
  auto canvas = std::make_unique<QtPrinterCanvas>(writer.get());
  if (!canvas->painter_.isActive()) {
    *error = "PDFファイルを作成できません: " + path.toStdString();
    return nullptr;
  }
  canvas->file_ = std::move(file);
  canvas->owned_ = std::move(writer);
  return canvas;
}

QtPrinterCanvas::JobFont* QtPrinterCanvas::FontFor(const PrintFont& font) {
  std::unique_ptr<JobFont>& made = fonts_[{font.size, font.bold}];
  if (made == nullptr) {
    QFont q(PrintFontFamily());
    q.setPointSizeF(font.size);
    q.setBold(font.bold);
    q.setItalic(false);
    made = std::make_unique<JobFont>(q, device_);
  }
  return made.get();
}

void QtPrinterCanvas::SetFont(const PrintFont& font) { font_ = FontFor(font); }

double QtPrinterCanvas::TextWidth(std::string_view text) const {
  // Numbers differ from cell to cell: the widths kept are bounded.
  constexpr std::size_t kMostWidthsKept = 1 << 16;
  std::string key(text);
  auto found = font_->widths.find(key);
  if (found != font_->widths.end()) return found->second;
  const double width = font_->metrics.horizontalAdvance(ToQString(text)) * 1440.0 / dpi_;
  if (font_->widths.size() >= kMostWidthsKept) font_->widths.clear();
  font_->widths.emplace(std::move(key), width);
  return width;
}

void QtPrinterCanvas::Draw() {
  if (page_pending_) {
    device_->newPage();
    page_pending_ = false;
  }
  started_ = true;
}

void QtPrinterCanvas::DrawText(double x, double y, std::string_view text) {
  Draw();
  if (painter_font_ != font_) {
    painter_.setFont(font_->font);
    painter_font_ = font_;
  }
  if (!painter_pen_is_text_) {
    painter_.setPen(QPen(Qt::black));
    painter_pen_is_text_ = true;
  }
  painter_.drawText(QPointF(Px(x), Px(y) + font_->metrics.ascent()), ToQString(text));
}

QPen QtPrinterCanvas::Pen(int width) const {
  // A width counts the pixels of a 600 dpi printer.
  QPen pen(Qt::black);
  pen.setWidthF(std::max(1.0, width * dpi_ / 600.0));
  return pen;
}

void QtPrinterCanvas::DrawLine(double x1, double y1, double x2, double y2, int width) {
  Draw();
  painter_.setPen(Pen(width));
  painter_pen_is_text_ = false;
  painter_.drawLine(QPointF(Px(x1), Px(y1)), QPointF(Px(x2), Px(y2)));
}

void QtPrinterCanvas::DrawRect(double left, double top, double right, double bottom,
                               int width) {
  Draw();
  painter_.setPen(Pen(width));
  painter_pen_is_text_ = false;
  painter_.setBrush(Qt::NoBrush);
  painter_.drawRect(QRectF(QPointF(Px(left), Px(top)), QPointF(Px(right), Px(bottom))));
}

bool QtPrinterCanvas::EndJob(std::string* error) {
  if (!painter_.isActive()) {
    if (file_ != nullptr) file_->Abandon();
    *error = "印刷を開始できませんでした。";
    return false;
  }
  const bool ended = painter_.end();
  if (file_ != nullptr) {
    // A failed write is the better reason; a PDF written whole ends with
    // its trailer.
    if (!ended && !file_->failed()) {
      file_->Abandon();
      *error = "印刷を終了できませんでした。";
      return false;
    }
    return file_->Commit("%%EOF", error);
  }
  if (auto* printer = dynamic_cast<QPrinter*>(device_);
      printer != nullptr && printer->printerState() == QPrinter::Error) {
    *error = "プリンタでエラーが発生しました。";
    return false;
  }
  if (!ended) {
    *error = "印刷を終了できませんでした。";
    return false;
  }
  return true;
}

}  // namespace veltrano
