// The main window: its procedure (registered with the window class) and the window classes.
#pragma once
#include <windows.h>

LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the four window classes in order; at the first failure tells the user (no owner) and returns false.
bool RegisterWindowClasses(HINSTANCE instance);
