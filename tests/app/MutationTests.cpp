// Seeded mutations of documents of our own (tables, pictures, fields, lists, several fonts,
// colours and languages), each opened the way File > Open opens it while another document
// holds unsaved work. Each file must open or be refused with a message, within a time limit
// and a memory bound, and the unsaved document must stay as it was.
//
// A file that crashes the program, hangs it or makes it grow is left in the folder
// "mutation-failures" beside this program (its name gives the seed and the case) so that it
// can become a test of its own. The file being opened is written there before each open and
// removed after it, so a crash leaves it too.
//
// A longer run: PENWISE_MUTATION_SEED=<seed> PENWISE_MUTATION_COUNT=<count> app_mutation_tests.exe
#include "FrameFixture.h"

#include "RichEditText.h"
#include "SysUtils.h"


#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>

using namespace pw;

namespace {

const char* const CorpusFiles[] = {"table.rtf", "picture.rtf", "fields.rtf", "lists.rtf", "languages.rtf"};
const int PerFileSeconds = 20;
const unsigned long long MemoryBound = 1ull << 30;

unsigned long EnvNumber(const char* Name, unsigned long Default)
{
    const char* v = std::getenv(Name);
    return v && *v ? std::strtoul(v, nullptr, 10) : Default;
}


std::string ProgramFolder()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of('\\'));
}

// The mutations. Numbers come from the generator's raw output only, so a seed gives the same
// files on every platform and library.
class TMutator {
public:
    TMutator(unsigned long Seed, const std::vector<std::string>& Corpus) : FRandom(Seed), FCorpus(Corpus) {}

    std::string Next(std::string& Kinds)
    {
        std::string doc = FCorpus[Below(FCorpus.size())];
        size_t count = 1 + Below(4);
        for (size_t i = 0; i < count && !doc.empty(); ++i) {
            if (!Kinds.empty()) Kinds += ",";
            Kinds += Mutate(doc);
        }
        return doc;
    }

private:
    std::mt19937 FRandom;
    const std::vector<std::string>& FCorpus;

    size_t Below(size_t n) { return n ? FRandom() % n : 0; }

    // The start of a control word with a number after it, or npos.
    size_t ControlWordWithNumber(const std::string& d)
    {
        for (int tries = 0; tries < 50; ++tries) {
            size_t at = d.find('\\', Below(d.size()));
            if (at == std::string::npos) continue;
            size_t end = at + 1;
            while (end < d.size() && std::isalpha(static_cast<unsigned char>(d[end]))) ++end;
            if (end > at + 1 && end < d.size() && (std::isdigit(static_cast<unsigned char>(d[end])) || d[end] == '-'))
                return at;
        }
        return std::string::npos;
    }

    std::string Mutate(std::string& d)
    {
        static const char* const Huge[] = {"2147483647", "-2147483648", "4294967296", "99999999999999999999",
                                           "-1", "0", "32767", "65536"};
        switch (Below(8)) {
        case 0: { // flip bits of a few bytes
            for (size_t n = 1 + Below(8); n > 0; --n) d[Below(d.size())] ^= static_cast<char>(1u << Below(8));
            return "flip";
        }
        case 1: // a brace added
            d.insert(Below(d.size() + 1), 1, Below(2) ? '{' : '}');
            return "brace+";
        case 2: { // a brace dropped
            for (int tries = 0; tries < 20; ++tries) {
                size_t at = d.find_first_of("{}", Below(d.size()));
                if (at != std::string::npos) {
                    d.erase(at, 1);
                    break;
                }
            }
            return "brace-";
        }
        case 3: { // a control word cut short
            size_t at = d.find('\\', Below(d.size()));
            if (at != std::string::npos) {
                size_t end = at + 1;
                while (end < d.size() && std::isalnum(static_cast<unsigned char>(d[end]))) ++end;
                if (end > at + 1) d.erase(at + 1 + Below(end - at - 1), 1 + Below(end - at));
            }
            return "cut";
        }
        case 4: { // a huge or odd parameter
            size_t at = ControlWordWithNumber(d);
            if (at != std::string::npos) {
                size_t num = at + 1;
                while (std::isalpha(static_cast<unsigned char>(d[num]))) ++num;
                size_t end = num + 1;
                while (end < d.size() && std::isdigit(static_cast<unsigned char>(d[end]))) ++end;
                d.replace(num, end - num, Huge[Below(sizeof Huge / sizeof *Huge)]);
            }
            return "number";
        }
        case 5: { // a chunk duplicated
            size_t from = Below(d.size()), len = 1 + Below(std::min<size_t>(d.size() - from, 400));
            d.insert(Below(d.size() + 1), d.substr(from, len));
            return "dup";
        }
        case 6: { // a chunk of another document spliced in
            const std::string& other = FCorpus[Below(FCorpus.size())];
            size_t from = Below(other.size()), len = 1 + Below(std::min<size_t>(other.size() - from, 400));
            size_t at = Below(d.size() + 1);
            d.replace(at, Below(std::min<size_t>(d.size() - at, 200) + 1), other.substr(from, len));
            return "splice";
        }
        default: // cut off
            d.resize(Below(d.size() + 1));
            return "truncate";
        }
    }
};

