#pragma once
#include <QString>
#include <QStringList>

class QSettings;

// The recent-files list: the ten newest paths, newest first. A path already listed
// (letter case ignored) is not added again and keeps its place. Entries are held as
// given; the list is kept in the settings store under the section "Files".
class TRecentFiles {
public:
  static constexpr int MaxEntries = 10;

  // Puts `path` at the top unless it is listed already; drops the oldest beyond the limit.
  // Returns whether the list changed.
  bool Add(const QString& path);
  bool Contains(const QString& path) const;
  const QStringList& Items() const { return items_; }
  bool IsEmpty() const { return items_.isEmpty(); }
  void Clear() { items_.clear(); }

  // Menu caption of the entry at `index` (0 is the newest): an accelerator digit, then the
  // path with its ampersands doubled, e.g. "&1 C:\Game\vehicles.bin" or "1&0 ...".
  QString Caption(int index) const;

  // Reads and writes the list in the current group of `store` (section "Files").
  void Load(QSettings& store);
  void Save(QSettings& store) const;

private:
  QStringList items_;
};
