// The run's tally and the texts made from it.
#include "automation/run/run_record.h"

void RunTally::Stored(BarcodeCheck check, bool wasRetyped) {
    (check == BarcodeCheck::kVerified ? verified : notChecked) += 1;
    retyped += wasRetyped;
}

std::string CompletionMessage(const RunTally& tally, bool excelMode, const std::string& journalNote,
                              const std::string& nextRun) {
    std::string text = "Генерация завершена!";
    if (!excelMode) {
        const std::string of = " из " + std::to_string(tally.verified + tally.notChecked);
        text += "\n\nПроверено в окне мастера: " + std::to_string(tally.verified) + of + ".";
        if (tally.notChecked > 0)
            text += "\nНе проверено: " + std::to_string(tally.notChecked) + of +
                    " — поле мастера не даёт прочитать свой текст; просмотрите эти значения в редакторе.";
        if (tally.retyped > 0) text += "\nВведено повторно: " + std::to_string(tally.retyped) + ".";
    }
    if (!nextRun.empty()) text += "\n\n" + nextRun;
    return journalNote.empty() ? text : text + "\n\n" + journalNote;
}

const char* CheckResult(BarcodeCheck check) {
    return check == BarcodeCheck::kVerified ? "проверено" : "не проверено";
}
