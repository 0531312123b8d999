#include "Dictionary.h"

#include "Text.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

namespace pwspell {

namespace {

std::string ReadFile(const std::string& path)
{
    // Read at once into a string of the file's size (copied through a string stream, the
    // text would touch three times the memory); a stream of no known size, through one.
    std::ifstream f(path, std::ios::binary | std::ios::ate);
    if (!f) throw DictionaryError("cannot read " + path);
    std::streamoff size = f.tellg();
    std::string text;
    f.seekg(0);
    if (size >= 0) {
        text.resize(static_cast<size_t>(size));
        f.read(text.data(), size);
        text.resize(static_cast<size_t>(f.gcount()));
    } else {
        std::ostringstream s;
        s << f.rdbuf();
        text = s.str();
    }
    return text;
}

// The SET named in the affix text, upper-cased; UTF-8 when none is named... as the format
// says, the default is ISO8859-1.
std::string EncodingOf(const std::string& aff)
{
    std::istringstream in(aff.rfind("\xEF\xBB\xBF", 0) == 0 ? aff.substr(3) : aff);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("SET", 0) == 0 && line.size() > 4) {
            std::string e;
            std::istringstream(line.substr(3)) >> e;
            std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
            return e;
        }
    }
    return "ISO8859-1";
}

#include "CodePages.inc"

// Bytes that are not UTF-8 (flags written as single bytes) are kept as characters of their
// own, ByteMark + the byte, which no decoded text contains.
constexpr char32_t ByteMark = 0xDC00;

// Writes the text of UTF-8 bytes to R (room for as many characters as there are bytes);
// returns the number of characters.
size_t DecodeUtf8To(std::string_view s, char32_t* const out)
{
    char32_t* r = out;
    for (size_t i = 0; i < s.size();) {
        // Eight ASCII bytes at a time (stem lines are mostly ASCII: flags and numbers).
        uint64_t block;
        if (i + 8 <= s.size() && (std::memcpy(&block, s.data() + i, 8), !(block & 0x8080808080808080ull))) {
            for (size_t k = 0; k < 8; ++k) r[k] = static_cast<unsigned char>(s[i + k]);
            r += 8;
            i += 8;
            continue;
        }
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            *r++ = c;
            ++i;
            continue;
        }
        size_t extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 4;
        char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        bool ok = extra < 4 && i + extra < s.size();
        for (size_t k = 1; ok && k <= extra; ++k) {
            unsigned char d = static_cast<unsigned char>(s[i + k]);
            ok = (d & 0xC0) == 0x80;
            cp = (cp << 6) | (d & 0x3F);
        }
        if (!ok) {
            *r++ = ByteMark + c;
            ++i;
            continue;
        }
        *r++ = cp;
        i += extra + 1;
    }
    return static_cast<size_t>(r - out);
}

// Appends the text of UTF-8 bytes to R.
void DecodeUtf8Keeping(std::string_view s, std::u32string& out)
{
    // Written in place: the text has at most as many characters as there are bytes.
    size_t n = out.size();
    out.resize(n + s.size());
    out.resize(n + DecodeUtf8To(s, out.data() + n));
}

// The table of a single-byte encoding; none for UTF-8.
const CodePageTable* CodePageOf(std::string encoding)
{
    if (encoding == "UTF-8") return nullptr;
    if (encoding.rfind("ISO-", 0) == 0) encoding.erase(3, 1);  // ISO-8859-1 is ISO8859-1
    if (encoding.rfind("CP125", 0) == 0) encoding = "MICROSOFT-" + encoding;
    for (const CodePageTable& t : CodePageTables)
        if (encoding == t.Name) return &t;
    throw DictionaryError("unsupported encoding " + encoding);
}

// Appends the text of the bytes (in the encoding of the table, UTF-8 when none) to R.
void DecodeAppend(std::string_view bytes, const CodePageTable* t, std::u32string& r)
{
    if (!t) return DecodeUtf8Keeping(bytes, r);
    size_t n = r.size();
    r.resize(n + bytes.size());
    for (unsigned char c : bytes) r[n++] = c < 0x80 ? static_cast<char32_t>(c) : t->Upper[c - 0x80];
}

// The text of a line's bytes (in the encoding of the table, UTF-8 when none), written into
// Buffer, which grows as needed.
std::u32string_view DecodeLine(std::string_view bytes, const CodePageTable* t, std::vector<char32_t>& buffer)
{
    if (buffer.size() < bytes.size()) buffer.resize(bytes.size() * 2);
    char32_t* r = buffer.data();
    if (!t) return std::u32string_view(r, DecodeUtf8To(bytes, r));
    for (unsigned char c : bytes) *r++ = c < 0x80 ? static_cast<char32_t>(c) : t->Upper[c - 0x80];
    return std::u32string_view(buffer.data(), bytes.size());
}

std::u32string Decode(const std::string& bytes, const std::string& encoding)
{
    const CodePageTable* t = CodePageOf(encoding);
    std::u32string r;
    r.reserve(bytes.size());
    DecodeAppend(bytes, t, r);
    return r;
}

