// The registry store file's text: reading it into the key tree, writing the
// tree back, and checking the tree's rules. Nothing here recurses over the
// depth of the keys.
#include "platform/win/RegistryFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace {

struct TRootInfo {
    HKEY Handle;
    const char* Name;
};
const TRootInfo kRoots[] = {{HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
                            {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
                            {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
                            {HKEY_USERS, "HKEY_USERS"},
                            {HKEY_PERFORMANCE_DATA, "HKEY_PERFORMANCE_DATA"},
                            {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
                            {HKEY_DYN_DATA, "HKEY_DYN_DATA"}};

const char kHeader[] = "Windows Registry Editor Version 5.00";
const char kOldHeader[] = "REGEDIT4";

// Orders names as their upper-case forms compare, without making them.
bool UpperLess(const AnsiString& A, const AnsiString& B) {
    const std::size_t n = std::min(A.size(), B.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto a = static_cast<unsigned char>(AnsiUpperChar(A[i]));
        const auto b = static_cast<unsigned char>(AnsiUpperChar(B[i]));
        if (a != b) return a < b;
    }
    return A.size() < B.size();
}

auto SubKeyPosition(std::vector<TRegStoreKey>& SubKeys, const AnsiString& Name) {
    return std::lower_bound(SubKeys.begin(), SubKeys.end(), Name,
                            [](const TRegStoreKey& k, const AnsiString& n) { return UpperLess(k.Name, n); });
}

bool SameUpper(const AnsiString& A, const AnsiString& B) {
    return !UpperLess(A, B) && !UpperLess(B, A);
}

// ------------------------------------------------------------- writing

std::string Quote(const AnsiString& Ansi) {
    std::string out = "\"";
    for (char c : AnsiToUtf8(Ansi)) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string HexBytes(const std::string& Data) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(Data.size() * 3);
    for (std::size_t i = 0; i < Data.size(); ++i) {
        if (i) out += ',';
        unsigned char b = Data[i];
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

// A REG_SZ value goes out as a quoted text only when the text reads back to
// the very same bytes; anything else is written as hexadecimal bytes.
bool IsPlainText(const std::string& Data) {
    if (Data.empty() || Data.back() != '\0') return false;
    for (std::size_t i = 0; i + 1 < Data.size(); ++i)
        if (Data[i] == '\0' || Data[i] == '\r' || Data[i] == '\n') return false;
    return true;
}

std::string ValueLine(const TRegStoreValue& V) {
    std::string line = V.Name.empty() ? "@" : Quote(V.Name);
    line += '=';
    if (V.Type == REG_SZ && IsPlainText(V.Data)) {
        line += Quote(V.Data.substr(0, V.Data.size() - 1));
    } else if (V.Type == REG_DWORD && V.Data.size() == 4) {
        uint32_t d = 0;
        std::memcpy(&d, V.Data.data(), 4);
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", d);
        line += buf;
    } else if (V.Type == REG_BINARY) {
        line += "hex:" + HexBytes(V.Data);
    } else {
        char buf[32];
        std::snprintf(buf, sizeof buf, "hex(%x):", unsigned(V.Type));
        line += buf + HexBytes(V.Data);
    }
    return line;
}

// ------------------------------------------------------------- reading

// Parses a quoted text at Pos (which points at the opening quote).
bool ParseQuoted(std::string_view Line, std::size_t& Pos, AnsiString& Out) {
    if (Pos >= Line.size() || Line[Pos] != '"') return false;
    std::string utf8;
    for (++Pos; Pos < Line.size(); ++Pos) {
        char c = Line[Pos];
        if (c == '\\') {
            if (++Pos >= Line.size()) return false;
            utf8 += Line[Pos];
        } else if (c == '"') {
            ++Pos;
            Out = Utf8ToAnsi(utf8);
            return true;
        } else {
            utf8 += c;
        }
    }
    return false;
}

int HexDigit(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return -1;
}

bool ParseHexBytes(std::string_view Text, std::string& Out) {
    Out.clear();
    std::string t;
    for (char c : Text)
        if (c != ' ' && c != '\t') t += c;
    if (t.empty()) return true;
    std::size_t pos = 0;
    while (true) {
        if (pos + 2 > t.size()) return false;
        int hi = HexDigit(t[pos]), lo = HexDigit(t[pos + 1]);
        if (hi < 0 || lo < 0) return false;
        Out += char(hi * 16 + lo);
        pos += 2;
        if (pos == t.size()) return true;
        if (t[pos] != ',') return false;
        ++pos;
    }
}

// The value's data after "name=".
bool ParseValueData(std::string_view Data, TRegStoreValue& V) {
    if (!Data.empty() && Data[0] == '"') {
        std::size_t p = 0;
        AnsiString text;
        if (!ParseQuoted(Data, p, text) || p != Data.size()) return false;
        V.Type = REG_SZ;
        V.Data = text + '\0';
        return true;
    }
    if (Data.substr(0, 6) == "dword:") {
        std::string_view digits = Data.substr(6);
        if (digits.empty() || digits.size() > 8) return false;
        uint32_t d = 0;
        for (char c : digits) {
            int h = HexDigit(c);
            if (h < 0) return false;
            d = d * 16 + uint32_t(h);
        }
        V.Type = REG_DWORD;
        V.Data.assign(reinterpret_cast<const char*>(&d), 4);
        return true;
    }
    if (Data.substr(0, 4) == "hex:") {
        V.Type = REG_BINARY;
        return ParseHexBytes(Data.substr(4), V.Data);
    }
    if (Data.substr(0, 4) == "hex(") {
        std::size_t close = Data.find("):");
        if (close == std::string_view::npos || close == 4 || close > 12) return false;
        uint32_t t = 0;
        for (std::size_t i = 4; i < close; ++i) {
            int h = HexDigit(Data[i]);
            if (h < 0) return false;
            t = t * 16 + uint32_t(h);
        }
        V.Type = t;
        return ParseHexBytes(Data.substr(close + 2), V.Data);
    }
    return false;
}

// The lines of the text, without their line ends and trailing blanks.
class TLines {
public:
    explicit TLines(std::string_view Text) : FText(Text) {}
    bool Next(std::string_view& Line) {
        if (FPos >= FText.size()) return false;
        std::size_t end = FText.find('\n', FPos);
        if (end == std::string_view::npos) end = FText.size();
        Line = FText.substr(FPos, end - FPos);
        while (!Line.empty() && (Line.back() == '\r' || Line.back() == ' ' || Line.back() == '\t'))
            Line.remove_suffix(1);
        FPos = end + 1;
        ++FNumber;
        return true;
    }
    int Number() const { return FNumber; }

private:
    std::string_view FText;
    std::size_t FPos = 0;
    int FNumber = 0;
};

bool IsBlank(std::string_view Text) {
    return Text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// The keys as the reader meets them, in any order: each found again through
// one hash table, then sorted once when the tree is made. Inserting each
// into its sorted place as it comes would cost the number of its siblings.
class TKeyBuilder {
public:
    struct TNode {
        AnsiString Name;
        AnsiString Upper;
        std::vector<TRegStoreValue> Values;
        std::vector<TNode*> Children;
    };

    TNode* Root(HKEY Handle) {
        auto [it, added] = FRoots.emplace(Handle, nullptr);
        if (added) it->second = &FNodes.emplace_back();
        return it->second;
    }

    TNode* Child(TNode* Parent, const AnsiString& Name) {
        AnsiString upper = AnsiUpperCase(Name);
        auto [it, added] = FIndex.emplace(TKey{Parent, upper}, nullptr);
        if (added) {
            TNode& node = FNodes.emplace_back();
            node.Name = Name;
            node.Upper = std::move(upper);
            Parent->Children.push_back(&node);
            it->second = &node;
        }
        return it->second;
    }

    // Moves what was read into Tree, every key's sub-keys in their order.
    void MakeTree(TRegStoreTree& Tree) {
        std::vector<std::pair<TNode*, TRegStoreKey*>> pending;
        for (auto& [handle, node] : FRoots)
            pending.push_back({node, &Tree.Roots[handle]});
        while (!pending.empty()) {
            auto [node, key] = pending.back();
            pending.pop_back();
            key->Values = std::move(node->Values);
            std::sort(node->Children.begin(), node->Children.end(),
                      [](const TNode* a, const TNode* b) { return a->Upper < b->Upper; });
            key->SubKeys.resize(node->Children.size());
            for (std::size_t i = 0; i < node->Children.size(); ++i) {
                key->SubKeys[i].Name = std::move(node->Children[i]->Name);
                pending.push_back({node->Children[i], &key->SubKeys[i]});
            }
        }
    }

private:
    struct TKey {
        const TNode* Parent;
        AnsiString Upper;
        bool operator==(const TKey&) const = default;
    };
    struct THash {
        std::size_t operator()(const TKey& K) const {
            return std::hash<std::string>()(K.Upper) * 31 + std::hash<const void*>()(K.Parent);
        }
    };
    std::deque<TNode> FNodes; // nodes keep their place as more are added
    std::map<HKEY, TNode*> FRoots;
    std::unordered_map<TKey, TNode*, THash> FIndex;
};

class TReader {
public:
    explicit TReader(TRegStoreTree& Tree) : FTree(Tree) {}

    AnsiString Read(std::string_view Bytes) {
        if (Bytes.substr(0, 3) == "\xEF\xBB\xBF") Bytes.remove_prefix(3);
        if (IsBlank(Bytes)) return AnsiString();
        TLines lines(Bytes);
        std::string_view line;
        lines.Next(line);
        if (line != kHeader && line != kOldHeader) return "no registry file header";
        while (lines.Next(line)) {
            AnsiString error;
            if (line.empty() || line[0] == ';')
                continue; // a comment never continues onto the next line
            else if (line[0] == '[')
                error = KeyHeader(line);
            else
                error = ValueLine(line, lines);
            if (!error.empty()) return "line " + IntToStr(lines.Number()) + ": " + error;
        }
        FKeys.MakeTree(FTree);
        MergeRepeatedValues();
        return AnsiString();
    }

private:
    AnsiString KeyHeader(std::string_view Line) {
        if (Line.size() < 3 || Line.back() != ']') return "unfinished key header";
        if (Line[1] == '-') return "key deletions are not kept in a store";
        const AnsiString path = Utf8ToAnsi(Line.substr(1, Line.size() - 2));
        std::vector<AnsiString> parts;
        for (std::size_t start = 0; start <= path.size();) {
            std::size_t end = std::min(path.find('\\', start), path.size());
            if (end > start) parts.push_back(path.substr(start, end - start));
            start = end + 1;
        }
        if (parts.empty()) return "empty key header";
        if (parts.size() - 1 > RegistryMaxKeyDepth) return "keys nested too deep";
        // Headers follow each other in order, mostly: the keys this one
        // shares with the one before are found again without a look-up.
        std::size_t same = 0;
        while (same < parts.size() && same < FPath.size() && parts[same] == FPath[same])
            ++same;
        FPathKeys.resize(same);
        if (same == 0) {
            for (const TRootInfo& r : kRoots)
                if (parts[0] == r.Name) FPathKeys.push_back(FKeys.Root(r.Handle));
            if (FPathKeys.empty()) return "unknown root key";
            same = 1;
        }
        for (std::size_t p = same; p < parts.size(); ++p) {
            if (!IsValidRegistryKeyName(parts[p])) return "invalid key name";
            FPathKeys.push_back(FKeys.Child(FPathKeys.back(), parts[p]));
        }
        FPath = std::move(parts);
        FCurrent = FPathKeys.back();
        return AnsiString();
    }

    AnsiString ValueLine(std::string_view Line, TLines& Lines) {
        if (!FCurrent) return "value outside a key";
        TRegStoreValue v;
        std::size_t pos = 0;
        if (Line[0] == '@') {
            pos = 1;
        } else if (!ParseQuoted(Line, pos, v.Name)) {
            return "unreadable value name";
        }
        if (v.Name.find('\0') != AnsiString::npos) return "invalid value name";
        if (pos >= Line.size() || Line[pos] != '=') return "no '=' after the value name";
        std::string_view data = Line.substr(pos + 1);
        std::string joined;
        // Only hexadecimal data goes on over the next lines, each ending in a backslash.
        if (data.substr(0, 3) == "hex" && !data.empty() && data.back() == '\\') {
            joined = data;
            std::string_view next;
            while (!joined.empty() && joined.back() == '\\') {
                joined.pop_back();
                if (!Lines.Next(next)) return "unfinished value";
                std::size_t b = next.find_first_not_of(" \t");
                if (b != std::string_view::npos) joined += next.substr(b);
            }
            data = joined;
        }
        if (!ParseValueData(data, v)) return "unreadable value data";
        FCurrent->Values.push_back(std::move(v));
        FRepeats |= FCurrent->Values.size() > 1;
        return AnsiString();
    }

    // A name given again replaces the value where it first stood.
    void MergeRepeatedValues() {
        if (!FRepeats) return;
        std::vector<TRegStoreKey*> pending;
        for (auto& [handle, root] : FTree.Roots)
            pending.push_back(&root);
        while (!pending.empty()) {
            TRegStoreKey* k = pending.back();
            pending.pop_back();
            for (TRegStoreKey& sub : k->SubKeys)
                pending.push_back(&sub);
            if (k->Values.size() < 2) continue;
            std::unordered_map<std::string, std::size_t> first;
            std::vector<TRegStoreValue> merged;
            for (TRegStoreValue& v : k->Values) {
                auto [it, added] = first.emplace(AnsiUpperCase(v.Name), merged.size());
                if (added)
                    merged.push_back(std::move(v));
                else
                    merged[it->second] = std::move(v);
            }
            k->Values = std::move(merged);
        }
    }

    TRegStoreTree& FTree;
    TKeyBuilder FKeys;
    TKeyBuilder::TNode* FCurrent = nullptr;
    // The last header's key names and keys, its root first.
    std::vector<AnsiString> FPath;
    std::vector<TKeyBuilder::TNode*> FPathKeys;
    bool FRepeats = false;
};

} // namespace

TRegStoreKey* TRegStoreKey::FindSubKey(const AnsiString& KeyName) {
    auto it = SubKeyPosition(SubKeys, KeyName);
    return it != SubKeys.end() && SameUpper(it->Name, KeyName) ? &*it : nullptr;
}

TRegStoreKey& TRegStoreKey::FindOrAddSubKey(const AnsiString& KeyName) {
    auto it = SubKeyPosition(SubKeys, KeyName);
    if (it != SubKeys.end() && SameUpper(it->Name, KeyName)) return *it;
    it = SubKeys.insert(it, TRegStoreKey{});
    it->Name = KeyName;
    return *it;
}

bool TRegStoreKey::RemoveSubKey(const AnsiString& KeyName) {
    auto it = SubKeyPosition(SubKeys, KeyName);
    if (it == SubKeys.end() || !SameUpper(it->Name, KeyName)) return false;
    SubKeys.erase(it);
    return true;
}

TRegStoreValue* TRegStoreKey::FindValue(const AnsiString& ValueName) {
    for (TRegStoreValue& v : Values)
        if (SameText(v.Name, ValueName)) return &v;
    return nullptr;
}

TRegStoreTree::TRegStoreTree() {
    for (const TRootInfo& r : kRoots)
        Roots[r.Handle].Name = r.Name;
}

bool IsValidRegistryKeyName(const AnsiString& Name) {
    return !Name.empty() && Name.find('\0') == AnsiString::npos && Name.find('\\') == AnsiString::npos;
}

TRegStoreParse ParseRegistryStoreFile(std::string_view Bytes) {
    TRegStoreParse result;
    result.Error = TReader(result.Tree).Read(Bytes);
    if (!result.Ok()) result.Tree = TRegStoreTree();
    return result;
}

std::string WriteRegistryStoreFile(const TRegStoreTree& Tree) {
    std::string out = kHeader;
    out += "\n";
    // Depth first, one path for all: a key's path is its parent's, which is
    // still at the front of Path when the key's turn comes.
    struct TPending {
        const TRegStoreKey* Key;
        std::size_t ParentLength;
    };
    std::vector<TPending> pending;
    std::string path;
    for (const auto& [handle, root] : Tree.Roots) {
        pending.push_back({&root, 0});
        while (!pending.empty()) {
            const TPending p = pending.back();
            pending.pop_back();
            const TRegStoreKey& k = *p.Key;
            const bool isRoot = p.Key == &root;
            path.resize(p.ParentLength);
            if (!isRoot) path += '\\';
            path += isRoot ? std::string(k.Name) : AnsiToUtf8(k.Name);
            // A key that only holds deeper keys is made again by their headers.
            if (!k.Values.empty() || (!isRoot && k.SubKeys.empty())) {
                out += "\n[" + path + "]\n";
                for (const TRegStoreValue& v : k.Values)
                    out += ValueLine(v) + "\n";
            }
            for (auto it = k.SubKeys.rbegin(); it != k.SubKeys.rend(); ++it)
                pending.push_back({&*it, path.size()});
        }
    }
    return out;
}

AnsiString CheckRegistryStoreTree(const TRegStoreTree& Tree) {
    std::vector<std::pair<const TRegStoreKey*, std::size_t>> pending;
    for (const auto& [handle, root] : Tree.Roots)
        pending.push_back({&root, 0});
    while (!pending.empty()) {
        auto [k, depth] = pending.back();
        pending.pop_back();
        if (depth > RegistryMaxKeyDepth) return "a key deeper than the limit: " + k->Name;
        if (depth > 0 && !IsValidRegistryKeyName(k->Name)) return "an invalid key name below a root";
        std::unordered_set<std::string> names;
        for (const TRegStoreValue& v : k->Values) {
            if (v.Name.find('\0') != AnsiString::npos) return "a value name with a NUL in " + k->Name;
            if (!names.insert(AnsiUpperCase(v.Name)).second) return "a value name twice in " + k->Name;
        }
        for (std::size_t i = 0; i < k->SubKeys.size(); ++i) {
            if (i && !UpperLess(k->SubKeys[i - 1].Name, k->SubKeys[i].Name))
                return "sub-keys out of order or twice in " + k->Name;
            pending.push_back({&k->SubKeys[i], depth + 1});
        }
    }
    return AnsiString();
}
