#include <windows.h>

#include "app/window/main_window_win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    return kiv::MainWindow::Run(instance, show);
}
