// Per-character languages across RTF streams. Not every rich edit reads \lang back, so a
// saved document also records its language runs in a destination of its own, which other
// readers skip, and loading applies them again.
#pragma once
#include "WinApi.h"

#include <string>
#include <vector>

namespace pw {

class TCustomRichEdit98;
class TMemoryStream;

struct TLanguageRun {
    long Start;
    long End;
    unsigned Language;
};

// The runs of equal language in the control's text, first to last.
std::vector<TLanguageRun> ReadLanguageRuns(TCustomRichEdit98* RichEdit);
// The same, where RTF is what the control's writer gave for its content just now.
std::vector<TLanguageRun> ReadLanguageRuns(TCustomRichEdit98* RichEdit, const std::string& RTF);
// The runs of [From, To) alone, in the control's positions: a long document read a piece at a
// time, each piece costing time that grows with its own length only.
std::vector<TLanguageRun> ReadLanguageRuns(TCustomRichEdit98* RichEdit, long From, long To);
// Marks each run's characters with its language; the selection and events stay as they were.
void ApplyLanguageRuns(TCustomRichEdit98* RichEdit, const std::vector<TLanguageRun>& Runs);
// The RTF with the control's runs recorded before its closing brace.
std::string WithLanguageRuns(TCustomRichEdit98* RichEdit, const std::string& RTF);
// The runs recorded in an RTF document, if it holds any.
std::vector<TLanguageRun> ParseLanguageRuns(const std::string& RTF);
std::vector<TLanguageRun> ParseLanguageRuns(const char* RTF, size_t Size);
// The language of the most characters.
unsigned MajorityLanguage(const std::vector<TLanguageRun>& Runs);
// Loading a document: the language of its most characters becomes the control's default
// before the stream comes in (readers that do not read \lang give the text the default);
// afterwards the runs that the reader left without their language are marked.
void SetDefaultLanguage(TCustomRichEdit98* RichEdit, unsigned Language);
void ApplyLoadedLanguageRuns(TCustomRichEdit98* RichEdit, const std::vector<TLanguageRun>& Runs, unsigned Majority);

} // namespace pw
