// The run's texts.
#include "automation/run/run_messages.h"

#include "automation/run/run_journal.h"

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
const char* const kTrialStopLead = "Пробный запуск: ";
const char* const kTrialStopCaption = "Пробный запуск";

std::string TrialStopMessage(long long filled, bool excelMode) {
    return kTrialStopLead + std::string("заполнено ") + ValuesCount(filled) +
           (excelMode ? " на первом листе. Проверьте лист" : " на первой странице. Проверьте страницу") +
           " в редакторе; если всё верно, нажмите СТАРТ, чтобы продолжить.";
}
