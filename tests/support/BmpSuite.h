#pragma once

// The conformance images beside the repository and what each should give.

#include <ostream>
#include <string>
#include <vector>

struct BmpSuiteEntry
{
    std::string file;   // relative to the suite folder, e.g. "g/pal8.bmp"
    std::string expect; // render, render-tolerant, load-or-reject or no-crash
    std::string ref;    // reference PNG, or empty
    int tolerance = 0;
    std::string note;
    friend void PrintTo(const BmpSuiteEntry& e, std::ostream* os) { *os << e.file; }
};

std::string BmpSuitePath(const std::string& relative);

// Usable as a test name: "g/pal8-0.bmp" gives "g_pal8_0_bmp".
std::string BmpSuiteTestName(const std::string& file);

// Every row of the manifest; an empty list when the manifest cannot be read.
std::vector<BmpSuiteEntry> LoadBmpSuiteManifest();

// The whole file, or an empty vector when it cannot be read.
std::vector<unsigned char> ReadWholeFile(const std::string& path);
