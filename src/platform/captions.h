// Captions of the program's message boxes (code page 1251).
#pragma once

constexpr const char* kErrorCaption = "Ошибка";
constexpr const char* kSuccessCaption = "Успех";
