#include "model/core/file_filter.h"
#include "model/palette/act_palette_format.h"
#include "model/palette/gimp_palette_format.h"
#include "model/palette/hex_palette_format.h"
#include "model/palette/jasc_palette_format.h"
#include "model/palette/own_palette_format.h"
#include "model/palette/paint_net_palette_format.h"
#include "model/palette/palette_files.h"
#include "model/palette/palette_formats.h"
#include "model/palette/png_palette_format.h"
#include "model/palette/riff_palette_format.h"
#include "model/palette/savestates.h"
#include "model/palette/tile_layer_palette_format.h"
#include "support/expect_message.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The color set window's filters as the user has always seen them, with
// the JASC, ACT, GIMP, Paint.NET, hex list and PNG entries after all of them.
const std::string LoadFilter =
    "Brixel palette file (*.bxp)|*.bxp|Microsoft RIFF palette file (*.pal)|*.pal|Tile Layer DOS palette file "
    "(*.pal)|*.pal|NESticle Savestates (*.st?)|*.st?|VGBA 1.0 Savestates (*.sta)|*.sta|No$gmb Savestates "
    "(*.sna)|*.sna|ZSnes Savestate (*.zs?)|*.zs?|Boycott Advanced Savestate (*.cot)|*.cot|Cygne Savestate "
    "(*.wss)|*.wss|JASC palette file (*.pal)|*.pal|Adobe Color Table file (*.act)|*.act|GIMP palette file "
    "(*.gpl)|*.gpl|Paint.NET palette file (*.txt)|*.txt|Hex color list (*.hex)|*.hex|Indexed PNG image (*.png)|*.png|"
    "BESS Game Boy Color Savestates (*.s?,*.ss?)|*.s?;*.ss?|FCE Ultra Savestates (*.fc?)|*.fc?";
const std::string SaveFilter = "Brixel palette file (*.bxp)|*.bxp|Microsoft RIFF palette file (*.pal)|*.pal|Tile "
                               "Layer DOS palette file (*.pal)|*.pal|JASC palette file (*.pal)|*.pal|"
                               "Adobe Color Table file (*.act)|*.act|GIMP palette file (*.gpl)|*.gpl|"
                               "Paint.NET palette file (*.txt)|*.txt|Hex color list (*.hex)|*.hex";

}  // namespace

TEST(PaletteFormats, FiltersKeepTheirEntriesAndAddJascThenActAfterThem)
{
    EXPECT_EQ(PaletteLoadFilter(), LoadFilter);
    EXPECT_EQ(PaletteSaveFilter(), SaveFilter);
}

TEST(PaletteFormats, EachFilterEntryPicksItsFormat)
{
    const std::vector<const PaletteFileFormat*> loads{
        &OwnPaletteFile,  &RiffPaletteFile, &TileLayerPaletteFile, &NesticleSavestate, &VgbaSavestate,
        &NocashSavestate, &ZSnesSavestate,  &BoycottSavestate,     &CygneSavestate,    &JascPaletteFile,
        &ActPaletteFile,  &GimpPaletteFile, &PaintNetPaletteFile,  &HexPaletteFile,    &PngPaletteFile,
        &BessSavestate,   &FceuxSavestate};
    const auto loadEntries = ParseFileFilter(PaletteLoadFilter());
    ASSERT_EQ(loadEntries.size(), loads.size());
    for (std::size_t i = 0; i < loads.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        EXPECT_EQ(PaletteFormatToLoad(index), loads[i]) << index;
        EXPECT_EQ(loadEntries[i].Label, loads[i]->Label) << index;
    }
    EXPECT_EQ(PaletteFormatToLoad(0), nullptr);
    EXPECT_EQ(PaletteFormatToLoad(18), nullptr);
    EXPECT_EQ(PaletteFormatToLoad(-1), nullptr);

    EXPECT_EQ(PaletteFormatToSave(1), &OwnPaletteFile);
    EXPECT_EQ(PaletteFormatToSave(2), &RiffPaletteFile);
    EXPECT_EQ(PaletteFormatToSave(3), &TileLayerPaletteFile);
    EXPECT_EQ(PaletteFormatToSave(4), &JascPaletteFile);
    EXPECT_EQ(PaletteFormatToSave(5), &ActPaletteFile);
    EXPECT_EQ(PaletteFormatToSave(6), &GimpPaletteFile);
    EXPECT_EQ(PaletteFormatToSave(7), &PaintNetPaletteFile);
    EXPECT_EQ(PaletteFormatToSave(8), &HexPaletteFile);
    EXPECT_EQ(PaletteFormatToSave(0), nullptr);
    EXPECT_EQ(PaletteFormatToSave(9), nullptr);
}

