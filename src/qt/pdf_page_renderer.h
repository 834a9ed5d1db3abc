#ifndef VELTRANO_QT_PDF_PAGE_RENDERER_H_
#define VELTRANO_QT_PDF_PAGE_RENDERER_H_

#include <QImage>
#include <QObject>
#include <QString>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <list>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace veltrano {

// One square of a rendered page: the page of a PDF file at a zoom level,
// by its column and row of tiles from the page's top left.
struct PageTileKey {
  QString file;
  int page = 0;
  int level = 0;
  int x = 0;
  int y = 0;
  bool operator==(const PageTileKey&) const = default;
};

struct PageTileKeyHash {
  std::size_t operator()(const PageTileKey& key) const noexcept;
};

// Renders the pages of PDF drawings in tiles with Poppler, on threads of
// its own, and keeps the tiles last used. A view asks for the tiles it
// shows (`Request`), paints those cached (`Tile`) and a placeholder for the
// rest, and repaints on `tileRendered`. The window's thread never waits for
// a page to be drawn.
//
// Tiles are rendered at zoom levels a quarter octave apart, level L being
// 2^(L/4) device pixels per point (level 0 is 72 dpi); a view between two
// levels paints the finer one scaled down. A tile is at most kTileSize
// pixels square and never reaches beyond its page, so whatever the page's
// size or the zoom, no image is larger than a tile.
class PdfPageRenderer : public QObject {
  Q_OBJECT

 public:
  static constexpr int kTileSize = 512;
  // The cache holds at most this many bytes of tile images: 128 MB, some
  // 128 tiles of 512 × 512 (a full-screen view of a 4K screen needs about
  // 40). The tiles least recently painted go first.
  static constexpr std::size_t kCacheBytes = std::size_t{128} << 20;
  // 2^(-48/4) = 1/4096 to 2^(20/4) = 32 device pixels per point.
  static constexpr int kMinLevel = -48;
  static constexpr int kMaxLevel = 20;

  // Device pixels per point at `level`.
  static double LevelScale(int level);
  // The coarsest level at least as fine as `scale`, within the levels.
  static int LevelFor(double scale);
  // The size in device pixels of a page of `width` × `height` points at
  // `level`, and its count of tile columns and rows.
  static QSize PixelSize(double width, double height, int level);
  static QSize TileCount(double width, double height, int level);

  // `threads` workers (0: as many as the machine suggests, 2 to 4), each
  // with its own Poppler documents: Poppler's documents are not shared
  // between threads.
  explicit PdfPageRenderer(int threads = 0, QObject* parent = nullptr);
  ~PdfPageRenderer() override;
  PdfPageRenderer(const PdfPageRenderer&) = delete;
  PdfPageRenderer& operator=(const PdfPageRenderer&) = delete;

  // The cached tile, marked as just used; nullptr while it is not rendered.
  const QImage* Tile(const PageTileKey& key);
  bool Cached(const PageTileKey& key) const { return cache_.count(key) != 0; }
  // The tiles wanted now, the most wanted first: those not cached and not
  // being rendered are queued, and whatever was queued before and is not
  // among them is dropped.
  void Request(const std::vector<PageTileKey>& keys);
  // Drops every queued tile (a view closing or showing another page).
  void CancelAll() { Request({}); }
  // Forgets what was rendered of `file` and whether it could be read (the
  // file was replaced).
  void Forget(const QString& file);
  // The message of a file that could not be rendered, empty otherwise.
  QString FailureOf(const QString& file) const;

  std::size_t cache_bytes() const { return cache_bytes_; }
  std::size_t cached_tiles() const { return cache_.size(); }
  // Tiles queued or being rendered.
  std::size_t pending_tiles() const;

 signals:
  void tileRendered(const veltrano::PageTileKey& key);
  // A file could not be opened or a page not rendered.
  void renderFailed(const QString& file, const QString& message);

 private:
  struct Entry {
    QImage image;
    std::list<PageTileKey>::iterator use;
  };
  void Work();
  void Deliver(const PageTileKey& key, const QImage& image, const QString& error);
  void Insert(const PageTileKey& key, QImage image);
  void Evict();

  // The window's thread alone.
  std::unordered_map<PageTileKey, Entry, PageTileKeyHash> cache_;
  std::list<PageTileKey> uses_;  // most recently used first
  std::size_t cache_bytes_ = 0;
  std::unordered_map<QString, QString> failures_;

  // Shared with the workers, under `mutex_`.
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<PageTileKey> queue_;
  std::unordered_set<PageTileKey, PageTileKeyHash> in_flight_;
  bool stopping_ = false;
  // Counts the files forgotten: a worker seeing it change reopens its
  // documents.
  int forgotten_ = 0;
  std::vector<std::thread> workers_;
};

}  // namespace veltrano

#endif  // VELTRANO_QT_PDF_PAGE_RENDERER_H_
