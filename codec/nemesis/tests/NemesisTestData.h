#pragma once
// Helpers of the Nemesis tests: byte literals, files and the corpus manifest.
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace zorp::nemesis::testing {

using Bytes = std::vector<uint8_t>;

inline Bytes B(std::initializer_list<int> values)
{
    Bytes out;
    for (int v : values)
        out.push_back(static_cast<uint8_t>(v));
    return out;
}

inline std::optional<Bytes> ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(f), {});
}

inline std::string CorpusDir() { return std::string(ZORP_CORPUS_DIR) + "/nemesis"; }

// One row of corpus/nemesis/MANIFEST.tsv, by column name.
struct ManifestRow {
    std::map<std::string, std::string> cells;
    const std::string& operator[](const std::string& column) const { return cells.at(column); }
    size_t Number(const std::string& column) const { return std::stoul(cells.at(column)); }
};

inline std::vector<ManifestRow> ReadManifest()
{
    std::vector<ManifestRow> rows;
    std::ifstream f(CorpusDir() + "/MANIFEST.tsv");
    std::string line;
    std::vector<std::string> header;
    auto split = [](const std::string& s) {
        std::vector<std::string> cols;
        std::stringstream ss(s);
        for (std::string col; std::getline(ss, col, '\t');)
            cols.push_back(col);
        return cols;
    };
    if (std::getline(f, line))
        header = split(line);
    while (std::getline(f, line)) {
        const auto cols = split(line);
        if (cols.size() != header.size())
            continue;
        ManifestRow row;
        for (size_t i = 0; i < cols.size(); ++i)
            row.cells[header[i]] = cols[i];
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace zorp::nemesis::testing
