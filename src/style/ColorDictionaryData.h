#pragma once

// The built-in named-colour tables: for each dictionary its name and its entries as
// UTF-8 lines "name<TAB>value", in the order the dictionary is built.
namespace colordata {

struct DictionaryText {
    const char* name;
    int expectedCount;
    const char8_t* entries;
};

extern const DictionaryText kDictionaries[];
extern const int kDictionaryCount;

} // namespace colordata
