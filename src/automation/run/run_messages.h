// The texts a run says to the user at its end, at a stop and at "СТАРТ".
#pragma once
#include <string>

// Message texts of the run.
extern const char* const kFinishedMessage;
extern const char* const kFinishedCaption;
extern const char* const kStopMessage;
extern const char* const kStopCaption;
extern const char* const kInputBlockedMessage;
extern const char* const kContinueCaption;
extern const char* const kInterruptedNote;  // begins the question when the program had closed
extern const char* const kTrialStopLead;    // "Пробный запуск: ", how the trial stop's message begins
extern const char* const kTrialStopCaption;

// The trial run's stop after its first page (sheet): how many values it filled there and what to do next.
std::string TrialStopMessage(long long filled, bool excelMode);
