#include "app/RecentFiles.h"

#include <QSettings>

namespace {
const char* const SectionName = "Files";
}

bool TRecentFiles::Contains(const QString& path) const
{
  return items_.contains(path, Qt::CaseInsensitive);
}

bool TRecentFiles::Add(const QString& path)
{
  if (path.isEmpty() || Contains(path))
    return false;
  items_.prepend(path);
  while (items_.size() > MaxEntries)
    items_.removeLast();
  return true;
}

QString TRecentFiles::Caption(int index) const
{
  const QString number = QString::number(index + 1);
  // The accelerator goes on the last digit, so entries 1..9 and 10 each get a distinct key.
  const QString accel = number.left(number.size() - 1) + '&' + number.right(1);
  QString path = items_.value(index);
  path.replace('&', "&&");
  return accel + ' ' + path;
}

void TRecentFiles::Load(QSettings& store)
{
  items_.clear();
  const int count = store.beginReadArray(SectionName);
  for (int i = 0; i < count; ++i) {
    store.setArrayIndex(i);
    const QString path = store.value("Name").toString();
    // Appending in stored order keeps newest first; the rules still hold for a hand-edited store.
    if (!path.isEmpty() && !Contains(path) && items_.size() < MaxEntries)
      items_.append(path);
  }
  store.endArray();
}

void TRecentFiles::Save(QSettings& store) const
{
  store.remove(SectionName);
  store.beginWriteArray(SectionName, items_.size());
  for (int i = 0; i < items_.size(); ++i) {
    store.setArrayIndex(i);
    store.setValue("Name", items_[i]);
    store.setValue("Data", 0);
  }
  store.endArray();
}
