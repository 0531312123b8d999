// A hash table keyed by text, searched with views so that no string is built for a look-up.
// Keys live in one shared character arena; slots hold a hash and an entry number, so that a
// miss (the common case while affixes are stripped) touches a single slot.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// For the look-ups in the checking's innermost loops: inlined there even when the compiler
// would not, seeing several callers.
#if defined(__GNUC__)
#define PW_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define PW_ALWAYS_INLINE inline
#endif

namespace pwspell {

// The hash of a text, also built a piece at a time: HashAdd over its characters from
// HashStart, then HashEnd with its length (a stem that is the beginning of a word and letters
// put back is hashed without being copied together).
constexpr uint64_t HashStart = 0x9E3779B97F4A7C15ull;

inline uint64_t HashAdd(uint64_t h, char32_t c) noexcept { return (h ^ c) * 0x100000001B3ull; }

inline uint64_t HashAdd(uint64_t h, std::u32string_view s) noexcept
{
    for (char32_t c : s) h = HashAdd(h, c);
    return h;
}

inline uint32_t HashEnd(uint64_t h, size_t Length) noexcept
{
    h ^= Length;
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
    return static_cast<uint32_t>(h);
}

inline uint32_t HashText(std::u32string_view s) noexcept { return HashEnd(HashAdd(HashStart, s), s.size()); }

// Whether N characters at A and B are the same (keys are short: a plain loop beats a call).
PW_ALWAYS_INLINE bool SameText(const char32_t* a, const char32_t* b, size_t n) noexcept
{
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

template <class V>
class TextTable {
public:
    // The value stored under Key, added (default-constructed) when missing.
    V& Insert(std::u32string_view Key)
    {
        if ((FEntries.size() + 1) * 2 > FSlots.size()) Grow(FSlots.empty() ? 16 : FSlots.size() * 2);
        uint32_t h = HashText(Key);
        size_t i = Probe(Key, h);
        if (FSlots[i].Index) return FEntries[FSlots[i].Index - 1].Value;
        FEntries.push_back(Entry{static_cast<uint32_t>(FText.size()), static_cast<uint32_t>(Key.size()), V()});
        FText.append(Key);
        FSlots[i] = Slot{h, static_cast<uint32_t>(FEntries.size())};
        return FEntries.back().Value;
    }

    // Asks for the slot of Key to be brought into the cache ahead of an Insert or Find: a
    // table of many entries misses the cache at nearly every look-up.
    void Prefetch(std::u32string_view Key) const
    {
#if defined(__GNUC__)
        if (!FSlots.empty()) __builtin_prefetch(&FSlots[HashText(Key) & (FSlots.size() - 1)]);
#else
        (void)Key;
#endif
    }

    const V* Find(std::u32string_view Key) const
    {
        if (FSlots.empty()) return nullptr;
        size_t i = Probe(Key, HashText(Key));
        return FSlots[i].Index ? &FEntries[FSlots[i].Index - 1].Value : nullptr;
    }

    // Find, with State = HashAdd(HashStart, Key) worked out by the caller.
    PW_ALWAYS_INLINE const V* FindHashed(std::u32string_view Key, uint64_t State) const
    {
        if (FSlots.empty()) return nullptr;
        size_t i = Probe(Key, HashEnd(State, Key.size()));
        return FSlots[i].Index ? &FEntries[FSlots[i].Index - 1].Value : nullptr;
    }

    // The value stored under the text A followed by B, where AState is HashAdd(HashStart, A).
    PW_ALWAYS_INLINE const V* FindJoined(std::u32string_view A, std::u32string_view B, uint64_t AState) const
    {
        if (FSlots.empty()) return nullptr;
        size_t n = A.size() + B.size();
        uint32_t h = HashEnd(HashAdd(AState, B), n);
        size_t mask = FSlots.size() - 1;
        for (size_t i = h & mask;; i = (i + 1) & mask) {
            const Slot& s = FSlots[i];
            if (!s.Index) return nullptr;
            if (s.Hash != h) continue;
            const Entry& e = FEntries[s.Index - 1];
            if (e.Length != n) continue;
            const char32_t* key = FText.data() + e.Offset;
            if (SameText(key, A.data(), A.size()) && SameText(key + A.size(), B.data(), B.size())) return &e.Value;
        }
    }

    // Room for Count entries, and for TextLength characters of keys (when known: the keys
    // then are never copied to a longer arena as they are added).
    void Reserve(size_t Count, size_t TextLength = 0)
    {
        size_t n = 16;
        while (n < Count * 2 + 2) n *= 2;
        if (n > FSlots.size()) Grow(n);
        // With room for a quarter more, so that a few extra entries do not copy the whole
        // array (the room never written is address space, not memory).
        FEntries.reserve(Count + Count / 4);
        if (TextLength > FText.size()) FText.reserve(TextLength);
    }

    size_t Size() const { return FEntries.size(); }

    template <class F>
    void ForEach(F Visit) const
    {
        for (const Entry& e : FEntries) Visit(std::u32string_view(FText).substr(e.Offset, e.Length), e.Value);
    }

private:
    struct Slot { uint32_t Hash = 0; uint32_t Index = 0; };  // Index: entry number + 1, 0 when free
    struct Entry { uint32_t Offset; uint32_t Length; V Value; };
    std::vector<Slot> FSlots;
    std::vector<Entry> FEntries;
    std::u32string FText;

    std::u32string_view KeyOf(const Entry& e) const { return std::u32string_view(FText).substr(e.Offset, e.Length); }

    // The slot holding Key, or the free slot where it belongs.
    size_t Probe(std::u32string_view Key, uint32_t h) const
    {
        size_t mask = FSlots.size() - 1;
        for (size_t i = h & mask;; i = (i + 1) & mask) {
            const Slot& s = FSlots[i];
            if (!s.Index) return i;
            if (s.Hash != h) continue;
            const Entry& e = FEntries[s.Index - 1];
            if (e.Length == Key.size() && SameText(FText.data() + e.Offset, Key.data(), Key.size())) return i;
        }
    }

    void Grow(size_t n)
    {
        std::vector<Slot> old = std::move(FSlots);
        FSlots.assign(n, Slot{});
        for (const Slot& s : old) {
            if (!s.Index) continue;
            size_t i = s.Hash & (n - 1);
            while (FSlots[i].Index) i = (i + 1) & (n - 1);
            FSlots[i] = s;
        }
    }
};

} // namespace pwspell
