// TStrings and TStringList: lists of texts, each with an object slot.
#pragma once

#include <vector>

#include "platform/rtl/Classes.h"

class EStringListError : public Exception {
public:
    using Exception::Exception;
};

class TStrings : public TPersistent {
public:
    int Count() const { return int(FItems.size()); }
    const AnsiString& Strings(int Index) const;
    virtual void SetString(int Index, const AnsiString& S);
    TObject* Objects(int Index) const;
    void SetObject(int Index, TObject* Object);
    AnsiString operator[](int Index) const { return Strings(Index); }

    virtual int Add(const AnsiString& S) { return AddObject(S, nullptr); }
    virtual int AddObject(const AnsiString& S, TObject* Object);
    virtual void Insert(int Index, const AnsiString& S, TObject* Object = nullptr);
    virtual void Delete(int Index);
    virtual void Clear();
    // Case-insensitive, as the run-time's lists compare.
    virtual int IndexOf(const AnsiString& S) const;
    int IndexOfName(const AnsiString& Name) const;
    AnsiString Names(int Index) const;               // text before the first "="
    AnsiString Values(const AnsiString& Name) const; // text after it, for that name
    AnsiString ValueFromIndex(int Index) const;

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate() {
        if (FUpdateCount > 0) --FUpdateCount;
    }
    int UpdateCount() const { return FUpdateCount; }

    // Lines joined by line breaks, each one ended by one.
    AnsiString Text() const;
    void SetText(const AnsiString& Value);
    // Items separated by commas or blanks, double quotes grouping.
    AnsiString CommaText() const;
    void SetCommaText(const AnsiString& Value);

    void Assign(TPersistent* Source) override;
    void AddStrings(const TStrings& Other);

protected:
    struct TItem {
        AnsiString S;
        TObject* Object = nullptr;
    };
    std::vector<TItem> FItems;
    void CheckIndex(int Index) const;

private:
    int FUpdateCount = 0;
};

class TStringList : public TStrings {
public:
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    bool CaseSensitive = false;
    int AddObject(const AnsiString& S, TObject* Object) override;
    int IndexOf(const AnsiString& S) const override;
    // Position of S in a sorted list, or where it would go (false).
    bool Find(const AnsiString& S, int& Index) const;
    void Sort();

private:
    int Compare(const AnsiString& A, const AnsiString& B) const;
    bool FSorted = false;
};

// Holds a list's update bracket (BeginUpdate/EndUpdate) for a scope, so an
// exception passing through leaves it balanced; any list type with the two
// calls will do.
template <class L> class TUpdateBracket {
public:
    explicit TUpdateBracket(L& AList) : FList(AList) { FList.BeginUpdate(); }
    ~TUpdateBracket() { FList.EndUpdate(); }
    TUpdateBracket(const TUpdateBracket&) = delete;
    TUpdateBracket& operator=(const TUpdateBracket&) = delete;

private:
    L& FList;
};
