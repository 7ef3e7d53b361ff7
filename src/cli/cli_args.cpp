#include "cli/cli_args.h"

#include "cli/cli.h"

#include "model/codec/stream_codecs.h"
#include "model/core/file_descriptor.h"
#include "model/core/file_io.h"
#include "model/core/rom_file.h"

#include <algorithm>
#include <cerrno>
#include <ostream>

const std::string& ParsedArgs::Required(std::string_view name) const
{
    const auto found = Values.find(name);
    if (found == Values.end())
        throw UsageError{std::string("missing option ") + std::string(name)};
    return found->second;
}

std::string ParsedArgs::ValueOr(std::string_view name, std::string fallback) const
{
    const auto found = Values.find(name);
    return found == Values.end() ? fallback : found->second;
}

ParsedArgs ParseArgs(const std::vector<std::string>& arguments, std::span<const OptionSpec> options)
{
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            parsed.Positionals.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            parsed.Help = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const auto known =
            std::find_if(options.begin(), options.end(), [&](const OptionSpec& option) { return option.Name == name; });
        if (known == options.end())
            throw UsageError{"unknown option " + name};
        if (parsed.Has(name))
            throw UsageError{"option " + name + " given twice"};
        if (!known->TakesValue) {
            if (equals != std::string::npos)
                throw UsageError{"option " + name + " takes no value"};
            parsed.Flags.insert(name);
        } else if (equals != std::string::npos) {
            parsed.Values[name] = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            parsed.Values[name] = arguments[++i];
        } else {
            throw UsageError{"option " + name + " needs a value"};
        }
    }
    return parsed;
}

std::optional<std::int32_t> ParseAddress(std::string_view text)
{
    int base = 10;
    auto startsWith = [&](std::string_view lower, std::string_view upper) {
        return text.starts_with(lower) || text.starts_with(upper);
    };
    if (startsWith("0x", "0X") || startsWith("&h", "&H")) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.starts_with('$')) {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * base + digit;
        if (value > INT32_MAX)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::optional<int> ParsePositive(std::string_view text, int max)
{
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > max)
        return std::nullopt;
    return static_cast<int>(value);
}

int RunSubcommand(std::string_view command, std::string_view usage, std::span<const OptionSpec> options,
                  const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                  const std::function<int(const ParsedArgs&)>& body)
{
    try {
        const ParsedArgs parsed = ParseArgs(arguments, options);
        if (parsed.Help) {
            out << usage;
            return ExitOk;
        }
        return body(parsed);
    } catch (const UsageError& error) {
        err << "brixel-cli: " << error.Message << "\nTry 'brixel-cli " << command << " --help'.\n";
        return ExitUsage;
    } catch (const CliFailure& failure) {
        err << "brixel-cli: " << failure.Message << '\n';
        return ExitError;
    }
}

std::string OutputName(const std::string& output)
{
    return output == StandardOutput ? "standard output" : output;
}

void CheckOutputTarget(const std::string& output)
{
    std::string target;
    if (output != StandardOutput)
        if (auto refusal = ResolveSaveTarget(output, target))
            throw CliFailure{"could not write " + output + ": " + *refusal};
}

void WriteOutput(const std::string& output, const std::vector<std::uint8_t>& bytes, std::ostream& out)
{
    if (output != StandardOutput) {
        if (auto failure = WriteFileAtomically(output, bytes))
            throw CliFailure{"could not write " + output + ": " + *failure};
        return;
    }
    errno = 0;
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out)
        throw CliFailure{"could not write standard output" + (errno != 0 ? ": " + SystemCause(errno) : "")};
}

GraphicsMode ModeOption(const ParsedArgs& parsed)
{
    const std::string& name = parsed.Required("--mode");
    if (const auto mode = ModeFromShortName(name))
        return *mode;
    throw UsageError{"unknown mode '" + name + "' (brixel-cli modes lists them)"};
}

TileLayout LayoutOption(const ParsedArgs& parsed)
{
    if (!parsed.Has("--layout"))
        return {};
    const std::string& text = parsed.Required("--layout");
    if (const auto layout = ParseTileLayout(text))
        return *layout;
    throw UsageError{"--layout takes WxH or WxH,col with sides from 1 to " + std::to_string(MaxLayoutBlockSide) +
                     " tiles, not '" + text + "'"};
}

std::int32_t AddressOption(const ParsedArgs& parsed)
{
    const std::string& text = parsed.Required("--address");
    if (const auto address = ParseAddress(text))
        return *address;
    throw UsageError{"'" + text + "' is no address: give decimal digits, or hexadecimal after 0x, $ or &H"};
}

UsageError UnknownCodec(const std::string& name)
{
    return UsageError{"unknown codec '" + name + "' (codecs: " + StreamCodecShortNames() + ")"};
}

void OpenRom(RomFile& rom, const std::string& path, std::ostream& err)
{
    const RomFile::OpenResult opened = rom.Open(path);
    if (!opened.Opened())
        throw CliFailure{opened.Reason};
    if (!opened.Notice.empty())
        err << "brixel-cli: " << opened.Notice << '\n';
}

const StreamCodec& CodecOption(const ParsedArgs& parsed)
{
    const std::string& name = parsed.Required("--codec");
    if (const StreamCodec* codec = StreamCodecNamed(name))
        return *codec;
    throw UnknownCodec(name);
}
