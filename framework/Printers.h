// The printer: the chosen (or default) printer as a device context for print jobs.
#pragma once
#include "SysUtils.h"
#include "WinApi.h"

#include <string>

namespace pw {

class EPrinter : public Exception { using Exception::Exception; };

class TPrinter {
public:
    ~TPrinter();
    // The printer's name: the one chosen in the set-up dialog, else the system default.
    std::string PrinterName();
    void SetPrinterName(const std::string& Name);
    // A device context of the printer; raises EPrinter when there is no printer.
    HDC Handle();
    void BeginDoc(const std::string& Title);
    void NewPage();
    void EndDoc();
    void Abort();
    bool Printing() const { return FPrinting; }
    int PageWidth() { return GetDeviceCaps(Handle(), HORZRES); }
    int PageHeight() { return GetDeviceCaps(Handle(), VERTRES); }
private:
    std::string FName;
    HDC FDC = nullptr;
    bool FPrinting = false;
};

TPrinter* Printer();

} // namespace pw
