#pragma once
#include <exception>
#include <utility>

// The application's general error report: an exception that reaches an event handler's
// edge is shown as a message box with its text instead of escaping into the event loop.
void ReportException(const std::exception& error);

// Runs `handler`, reporting any exception it throws. Returns false when one was reported.
template <class F>
bool Guarded(F&& handler)
{
  try {
    std::forward<F>(handler)();
    return true;
  } catch (const std::exception& error) {
    ReportException(error);
  } catch (...) {
    ReportException(std::exception());
  }
  return false;
}
