// The page-turn decision and its stop message.
#include "automation/watch/page_turn.h"

#include "delays/delay_settings.h"

#include <algorithm>

PageSeen ComparePictures(const PagePicture& before, const PagePicture& after) {
    if (!before.taken || !after.taken) return PageSeen::kUnseen;
    const bool same = before.width == after.width && before.height == after.height && before.digest == after.digest;
    return same ? PageSeen::kSame : PageSeen::kChanged;
}

std::uint64_t PictureDigest(const std::uint32_t* pixels, int width, int height, const PixelRect& skip) {
    // FNV-1a over the pixels, 32 bits at a time; a skipped pixel counts as 0, so that the caret's
    // place is the same in both pictures whatever the caret shows.
    std::uint64_t digest = 1469598103934665603ULL;
    for (int y = 0; y < height; ++y) {
        const bool skipRow = y >= skip.top && y < skip.bottom;
        const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = skipRow && x >= skip.left && x < skip.right ? 0 : row[x];
            digest = (digest ^ pixel) * 1099511628211ULL;
        }
    }
    return digest;
}

std::uint64_t RegionDigest(const std::uint32_t* pixels, int width, int height, const PixelRect& region,
                           const PixelRect& skip) {
    const int left = std::max(0, region.left), top = std::max(0, region.top);
    const int right = std::min(width, region.right), bottom = std::min(height, region.bottom);
    std::uint64_t digest = 1469598103934665603ULL;
    for (int y = top; y < bottom; ++y) {
        const bool skipRow = y >= skip.top && y < skip.bottom;
        const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = left; x < right; ++x) {
            const std::uint32_t pixel = skipRow && x >= skip.left && x < skip.right ? 0 : row[x];
            digest = (digest ^ pixel) * 1099511628211ULL;
        }
    }
    // Where the region lies is part of it: an empty one differs from another empty one elsewhere.
    return (digest ^ static_cast<std::uint32_t>(left * 65536 + top)) * 1099511628211ULL;
}

unsigned PageTurnCeilingMs(int pageSwitchDelay) {
    return std::max<unsigned>(kMinPageCeilingMs, 5 * BoundedDelay(pageSwitchDelay));
}

std::string PageUnchangedStopMessage(bool excelMode, PageSeen seen, unsigned waitedMs, long long stored,
                                     long long total, const std::string& next) {
    const std::string key = excelMode ? "Ctrl+Page Down" : "Page Down";
    std::string text = "Прогон остановлен: после " + key;
    if (seen == PageSeen::kUnseen) {
        text += excelMode ? " не удалось увидеть, сменился ли лист" : " не удалось увидеть, сменилась ли страница";
        text += ": окна не видно на экране (свёрнуто или закрыто).";
    } else {
        text += (excelMode ? " лист не сменился за " : " страница не сменилась за ") + std::to_string(waitedMs) +
                " мс.\n";
        text += excelMode ? "Похоже, это последний лист книги: добавьте листы; если больше значений не нужно, "
                            "просто не продолжайте."
                          : "Похоже, это последняя страница документа: добавьте страницы; если больше значений не "
                            "нужно, просто не продолжайте.";
    }
    text += "\n\nВведено " + std::to_string(stored) + " из " + std::to_string(total) + "; следующее — " + next +
            ".\nЧтобы продолжить, откройте в редакторе " + (excelMode ? "лист" : "страницу") + " для " + next +
            " и нажмите СТАРТ, затем «Да»: оно будет введено в захват 1 без нового " + key + ".";
    return text + "\n\nПрограмма готова к новому прогону.";
}

std::string PageConfinedStopMessage(bool excelMode, const std::string& changed, unsigned waitedMs, long long stored,
                                    long long total, const std::string& next) {
    const std::string key = excelMode ? "Ctrl+Page Down" : "Page Down";
    const char* const what = excelMode ? "лист" : "страницу";
    return "Прогон остановлен: после " + key + " за " + std::to_string(waitedMs) + " мс изменилось только то, что " +
           "у захватов " + changed + ", а не у всех захватов " + (excelMode ? "листа" : "страницы") +
           ": это похоже на запоздалую перерисовку или подсказку, а не на " + (excelMode ? "другой лист" : "другую страницу") +
           ".\nНельзя сказать, сменил" + (excelMode ? "ся ли лист" : "ась ли страница") + ".\n\nСохранено " +
           std::to_string(stored) + " из " + std::to_string(total) + "; следующее — " + next +
           ".\nПосмотрите, какой" + (excelMode ? " лист" : "ая страница") + " открыт" + (excelMode ? "" : "а") +
           " в редакторе. Чтобы продолжить, откройте " + what + " для " + next +
           " и нажмите СТАРТ, затем «Да»: оно будет введено в захват 1 без нового " + key +
           ".\n\nПрограмма готова к новому прогону.";
}

std::string UndrawnNote(long long page, const std::string& captures, unsigned waitedMs) {
    return "страница " + std::to_string(page) + ": объекты захватов " + captures + " за " + std::to_string(waitedMs) +
           " мс не показали нового значения (оно выглядит как прежнее?), Page Down отправлен, когда страница "
           "успокоилась";
}
