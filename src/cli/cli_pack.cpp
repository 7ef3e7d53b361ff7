#include "cli/cli.h"
#include "cli/cli_args.h"

#include "model/codec/stream_codecs.h"
#include "model/core/file_io.h"

#include <array>
#include <ostream>

namespace {

constexpr std::string_view PackUsage = "Usage: brixel-cli pack FILE --codec NAME [--no-vram-safe] -o OUT\n"
                                       "Packs FILE (at most 16 MiB) with the codec and writes the stream to OUT\n"
                                       "(-o - writes standard output). The packed stream never copies the byte\n"
                                       "just written (the GBA's video memory takes 16-bit writes only) unless\n"
                                       "--no-vram-safe.\n";

static_assert(DefaultUnpackLimit == std::size_t{16} << 20, "the usage names the limit");

constexpr std::array<OptionSpec, 3> PackOptionSpecs{{{"--codec", true}, {"--no-vram-safe", false}, {"-o", true}}};

}  // namespace

int RunPack(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    return RunSubcommand("pack", PackUsage, PackOptionSpecs, arguments, out, err, [&](const ParsedArgs& parsed) {
        if (parsed.Positionals.size() != 1)
            throw UsageError{"pack takes one input file"};
        const StreamCodec& codec = CodecOption(parsed);
        const std::string& output = parsed.Required("-o");
        CheckOutputTarget(output);

        const std::string& input = parsed.Positionals[0];
        const std::optional<std::int64_t> size = FileSize(input);
        if (!size)
            throw CliFailure{"could not read " + input + ": no such file"};
        if (*size > static_cast<std::int64_t>(DefaultUnpackLimit))
            throw CliFailure{input + " is " + std::to_string(*size) + " bytes; pack takes at most " +
                             std::to_string(DefaultUnpackLimit)};
        const auto bytes = ReadFileBytes(input, DefaultUnpackLimit);
        if (!bytes)
            throw CliFailure{"could not read " + input};
        PackOptions options;
        options.VramSafe = !parsed.Has("--no-vram-safe");
        const PackResult packed = codec.Pack(*bytes, options);
        if (!packed)
            throw CliFailure{std::string(codec.ShortName) + " cannot pack " + input + ": " + packed.Error};
        WriteOutput(output, packed.Bytes, out);
        (output == StandardOutput ? err : out)
            << "packed " << bytes->size() << " bytes into " << packed.Bytes.size() << " of " << codec.ShortName
            << ", written to " << OutputName(output) << '\n';
        return ExitOk;
    });
}
