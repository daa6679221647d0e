// The user's options: the two alternating row colours of the main window's
// grids, kept in the registry under Software\Tarvik\<executable name>.
#pragma once

#include <cstdint>

#include "platform/rtl/Classes.h"

class TApplicationOptions : public TObject {
public:
    // Colours of the platform: RGB with red in the low byte, or 0xFF000000
    // plus a system colour index.
    static constexpr uint32_t DefaultFirstGridRowColor = 0xFF000018;  // clInfoBk
    static constexpr uint32_t DefaultSecondGridRowColor = 0x00FFFFFF; // clWhite

    TApplicationOptions();

    // Reads both colours; a value that is missing, of another type than an
    // integer, or in a store that cannot be read gives its default.
    void Load();
    // Writes both colours; false when the store could not be written.
    bool Save();

    // Even row indexes.
    uint32_t FirstGridRowColor = DefaultFirstGridRowColor;
    // Odd row indexes.
    uint32_t SecondGridRowColor = DefaultSecondGridRowColor;

    // Software\Tarvik\ followed by the executable's name without extension.
    static AnsiString RegistryKey();

protected:
    bool ReadFromRegistry();
    bool WriteToRegistry();
};
