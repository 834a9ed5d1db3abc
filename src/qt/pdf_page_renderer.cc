#include "qt/pdf_page_renderer.h"

#include <poppler-qt6.h>

#include <QFileInfo>
#include <QHash>
#include <QMetaObject>
#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

namespace veltrano {

namespace {

// Each worker keeps the documents it read last open, so that the tiles
// of a page do not read its file again.
constexpr std::size_t kOpenDocumentsPerWorker = 4;

// A document opened by one worker, for that worker alone.
struct OpenDocument {
  QString file;
  std::unique_ptr<Poppler::Document> document;
};

// Opens `file` for rendering; nullptr with the reason.
std::unique_ptr<Poppler::Document> Load(const QString& file, QString* error) {
  const QFileInfo info(file);
  if (!info.isFile()) {
    *error = QStringLiteral("図面ファイルが見つかりません: %1").arg(info.fileName());
    return nullptr;
  }
  std::unique_ptr<Poppler::Document> document = Poppler::Document::load(file);
  if (document == nullptr || document->isLocked()) {
    *error = QStringLiteral("図面ファイルを読めません: %1").arg(info.fileName());
    return nullptr;
  }
  document->setRenderHint(Poppler::Document::Antialiasing, true);
  document->setRenderHint(Poppler::Document::TextAntialiasing, true);
  document->setPaperColor(Qt::white);
  return document;
}

}  // namespace

std::size_t PageTileKeyHash::operator()(const PageTileKey& key) const noexcept {
  return qHashMulti(0, key.file, key.page, key.level, key.x, key.y);
}

double PdfPageRenderer::LevelScale(int level) {
  return std::exp2(static_cast<double>(std::clamp(level, kMinLevel, kMaxLevel)) / 4.0);
}

int PdfPageRenderer::LevelFor(double scale) {
  if (!(scale > 0)) return kMinLevel;
  // A hair below a level's own scale is that level, not the next.
  const double level = std::ceil(std::log2(scale) * 4.0 - 1e-6);
  return static_cast<int>(std::clamp(level, double{kMinLevel}, double{kMaxLevel}));
}

QSize PdfPageRenderer::PixelSize(double width, double height, int level) {
  const double scale = LevelScale(level);
  const auto pixels = [scale](double points) {
    // A page as large as PDF allows at the finest level is some 2^21 pixels:
    // no overflow of int.
    return static_cast<int>(std::clamp(std::ceil(points * scale), 0.0, 1e9));
  };
  return QSize(pixels(width), pixels(height));
}

QSize PdfPageRenderer::TileCount(double width, double height, int level) {
  const QSize pixels = PixelSize(width, height, level);
  return QSize((pixels.width() + kTileSize - 1) / kTileSize,
               (pixels.height() + kTileSize - 1) / kTileSize);
}

PdfPageRenderer::PdfPageRenderer(int threads, QObject* parent) : QObject(parent) {
  if (threads <= 0) {
    threads = std::clamp(static_cast<int>(std::thread::hardware_concurrency()) - 1, 2, 4);
  }
  for (int i = 0; i < threads; ++i) workers_.emplace_back([this] { Work(); });
}

PdfPageRenderer::~PdfPageRenderer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  wake_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

const QImage* PdfPageRenderer::Tile(const PageTileKey& key) {
  const auto found = cache_.find(key);
  if (found == cache_.end()) return nullptr;
  uses_.splice(uses_.begin(), uses_, found->second.use);
  return &found->second.image;
}

void PdfPageRenderer::Request(const std::vector<PageTileKey>& keys) {
  {
    std::lock_guard lock(mutex_);
    queue_.clear();
    for (const PageTileKey& key : keys) {
      if (cache_.count(key) != 0 || in_flight_.count(key) != 0) continue;
      if (failures_.count(key.file) != 0) continue;
      queue_.push_back(key);
    }
  }
  wake_.notify_all();
}

void PdfPageRenderer::Forget(const QString& file) {
  failures_.erase(file);
  {
    std::lock_guard lock(mutex_);
    ++forgotten_;
  }
  for (auto it = uses_.begin(); it != uses_.end();) {
    if (it->file == file) {
      const auto entry = cache_.find(*it);
      cache_bytes_ -= static_cast<std::size_t>(entry->second.image.sizeInBytes());
      cache_.erase(entry);
      it = uses_.erase(it);
    } else {
      ++it;
    }
  }
}

QString PdfPageRenderer::FailureOf(const QString& file) const {
  const auto found = failures_.find(file);
  return found == failures_.end() ? QString() : found->second;
}

std::size_t PdfPageRenderer::pending_tiles() const {
  std::lock_guard lock(mutex_);
  return queue_.size() + in_flight_.size();
}

void PdfPageRenderer::Work() {
  std::vector<OpenDocument> open;  // most recently used last
  int forgotten = 0;
  for (;;) {
    PageTileKey key;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      key = std::move(queue_.front());
      queue_.pop_front();
      in_flight_.insert(key);
      if (forgotten != forgotten_) {
        forgotten = forgotten_;
        open.clear();
      }
    }
    QString error;
    auto it = std::find_if(open.begin(), open.end(),
                           [&key](const OpenDocument& d) { return d.file == key.file; });
    if (it == open.end()) {
      std::unique_ptr<Poppler::Document> document = Load(key.file, &error);
      if (document != nullptr) {
        if (open.size() >= kOpenDocumentsPerWorker) open.erase(open.begin());
        open.push_back({key.file, std::move(document)});
        it = open.end() - 1;
      }
    } else {
      std::rotate(it, it + 1, open.end());
      it = open.end() - 1;
    }
    QImage image;
    if (it != open.end()) {
      const std::unique_ptr<Poppler::Page> page = it->document->page(key.page);
      const QSizeF size = page != nullptr ? page->pageSizeF() : QSizeF();
      const QSize pixels = PixelSize(size.width(), size.height(), key.level);
      const int x = key.x * kTileSize;
      const int y = key.y * kTileSize;
      // Never beyond the page, never more than a tile.
      const int w = std::min(kTileSize, pixels.width() - x);
      const int h = std::min(kTileSize, pixels.height() - y);
      if (page == nullptr || w <= 0 || h <= 0) {
        error = QStringLiteral("図面のページを表示できません: %1 ページ").arg(key.page + 1);
      } else {
        const double dpi = 72.0 * LevelScale(key.level);
        image = page->renderToImage(dpi, dpi, x, y, w, h);
        if (image.isNull()) {
          error = QStringLiteral("図面のページを表示できません: %1 ページ").arg(key.page + 1);
        } else if (image.format() != QImage::Format_ARGB32_Premultiplied &&
                   image.format() != QImage::Format_RGB32) {
          image.convertTo(QImage::Format_ARGB32_Premultiplied);
        }
      }
    }
    {
      std::lock_guard lock(mutex_);
      in_flight_.erase(key);
      if (stopping_) return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, key = std::move(key), image = std::move(image), error = std::move(error)] {
          Deliver(key, image, error);
        },
        Qt::QueuedConnection);
  }
}

