#pragma once
// The MANIFEST.tsv of a format's corpus folder (enigma, kosm): one line per
// stream with its decoded size and digest, the bytes the stream really uses
// and the smallest stream a public encoder reaches for the same data.
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace zorp::testing {

struct CorpusEntry {
    std::string file;         // the stream as the disassembly holds it
    std::string decodedFile;  // the decoded data
    size_t fileSize = 0;      // the stream file, padding included
    size_t decodedSize = 0;
    std::string decodedSha256;
    size_t streamSize = 0;    // bytes the stream uses
    size_t smallestPublic = 0;
};

inline std::string CorpusDir(const std::string& format) { return std::string(ZORP_CORPUS_DIR) + "/" + format; }

inline bool HasCorpus(const std::string& format)
{
    return std::filesystem::exists(CorpusDir(format) + "/MANIFEST.tsv");
}

// Columns are found by their names in the header line.
inline std::vector<CorpusEntry> ReadCorpusManifest(const std::string& format)
{
    std::ifstream f(CorpusDir(format) + "/MANIFEST.tsv");
    auto split = [](const std::string& line) {
        std::vector<std::string> cols;
        std::stringstream ss(line);
        for (std::string col; std::getline(ss, col, '\t');)
            cols.push_back(col);
        return cols;
    };
    std::string line;
    std::getline(f, line);
    std::map<std::string, size_t> at;
    const auto names = split(line);
    for (size_t i = 0; i < names.size(); ++i)
        at[names[i]] = i;
    std::vector<CorpusEntry> entries;
    while (std::getline(f, line)) {
        const auto cols = split(line);
        if (cols.size() != names.size())
            continue;
        CorpusEntry e;
        e.file = cols[at["file"]];
        e.decodedFile = cols[at["decoded_file"]];
        e.fileSize = std::stoul(cols[at["size"]]);
        e.decodedSize = std::stoul(cols[at["decoded_size"]]);
        e.decodedSha256 = cols[at["decoded_sha256"]];
        e.streamSize = std::stoul(cols[at["stream_size"]]);
        e.smallestPublic = std::stoul(cols[at["smallest_public_stream_size"]]);
        entries.push_back(e);
    }
    return entries;
}

} // namespace zorp::testing
