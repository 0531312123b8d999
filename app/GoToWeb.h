// The web-link launcher: starts the browser registered for HTML files on an address.
#pragma once
#include "Classes.h"

#include <string>

namespace pw {

enum TBrowserState { gwMaximized, gwNormal };

// The arguments of the browser command found last (shared by all launchers).
extern std::string BrowserArguments;

class TGoToWeb : public TComponent {
public:
    explicit TGoToWeb(TComponent* AOwner);

    const std::string& Url() const { return FUrl; }
    void SetUrl(const std::string& v) { FUrl = v; }
    const std::string& EMail() const { return FEMail; }
    void SetEMail(const std::string& v) { FEMail = v; }
    TBrowserState BrowserState() const { return FBrowserState; }
    void SetBrowserState(TBrowserState v) { FBrowserState = v; }
    const std::string& EMailSubject() const { return FEMailSubject; }
    void SetEMailSubject(const std::string& v) { FEMailSubject = v; }

    // The open command of the HTML file type, or empty.
    static std::string FindBrowserCommand();
    // The browser program, or empty; sets BrowserArguments.
    static std::string GetBrowser();
    // True when the browser was started on Url.
    bool OpenUrl();

private:
    std::string FUrl;
    std::string FEMail;
    TBrowserState FBrowserState = gwMaximized;
    std::string FEMailSubject;
};

// Splits a registered open command into the program (the text up to the last ".EXE", ".BAT"
// or ".COM", without its opening quote) and its arguments (quotes and %-placeholders
// removed). A command without such an extension is taken whole as the program.
std::string SplitBrowserCommand(const std::string& Command, std::string& Arguments);

// Quotes Text as one command-line argument, as the C runtime and CommandLineToArgvW read it.
std::string QuoteArgument(const std::string& Text);

} // namespace pw
