// The texts a run says to the user at its end, at a stop and at "СТАРТ".
#pragma once

// Message texts of the run.
extern const char* const kFinishedMessage;
extern const char* const kFinishedCaption;
extern const char* const kStopMessage;
extern const char* const kStopCaption;
extern const char* const kInputBlockedMessage;
extern const char* const kContinueCaption;
extern const char* const kInterruptedNote;  // begins the question when the program had closed
