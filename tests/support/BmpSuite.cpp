// The conformance suite's manifest and file paths for the tests.

#include "BmpSuite.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>

std::string BmpSuitePath(const std::string& relative)
{
    return std::string(PIXMORA_BMPSUITE_DIR) + "/" + relative;
}

std::string BmpSuiteTestName(const std::string& file)
{
    std::string name = file;
    for (char& c : name)
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

std::vector<BmpSuiteEntry> LoadBmpSuiteManifest()
{
    std::vector<BmpSuiteEntry> entries;
    std::ifstream in(BmpSuitePath("MANIFEST.tsv"));
    std::string line;
    std::getline(in, line); // column names
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        std::istringstream fields(line);
        BmpSuiteEntry e;
        std::string tolerance;
        std::getline(fields, e.file, '\t');
        std::getline(fields, e.expect, '\t');
        std::getline(fields, e.ref, '\t');
        std::getline(fields, tolerance, '\t');
        std::getline(fields, e.note);
        if (e.ref == "-")
            e.ref.clear();
        e.tolerance = tolerance == "-" ? 0 : std::stoi(tolerance);
        entries.push_back(std::move(e));
    }
    return entries;
}

std::vector<unsigned char> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
