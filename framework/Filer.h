// Streamed properties: a writer and a reader of the named values an object declares.
#pragma once
#include "Classes.h"
#include "Streams.h"

#include <functional>
#include <map>
#include <string>

namespace pw {

class TReader;
class TWriter;

class TFiler : public TObject {
public:
    // Declares one streamed property. The writer writes it when HasData; the reader reads it
    // when the stream holds it.
    virtual void DefineProperty(const std::string& Name, const std::function<void(TReader&)>& ReadData,
                                const std::function<void(TWriter&)>& WriteData, bool HasData) = 0;
    // The object this one is compared with (inherited forms); none by default.
    TPersistent* Ancestor() const { return FAncestor; }
    void SetAncestor(TPersistent* a) { FAncestor = a; }
private:
    TPersistent* FAncestor = nullptr;
};

// Writes properties as (name, string value) pairs: each a 32-bit length and the bytes.
class TWriter : public TFiler {
public:
    explicit TWriter(TStream& Stream) : FStream(Stream) {}
    void DefineProperty(const std::string& Name, const std::function<void(TReader&)>& ReadData,
                        const std::function<void(TWriter&)>& WriteData, bool HasData) override;
    void WriteString(const std::string& Value);
    // Writes every property that Instance declares.
    void WriteProperties(TPersistent* Instance);
private:
    TStream& FStream;
    void WriteBytes(const std::string& s);
};

class TReader : public TFiler {
public:
    explicit TReader(TStream& Stream) : FStream(Stream) {}
    void DefineProperty(const std::string& Name, const std::function<void(TReader&)>& ReadData,
                        const std::function<void(TWriter&)>& WriteData, bool HasData) override;
    std::string ReadString();
    // Reads the properties in the stream into Instance; raises EReadError on a damaged stream.
    void ReadProperties(TPersistent* Instance);
private:
    TStream& FStream;
    std::map<std::string, std::string> FValues;
    std::string FCurrent;
    std::string ReadBytes();
};

} // namespace pw
