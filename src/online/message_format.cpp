// Parsing of message lines and the built-in message list.
#include "online/message_format.h"

#include "platform/text_parse.h"

namespace {
struct Marker {
    char mark;
    uint32_t color;
    bool bold;
};
const Marker kMarkers[] = {
    {'!', 0x0000FF, true}, {'@', 0x008000, false}, {'$', 0x00A5FF, false},
    {'%', 0x800080, true}, {'^', 0x0000FF, false},
};

std::vector<AdMessage> Parse(const std::string& text, uint32_t defaultColor, bool adRules) {
    std::vector<AdMessage> messages;
    for (const std::string& line : SplitListLines(text)) {
        if (line[0] == '#' || line[0] == ';') continue;
        if (adRules && line[0] == '<') continue;
        AdMessage message;
        message.color = defaultColor;
        size_t start = 0;
        for (const Marker& marker : kMarkers) {
            if (line[0] == marker.mark) {
                message.color = marker.color;
                message.bold = marker.bold;
                start = 1;
                break;
            }
        }
        start = line.find_first_not_of(" \t", start);
        if (start != std::string::npos) message.text = line.substr(start);
        if (adRules && (message.text.find('<') != std::string::npos || message.text.size() > kMaxAdTextBytes))
            continue;
        messages.push_back(message);
    }
    return messages;
}
}  // namespace

std::vector<AdMessage> ParseMessageLines(const std::string& text, uint32_t defaultColor) {
    return Parse(text, defaultColor, false);
}

std::vector<AdMessage> ParseAdLines(const std::string& text) { return Parse(text, kAdsColor, true); }

const char* const kBuiltInMessages[kBuiltInMessageCount] = {
    "Улыбка — это твоя суперсила!",
    "У тебя способности к великим делам!",
    "Жизнь полна удивительных моментов!",
    "Ты — уникальность! Мир нуждается в тебе!",
    "Каждый день — новая возможность!",
    "Радость рядом, смотри внимательно!",
    "Каждый твой шаг — шаг к новой эре!",
    "Твоя важность неоценима для этого мира!",
    "Продолжай мечтать! Всё возможно!",
    "Твоя энергия заряжает окружающих!",
    "Верь в себя: ты — герой своей саги!",
    "Поделись улыбкой, она вернётся!",
    "Греет души твоя невидимая сила!",
    "Ты — искра, изменяющая будущее!",
    "Улыбнись! Одиночество, это не про тебя!",
    "Открой сердце, и вселенная ответит!",
    "Ты — свет! Делись им щедро!",
    "Сегодня — твой день! Бросай печали!",
    "Жизнь — это звездное приключение, вперед!",
    "Верь в себя! Твои способности не ограничены!",
    "Время для чудес настало, не упусти!",
    "Счастье близко, только протяни руку!",
    "Хороший день начинается с улыбки!",
    "Ты — творец своей неповторимой реальности!",
    "Живи каждым моментом с радостью!",
    "Твои мечты важны! Иди за ними!",
    "Каждый миг — портал в новые мечты!",
    "Напоминаю: ты очаровательная невероятность!",
    "Звёзды ждут, когда ты засияешь!",
    "Сегодня — твой день! Бросай печали!",
    "Верь в себя! Верь в себя! Верь в себя!",
    "Твоя улыбка — энергия галактики!",
    "Хороший день начинается с улыбки!",
    "Улыбнись, сегодня отличный день!",
    "Верь в себя, у тебя всё получится!",
    "Каждая маленькая победа ведёт к большому успеху!",
    "Не бойся мечтать о великом!",
    "Сегодняшние усилия - завтрашние результаты!",
    "Помни: всё происходит вовремя!",
    "Твои возможности безграничны!",
    "Неси добро в этот мир!",
};

void FillBuiltInMessages(std::vector<AdMessage>& ads) {
    ads.clear();
    for (const char* text : kBuiltInMessages) ads.push_back({text, kBuiltInColor, false});
}