std::vector<std::u32string> SplitLines(const std::u32string& text)
{
    std::vector<std::u32string> lines;
    size_t p = 0;
    if (!text.empty() && text[0] == 0xFEFF) p = 1;
    while (p < text.size()) {
        size_t e = text.find_first_of(U"\r\n", p);
        if (e == std::u32string::npos) e = text.size();
        lines.push_back(text.substr(p, e - p));
        p = e;
        if (p < text.size() && text[p] == U'\r') ++p;
        if (p < text.size() && text[p] == U'\n') ++p;
    }
    return lines;
}

std::vector<std::u32string> Fields(const std::u32string& line)
{
    std::vector<std::u32string> f;
    size_t p = 0;
    while (p < line.size()) {
        while (p < line.size() && (line[p] == U' ' || line[p] == U'\t')) ++p;
        if (p >= line.size()) break;
        size_t e = p;
        while (e < line.size() && line[e] != U' ' && line[e] != U'\t') ++e;
        f.push_back(line.substr(p, e - p));
        p = e;
    }
    return f;
}

size_t ToCount(const std::u32string& s)
{
    size_t n = 0;
    for (char32_t c : s) {
        if (c < U'0' || c > U'9') throw DictionaryError("bad number in affix file: " + ToUtf8(s));
        n = n * 10 + static_cast<size_t>(c - U'0');
        if (n > 10000000) throw DictionaryError("number too large in affix file");
    }
    return n;
}

// Whether the space at P begins the morphological fields of a dictionary line ("po:noun"):
// other spaces belong to the word.
bool MorphologyFollows(std::u32string_view l, size_t p)
{
    while (p < l.size() && l[p] == U' ') ++p;
    return p == l.size() || (p + 2 < l.size() && l[p + 2] == U':' && l[p] != U' ' && l[p + 1] != U' ');
}

std::u32string ZeroIsEmpty(const std::u32string& s) { return s == U"0" ? std::u32string() : s; }

} // namespace

Flag Dictionary::ParseFlag(const std::u32string& t) const
{
    FlagSet f = ParseFlags(t, false);
    return f.empty() ? 0 : f[0];
}

FlagSet Dictionary::ParseFlags(std::u32string_view t, bool Sorted) const
{
    FlagSet f;
    // Room for them all at once: numbers, one a comma; otherwise at most one a character
    // (two of a long flag), but for the bytes of a character of a UTF-8 file.
    f.reserve(FFlagType == FlagType::Num ? std::count(t.begin(), t.end(), U',') + 1 : t.size());
    switch (FFlagType) {
    case FlagType::Long:
        for (size_t i = 0; i + 1 < t.size() + 1 && i < t.size(); i += 2)
            f.push_back(static_cast<Flag>((t[i] << 16) | (i + 1 < t.size() ? t[i + 1] : 0)));
        break;
    case FlagType::Num: {
        // Stored one up: 0 is a flag of its own here, while 0 stands for no flag elsewhere.
        Flag v = 0;
        bool any = false;
        for (char32_t c : t) {
            if (c >= U'0' && c <= U'9') { v = std::min<Flag>(v * 10 + (c - U'0'), 0xFFFFFF); any = true; }
            else if (c == U',') { if (any) f.push_back(v + 1); v = 0; any = false; }
        }
        if (any) f.push_back(v + 1);
        break;
    }
    case FlagType::Char:
        // In a UTF-8 file each byte is a flag: a letter of two bytes is two flags.
        for (char32_t c : t) {
            if (!FUtf8 || c < 0x80) f.push_back(c);
            else if (c >= ByteMark + 0x80 && c <= ByteMark + 0xFF) f.push_back(c - ByteMark);
            else for (char b : ToUtf8(std::u32string(1, c))) f.push_back(static_cast<unsigned char>(b));
        }
        break;
    default:
        for (char32_t c : t) f.push_back(c);
        break;
    }
    if (!Sorted) return f;
    std::sort(f.begin(), f.end());
    f.erase(std::unique(f.begin(), f.end()), f.end());
    return f;
}

FlagSet Dictionary::FlagsOrAlias(std::u32string_view t) const
{
    // With AF, flags are always written by an alias's number: its leading digits count, and
    // text that does not start with one names no flags at all.
    if (!FAliases.empty()) {
        size_t n = 0;
        for (size_t i = 0; i < t.size() && t[i] >= U'0' && t[i] <= U'9' && n <= FAliases.size(); ++i)
            n = n * 10 + static_cast<size_t>(t[i] - U'0');
        if (n >= 1 && n <= FAliases.size()) return FAliases[n - 1];
        return {};
    }
    return ParseFlags(t);
}

void Dictionary::ParseCondition(const std::u32string& t, AffixEntry& e) const
{
    e.Condition.clear();
    if (t == U".") return;
    for (size_t i = 0; i < t.size();) {
        AffixEntry::CharClass cc;
        if (t[i] == U'.') {
            cc.Any = true;
            ++i;
        } else if (t[i] == U'[') {
            size_t close = t.find(U']', i);
            if (close == std::u32string::npos) throw DictionaryError("unclosed condition " + ToUtf8(t));
            size_t from = i + 1;
            if (from < close && t[from] == U'^') { cc.Negated = true; ++from; }
            cc.Chars = t.substr(from, close - from);
            i = close + 1;
        } else {
            cc.Chars = t.substr(i, 1);
            ++i;
        }
        e.Condition.push_back(cc);
    }
}

