#include "model/core/dialog_start.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(DialogStart, RomFolderFirstThenTheLastChosenFolder)
{
    struct Case {
        const char* RomPath;
        const char* LastChosen;
        std::string Folder;
    };
    const Case cases[] = {
        {"/roms/game.gb", "/art/tiles.png", "/roms"},
        {"", "/art/tiles.png", "/art"},
        {"", "", ""},
        {"/game.gb", "", "/"},
        // A bare name lies in the current folder.
        {"game.gb", "/art/tiles.png", std::filesystem::current_path().string()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DialogStartFolder(c.RomPath, c.LastChosen), c.Folder) << c.RomPath << " / " << c.LastChosen;
}

TEST(DialogStart, NameAfterRomReplacesTheLastExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/roms/game.gb", "game.ips"},
        {"/roms/My Game (E).sfc", "My Game (E).ips"},
        {"/roms/noext", "noext.ips"},
        {"/roms/hack.v2.gba", "hack.v2.ips"},
        {"", ""},
    };
    for (const auto& [rom, name] : cases)
        EXPECT_EQ(NameAfterRom(rom, ".ips"), name) << rom;
}
