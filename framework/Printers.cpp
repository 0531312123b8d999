#include "Printers.h"

#include <vector>

namespace pw {

TPrinter* Printer()
{
    static TPrinter printer;
    return &printer;
}

TPrinter::~TPrinter()
{
    if (FDC) DeleteDC(FDC);
}

std::string TPrinter::PrinterName()
{
    if (!FName.empty()) return FName;
    DWORD size = 0;
    GetDefaultPrinterA(nullptr, &size);
    if (size == 0) return {};
    std::vector<char> buf(size + 1, '\0');
    if (!GetDefaultPrinterA(buf.data(), &size)) return {};
    return buf.data();
}

void TPrinter::SetPrinterName(const std::string& Name)
{
    if (FDC) DeleteDC(FDC);
    FDC = nullptr;
    FName = Name;
}

HDC TPrinter::Handle()
{
    if (!FDC) {
        std::string name = PrinterName();
        if (name.empty()) throw EPrinter("There is no default printer currently selected");
        FDC = CreateDCA("WINSPOOL", name.c_str(), nullptr, nullptr);
        if (!FDC) throw EPrinter("Printer \"" + name + "\" is not available");
    }
    return FDC;
}

void TPrinter::BeginDoc(const std::string& Title)
{
    HDC dc = Handle();
    DOCINFOA di = {};
    di.cbSize = sizeof di;
    di.lpszDocName = Title.c_str();
    if (StartDocA(dc, &di) <= 0) throw EPrinter("Printing of \"" + Title + "\" could not start");
    FPrinting = true;
    StartPage(dc);
}

void TPrinter::NewPage()
{
    EndPage(Handle());
    StartPage(Handle());
}

void TPrinter::EndDoc()
{
    if (!FPrinting) return;
    EndPage(FDC);
    ::EndDoc(FDC);
    FPrinting = false;
}

void TPrinter::Abort()
{
    if (!FPrinting) return;
    AbortDoc(FDC);
    FPrinting = false;
}

} // namespace pw
