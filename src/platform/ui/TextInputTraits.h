#pragma once

namespace platform::ui {

// How a text input would set up the on-screen keyboard, kept as values with the
// platform's numbers. A desktop keyboard needs none of them; the keyboard type also
// tells the input method what is expected.
struct TextInputTraits {
    enum class AutocapitalizationType { None = 0, Words = 1, Sentences = 2, AllCharacters = 3 };
    enum class AutocorrectionType { Default = 0, No = 1, Yes = 2 };
    enum class SpellCheckingType { Default = 0, No = 1, Yes = 2 };
    enum class KeyboardType {
        Default = 0,
        ASCIICapable = 1,
        NumbersAndPunctuation = 2,
        URL = 3,
        NumberPad = 4,
        PhonePad = 5,
        NamePhonePad = 6,
        EmailAddress = 7,
        DecimalPad = 8,
        Twitter = 9,
        WebSearch = 10
    };
    enum class KeyboardAppearance { Default = 0, Dark = 1, Light = 2 };
    enum class ReturnKeyType {
        Default = 0,
        Go = 1,
        Google = 2,
        Join = 3,
        Next = 4,
        Route = 5,
        Search = 6,
        Send = 7,
        Yahoo = 8,
        Done = 9,
        EmergencyCall = 10
    };

    AutocapitalizationType autocapitalizationType = AutocapitalizationType::Sentences;
    AutocorrectionType autocorrectionType = AutocorrectionType::Default;
    SpellCheckingType spellCheckingType = SpellCheckingType::Default;
    KeyboardType keyboardType = KeyboardType::Default;
    KeyboardAppearance keyboardAppearance = KeyboardAppearance::Default;
    ReturnKeyType returnKeyType = ReturnKeyType::Default;
    bool enablesReturnKeyAutomatically = false;
    bool secureTextEntry = false;

    bool operator==(const TextInputTraits&) const = default;
};

} // namespace platform::ui
