// PDF drawings read through the port: their pages and sizes, and a clear
// refusal for what is no readable PDF.
#include "qt/pdf_drawing_pages.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "gtest/gtest.h"
#include "support/scratch_folder.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

// A drawing of `pages` A3 landscape pages and one A1 portrait page.
void WriteDrawing(const fs::path& path, int pages) {
  QPdfWriter writer(QString::fromStdString(path.string()));
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A3), QPageLayout::Landscape, QMarginsF()));
  QPainter painter(&writer);
  for (int i = 1; i < pages; ++i) {
    painter.drawLine(0, 0, 1000, 1000);
    writer.newPage();
  }
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A1), QPageLayout::Portrait, QMarginsF()));
  writer.newPage();
  painter.drawLine(0, 0, 1000, 1000);
}

TEST(PdfDrawingPagesTest, PagesAndTheirSizesComeFromTheFile) {
  testing::ScratchFolder folder("veltrano_pdf_pages");
  const fs::path drawing = folder.path() / "1F平面図.pdf";
  WriteDrawing(drawing, 3);
  PdfDrawingPages pages;
  std::string error;
  ASSERT_TRUE(pages.Open(drawing, &error)) << error;
  ASSERT_EQ(pages.page_count(), 4);
  // A3 landscape is 420 mm × 297 mm; A1 portrait 594 mm × 841 mm.
  EXPECT_NEAR(pages.page_size(0).width, 420 * 72 / 25.4, 1);
  EXPECT_NEAR(pages.page_size(0).height, 297 * 72 / 25.4, 1);
  EXPECT_NEAR(pages.page_size(3).width, 594 * 72 / 25.4, 1);
  EXPECT_NEAR(pages.page_size(3).height, 841 * 72 / 25.4, 1);
  EXPECT_EQ(pages.page_size(4).width, 0);
}

TEST(PdfDrawingPagesTest, HostileDrawingsStillOpen) {
  testing::ScratchFolder folder("veltrano_pdf_hostile");
  // 2,000 pages: every size read without rendering any.
  const fs::path many = folder.path() / "多数.pdf";
  WriteDrawing(many, 1999);  // and an A1 page last
  PdfDrawingPages pages;
  std::string error;
  ASSERT_TRUE(pages.Open(many, &error)) << error;
  EXPECT_EQ(pages.page_count(), 2000);
  EXPECT_NEAR(pages.page_size(1998).width, 420 * 72 / 25.4, 1);
  // A page of 10 m by 10 m.
  const fs::path huge = folder.path() / "大判.pdf";
  {
    QPdfWriter writer(QString::fromStdString(huge.string()));
    writer.setPageSize(QPageSize(QSizeF(10000, 10000), QPageSize::Millimeter));
    QPainter painter(&writer);
    painter.drawLine(0, 0, 1000, 1000);
  }
  ASSERT_TRUE(pages.Open(huge, &error)) << error;
  EXPECT_EQ(pages.page_count(), 1);
  EXPECT_GT(pages.page_size(0).width, 0);
  EXPECT_GT(pages.page_size(0).height, 0);
}

TEST(PdfDrawingPagesTest, WhatIsNoReadablePdfIsRefusedWithAReason) {
  testing::ScratchFolder folder("veltrano_pdf_refused");
  const fs::path text = folder.path() / "メモ.pdf";
  std::ofstream(text) << "a note, not a drawing\n";
  const fs::path damaged = folder.path() / "壊れた.pdf";
  std::ofstream(damaged, std::ios::binary) << "%PDF-1.7\n1 0 obj << /Type /Catalog >>\n%%EOF";
  PdfDrawingPages pages;
  std::string error;
  EXPECT_FALSE(pages.Open(folder.path() / "ない.pdf", &error));
  EXPECT_EQ(error, "図面ファイルを開けませんでした。");
  EXPECT_FALSE(pages.Open(text, &error));
  EXPECT_EQ(error, "PDF ファイルではありません。");
  EXPECT_FALSE(pages.Open(damaged, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(pages.page_count(), 0);
  // Locked with a password (qpdf, a Debian package the tests install).
  const fs::path plain = folder.path() / "平面図.pdf";
  WriteDrawing(plain, 1);
  const fs::path locked = folder.path() / "鍵付き.pdf";
  const std::string command = "qpdf --encrypt secret owner 256 -- '" + plain.string() + "' '" +
                              locked.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  EXPECT_FALSE(pages.Open(locked, &error));
  EXPECT_NE(error.find("パスワード"), std::string::npos) << error;
  EXPECT_EQ(pages.page_count(), 0);
}

}  // namespace
}  // namespace veltrano
