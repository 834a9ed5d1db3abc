#ifndef VELTRANO_PORT_DRAWING_PAGES_H_
#define VELTRANO_PORT_DRAWING_PAGES_H_

#include <filesystem>
#include <string>

namespace veltrano {

// A page's size in points (1/72 inch), as the PDF gives it.
struct DrawingPageSize {
  double width = 0;
  double height = 0;
};

// The pages of a PDF drawing, as a face reads them (Poppler in the desktop
// program and the command-line tool): the core knows drawings only through
// this.
class DrawingPages {
 public:
  virtual ~DrawingPages() = default;
  // Opens the drawing at `path`; false, with what to tell the user, for a
  // file that is not a PDF, an encrypted one or one that cannot be read.
  virtual bool Open(const std::filesystem::path& path, std::string* error) = 0;
  // The pages of the open drawing (0 before one is open).
  virtual int page_count() const = 0;
  // The size of page `page` (from 0); zero for a page there is not.
  virtual DrawingPageSize page_size(int page) const = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_PORT_DRAWING_PAGES_H_
