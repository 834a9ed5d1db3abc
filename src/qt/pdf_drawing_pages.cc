#include "qt/pdf_drawing_pages.h"

#include <poppler-qt6.h>

#include <QByteArray>
#include <QFile>
#include <QString>

namespace veltrano {

namespace {

// The largest drawing read: beyond it the file is refused rather than
// read into memory.
constexpr qint64 kLargestDrawingBytes = qint64{512} << 20;

}  // namespace

PdfDrawingPages::PdfDrawingPages() = default;
PdfDrawingPages::~PdfDrawingPages() = default;

bool PdfDrawingPages::Open(const std::filesystem::path& path, std::string* error) {
  document_.reset();
  sizes_.clear();
  const QString name = QString::fromStdString(path.string());
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = "図面ファイルを開けませんでした。";
    return false;
  }
  if (file.size() > kLargestDrawingBytes) {
    *error = "図面ファイルが大きすぎます（512 MB まで）。";
    return false;
  }
  // Poppler reads anything it is given: a file that does not start as a
  // PDF is refused first.
  if (!file.peek(1024).contains("%PDF-")) {
    *error = "PDF ファイルではありません。";
    return false;
  }
  file.close();
  std::unique_ptr<Poppler::Document> document = Poppler::Document::load(name);
  if (document == nullptr) {
    *error = "PDF ファイルが壊れているため読めません。";
    return false;
  }
  if (document->isLocked()) {
    *error = "パスワードで保護された PDF ファイルは読めません。";
    return false;
  }
  const int pages = document->numPages();
  if (pages <= 0) {
    *error = "PDF ファイルにページがありません。";
    return false;
  }
  sizes_.reserve(static_cast<std::size_t>(pages));
  for (int i = 0; i < pages; ++i) {
    const std::unique_ptr<Poppler::Page> page = document->page(i);
    const QSizeF size = page != nullptr ? page->pageSizeF() : QSizeF();
    sizes_.push_back({size.width(), size.height()});
  }
  document_ = std::move(document);
  return true;
}

DrawingPageSize PdfDrawingPages::page_size(int page) const {
  if (page < 0 || page >= page_count()) return {};
  return sizes_[static_cast<std::size_t>(page)];
}

}  // namespace veltrano
