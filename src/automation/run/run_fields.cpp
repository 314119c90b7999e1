// The run's text fields into its inputs, with the refusal of a character the run could not type.
#include "automation/run/run_fields.h"

#include <vector>

std::u16string ReadRunFields(const RunFields& fields, const Cp1251Converter& convert, RunInputs& inputs) {
    inputs.listMode = fields.listMode;
    // In the order the window shows them.
    std::vector<TypedField> typed = {{"Префикс", fields.prefix}};
    if (fields.listMode) {
        typed.push_back({"списка", fields.listText, true});
    } else {
        typed.push_back({"Начать с", fields.startText});
        typed.push_back({"Всего", fields.totalText});
    }
    TypedFields converted = ConvertTypedFields(typed, convert);
    if (!converted.refusal.empty()) return converted.refusal;

    inputs.prefix = std::move(converted.cp1251[0]);
    if (fields.listMode) {
        inputs.listText = std::move(converted.cp1251[1]);
        // Kept with the run (a stop is continued only with the same inputs); a character 1251 has no
        // place for stays a '?', as nothing is typed from them.
        inputs.startText = convert(fields.startText).text;
        inputs.totalText = convert(fields.totalText).text;
    } else {
        inputs.startText = std::move(converted.cp1251[1]);
        inputs.totalText = std::move(converted.cp1251[2]);
        inputs.listText.clear();
    }
    if (inputs.totalText.size() > kTotalFieldChars) inputs.totalText.resize(kTotalFieldChars);  // a byte a character
    return {};
}
