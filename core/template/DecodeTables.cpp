#include "template/DecodeTables.h"

namespace zorp {

namespace {

// Codes 0x00-0x1F fill, then the ASCII characters from space to last.
std::string AsciiFrom0x20(char last)
{
    std::string text(0x20, '|');
    for (char c = ' '; c <= last; ++c)
        text += c;
    return text;
}

std::vector<DecodeTable> MakeTables()
{
    std::vector<DecodeTable> tables;
    tables.push_back({"S1", "0123456789$-=<<YZABCDEFGHIJKLMNOPQRSTUVWX", 0xFF});
    tables.push_back({"S3", " " + std::string(15, '|') + "0123456789*\xA9:.ABCDEFGHIJKLMNOPQRSTUVWXYZ", 0x00});
    tables.push_back({"S3D", AsciiFrom0x20(']'), 0x20});
    tables.push_back({"C++", AsciiFrom0x20('~'), 0x20});
    return tables;
}

} // namespace

const std::vector<DecodeTable>& BuiltInDecodeTables()
{
    static const std::vector<DecodeTable> tables = MakeTables();
    return tables;
}

const DecodeTable* FindDecodeTable(const std::string& name)
{
    for (const DecodeTable& table : BuiltInDecodeTables()) {
        if (table.name == name)
            return &table;
    }
    return nullptr;
}

} // namespace zorp