TEST(PaletteFormats, RoomNeededBeforeALoad)
{
    // The count the list must stay below: two-set loads, ZSnes and Cygne
    // need 254, the other appending loads 255.
    const std::vector<std::pair<const PaletteFileFormat*, int>> limits{
        {&RiffPaletteFile, 255}, {&TileLayerPaletteFile, 255}, {&NesticleSavestate, 255}, {&VgbaSavestate, 254},
        {&NocashSavestate, 255}, {&ZSnesSavestate, 254},       {&BoycottSavestate, 254},  {&CygneSavestate, 254},
        {&JascPaletteFile, 255}, {&ActPaletteFile, 255}, {&BessSavestate, 254},    {&FceuxSavestate, 255}};
    auto list = std::make_unique<ColorSetList>();
    for (const auto& [format, limit] : limits) {
        list->SetCount = static_cast<std::uint8_t>(limit - 1);
        EXPECT_TRUE(HasRoomToLoad(*list, *format)) << format->Label;
        list->SetCount = static_cast<std::uint8_t>(limit);
        EXPECT_FALSE(HasRoomToLoad(*list, *format)) << format->Label;
    }
    // The own file replaces the list, so a full list takes it too.
    list->SetCount = 255;
    EXPECT_TRUE(HasRoomToLoad(*list, OwnPaletteFile));
}

TEST(PaletteFormats, FilesReadByTheirBytesShareTheMissingAndUnreadableMessages)
{
    TempDir dir;
    int checked = 0;
    for (const PaletteFileFormat* format : PaletteFileFormats()) {
        if (format->ReadFile)
            continue;  // savestates: the window checks the name first
        ++checked;
        const PaletteLoad missing = LoadPaletteFile((dir.Path() / "none").string(), *format, NesColorTable{});
        ExpectMessage(missing.Error, "Could not find the selected file.", "Loading process aborted", MsgIcon::None);
        const PaletteLoad folder = LoadPaletteFile(dir.Path().string(), *format, NesColorTable{});
        ExpectMessage(folder.Error, "Could not read the selected file.", "Loading process aborted", MsgIcon::Critical);
        EXPECT_TRUE(folder.Sets.empty());
    }
    EXPECT_EQ(checked, 9);  // own, RIFF, Tile Layer, JASC, ACT, GIMP, Paint.NET, hex list, PNG
}

TEST(PaletteFormats, FilesTryTheFormatsThatCheckContentFirst)
{
    const struct {
        const char* Path;
        std::vector<const PaletteFileFormat*> Formats;
    } cases[] = {
        {"/p/a.pal", {&RiffPaletteFile, &JascPaletteFile, &TileLayerPaletteFile}},
        {"A.PAL", {&RiffPaletteFile, &JascPaletteFile, &TileLayerPaletteFile}},
        {"dir.pal/x.bxp", {&OwnPaletteFile}},
        {"game.sta", {&NesticleSavestate, &VgbaSavestate}},
        {"game.zs3", {&ZSnesSavestate}},
        {"colors.ACT", {&ActPaletteFile}},
        {"game.s3", {&BessSavestate}},
        {"game.ss1", {&BessSavestate}},
        {"game.fc0", {&FceuxSavestate}},
        {"colors.txt", {&PaintNetPaletteFile}},
        {"sheet.PNG", {&PngPaletteFile}},
        {"colors.doc", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PaletteFormatsForPath(c.Path), c.Formats) << c.Path;
}

TEST(PaletteFormats, EveryFormatHasItsOwnCommandLineName)
{
    for (const PaletteFileFormat* format : PaletteFileFormats()) {
        EXPECT_FALSE(format->Name.empty()) << format->Label;
        EXPECT_EQ(PaletteFormatNamed(format->Name), format) << format->Name;
    }
    EXPECT_EQ(PaletteFormatNamed("RIFF"), nullptr);
    EXPECT_EQ(PaletteFormatNamed(""), nullptr);
}