void PdfPageRenderer::Deliver(const PageTileKey& key, const QImage& image, const QString& error) {
  if (!error.isEmpty()) {
    // What cannot be read now will not be read on the next tile either:
    // the file's other tiles are dropped until it is forgotten.
    const bool first = failures_.emplace(key.file, error).second;
    {
      std::lock_guard lock(mutex_);
      std::erase_if(queue_, [&key](const PageTileKey& k) { return k.file == key.file; });
    }
    if (first) emit renderFailed(key.file, error);
    return;
  }
  Insert(key, image);
  emit tileRendered(key);
}

void PdfPageRenderer::Insert(const PageTileKey& key, QImage image) {
  if (cache_.count(key) != 0) return;
  uses_.push_front(key);
  cache_bytes_ += static_cast<std::size_t>(image.sizeInBytes());
  cache_.emplace(key, Entry{std::move(image), uses_.begin()});
  Evict();
}

void PdfPageRenderer::Evict() {
  // The tile just added stays even were it alone over the bound.
  while (cache_bytes_ > kCacheBytes && uses_.size() > 1) {
    const auto entry = cache_.find(uses_.back());
    cache_bytes_ -= static_cast<std::size_t>(entry->second.image.sizeInBytes());
    cache_.erase(entry);
    uses_.pop_back();
  }
}

}  // namespace veltrano