void Dictionary::ParseAffixBlock(const std::vector<std::u32string>& lines, size_t& i, bool prefix)
{
    std::vector<std::u32string> head = Fields(lines[i]);
    if (head.size() < 4) throw DictionaryError("bad affix header: " + ToUtf8(lines[i]));
    Flag id = ParseFlag(head[1]);
    bool cross = head[2] == U"Y";
    size_t count = ToCount(head[3]);
    auto& list = prefix ? FPrefixes : FSuffixes;
    for (size_t k = 0; k < count; ++k) {
        if (++i >= lines.size()) throw DictionaryError("affix file ends inside a rule");
        std::vector<std::u32string> f = Fields(lines[i]);
        // A rule line names its block's kind and flag; a misspelt kind with the right flag is
        // read as the block's rule, as other checkers do.
        if (f.size() < 4 || f[1] != head[1]) throw DictionaryError("bad affix rule: " + ToUtf8(lines[i]));
        AffixEntry e;
        e.Id = id;
        e.Cross = cross;
        e.Strip = ZeroIsEmpty(f[2]);
        std::u32string app = f[3];
        size_t slash = app.find(U'/');
        if (slash != std::u32string::npos) {
            e.Continuation = FlagsOrAlias(app.substr(slash + 1));
            app.resize(slash);
        }
        e.Append = ZeroIsEmpty(app);
        // Ignored characters never reach the checking, so they are dropped from the text an
        // affix adds (what it strips is matched against the stem as written).
        if (!FIgnore.empty())
            std::erase_if(e.Append, [&](char32_t c) { return FIgnore.find(c) != std::u32string::npos; });
        ParseCondition(f.size() > 4 ? f[4] : std::u32string(U"."), e);
        list.push_back(std::move(e));
    }
}

void Dictionary::ParseAff(const std::vector<std::u32string>& lines)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        try {
            ParseAffLine(lines, i);
        } catch (const DictionaryError& e) {
            // The line where the statement begins, or the rule line that broke it.
            throw DictionaryError(FAffName + " line " + std::to_string(std::min(i, lines.size() - 1) + 1) + ": " + e.what());
        }
    }
    if (FBreakDefault) FBreak = {U"-", U"^-", U"-$"};
    for (const std::u32string& b : FBreak) {
        if (!b.empty()) FBreakStarts += b[0];
        if (b.size() > 1 && b[0] == U'^') FBreakStarts += b[1];
    }
    if (!FKeyGiven) FKey = {U"qwertyuiop", U"asdfghjkl", U"zxcvbnm"};  // without KEY, the common keyboard
}

