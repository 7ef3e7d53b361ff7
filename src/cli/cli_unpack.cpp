#include "cli/cli.h"
#include "cli/cli_args.h"

#include "model/codec/stream_codecs.h"
#include "model/codec/stream_scan.h"
#include "model/core/number_text.h"
#include "model/core/rom_file.h"

#include <array>
#include <ostream>

namespace {

constexpr std::string_view UnpackUsage = "Usage: brixel-cli unpack ROM --codec NAME --address A -o OUT\n"
                                         "Unpacks the compressed stream that starts at address A of the ROM and\n"
                                         "writes its data to OUT (-o - writes standard output). A is decimal or\n"
                                         "hexadecimal after 0x, $ or &H; 'brixel-cli scan' lists the streams.\n"
                                         "A stream that does not unpack whole is refused with the reason.\n";

constexpr std::array<OptionSpec, 3> UnpackOptions{{{"--codec", true}, {"--address", true}, {"-o", true}}};

}  // namespace

int RunUnpack(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    return RunSubcommand("unpack", UnpackUsage, UnpackOptions, arguments, out, err, [&](const ParsedArgs& parsed) {
        if (parsed.Positionals.size() != 1)
            throw UsageError{"unpack takes one ROM file"};
        const StreamCodec& codec = CodecOption(parsed);
        const std::int32_t address = AddressOption(parsed);
        const std::string& output = parsed.Required("-o");
        CheckOutputTarget(output);

        RomFile rom;
        OpenRom(rom, parsed.Positionals[0], err);
        const std::string where = std::string(codec.ShortName) + " stream at " + HexText(address);
        if (address >= rom.Length())
            throw CliFailure{"no " + where + ": the file is only " + std::to_string(rom.Length()) + " bytes long"};
        const UnpackResult unpacked = UnpackStreamAt(RomFileSource(rom), codec, address, DefaultUnpackLimit);
        if (!unpacked)
            throw CliFailure{"the " + where + " does not unpack: " + unpacked.Reason};
        WriteOutput(output, unpacked.Bytes, out);
        (output == StandardOutput ? err : out)
            << "unpacked the " << where << ": " << unpacked.PackedLength << " bytes into " << unpacked.Bytes.size()
            << ", written to " << OutputName(output) << '\n';
        return ExitOk;
    });
}
