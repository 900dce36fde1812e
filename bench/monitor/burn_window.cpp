// The benchmark's calibrated load: a hidden window that, for each WM_TIMER
// it is sent, burns a known amount of processor time (5 ms by default, the
// first argument), so that the benchmark's way of measuring can be checked
// against a figure known beforehand. The work is a fixed loop timed at start:
// the fastest of 30 runs, a run that nothing pre-empted.
#include <windows.h>

#include <cstdlib>

namespace {

volatile unsigned long long sink;
double unitsPerMs = 0;
double burnMs = 5;

// A unit of work the compiler cannot fold away.
void Work(long units) {
  unsigned long long x = sink;
  for (long i = 0; i < units * 1000; ++i) x = x * 6364136223846793005ULL + 1442695040888963407ULL;
  sink = x;
}

void Calibrate() {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  double fastestMs = 1e9;
  const long units = 500;
  for (int run = 0; run < 30; ++run) {
    QueryPerformanceCounter(&start);
    Work(units);
    QueryPerformanceCounter(&end);
    const double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                      static_cast<double>(frequency.QuadPart);
    if (ms < fastestMs) fastestMs = ms;
  }
  unitsPerMs = units / (fastestMs > 0 ? fastestMs : 1e-3);
}

LRESULT CALLBACK BurnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    Work(static_cast<long>(unitsPerMs * burnMs));
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  const double asked = std::atof(commandLine);
  if (asked > 0 && asked < 1000) burnMs = asked;
  Calibrate();
  WNDCLASSA wc{};
  wc.lpfnWndProc = BurnWindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = "BrimletBenchBurner";
  RegisterClassA(&wc);
  CreateWindowExA(0, wc.lpszClassName, "Burner", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
