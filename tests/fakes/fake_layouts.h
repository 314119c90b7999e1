// Keyboard layouts for tests, as tables of what each key types, with the system's key scan and key
// translation over them: US, Russian (ЙЦУКЕН) and French AZERTY, and one that hides the digits
// behind AltGr (Ctrl+Alt).
#pragma once
#include "automation/input/machine.h"

#include <optional>
#include <string>
#include <vector>

struct FakeKey {
    unsigned char vk;
    char16_t plain, shifted;
    bool capsLock;         // Caps Lock turns Shift over on this key
    char16_t altGr = 0;    // with Ctrl+Alt
};

struct FakeLayout {
    KeyboardLayout id;
    std::vector<FakeKey> keys;

    // The first key, and on it the first of plain, Shift and AltGr, that types the character.
    std::optional<LayoutKey> KeyFor(char16_t unit) const {
        for (const FakeKey& k : keys) {
            if (k.plain == unit) return LayoutKey{k.vk, false, false, false};
            if (k.shifted == unit) return LayoutKey{k.vk, true, false, false};
            if (k.altGr && k.altGr == unit) return LayoutKey{k.vk, false, true, true};
        }
        return std::nullopt;
    }
    char16_t CharacterOf(const LayoutKey& key, bool capsLock) const {
        for (const FakeKey& k : keys) {
            if (k.vk != key.vk) continue;
            if (key.ctrl || key.alt) return key.ctrl && key.alt && !key.shift ? k.altGr : 0;
            return key.shift != (capsLock && k.capsLock) ? k.shifted : k.plain;
        }
        return 0;
    }
};

namespace fake_layouts {
inline void AddRow(FakeLayout& layout, const char* vks, const std::u16string& plain, const std::u16string& shifted,
                   bool capsLock) {
    for (size_t i = 0; i < plain.size(); ++i)
        layout.keys.push_back({static_cast<unsigned char>(vks[i]), plain[i], shifted[i], capsLock});
}
inline void AddLetters(FakeLayout& layout, const std::u16string& small, const std::u16string& capital) {
    AddRow(layout, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", small, capital, true);
}
constexpr char kDigitVks[] = "1234567890";
}  // namespace fake_layouts

inline const FakeLayout& UsLayout() {
    static const FakeLayout layout = [] {
        FakeLayout l{0x04090409, {}};
        fake_layouts::AddLetters(l, u"abcdefghijklmnopqrstuvwxyz", u"ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        fake_layouts::AddRow(l, fake_layouts::kDigitVks, u"1234567890", u"!@#$%^&*()", false);
        l.keys.push_back({0xBD, u'-', u'_', false});
        l.keys.push_back({0xBC, u',', u'<', false});
        l.keys.push_back({0xBE, u'.', u'>', false});
        l.keys.push_back({0x20, u' ', u' ', false});
        return l;
    }();
    return layout;
}

// No Latin letters: the letter keys type Cyrillic.
inline const FakeLayout& RussianLayout() {
    static const FakeLayout layout = [] {
        FakeLayout l{0x04190419, {}};
        fake_layouts::AddLetters(l, u"фисвуапршолдьтщзйкыегмцчня", u"ФИСВУАПРШОЛДЬТЩЗЙКЫЕГМЦЧНЯ");
        fake_layouts::AddRow(l, fake_layouts::kDigitVks, u"1234567890", u"!\"№;%:?*()", false);
        l.keys.push_back({0xC0, u'ё', u'Ё', true});
        l.keys.push_back({0xBA, u'ж', u'Ж', true});
        l.keys.push_back({0xBD, u'-', u'_', false});
        l.keys.push_back({0xBF, u'.', u',', false});
        l.keys.push_back({0x20, u' ', u' ', false});
        return l;
    }();
    return layout;
}

// Digits on Shift, the hyphen on the 6 key, and Caps Lock shifting the digit row as well.
inline const FakeLayout& FrenchLayout() {
    static const FakeLayout layout = [] {
        FakeLayout l{0x040C040C, {}};
        fake_layouts::AddLetters(l, u"abcdefghijklmnopqrstuvwxyz", u"ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        fake_layouts::AddRow(l, fake_layouts::kDigitVks, u"&é\"'(-è_çà", u"1234567890", true);
        l.keys.push_back({0xDB, u')', u'°', false});
        l.keys.push_back({0x20, u' ', u' ', false});
        return l;
    }();
    return layout;
}

// Latin letters as on US; the digits only with AltGr.
inline const FakeLayout& AltGrDigitsLayout() {
    static const FakeLayout layout = [] {
        FakeLayout l{0xF0010409, {}};
        fake_layouts::AddLetters(l, u"abcdefghijklmnopqrstuvwxyz", u"ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        const std::u16string plain = u"ąčęėįšųū„“", shifted = u"ĄČĘĖĮŠŲŪ“”";
        for (size_t i = 0; i < plain.size(); ++i)
            l.keys.push_back({static_cast<unsigned char>(fake_layouts::kDigitVks[i]), plain[i], shifted[i], true,
                              static_cast<char16_t>(fake_layouts::kDigitVks[i])});
        l.keys.push_back({0xBD, u'-', u'_', false});
        l.keys.push_back({0x20, u' ', u' ', false});
        return l;
    }();
    return layout;
}

inline const FakeLayout& FakeLayoutById(KeyboardLayout id) {
    for (const FakeLayout* l : {&UsLayout(), &RussianLayout(), &FrenchLayout(), &AltGrDigitsLayout()})
        if (l->id == id) return *l;
    static const FakeLayout none{0, {}};
    return none;
}