void Dictionary::ParseAffLine(const std::vector<std::u32string>& lines, size_t& i)
{
    std::vector<std::u32string> f = Fields(lines[i]);
    if (f.empty() || f[0][0] == U'#') return;
    const std::u32string& k = f[0];
    if (FSuggest.Parse(f, lines, i)) return;
    auto arg = [&](size_t n) { return f.size() > n ? f[n] : std::u32string(); };
    auto table = [&](auto add) {
        size_t n = ToCount(arg(1));
        for (size_t j = 0; j < n && i + 1 < lines.size(); ++j) add(Fields(lines[++i]));
    };
    if (k == U"FLAG") {
        std::u32string t = arg(1);
        FFlagType = t == U"long" ? FlagType::Long : t == U"num" ? FlagType::Num : t == U"UTF-8" ? FlagType::Utf8 : FlagType::Char;
    } else if (k == U"AF") {
        table([&](const std::vector<std::u32string>& g) { FAliases.push_back(g.size() > 1 ? ParseFlags(g[1]) : FlagSet()); });
    } else if (k == U"AM") {
        size_t number = 0;
        table([&](const std::vector<std::u32string>& g) {
            ++number;
            for (size_t j = 1; j < g.size(); ++j)
                if (g[j].size() > 3 && g[j].compare(0, 3, U"ph:") == 0) FSpokenAliases[number].push_back(g[j].substr(3));
        });
    } else if (k == U"PFX" || k == U"SFX") {
        ParseAffixBlock(lines, i, k == U"PFX");
    } else if (k == U"TRY") { FTry = arg(1);
    } else if (k == U"WORDCHARS") { FWordChars = arg(1);
    } else if (k == U"IGNORE") { FIgnore = arg(1);
    } else if (k == U"KEY") { FKeyGiven = true; std::u32string v = arg(1); size_t p = 0;
        while (p <= v.size()) { size_t e = v.find(U'|', p); if (e == std::u32string::npos) e = v.size(); FKey.push_back(v.substr(p, e - p)); p = e + 1; }
    } else if (k == U"REP") {
        table([&](const std::vector<std::u32string>& g) {
            if (g.size() < 3) return;
            std::u32string a = g[1], b = g[2];
            std::replace(a.begin(), a.end(), U'_', U' ');
            std::replace(b.begin(), b.end(), U'_', U' ');
            FRep.emplace_back(a, b);
        });
    } else if (k == U"MAP") {
        table([&](const std::vector<std::u32string>& g) { if (g.size() > 1) FMap.push_back(g[1]); });
    } else if (k == U"ICONV") {
        table([&](const std::vector<std::u32string>& g) { if (g.size() > 2) FIconv.Add(g[1], g[2]); });
    } else if (k == U"OCONV") {
        table([&](const std::vector<std::u32string>& g) { if (g.size() > 2) FOconv.Add(g[1], g[2]); });
    } else if (k == U"BREAK") {
        FBreakDefault = false;
        table([&](const std::vector<std::u32string>& g) { if (g.size() > 1) FBreak.push_back(g[1]); });
    } else if (k == U"COMPOUNDRULE") {
        table([&](const std::vector<std::u32string>& g) { if (g.size() > 1) FCompoundRuleText.push_back(g[1]); });
    } else if (k == U"NEEDAFFIX" || k == U"PSEUDOROOT") { FNeedAffix = ParseFlag(arg(1));
    } else if (k == U"FORBIDDENWORD") { FForbidden = ParseFlag(arg(1));
    } else if (k == U"KEEPCASE") { FKeepCase = ParseFlag(arg(1));
    } else if (k == U"NOSUGGEST") { FNoSuggest = ParseFlag(arg(1));
    } else if (k == U"ONLYINCOMPOUND") { FOnlyInCompound = ParseFlag(arg(1));
    } else if (k == U"CIRCUMFIX") { FCircumfix = ParseFlag(arg(1));
    } else if (k == U"COMPOUNDFLAG") { FCompoundFlag = ParseFlag(arg(1));
    } else if (k == U"COMPOUNDBEGIN" || k == U"COMPOUNDFIRST") { FCompoundBegin = ParseFlag(arg(1));
    } else if (k == U"COMPOUNDMIDDLE") { FCompoundMiddle = ParseFlag(arg(1));
    } else if (k == U"COMPOUNDEND" || k == U"COMPOUNDLAST") { FCompoundEnd = ParseFlag(arg(1));
    } else if (k == U"COMPOUNDPERMITFLAG") { FCompoundPermit = ParseFlag(arg(1));
    } else if (k == U"COMPOUNDFORBIDFLAG") { FCompoundForbid = ParseFlag(arg(1));
    } else if (k == U"FORCEUCASE") { FForceUcase = ParseFlag(arg(1));
    } else if (k == U"COMPOUNDWORDMAX") { FCompoundWordMax = ToCount(arg(1));
    } else if (k == U"COMPOUNDSYLLABLE") { FCompoundSyllableMax = ToCount(arg(1)); FCompoundVowels = arg(2);
    } else if (k == U"COMPOUNDROOT") { FCompoundRoot = ParseFlag(arg(1));
    } else if (k == U"CHECKCOMPOUNDDUP") { FCheckCompoundDup = true;
    } else if (k == U"CHECKCOMPOUNDCASE") { FCheckCompoundCase = true;
    } else if (k == U"CHECKCOMPOUNDTRIPLE") { FCheckCompoundTriple = true;
    } else if (k == U"CHECKCOMPOUNDREP") { FCheckCompoundRep = true;
    } else if (k == U"SIMPLIFIEDTRIPLE") { FSimplifiedTriple = true;
    } else if (k == U"CHECKCOMPOUNDPATTERN") {
        table([&](const std::vector<std::u32string>& g) {
            if (g.size() < 3) return;
            FCompoundPatterns.push_back(ParsePattern(g));
            if (!FCompoundPatterns.back().Replacement.empty()) FHasReplacements = true;
        });
    } else if (k == U"COMPOUNDMIN") { FCompoundMin = std::max<size_t>(1, ToCount(arg(1)));
    } else if (k == U"CHECKSHARPS") { FCheckSharps = true;
    } else if (k == U"FULLSTRIP") { FFullStrip = true;
    } else if (k == U"COMPLEXPREFIXES") { FComplexPrefixes = true;
    } else if (k == U"LANG") {
        std::u32string l = arg(1);
        FTurkic = l.starts_with(U"tr") || l.starts_with(U"az") || l.starts_with(U"crh");
        FHungarian = l.starts_with(U"hu");
    }
}

Dictionary::CompoundPattern Dictionary::ParsePattern(const std::vector<std::u32string>& g) const
{
    CompoundPattern p;
    auto split = [&](const std::u32string& t, std::u32string& text, Flag& flag) {
        size_t slash = t.find(U'/');
        text = ZeroIsEmpty(t.substr(0, slash));
        if (slash != std::u32string::npos) flag = ParseFlag(t.substr(slash + 1));
    };
    split(g[1], p.End, p.EndFlag);
    split(g[2], p.Begin, p.BeginFlag);
    p.Unmodified = g[1] == U"0" || g[1].starts_with(U"0/");
    if (g.size() > 3 && !g[3].empty() && g[3][0] != U'#') p.Replacement = ZeroIsEmpty(g[3]);
    return p;
}

