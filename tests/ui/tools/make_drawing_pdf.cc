// Makes a PDF drawing for the drawing scenarios:
//   make_drawing_pdf OUT.pdf PAGES WIDTH_MM HEIGHT_MM
// PAGES pages of the size given, each with a frame and a grid of lines as
// a plan has, and its number.
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: make_drawing_pdf OUT.pdf PAGES WIDTH_MM HEIGHT_MM\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const int pages = std::atoi(argv[2]);
  const QSizeF size(std::atof(argv[3]), std::atof(argv[4]));
  QPdfWriter writer(QString::fromLocal8Bit(argv[1]));
  writer.setPageSize(QPageSize(size, QPageSize::Millimeter));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setResolution(72);
  QPainter painter(&writer);
  for (int page = 0; page < pages; ++page) {
    if (page > 0) writer.newPage();
    const QRect area = painter.viewport();
    painter.drawRect(area.adjusted(20, 20, -20, -20));
    for (int x = 40; x < area.width() - 40; x += 50) painter.drawLine(x, 40, x, area.height() - 40);
    painter.drawText(40, 35, QString("page %1").arg(page + 1));
  }
  return painter.end() ? 0 : 1;
}
