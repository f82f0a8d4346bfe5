// Kept pictures' names, which never replace a file or leave half of one (keys_cli.sh checks the folders).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "platform/picture_files.h"

namespace fs = std::filesystem;

namespace {

struct Folder {
    fs::path path = fs::temp_directory_path() / ("modra-pictures-" + std::to_string(::getpid()));
    Folder() { fs::create_directories(path); }
    ~Folder() { fs::remove_all(path); }
    std::set<std::string> names() const
    {
        std::set<std::string> n;
        for (const auto& e : fs::directory_iterator(path)) n.insert(e.path().filename().string());
        return n;
    }
};

std::string bytes_of(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool save(const std::string& folder, std::string& path, std::string& error, std::uint32_t colour = 0x00FF8000)
{
    const std::vector<std::uint32_t> pixels(4 * 3, colour);
    return save_new_png(folder, "modra-20261208-101500", pixels.data(), 4, 3, 16, path, error);
}

}  // namespace

TEST(PictureFiles, EachSaveTakesTheNextFreeNameAndLeavesTheOthersAlone)
{
    Folder folder;
    std::ofstream(folder.path / "modra-20261208-101500-2.png") << "someone else's";
    std::string path, error;
    const char* expected[] = {"modra-20261208-101500.png", "modra-20261208-101500-3.png", "modra-20261208-101500-4.png"};
    for (const char* name : expected) {
        ASSERT_TRUE(save(folder.path.string(), path, error)) << error;
        EXPECT_EQ(path, (folder.path / name).string());
    }
    EXPECT_EQ(bytes_of(folder.path / "modra-20261208-101500-2.png"), "someone else's");
    const std::string png = bytes_of(folder.path / expected[0]);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(bytes_of(folder.path / expected[2]), png);
    EXPECT_EQ(folder.names().size(), 4u) << "no temporary file is left";
}

TEST(PictureFiles, AFolderThatCannotTakeThePictureIsToldAndNothingIsLeft)
{
    Folder folder;
    std::ofstream(folder.path / "a file") << "x";
    for (const fs::path& bad : {folder.path / "missing", folder.path / "a file"}) {
        std::string path, error;
        EXPECT_FALSE(save(bad.string(), path, error));
        EXPECT_EQ(error.rfind("cannot save a picture in " + bad.string() + ": ", 0), 0u) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
    EXPECT_EQ(folder.names(), std::set<std::string>{"a file"});
}