void Dictionary::ParseDic(std::string_view bytes, const std::string& encoding)
{
    // The bytes are read in place and decoded a line at a time (line breaks are the same
    // bytes in every encoding read), so the whole text is never held decoded.
    const CodePageTable* table = CodePageOf(encoding);
    // A UTF-8 byte order mark is dropped whatever the encoding (editors write one before
    // text in any set).
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    auto lineAt = [&](size_t p) {
        // (memchr: the lines of a big dictionary are most of its loading's bytes)
        const char* from = bytes.data() + p;
        size_t n = bytes.size() - p;
        if (const void* nl = std::memchr(from, '\n', n)) n = static_cast<size_t>(static_cast<const char*>(nl) - from);
        if (const void* cr = std::memchr(from, '\r', n)) n = static_cast<size_t>(static_cast<const char*>(cr) - from);
        return bytes.substr(p, n);
    };
    // Where the field from Q ends: at a space, a tab or the line's end.
    auto fieldEnd = [](View l, size_t q) {
        while (q < l.size() && l[q] != U' ' && l[q] != U'\t') ++q;
        return q;
    };
    if (bytes.empty()) throw DictionaryError(FDicName + ": empty dictionary");
    std::string_view raw = lineAt(0);
    std::u32string line;
    DecodeAppend(raw, table, line);
    std::vector<std::u32string> firstFields = Fields(line);
    std::vector<char32_t> lineBuffer;
    std::u32string first = firstFields.empty() ? std::u32string() : firstFields[0];
    if (first.empty() || !std::all_of(first.begin(), first.end(), [](char32_t c) { return c >= U'0' && c <= U'9'; }))
        throw DictionaryError(FDicName + " line 1: the dictionary does not start with its word count");
    // Every stem takes a line of at least two bytes (with its line break).
    // Their text is at most as many characters as the file has bytes (most of which it is).
    FWords.Reserve(std::min<size_t>(ToCount(first), bytes.size() / 2 + 1), bytes.size());
    // Stems mostly share a few flag texts: each is parsed and pooled once.
    TextTable<const FlagSet*> byText;
    byText.Reserve(1024);  // (most dictionaries have fewer distinct texts; a few, tens of thousands)
    const FlagSet& none = Intern(FlagSet());
    // Stems are read a batch at a time and their slots in the table fetched before they are
    // added, so that the cache misses of a batch overlap.
    struct Pending { std::u32string Word; const FlagSet* Flags; };
    std::vector<Pending> batch(64);
    size_t pending = 0;
    auto flush = [&] {
        for (size_t b = 0; b < pending; ++b) FWords.Prefetch(batch[b].Word);
        for (size_t b = 0; b < pending; ++b) AddStem(batch[b].Word, *batch[b].Flags);
        pending = 0;
    };
    for (size_t p = raw.size(); p < bytes.size();) {
        if (bytes[p] == '\r' || bytes[p] == '\n') { ++p; continue; }
        raw = lineAt(p);
        p += raw.size();
        if (raw[0] == '\t') continue;
        View l = DecodeLine(raw, table, lineBuffer);
        std::u32string& word = batch[pending].Word;
        // The word ends at its flags, a tab or the morphological fields; "\/" is a slash of
        // the word (rare: the word is copied whole when there is none).
        size_t q = 0;
        bool escaped = false;
        for (; q < l.size(); ++q) {
            char32_t c = l[q];
            if (c == U'\\' && q + 1 < l.size() && l[q + 1] == U'/') { escaped = true; ++q; continue; }
            if (c == U'/' || c == U'\t' || (c == U' ' && q > 0 && MorphologyFollows(l, q))) break;
        }
        if (!escaped) {
            word.assign(l.substr(0, q));
        } else {
            word.clear();
            for (size_t k = 0; k < q; ++k) {
                if (l[k] == U'\\' && k + 1 < q && l[k + 1] == U'/') { word += U'/'; ++k; continue; }
                word += l[k];
            }
        }
        const FlagSet* flags = &none;
        if (q < l.size() && l[q] == U'/') {
            View t = l.substr(q + 1, fieldEnd(l, q + 1) - (q + 1));
            const FlagSet*& known = byText.Insert(t);
            if (!known) known = &Intern(FlagsOrAlias(t));
            flags = known;
        }
        if (word.empty()) continue;
        // Stems lose the ignored characters; the input conversion is for typed words only.
        if (!FIgnore.empty())
            std::erase_if(word, [&](char32_t c) { return FIgnore.find(c) != std::u32string::npos; });
        // Morphological fields: "ph:" misspellings, as written or by the number of an alias.
        for (size_t e = q; q < l.size(); q = e) {
            while (q < l.size() && (l[q] == U' ' || l[q] == U'\t')) ++q;
            if (q == l.size()) break;
            e = fieldEnd(l, q);
            View field = l.substr(q, e - q);
            if (field.size() > 3 && field.substr(0, 3) == U"ph:") AddSpoken(field.substr(3), word);
            else if (!FSpokenAliases.empty() && field.size() <= 7 &&
                     std::all_of(field.begin(), field.end(), [](char32_t c) { return c >= U'0' && c <= U'9'; })) {
                // (a field that only begins with a digit is some other morphology, not an alias)
                auto alias = FSpokenAliases.find(ToCount(std::u32string(field)));
                if (alias != FSpokenAliases.end())
                    for (const std::u32string& ph : alias->second) AddSpoken(ph, word);
            }
        }
        batch[pending++].Flags = flags;
        if (pending == batch.size()) flush();
    }
    flush();
    FUpperOf = {};
}

// A misspelling of a stem (a "ph:" field) replaced by the stem; with "*" at its end the last
// letters of both are left out, so that the replacement serves the stem's affixed forms too;
// "hepi->happi" is a replacement of its own, written out.
void Dictionary::AddSpoken(std::u32string_view field, const std::u32string& word)
{
    std::u32string from(field), to = word;
    if (size_t arrow = from.find(U"->"); arrow != std::u32string::npos) {
        to = from.substr(arrow + 2);
        from.resize(arrow);
    } else if (from.size() > 1 && from.back() == U'*') {
        from.pop_back();
        if (!from.empty()) from.pop_back();
        if (!to.empty()) to.pop_back();
    }
    if (!from.empty() && from != to) FRep.emplace_back(from, to);
}

