// Files for the results tests: a scratch folder of the test's own, bytes in
// and out, and the file-system faults a save must survive.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <direct.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

using Bytes = std::vector<unsigned char>;

// The file's bytes; nothing for a missing file or a folder.
inline Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    try {
        return Bytes(std::istreambuf_iterator<char>(in), {});
    } catch (const std::exception&) {
        return {};
    }
}

inline void writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline bool makeFolder(const std::string& path)
{
#ifdef _WIN32
    return _mkdir(path.c_str()) == 0;
#else
    return mkdir(path.c_str(), 0755) == 0;
#endif
}

inline void removeFolder(const std::string& path)
{
#ifdef _WIN32
    _rmdir(path.c_str());
#else
    rmdir(path.c_str());
#endif
}

// Read-only on (true) or off. (The tests run as root, for whom a read-only
// folder is writable; the end-to-end tests mount one read-only instead.)
inline void setReadOnly(const std::string& path, bool on)
{
#ifdef _WIN32
    SetFileAttributesA(path.c_str(), on ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
    struct stat st = {};
    stat(path.c_str(), &st);
    chmod(path.c_str(), on ? (st.st_mode & ~0222u) : (st.st_mode | 0200u));
#endif
}

// Each test works in a folder of its own, removed afterwards with whatever
// the test left in it.
class ResultsFiles : public ::testing::Test {
protected:
    std::string folder;
    std::vector<std::string> made;
    void SetUp() override
    {
        folder = "lumox-results-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name());
        removeFolder(folder);
        ASSERT_TRUE(makeFolder(folder));
    }
    void TearDown() override
    {
        for (auto it = made.rbegin(); it != made.rend(); ++it) {
            setReadOnly(*it, false);
            if (std::remove(it->c_str()) != 0)
                removeFolder(*it);
        }
        for (const char* name : {"tabulka.dat", "tabulka.dat.new", "tabulka.dat.bad", "tabulka.dat.bad.new"})
            std::remove((folder + "/" + name).c_str());
        removeFolder(folder);
    }
    // A path in the folder, remembered for clean-up.
    std::string at(const std::string& name)
    {
        made.push_back(folder + "/" + name);
        return made.back();
    }
};
