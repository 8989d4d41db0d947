// Runs the vehicles tests: the file code, then the window.
#include <QApplication>

int RunVehiclesFileTests(int argc, char** argv);
int RunVehiclesWinTests(int argc, char** argv);

int main(int argc, char** argv)
{
  QApplication app(argc, argv);
  QApplication::setApplicationName("Velkora");
  int failures = RunVehiclesFileTests(argc, argv);
  failures += RunVehiclesWinTests(argc, argv);
  return failures;
}
