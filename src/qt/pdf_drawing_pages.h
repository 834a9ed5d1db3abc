#ifndef VELTRANO_QT_PDF_DRAWING_PAGES_H_
#define VELTRANO_QT_PDF_DRAWING_PAGES_H_

#include <memory>
#include <vector>

#include "port/drawing_pages.h"

namespace Poppler {
class Document;
}

namespace veltrano {

// The pages of a PDF drawing read with Poppler's Qt binding.
class PdfDrawingPages : public DrawingPages {
 public:
  PdfDrawingPages();
  ~PdfDrawingPages() override;

  bool Open(const std::filesystem::path& path, std::string* error) override;
  int page_count() const override { return static_cast<int>(sizes_.size()); }
  DrawingPageSize page_size(int page) const override;

 private:
  std::unique_ptr<Poppler::Document> document_;
  std::vector<DrawingPageSize> sizes_;
};

}  // namespace veltrano

#endif  // VELTRANO_QT_PDF_DRAWING_PAGES_H_
