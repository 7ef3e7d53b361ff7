#include "model/core/file_filter.h"

#include <gtest/gtest.h>

namespace {

const char* const RomFilter = "All compatible Roms| *.gb; *.gbc; *.ngp; *.npc; *.smc; *.sfc; *.fig; "
                              "*.nes;*.fds;*.vb;*.bin;*.gg;*.sms;*.ws;*.wsc;*.hdf;*pce;*.gba;*.agb|"
                              "Gameboy Roms (*.gb,*.gbc)|*.gb;*.gbc|"
                              "Gameboy Advanced Roms (*.gba,*.agb,*.bin)|*.gba;*.agb;*.bin|"
                              "NES Roms (*.nes,*.fds)|*.nes;*.fds|"
                              "Neo Geo Pocket Roms (*.ngp,*.npc),|*.ngp;*.npc|"
                              "Virtual Boy Roms (*.vb)|*.vb|"
                              "Super Nintendo Roms (*.smc,*.sfc,*.fig)|*.smc; *.sfc;*.fig|"
                              "Sega Genesis Roms (*.bin)|*.bin|"
                              "Game Gear Roms (*.gg)|*.gg|"
                              "Master System Roms (*.sms)|*.sms|"
                              "Wonder Swan Color Roms (*.ws,*.wsc)|*.ws;*.wsc|"
                              "x68000 Harddisk Images (*.hdf)|*.hdf|"
                              "Intelli Vision Roms(*.bin)|*.bin|"
                              "PC Engine Roms (*.pce)|*.pce|"
                              "All files (*.*)|*.*";

using Strings = std::vector<std::string>;

}  // namespace

TEST(FileFilter, RomFilterHasFifteenEntries)
{
    const auto entries = ParseFileFilter(RomFilter);
    ASSERT_EQ(entries.size(), 15u);
    EXPECT_EQ(entries[0].Label, "All compatible Roms");
    EXPECT_EQ(entries[0].Patterns,
              (Strings{"*.gb", "*.gbc", "*.ngp", "*.npc", "*.smc", "*.sfc", "*.fig", "*.nes", "*.fds", "*.vb", "*.bin",
                       "*.gg", "*.sms", "*.ws", "*.wsc", "*.hdf", "*pce", "*.gba", "*.agb"}));
    EXPECT_EQ(entries[4].Label, "Neo Geo Pocket Roms (*.ngp,*.npc),");
    EXPECT_EQ(entries[6].Patterns, (Strings{"*.smc", "*.sfc", "*.fig"}));
    EXPECT_EQ(entries[12].Label, "Intelli Vision Roms(*.bin)");
    EXPECT_EQ(entries[14].Label, "All files (*.*)");
    EXPECT_EQ(entries[14].Patterns, (Strings{"*.*"}));
}

TEST(FileFilter, OddShapes)
{
    EXPECT_TRUE(ParseFileFilter("").empty());

    const auto lone = ParseFileFilter("Just a label");
    ASSERT_EQ(lone.size(), 1u);
    EXPECT_EQ(lone[0].Label, "Just a label");
    EXPECT_TRUE(lone[0].Patterns.empty());

    const auto blanks = ParseFileFilter("A|;; *.a ;|B|*.b");
    ASSERT_EQ(blanks.size(), 2u);
    EXPECT_EQ(blanks[0].Patterns, (Strings{"*.a"}));
    EXPECT_EQ(blanks[1].Patterns, (Strings{"*.b"}));
}

TEST(FileFilter, SavedNameGetsTheEntrysExtensionOnlyWhenItHasNone)
{
    const auto entries = ParseFileFilter("Bookmarks (*.bmk)|*.bmk|All files (*.*)|*.*|Mixed|*pce;*.x?;*.tar.gz");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(DefaultExtension(entries[2]), ".tar.gz");
    EXPECT_EQ(WithDefaultExtension("mylist", entries[0]), "mylist.bmk");
    EXPECT_EQ(WithDefaultExtension("/a/my.roms/list", entries[0]), "/a/my.roms/list.bmk");
    EXPECT_EQ(WithDefaultExtension("C:\\roms\\list", entries[0]), "C:\\roms\\list.bmk");
    EXPECT_EQ(WithDefaultExtension("/a/.hidden", entries[0]), "/a/.hidden.bmk");
    EXPECT_EQ(WithDefaultExtension("/a/list.txt", entries[0]), "/a/list.txt");
    EXPECT_EQ(WithDefaultExtension("/a/list", entries[1]), "/a/list");
    EXPECT_EQ(WithDefaultExtension("", entries[0]), "");
    EXPECT_EQ(WithDefaultExtension("/a/", entries[0]), "/a/");
}

TEST(FileFilter, PathMatchesPatternsByFileNameIgnoringCase)
{
    const struct {
        const char* Patterns;
        const char* Path;
        bool Matches;
    } cases[] = {
        {"*.st?", "/saves/game.ST1", true},
        {"*.st?", "game.st", false},
        {"*.png;*.bmp", "x.BMP", true},
        {"*.png; *.bmp", "x.bmp", true},
        {"*.pal", "dir.pal/x", false},
        {"*.pal", "C:\\roms\\x.pal", true},
        {"*.*", "/a.d/noext", false},
        {"", "x", false},
        {"*.pal", "x.pal.bak", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PathMatchesPatterns(c.Patterns, c.Path), c.Matches) << c.Patterns << " " << c.Path;
}
