// Reading the parameters and switches of RTF field instructions.
#include "richtext/import/rtf/RVRTFFields.h"

#include <cmath>
#include <cstring>

#include "richtext/engine/text/RVFuncs.h"

namespace {

void MakeBackslashesSingle(AnsiString& Text) {
    AnsiString out;
    out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        out += Text[i];
        if (Text[i] == '\\' && i + 1 < Text.size() && Text[i + 1] == '\\') ++i;
    }
    Text = std::move(out);
}

// The word at I (quoted or up to a space); I moves past it.
AnsiString TakeWord(const AnsiString& Text, std::size_t& I) {
    std::size_t n = Text.size(), start = I, end = n;
    if (Text[start] == '"') {
        for (std::size_t j = start + 1; j < n; ++j)
            if (Text[j] == '"' && (j + 1 == n || Text[j + 1] == ' ')) {
                end = j + 1;
                break;
            }
    } else {
        std::size_t space = Text.find(' ', start);
        end = space == AnsiString::npos ? n : space;
    }
    I = end;
    AnsiString word = Text.substr(start, end - start);
    if (!word.empty() && word.front() == '"') word.erase(0, 1);
    if (!word.empty() && word.back() == '"') word.pop_back();
    return word;
}

// The argument of switch Name ("\o", "\l") outside quoted stretches.
bool FindSwitch(const AnsiString& Text, char Name, AnsiString& Argument) {
    bool quoted = false;
    for (std::size_t i = 0; i + 2 < Text.size(); ++i) {
        if (Text[i] == '"') quoted = !quoted;
        if (quoted || Text[i] != '\\' || Text[i + 1] != Name || Text[i + 2] != ' ') continue;
        std::size_t j = i + 2;
        while (j < Text.size() && Text[j] == ' ')
            ++j;
        if (j >= Text.size()) return false;
        Argument = TakeWord(Text, j);
        return true;
    }
    return false;
}

} // namespace

AnsiString RtfFieldInstructionText(const AnsiString& Instruction) {
    AnsiString text = Trim(Instruction);
    if (!text.empty() && text[0] == '\\') text.erase(0, 1);
    return text;
}

AnsiString RtfFieldParameter(const AnsiString& Rest, bool HyperlinkRule) {
    std::size_t i = 0, n = Rest.size();
    for (;;) {
        while (i < n && Rest[i] == ' ')
            ++i;
        if (i >= n) return AnsiString();
        if (Rest[i] != '\\') break;
        if (HyperlinkRule) return AnsiString();
        while (i < n && Rest[i] != ' ')
            ++i;
    }
    AnsiString word = TakeWord(Rest, i);
    MakeBackslashesSingle(word);
    return word;
}

bool ParseRtfSymbolField(const AnsiString& Rest, TRVRTFSymbolField& Field) {
    AnsiString text = TrimLeft(Rest);
    std::size_t space = text.find(' ');
    if (space == AnsiString::npos) return false;
    Field.CodeValid = TryStrToInt(text.substr(0, space), Field.Code);
    if (!Field.CodeValid) return true;
    std::size_t f = text.find("\\f", space);
    std::size_t s = text.find("\\s", space);
    if (f == AnsiString::npos || s == AnsiString::npos) return true;
    std::size_t open = text.find('"', f + 2);
    std::size_t close = open == AnsiString::npos ? open : text.find('"', open + 1);
    if (close == AnsiString::npos) return true;
    Field.FontName = text.substr(open + 1, close - open - 1);
    std::size_t i = s + 2;
    while (i < text.size() && text[i] == ' ')
        ++i;
    std::size_t end = i;
    while (end < text.size() && ((text[end] >= '0' && text[end] <= '9') || text[end] == '.'))
        ++end;
    if (end == i) return true;
    double size = 0;
    TFormatSettings settings;
    settings.DecimalSeparator = '.';
    if (!TryStrToFloat(text.substr(i, end - i), size, settings)) return true;
    Field.Size = int(std::lround(std::min(size, 16384.0)));
    Field.Complete = true;
    return true;
}

TRVRTFSeqField ParseRtfSeqField(const AnsiString& Rest) {
    TRVRTFSeqField field;
    field.Name = RtfFieldParameter(Rest, false);
    // A switch written right after the name (as this program's own writer
    // does) is not part of it.
    if (std::size_t slash = field.Name.find('\\'); slash != AnsiString::npos) field.Name.resize(slash);
    static const struct {
        const char* Name;
        TRVRTFSeqType Type;
    } types[] = {{"alphabetic", rtf_seqLowerAlpha},
                 {"ALPHABETIC", rtf_seqUpperAlpha},
                 {"roman", rtf_seqLowerRoman},
                 {"ROMAN", rtf_seqUpperRoman}};
    // The notation follows "\*", with or without a space between.
    auto hasNotation = [&](const char* Name) {
        for (std::size_t at = Rest.find("\\*"); at != AnsiString::npos; at = Rest.find("\\*", at + 2)) {
            std::size_t i = at + 2;
            while (i < Rest.size() && Rest[i] == ' ')
                ++i;
            if (Rest.compare(i, std::strlen(Name), Name) == 0) return true;
        }
        return false;
    };
    for (const auto& t : types)
        if (hasNotation(t.Name)) {
            field.NumberingType = t.Type;
            break;
        }
    std::size_t r = Rest.find("\\r ");
    if (r != AnsiString::npos) {
        std::size_t i = r + 3;
        while (i < Rest.size() && Rest[i] == ' ')
            ++i;
        int64_t value = 0;
        bool digits = false;
        while (i < Rest.size() && Rest[i] >= '0' && Rest[i] <= '9') {
            value = std::min<int64_t>(value * 10 + (Rest[i] - '0'), INT32_MAX);
            digits = true;
            ++i;
        }
        if (digits) {
            field.Reset = true;
            field.StartFrom = int(value);
        }
    }
    return field;
}

bool ParseRtfHyperlink(const AnsiString& Instruction, TRVRTFHyperlink& Link) {
    AnsiString text = RtfFieldInstructionText(Instruction);
    if (AnsiUpperCase(text.substr(0, 9)) != "HYPERLINK") return false;
    AnsiString rest = Trim(text.substr(9));
    AnsiString target = RtfFieldParameter(rest, true);
    // The switches are looked for in what follows the target.
    AnsiString switches = rest;
    if (!target.empty() && !rest.empty() && rest[0] != '\\') {
        std::size_t i = 0;
        TakeWord(rest, i);
        switches = rest.substr(i);
    }
    AnsiString location;
    if (FindSwitch(switches, 'l', location) && !location.empty()) {
        if (location[0] != '#') location.insert(location.begin(), '#');
        target += location;
    }
    FindSwitch(switches, 'o', Link.ScreenTip);
    Link.Target = DecodeUrlEscapes(target, false);
    return true;
}

bool IsAbsoluteLinkTarget(const AnsiString& Target) {
    return Target.empty() || Target[0] == '#' || Target.find(':') != AnsiString::npos ||
           (Target.size() >= 2 && Target[0] == Target[1] && (Target[0] == '/' || Target[0] == '\\'));
}