void Dictionary::AddStem(const std::u32string& word, const FlagSet& flags)
{
    // Words with inner capitals (and capitalised ones with affixes) are also stored with only
    // their first letter in capitals, usable only when the whole word is typed in capitals:
    // OpenOffice.org gives OPENOFFICE.ORG, CIA with its suffixes gives CIA'S.
    // Both kinds have a capital: most stems have none, which one look at each letter tells.
    bool capital = false, space = false;
    for (char32_t c : word) {
        capital = capital || (c < 0x80 ? c >= U'A' && c <= U'Z' : IsUpper(c));
        space = space || c == U' ';
    }
    CaseKind k = capital ? CaseOf(word) : CaseKind::Lower;
    bool hidden = (k == CaseKind::Mixed || (k == CaseKind::AllCaps && !flags.empty())) && !Has(flags, FForbidden);
    if (hidden) {
        // The flags with the upper-case mark, pooled once for each set of flags.
        const FlagSet*& upper = FUpperOf[&flags];
        if (!upper) {
            FlagSet u = flags;
            u.push_back(OnlyUpperCase);
            std::sort(u.begin(), u.end());
            upper = &Intern(std::move(u));
        }
        FWords.Insert(Capitalized(word, FTurkic)).push_back(Homonym{*upper});
    }
    FWords.Insert(word).push_back(Homonym{flags});
    if (space) FWordPairs = true;
}

void Dictionary::Load(const std::string& AffText, const std::string& DicText, const std::string& AffName,
                      const std::string& DicName)
{
    FAffName = AffName;
    FDicName = DicName;
    std::string enc = EncodingOf(AffText);
    FUtf8 = enc == "UTF-8";
    std::u32string aff;
    try {
        aff = Decode(AffText.starts_with("\xEF\xBB\xBF") ? AffText.substr(3) : AffText, enc);
    } catch (const DictionaryError& e) {
        throw DictionaryError(FAffName + ": " + e.what());
    }
    ParseAff(SplitLines(aff));
    ParseDic(DicText, enc);
    BuildIndexes();
    for (const std::u32string& r : FCompoundRuleText) {
        std::vector<FlagSet> tokens;  // each: {flag, quantifier} with quantifier 0, '*' or '?'
        for (size_t i = 0; i < r.size();) {
            Flag fl;
            if (r[i] == U'(') {
                size_t c = r.find(U')', i);
                if (c == std::u32string::npos) throw DictionaryError(FAffName + ": bad compound rule " + ToUtf8(r));
                fl = ParseFlag(r.substr(i + 1, c - i - 1));
                i = c + 1;
            } else {
                fl = ParseFlag(r.substr(i, FFlagType == FlagType::Long ? 2 : 1));
                i += FFlagType == FlagType::Long ? 2 : 1;
            }
            Flag q = 0;
            if (i < r.size() && (r[i] == U'*' || r[i] == U'?')) q = r[i++];
            tokens.push_back({fl, q});
        }
        FCompoundRules.push_back(tokens);
    }
    if (!FCompoundRules.empty()) {
        // The rules' flags as bits, when there are few enough of them.
        for (const auto& rule : FCompoundRules)
            for (const FlagSet& token : rule) FRuleFlags.push_back(token[0]);
        std::sort(FRuleFlags.begin(), FRuleFlags.end());
        FRuleFlags.erase(std::unique(FRuleFlags.begin(), FRuleFlags.end()), FRuleFlags.end());
        if (FRuleFlags.size() < 64)
            for (const auto& rule : FCompoundRules) {
                FCompoundRuleBits.emplace_back();
                for (const FlagSet& token : rule)
                    FCompoundRuleBits.back().push_back(uint64_t(1) << (std::lower_bound(FRuleFlags.begin(), FRuleFlags.end(), token[0]) - FRuleFlags.begin()));
            }
        else
            FRuleFlags.clear();
        // The distinct flag sets holding a rule's flag, then the stems that have one of them.
        std::unordered_set<const FlagSet*> withRule;
        for (const FlagSet& f : FFlagPool)
            for (const auto& rule : FCompoundRules)
                for (const FlagSet& token : rule)
                    if (Has(f, token[0])) withRule.insert(&f);
        if (!withRule.empty())
            FWords.ForEach([&](std::u32string_view w, const HomonymList& hs) {
                if (w.empty()) return;
                for (const Homonym& h : hs)
                    if (withRule.count(&h.Flags)) {
                        FRuleStarts.insert(w[0]);
                        return;
                    }
            });
    }
}

