// Recovery copies: every modified document is copied now and then to a per-user folder, so
// that a run that ends without closing its documents loses nothing. A marker in the folder
// tells a clean exit from one that was not.
#pragma once
#include "Classes.h"

#include <map>
#include <string>
#include <vector>

namespace pw {

class TMDIForm;
class TForm;

// A copy left in the folder: the document file and the name the document had.
struct TRecoveryCopy {
    std::string Id;
    std::string File;
    std::string Name;
};

class TRecovery : public TComponent {
public:
    explicit TRecovery(TComponent* AOwner);
    // A clean exit: the marker goes (the copies went with their documents).
    ~TRecovery() override;

    // Opens the folder (made when missing) and sets the marker of a running program. Finds
    // the copies a previous run left when that run did not exit cleanly (LeftCopies).
    void Start(const std::string& Folder);
    const std::vector<TRecoveryCopy>& LeftCopies() const { return FLeftCopies; }
    // The left copies were dealt with: recovered (adopted) or discarded.
    void ForgetLeftCopies() { FLeftCopies.clear(); }
    bool Started() const { return !FFolder.empty(); }
    const std::string& Folder() const { return FFolder; }

    // Copies every modified document of the frame (a document that is no longer modified
    // loses its copy).
    void SaveCopies(TForm* Frame);
    void SaveCopy(TMDIForm* Document);
    void RemoveCopy(TMDIForm* Document);
    // The document now stands for a copy that a previous run left.
    void Adopt(TMDIForm* Document, const TRecoveryCopy& Copy);
    // Deletes copies that a previous run left (the user chose not to recover them).
    void Discard(const std::vector<TRecoveryCopy>& Copies);
    // The copy file of a document ("" when it has none).
    std::string CopyPath(TMDIForm* Document) const;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::string FFolder;
    std::map<TMDIForm*, std::string> FIds;
    std::vector<TRecoveryCopy> FLeftCopies;

    std::string Path(const std::string& Id, const char* Extension) const;
    std::string NewId();
    void Track(TMDIForm* Document, const std::string& Id);
    void DeleteFiles(const std::string& Id);
};

} // namespace pw
