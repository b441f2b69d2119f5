// Each results test works in a scratch folder of its own, removed afterwards
// with whatever the test left in it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;
namespace fs = std::filesystem;

inline Bytes readFile(const fs::path& path)  // nothing for a missing file or a folder
{
    std::ifstream in(path, std::ios::binary);
    return fs::is_regular_file(path) ? Bytes(std::istreambuf_iterator<char>(in), {}) : Bytes{};
}

inline void writeFile(const fs::path& path, const Bytes& b)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// (The tests run as root, for whom a read-only folder is still writable; the
// end-to-end tests mount one read-only instead.)
inline void setReadOnly(const fs::path& path, bool on)
{
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    on ? fs::perm_options::remove : fs::perm_options::add);
}

struct ResultsFiles : ::testing::Test {
    fs::path folder = fs::path("lumox-results-") += testing::UnitTest::GetInstance()->current_test_info()->name();
    std::string path = (folder / "tabulka.dat").string();
    void SetUp() override { fs::remove_all(folder), fs::create_directory(folder); }
    void TearDown() override
    {
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            setReadOnly(entry.path(), false);
        fs::remove_all(folder);
    }
};