void Dictionary::BuildIndexes()
{
    std::unordered_map<Flag, int32_t> innerOf;  // a flag's inner rules, by their index
    auto inner = [&](std::vector<InnerSuffixes>& all, Flag f) -> InnerSuffixes& {
        auto [it, fresh] = innerOf.emplace(f, static_cast<int32_t>(all.size()));
        if (fresh) all.emplace_back();
        return all[static_cast<size_t>(it->second)];
    };
    for (size_t i = 0; i < FSuffixes.size(); ++i) {
        FSuffixByAppend.Insert(FSuffixes[i].Append).push_back(i);
        FSuffixById[FSuffixes[i].Id].push_back(i);
        FLongestSuffix = std::max(FLongestSuffix, FSuffixes[i].Append.size());
        for (Flag f : FSuffixes[i].Continuation) {
            InnerSuffixes& in = inner(FSuffixByContinuation, f);
            const std::u32string& text = FSuffixes[i].Append;
            in.ByAppend.Insert(text).push_back(i);
            in.Longest = std::max(in.Longest, text.size());
            in.Starts.resize(in.Longest + 1);
            in.Starts[text.size()] |= text.empty() ? ~uint64_t(0) : LetterBit(text.front());
        }
    }
    auto mark = [&](std::vector<AffixEntry>& rules) {
        for (AffixEntry& e : rules) {
            e.OnlyInCompound = Has(e.Continuation, FOnlyInCompound);
            e.NeedAffix = Has(e.Continuation, FNeedAffix);
            e.Circumfix = Has(e.Continuation, FCircumfix);
            auto it = innerOf.find(e.Id);
            e.Inner = it == innerOf.end() ? -1 : it->second;
        }
    };
    mark(FSuffixes);
    // A group by its appended text and stripped letters (views of the rules' own strings).
    using GroupKey = std::pair<std::u32string_view, std::u32string_view>;
    struct GroupKeyHash {
        size_t operator()(const GroupKey& k) const { return HashText(k.first) * 31u + HashText(k.second); }
    };
    std::unordered_map<GroupKey, size_t, GroupKeyHash> groupOf;
    groupOf.reserve(FSuffixes.size());
    for (size_t i = 0; i < FSuffixes.size(); ++i) {
        const AffixEntry& e = FSuffixes[i];
        if (e.OnlyInCompound) continue;
        std::vector<SuffixGroup>& groups = FSuffixGroups.Insert(std::u32string(e.Append.rbegin(), e.Append.rend()));
        auto [it, fresh] = groupOf.emplace(GroupKey(e.Append, e.Strip), groups.size());
        if (fresh) groups.push_back(SuffixGroup{static_cast<uint32_t>(i), false, {}});
        SuffixGroup& g = groups[it->second];
        g.AnyInner = g.AnyInner || e.Inner >= 0;
        g.Rules.push_back(static_cast<uint32_t>(i));
    }
    // The compound parts' groups: those with the permit flag for the parts before the last;
    // for the last part, the groups above do unless an empty rule exists only inside
    // compounds (one with a text never ends a compound).
    FLastPartSuffixes.Own = std::any_of(FSuffixes.begin(), FSuffixes.end(),
                                        [](const AffixEntry& e) { return e.OnlyInCompound && e.Append.empty(); });
    for (PartSuffixes* t : {&FInnerPartSuffixes, &FLastPartSuffixes}) {
        if (!FCompoundFlag && !FCompoundBegin) break;  // (only compounds of parts use them)
        if (t == &FLastPartSuffixes && !t->Own) break;
        groupOf.clear();
        for (size_t i = 0; i < FSuffixes.size(); ++i) {
            const AffixEntry& e = FSuffixes[i];
            if (t == &FInnerPartSuffixes && !Has(e.Continuation, FCompoundPermit)) continue;
            if (t == &FLastPartSuffixes && e.OnlyInCompound && !e.Append.empty()) continue;
            std::vector<SuffixGroup>& groups = t->Groups.Insert(std::u32string(e.Append.rbegin(), e.Append.rend()));
            auto [it, fresh] = groupOf.emplace(GroupKey(e.Append, e.Strip), groups.size());
            if (fresh) groups.push_back(SuffixGroup{static_cast<uint32_t>(i), false, {}});
            SuffixGroup& g = groups[it->second];
            g.AnyInner = g.AnyInner || e.Inner >= 0;
            g.Rules.push_back(static_cast<uint32_t>(i));
            t->Longest = std::max(t->Longest, e.Append.size());
            t->Starts.resize(t->Longest + 1);
            t->Starts[e.Append.size()] |= e.Append.empty() ? ~uint64_t(0) : LetterBit(e.Append.front());
        }
    }
    innerOf.clear();
    for (size_t i = 0; i < FPrefixes.size(); ++i) {
        FPrefixByAppend.Insert(FPrefixes[i].Append).push_back(i);
        if (FComplexPrefixes)
            for (Flag f : FPrefixes[i].Continuation) {
                InnerSuffixes& in = inner(FPrefixByContinuation, f);
                in.ByAppend.Insert(FPrefixes[i].Append).push_back(i);
                in.Longest = std::max(in.Longest, FPrefixes[i].Append.size());
            }
        FPrefixById[FPrefixes[i].Id].push_back(i);
        FLongestPrefix = std::max(FLongestPrefix, FPrefixes[i].Append.size());
    }
    mark(FPrefixes);
    FSuffixStarts.assign(FLongestSuffix + 1, 0);
    FPrefixEnds.assign(FLongestPrefix + 1, 0);
    for (const AffixEntry& e : FSuffixes)
        FSuffixStarts[e.Append.size()] |= e.Append.empty() ? ~uint64_t(0) : LetterBit(e.Append.front());
    for (const AffixEntry& e : FPrefixes)
        FPrefixEnds[e.Append.size()] |= e.Append.empty() ? ~uint64_t(0) : LetterBit(e.Append.back());
}

