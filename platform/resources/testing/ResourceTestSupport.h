#pragma once

// Helpers shared by the resource tests: test data, whole-file reads and writes.

#include <SupportDefs.h>

#include <TestSandbox.h>

#include <fstream>
#include <string>
#include <vector>

namespace brenvik::resources::test {

inline std::string VectorPath(const std::string& leaf)
{
    return brenvik::test::TestDataPath("haiku-data/" + leaf);
}

inline std::vector<uint8> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::vector<uint8> bytes(in ? size_t(in.tellg()) : 0);
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    return bytes;
}

inline void WriteFileBytes(const std::string& path, const std::vector<uint8>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::vector<uint8> Bytes(const std::string& text)
{
    return std::vector<uint8>(text.begin(), text.end());
}

// A writable copy of a test-data file in a fresh temporary folder.
inline std::string CopyOfVector(const std::string& leaf)
{
    std::string path = brenvik::test::MakeTempFolder() + "/" + leaf;
    WriteFileBytes(path, ReadFileBytes(VectorPath(leaf)));
    return path;
}

} // namespace brenvik::resources::test
