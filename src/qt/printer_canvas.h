#ifndef VELTRANO_QT_PRINTER_CANVAS_H_
#define VELTRANO_QT_PRINTER_CANVAS_H_

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

#include "port/printer.h"
#include "qt/replacing_file_device.h"

namespace veltrano {

// The family printouts are set in: "ＭＳ 明朝" where the system has it, a
// Japanese Mincho font otherwise.
QString PrintFontFamily();

// The printer canvas on a Qt paint device: a printer, a PDF file or the
// pages of a print preview. Twips are converted by the device's resolution;
// the origin is the top left corner of the printable area. A new page is
// begun only when something is drawn on it, so that a printout ending with
// a page break leaves no blank sheet.
class QtPrinterCanvas : public PrinterCanvas {
 public:
  // Paints on `device`, which must be set to A4 landscape already.
  explicit QtPrinterCanvas(QPagedPaintDevice* device);
  ~QtPrinterCanvas() override;

  // A PDF file at `path`, A4 landscape, with the printable area of a common
  // printer. Null, with the reason, when it cannot be started. The file is
  // written beside `path` and put in its place only by an EndJob that saw
  // every byte written: until then, and after any failure, a file already
  // at `path` stays as it was.
  static std::unique_ptr<QtPrinterCanvas> ForPdf(const QString& path, std::string* error);

  double PrintableWidth() const override { return width_; }
  double PrintableHeight() const override { return height_; }
  void SetFont(const PrintFont& font) override;
  double TextWidth(std::string_view text) const override;
  void DrawText(double x, double y, std::string_view text) override;
  void DrawLine(double x1, double y1, double x2, double y2, int width) override;
  void DrawRect(double left, double top, double right, double bottom, int width) override;
  void NewPage() override { page_pending_ = true; }
  bool EndJob(std::string* error) override;

 private:
  // Starts the pending page before drawing on it.
  void Draw();
  double Px(double twips) const { return twips * dpi_ / 1440.0; }
  QPen Pen(int width) const;

  QPagedPaintDevice* device_;
  // For a PDF file: where the writer's bytes go, and the writer.
  std::unique_ptr<ReplacingFileDevice> file_;
  std::unique_ptr<QPagedPaintDevice> owned_;
  QPainter painter_;
  double dpi_;
  double width_;
  double height_;
  // A font of the job, made once with its metrics and the widths of the
  // texts measured in it: tables print the same texts in the same few
  // fonts page after page, and measuring a text shapes it.
  struct JobFont {
    JobFont(const QFont& f, QPaintDevice* device) : font(f), metrics(f, device) {}
    QFont font;
    QFontMetricsF metrics;
    std::unordered_map<std::string, double> widths;  // in twips
  };
  JobFont* FontFor(const PrintFont& font);

  std::map<std::pair<double, bool>, std::unique_ptr<JobFont>> fonts_;
  JobFont* font_ = nullptr;
  const JobFont* painter_font_ = nullptr;  // the font the painter holds
  bool painter_pen_is_text_ = false;
  bool page_pending_ = false;
  bool started_ = false;
};

}  // namespace veltrano

#endif  // VELTRANO_QT_PRINTER_CANVAS_H_