void Dictionary::ForEachForm(std::u32string_view stem, size_t maxLength, const std::function<void(std::u32string_view)>& visit) const
{
    const auto* hs = Lookup(stem);
    if (!hs) return;
    std::u32string form;
    for (const Homonym& h : *hs) {
        if (Has(h.Flags, FForbidden) || Has(h.Flags, OnlyUpperCase)) continue;
        if (!Has(h.Flags, FNeedAffix) && !Has(h.Flags, FOnlyInCompound)) visit(stem);
        for (Flag f : h.Flags) {
            if (auto it = FSuffixById.find(f); it != FSuffixById.end())
                for (size_t i : it->second) {
                    const AffixEntry& e = FSuffixes[i];
                    if (e.Strip.size() >= stem.size() || stem.size() - e.Strip.size() + e.Append.size() > maxLength) continue;
                    if (!stem.ends_with(e.Strip) || !ConditionMatchesEnd(e, stem)) continue;
                    form.assign(stem.substr(0, stem.size() - e.Strip.size()));
                    form += e.Append;
                    visit(form);
                }
            if (auto it = FPrefixById.find(f); it != FPrefixById.end())
                for (size_t i : it->second) {
                    const AffixEntry& e = FPrefixes[i];
                    if (e.Strip.size() >= stem.size() || stem.size() - e.Strip.size() + e.Append.size() > maxLength) continue;
                    if (!stem.starts_with(e.Strip) || !ConditionMatchesStart(e, stem)) continue;
                    form = e.Append;
                    form += stem.substr(e.Strip.size());
                    visit(form);
                }
        }
    }
}

void Dictionary::LoadFiles(const std::string& AffPath, const std::string& DicPath)
{
    Load(ReadFile(AffPath), ReadFile(DicPath), AffPath, DicPath);
}

void ConversionTable::Add(const std::u32string& from, const std::u32string& to)
{
    if (from.empty()) return;
    FEntries.emplace_back(from, to);
    char32_t c = from[0];
    uint32_t* slot = nullptr;
    if (c < 0x300) {
        if (FLow.empty()) FLow.assign(0x300, 0);
        slot = &FLow[c];
    } else {
        auto [it, added] = FHigh.try_emplace(c, 0);
        if (added) { FBuckets.emplace_back(); it->second = static_cast<uint32_t>(FBuckets.size()); }
        slot = &it->second;
    }
    if (*slot == 0) { FBuckets.emplace_back(); *slot = static_cast<uint32_t>(FBuckets.size()); }
    std::vector<uint32_t>& bucket = FBuckets[*slot - 1];
    auto at = std::find_if(bucket.begin(), bucket.end(), [&](uint32_t i) { return FEntries[i].first.size() < from.size(); });
    bucket.insert(at, static_cast<uint32_t>(FEntries.size() - 1));
}

const std::pair<std::u32string, std::u32string>* ConversionTable::MatchAt(std::u32string_view w, size_t i) const
{
    char32_t c = w[i];
    uint32_t slot = 0;
    if (c < 0x300) {
        if (FLow.empty()) return nullptr;
        slot = FLow[c];
    } else if (!FHigh.empty()) {
        if (auto it = FHigh.find(c); it != FHigh.end()) slot = it->second;
    }
    if (slot == 0) return nullptr;
    for (uint32_t k : FBuckets[slot - 1])
        if (w.substr(i).starts_with(FEntries[k].first)) return &FEntries[k];
    return nullptr;
}

bool ConversionTable::Touches(std::u32string_view w) const
{
    if (FEntries.empty()) return false;
    for (size_t i = 0; i < w.size(); ++i)
        if (MatchAt(w, i)) return true;
    return false;
}

std::u32string ConversionTable::Apply(std::u32string_view w, const std::u32string& ignore) const
{
    std::u32string r;
    r.reserve(w.size());
    for (size_t i = 0; i < w.size();) {
        if (const auto* hit = FEntries.empty() ? nullptr : MatchAt(w, i)) {
            for (char32_t c : hit->second)
                if (ignore.find(c) == std::u32string::npos) r += c;
            i += hit->first.size();
            continue;
        }
        if (ignore.find(w[i]) == std::u32string::npos) r += w[i];
        ++i;
    }
    return r;
}

std::u32string Dictionary::OutputConvert(std::u32string_view w) const
{
    return FOconv.Empty() ? std::u32string(w) : FOconv.Apply(w, std::u32string());
}

std::u32string Dictionary::Convert(View w) const
{
    return FIconv.Apply(w, FIgnore);
}

bool Dictionary::ConvertsSomething(View w) const
{
    if (FIconv.Empty() && FIgnore.empty()) return false;
    if (FIconv.Touches(w)) return true;
    return !FIgnore.empty() && std::any_of(w.begin(), w.end(), [&](char32_t c) { return FIgnore.find(c) != std::u32string::npos; });
}

const Dictionary::HomonymList* Dictionary::Lookup(View w) const { return FWords.Find(w); }

bool Dictionary::IsForbidden(View w) const
{
    if (!FForbidden) return false;
    if (const auto* hs = Lookup(w))
        for (const Homonym& h : *hs)
            if (Has(h.Flags, FForbidden)) return true;
    return false;
}

bool Dictionary::IsNoSuggest(View w) const
{
    if (const auto* hs = Lookup(w))
        for (const Homonym& h : *hs)
            if (Has(h.Flags, FNoSuggest)) return true;
    return false;
}

} // namespace pwspell
