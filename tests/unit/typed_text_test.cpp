// Typed fields into code page 1251: which field, which list line and which character a refusal names,
// and that what fits arrives byte for byte (the main window's run fields and the merge window's).
#include "automation/run/run_fields.h"
#include "fakes/cp1251_table.h"
#include "platform/typed_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
const std::u16string kAdvice =
    u") нельзя ввести в этой программе.\nЗамените его: программа вводит только символы русской кодировки "
    u"Windows — кириллицу, латинские буквы без диакритических знаков, цифры и обычные знаки препинания.";

// The message up to its advice, which is the same for every refusal.
std::string Head(const std::u16string& refusal) {
    const size_t advice = refusal.find(kAdvice);
    return Utf8Of(advice == std::u16string::npos ? refusal : refusal.substr(0, advice));
}

RunFields ListFields(const std::u16string& list, const std::u16string& prefix = u"") {
    RunFields fields;
    fields.prefix = prefix;
    fields.listMode = true;
    fields.listText = list;
    fields.startText = u"0001";
    fields.totalText = u"5";
    return fields;
}

RunFields NumberFields(const std::u16string& prefix, const std::u16string& start, const std::u16string& total) {
    RunFields fields;
    fields.prefix = prefix;
    fields.startText = start;
    fields.totalText = total;
    return fields;
}
}  // namespace

TEST(TypedText, TheRefusalNamesTheFieldTheLineAndTheFirstCharacterWhole) {
    const struct {
        const char* name;
        RunFields fields;
        std::u16string head;  // up to the advice; its ")" closes the code
    } cases[] = {
        {"the first bad line of a pasted list", ListFields(u"Müller-1\r\nStraße-2\r\nŁódź-3\r\n"),
         u"Строка 1 списка («Müller-1»): символ «ü» (U+00FC"},
        {"blank lines count, the line is quoted trimmed", ListFields(u" \r\n\r\n  Straße-2\t\r\nŁódź-3"),
         u"Строка 3 списка («Straße-2»): символ «ß» (U+00DF"},
        {"the last line without its LF", ListFields(u"A\nB\nŁódź-3"), u"Строка 3 списка («Łódź-3»): символ «Ł» (U+0141"},
        {"€ and № are 1251, the Polish L is not", ListFields(u"€5 №7 Łź"), u"Строка 1 списка («€5 №7 Łź»): символ «Ł» (U+0141"},
        {"an emoji is one character, named whole", ListFields(u"ok\r\nAB😀C"),
         u"Строка 2 списка («AB😀C»): символ «😀» (U+1F600"},
        {"half of a pair is named by its code", ListFields(u"A\xD800" u"B"), u"Строка 1 списка («A\xD800" u"B»): символ «\uFFFD» (U+D800"},
        {"an invisible character is named by its code", ListFields(u"12\u200B34"),
         u"Строка 1 списка («12\u200B34»): символ «\u200B» (U+200B"},
        {"the prefix before the list", ListFields(u"Straße", u"Ü-"), u"Префикс («Ü-»): символ «Ü» (U+00DC"},
        {"a prefix as typed, blanks kept", NumberFields(u" Łx ", u"1", u"5"), u"Префикс (« Łx »): символ «Ł» (U+0141"},
        {"full-width digits are no digits", NumberFields(u"", u"１２", u"5"), u"Начать с («１２»): символ «１» (U+FF11"},
        {"the total", NumberFields(u"", u"1", u"５"), u"Всего («５»): символ «５» (U+FF15"},
    };
    for (const auto& c : cases) {
        RunInputs inputs;
        EXPECT_EQ(Head(ReadRunFields(c.fields, TableCp1251, inputs)), Utf8Of(c.head)) << c.name;
    }
}

TEST(TypedText, TheWholeMessageEndsWithItsAdvice) {
    const TypedFields refused = ConvertTypedFields({{"Префикс", u"Straße"}}, TableCp1251);
    EXPECT_TRUE(refused.cp1251.empty());
    const std::u16string expected = u"Префикс («Straße»): символ «ß» (U+00DF" + kAdvice;
    EXPECT_EQ(Utf8Of(refused.refusal), Utf8Of(expected));
}

TEST(TypedText, ALongLineIsQuotedAroundItsCharacterAndNeverCutInsideAPair) {
    const std::u16string a(100, u'a'), b(100, u'b'), eszett = u"ß";
    const std::u16string quotedAroundIt = u"Префикс («…" + std::u16string(20, u'a') + eszett +
                                          std::u16string(19, u'b') + u"…»): символ «" + eszett + u"» (U+00DF";
    EXPECT_EQ(Head(OutsideCp1251Message("Префикс", a + eszett + b, 100)), Utf8Of(quotedAroundIt));
    // Among emojis, the quote's ends move out of a pair rather than cut it.
    std::u16string emojis;
    for (int i = 0; i < 30; ++i) emojis += u"😀";
    const std::u16string endsInside = u"Префикс («…" + emojis.substr(40) + u"a" + eszett + u"»): символ «" + eszett +
                                      u"» (U+00DF";
    EXPECT_EQ(Head(OutsideCp1251Message("Префикс", emojis + u"a" + eszett, 61)), Utf8Of(endsInside));
    const std::u16string startsInside =
        u"Префикс («" + eszett + emojis.substr(0, 40) + u"…»): символ «" + eszett + u"» (U+00DF";
    EXPECT_EQ(Head(OutsideCp1251Message("Префикс", eszett + emojis, 0)), Utf8Of(startsInside));
}

TEST(TypedText, WhatFitsArrivesByteForByteAndUnusedFieldsNeverRefuse) {
    // Number mode: the three fields exactly, the total cut to its first 19 characters.
    RunInputs inputs;
    EXPECT_TRUE(ReadRunFields(NumberFields(u"Ёж-№€ ", u" 0001", u"12345678901234567890123"), TableCp1251, inputs).empty());
    EXPECT_EQ(inputs.prefix, "Ёж-№€ ");
    EXPECT_EQ(inputs.startText, " 0001");
    EXPECT_EQ(inputs.totalText, "1234567890123456789");
    EXPECT_FALSE(inputs.listMode);
    EXPECT_EQ(inputs.listText, "");

    // List mode: the disabled start and total are not typed from, so what they hold never refuses.
    RunFields list = ListFields(u"Москва-1\r\n\r\nB 2\r\n", u"P");
    list.startText = u"ü1";
    list.totalText = u"ß";
    EXPECT_TRUE(ReadRunFields(list, TableCp1251, inputs).empty());
    EXPECT_TRUE(inputs.listMode);
    EXPECT_EQ(inputs.listText, "Москва-1\r\n\r\nB 2\r\n");
    EXPECT_EQ(inputs.prefix, "P");
    EXPECT_EQ(inputs.startText, "?1");

    // Merge-window style fields, in order; empty ones convert to empty.
    const TypedFields converted =
        ConvertTypedFields({{"списка 1", u"a\r\nб", true}, {"Префикс", u""}, {"Количество", u"100"}}, TableCp1251);
    EXPECT_TRUE(converted.refusal.empty());
    EXPECT_EQ(converted.cp1251, (std::vector<std::string>{"a\r\nб", "", "100"}));
    const TypedFields second = ConvertTypedFields({{"списка 1", u"a", true}, {"списка 2", u"x\ny\nĘ", true}}, TableCp1251);
    const std::u16string secondList = u"Строка 3 списка 2 («Ę»): символ «Ę» (U+0118";
    EXPECT_EQ(Head(second.refusal), Utf8Of(secondList));
}
