// The run's texts.
#include "automation/run/run_messages.h"

const char* const kFinishedMessage = "Генерация завершена!";
const char* const kFinishedCaption = "Готово";
const char* const kStopMessage =
    "? Автоматизация остановлена!\n\nПрограмма готова к новому запуску.\nДля продолжения нажмите СТАРТ.";
const char* const kStopCaption = "ЭКСТРЕННАЯ ОСТАНОВКА";
const char* const kContinueCaption = "Продолжить?";
const char* const kInterruptedNote = "Прогон был прерван: программа закрылась, не закончив его.\n";
const char* const kInputBlockedMessage =
    "Система не приняла щелчки и нажатия клавиш: ввод заблокирован.\n"
    "Обычно так бывает, когда программа, в которую идёт ввод, запущена от имени администратора, "
    "или когда экран заблокирован.\n\nПрограмма готова к новому прогону.";