// Ends the process when one file takes longer than its limit: a hang cannot be undone from
// inside, and the file is already kept.
class TWatchdog {
public:
    TWatchdog() : FThread([this] { Watch(); }) {}
    ~TWatchdog()
    {
        {
            std::lock_guard<std::mutex> l(FLock);
            FStop = true;
        }
        FWake.notify_all();
        FThread.join();
    }
    void Arm(const std::string& What)
    {
        std::lock_guard<std::mutex> l(FLock);
        FWhat = What;
        FDeadline = std::chrono::steady_clock::now() + std::chrono::seconds(PerFileSeconds);
        FArmed = true;
        FWake.notify_all();
    }
    void Disarm()
    {
        std::lock_guard<std::mutex> l(FLock);
        FArmed = false;
    }

private:
    std::mutex FLock;
    std::condition_variable FWake;
    bool FStop = false, FArmed = false;
    std::string FWhat;
    std::chrono::steady_clock::time_point FDeadline;
    std::thread FThread;

    void Watch()
    {
        std::unique_lock<std::mutex> l(FLock);
        while (!FStop) {
            if (FArmed && std::chrono::steady_clock::now() >= FDeadline) {
                std::fprintf(stderr, "HANG: opening %s took more than %d seconds\n", FWhat.c_str(), PerFileSeconds);
                std::fflush(stderr);
                TerminateProcess(GetCurrentProcess(), 3);
            }
            if (FArmed) FWake.wait_until(l, FDeadline);
            else FWake.wait(l);
        }
    }
};

} // namespace

class MutationTest : public FrameTest {
protected:
    void Open(const std::string& File) { OpenFromMenu(File); }
    void CloseAllBut(TMDIForm* Keep)
    {
        for (int i = Frame->MDIChildCount() - 1; i >= 0; --i) {
            TMDIForm* d = static_cast<TMDIForm*>(Frame->MDIChildren(i));
            if (d != Keep) SendMessageA(d->Handle(), WM_CLOSE, 0, 0);
        }
        pwtest::Pump();
    }
};

TEST_F(MutationTest, MutatedDocumentsOpenOrAreRefusedAndTheUnsavedDocumentStays)
{
    std::vector<std::string> corpus;
    for (const char* name : CorpusFiles) {
        corpus.push_back(pwtest::ReadFileBytes(std::string(APP_TEST_DATA) + "\\corpus\\" + name));
        ASSERT_FALSE(corpus.back().empty()) << name;
    }
    unsigned long seed = EnvNumber("PENWISE_MUTATION_SEED", 20261210);
    unsigned long count = EnvNumber("PENWISE_MUTATION_COUNT", 150);
    std::printf("mutation run: seed %lu, %lu files\n", seed, count);

    Type("unsaved work");
    TMDIForm* work = Doc();
    std::string kept = ProgramFolder() + "\\mutation-failures";
    CreateDirectoryA(kept.c_str(), nullptr);
    pwtest::MessageBoxRecorder boxes;
    TWatchdog watchdog;
    TMutator mutator(seed, corpus);
    unsigned long long baseline = 0;
    unsigned long opened = 0, refused = 0;
    for (unsigned long i = 0; i < count; ++i) {
        std::string kinds;
        std::string bytes = mutator.Next(kinds);
        std::string path = kept + Format("\\seed-%lu-case-%lu.rtf", seed, i);
        pwtest::WriteFileBytes(path, bytes);
        SCOPED_TRACE(path + " (" + kinds + ")");
        size_t shown = boxes.Shown().size();
        watchdog.Arm(path);
        Open(path);
        watchdog.Disarm();
        if (boxes.Shown().size() > shown) {
            ++refused;
            const std::string& text = boxes.Shown().back().Text;
            ASSERT_NE(text.find("\"" + path + "\""), std::string::npos) << "a message that does not name the file: " << text;
        } else {
            ++opened;
            ASSERT_EQ(Doc()->Text(), path);
            ASSERT_FALSE(Doc()->Modified());
        }
        ASSERT_EQ(redit::Text(work->RichEdit()), L"unsaved work");
        ASSERT_TRUE(work->Modified());
        CloseAllBut(work);
        ASSERT_EQ(DocumentCount(), 1);
        // Bounded: after the first files have filled the caches, no file may take the
        // program far beyond where it was.
        if (i == 10) baseline = pwtest::ProcessMemoryBytes();
        if (i > 10) {
            ASSERT_LT(pwtest::ProcessMemoryBytes(), baseline + MemoryBound)
                << "memory grew to " << (pwtest::ProcessMemoryBytes() >> 20) << " MB";
        }
        DeleteFileA(path.c_str());
    }
    RemoveDirectoryA(kept.c_str());
    std::printf("mutation run: %lu opened, %lu refused with a message; %llu MB committed at the end\n", opened, refused,
                pwtest::ProcessMemoryBytes() >> 20);
    EXPECT_GT(opened, 0u);
    EXPECT_GT(refused, 0u);
}
