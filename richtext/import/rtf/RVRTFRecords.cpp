// The font table's lookups and clean-up, and picture and object data kept
// within their limit.
#include "richtext/import/rtf/RVRTFRecords.h"

#include <cstring>

bool TRVRTFFontList::Add(int32_t Number) {
    if (Count() >= RVRTFMaxTableEntries) return false;
    TRVRTFFont font;
    font.Number = Number;
    FItems.push_back(font);
    FByNumber.emplace(Number, Count() - 1);
    return true;
}

void TRVRTFFontList::Clear() {
    FItems.clear();
    FByNumber.clear();
}

int TRVRTFFontList::IndexOfNumber(int32_t Number) const {
    auto it = FByNumber.find(Number);
    return it == FByNumber.end() ? -1 : it->second;
}

void TRVRTFFontList::RemoveCharsetSuffixes() {
    static const struct {
        uint8_t Charset;
        const char* Suffix;
    } suffixes[] = {{161, " greek"}, {162, " tur"}, {186, " baltic"}, {204, " cyr"}, {238, " ce"}};
    for (TRVRTFFont& font : FItems)
        for (const auto& s : suffixes) {
            std::size_t n = std::strlen(s.Suffix);
            if (font.Charset == s.Charset && font.Name.size() >= n &&
                SameText(font.Name.substr(font.Name.size() - n), s.Suffix))
                font.Name.resize(font.Name.size() - n);
        }
}

void TRVRTFPicture::WriteData(const uint8_t* Bytes, std::size_t Count) {
    if (Overflow || Count == 0) return;
    if (DataPosition + Count > std::size_t(RVRTFMaxPictureData)) {
        Overflow = true;
        Data.clear();
        Data.shrink_to_fit();
        return;
    }
    if (DataPosition + Count > Data.size()) Data.resize(DataPosition + Count);
    std::memcpy(Data.data() + DataPosition, Bytes, Count);
    DataPosition += Count;
}
