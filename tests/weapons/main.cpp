// Runs the weapons tests: the file without a window, then the window.
#include "WeaponsFileTest.h"
#include "WeaponsWinTest.h"

#include <QApplication>
#include <QtTest>

int main(int argc, char** argv)
{
  QApplication app(argc, argv);
  int status = 0;
  {
    TWeaponsFileTest fileTest;
    status |= QTest::qExec(&fileTest, argc, argv);
  }
  {
    TWeaponsWinTest winTest;
    status |= QTest::qExec(&winTest, argc, argv);
  }
  return status;
}
