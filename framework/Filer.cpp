#include "Filer.h"

#include "SysUtils.h"

#include <cstdint>

namespace pw {

void TWriter::WriteBytes(const std::string& s)
{
    uint32_t n = static_cast<uint32_t>(s.size());
    FStream.WriteBuffer(&n, sizeof n);
    if (n) FStream.WriteBuffer(s.data(), static_cast<long>(n));
}

void TWriter::DefineProperty(const std::string& Name, const std::function<void(TReader&)>&,
                             const std::function<void(TWriter&)>& WriteData, bool HasData)
{
    if (!HasData || !WriteData) return;
    WriteBytes(Name);
    WriteData(*this);
}

void TWriter::WriteString(const std::string& Value) { WriteBytes(Value); }

void TWriter::WriteProperties(TPersistent* Instance) { Instance->DefineProperties(this); }

std::string TReader::ReadBytes()
{
    uint32_t n = 0;
    FStream.ReadBuffer(&n, sizeof n);
    if (n > FStream.Size() - FStream.Position()) throw EReadError("Error reading stream: value too long");
    std::string s(n, '\0');
    if (n) FStream.ReadBuffer(s.data(), static_cast<long>(n));
    return s;
}

void TReader::DefineProperty(const std::string& Name, const std::function<void(TReader&)>& ReadData,
                             const std::function<void(TWriter&)>&, bool)
{
    auto it = FValues.find(Name);
    if (it == FValues.end() || !ReadData) return;
    FCurrent = it->second;
    ReadData(*this);
}

std::string TReader::ReadString() { return FCurrent; }

void TReader::ReadProperties(TPersistent* Instance)
{
    FValues.clear();
    while (FStream.Position() < FStream.Size()) {
        std::string name = ReadBytes();
        FValues[name] = ReadBytes();
    }
    Instance->DefineProperties(this);
}

} // namespace pw
