#include "SimOptions.h"

#include "SimMemory.h"

#include <limits>
#include <stdexcept>

const char* const SimUsage =
    "Usage: sw30415-sim [options]\n"
    "Stands in for the SW30415's boot loader on a pseudo-terminal, or on --device. Prints the terminal's\n"
    "path as the first line on stdout and answers there until SIGINT, SIGTERM or SIGHUP, a --hang-up,\n"
    "or the device's hang-up.\n"
    "\n"
    "  --device PATH        serve the terminal device PATH (a USB gadget's /dev/ttyGS0, say), set raw at\n"
    "                       115200 where the driver has a speed, instead of a pseudo-terminal of its own\n"
    "  --link PATH          also make a symbolic link PATH to the terminal (an old link there is replaced)\n"
    "  --memory FILE        load the device memory from FILE when it exists, save it there at the end;\n"
    "                       FILE is a flat image of addresses 0 to 0x3FFFF (262144 bytes)\n"
    "  --log FILE           write the request log to FILE instead of stderr (one line per request)\n"
    "  --pace               pace the line at 115200 baud\n"
    "  --baud RATE          pace the line at RATE baud (10 bits a character, both directions)\n"
    "  --adapter-latency MS pass replies on as a USB serial adapter with that latency timer does: in\n"
    "                       62-character packets, or what waits MS ms after its first character (0: at once)\n"
    "  --hand-on N          when paced, hand N characters on at a time (1: a UART passing on each one,\n"
    "                       62: a USB adapter's packet); default about a millisecond's worth\n"
    "  --read-lead TEXT     send TEXT ahead of every read reply's digits\n"
    "  --read-tail TEXT     send TEXT after every read reply's checksum\n"
    "  --read-separator TEXT  send TEXT between a read reply's byte pairs, the checksum's included\n"
    "  --program-delay MS   take MS milliseconds to program each written block\n"
    "  --no-boot            leave the boot query unanswered\n"
    "  --protection WORD    the protection word at 0x3F000 (default 0x4E)\n"
    "  --drop-ack N         drop every Nth acknowledgement (the block is still stored)\n"
    "  --corrupt-read N     spoil the checksum of every Nth read reply\n"
    "  --split-ack N        send every Nth acknowledgement in two parts: 3 characters, a pause, the rest\n"
    "  --split-gap MS       that pause (default 50)\n"
    "  --bad-cell ADDR      a bad flash cell: a byte written to ADDR is stored with bit 0 inverted\n"
    "  --hang-up N          after N stored blocks, close the terminal at the next request (unplugged)\n"
    "  --hang-up-reads N    after N read replies, close the terminal at the next read request (unplugged)\n"
    "  --silent-after N     after N stored blocks, answer nothing more (a hung boot loader)\n"
    "  --garbage N          replace every Nth reply to a read or a write with line noise\n"
    "  --overlong N         run every Nth reply to a read or a write on with 600 more digits\n"
    "  -h, --help           show this text\n"
    "  --version            show the version\n"
    "Numbers are decimal, or hexadecimal with 0x; in TEXT, \\r, \\n and \\\\ stand for CR, LF and a backslash.\n"
    "Without --memory the memory starts erased (0xFF) with\n"
    "port settings 05 00 05 00 at 0x24000, protection word 0000004E at 0x3F000 and MAC address\n"
    "02 00 53 30 41 50 at 0x3F004, and is not kept.\n"
    "Replies: BOOT VER 1.05 to the boot query; 2n digits and the XOR checksum to a read of n bytes;\n"
    "CR LF >O.K. CR LF to an accepted write; CR LF >ERR CR LF to any request it rejects.\n";

namespace {

uint32_t number(const std::string& Option, const std::string& Text, uint32_t Max)
{
    size_t used = 0;
    unsigned long long value = 0;
    try {
        if (!Text.empty() && Text[0] != '-' && Text[0] != '+')
            value = std::stoull(Text, &used, 0);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != Text.size() || value > Max)
        throw std::invalid_argument(Option + ": not a number up to " + std::to_string(Max) + ": '" + Text + "'");
    return static_cast<uint32_t>(value);
}

// A framing text as given on a command line, where CR and LF are hard to type.
std::string unescaped(const std::string& Option, const std::string& Text)
{
    std::string result;
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] != '\\') {
            result.push_back(Text[i]);
            continue;
        }
        const char next = i + 1 < Text.size() ? Text[++i] : '\0';
        if (next == 'r')
            result.push_back('\r');
        else if (next == 'n')
            result.push_back('\n');
        else if (next == '\\')
            result.push_back('\\');
        else
            throw std::invalid_argument(Option + ": only \\r, \\n and \\\\ may follow a backslash: '" + Text + "'");
    }
    return result;
}

} // namespace

TSimOptions ParseSimOptions(const std::vector<std::string>& Arguments)
{
    constexpr uint32_t maxCount = std::numeric_limits<uint32_t>::max();
    constexpr uint32_t maxMs = 600'000;
    constexpr uint32_t maxAdapterLatencyMs = 255; // the most an FTDI adapter's timer takes
    TSimOptions options;
    TSimSettings& s = options.Settings;
    for (size_t i = 0; i < Arguments.size(); ++i) {
        const std::string& option = Arguments[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= Arguments.size())
                throw std::invalid_argument(option + ": value missing");
            return Arguments[++i];
        };
        if (option == "-h" || option == "--help")
            options.Help = true;
        else if (option == "--version")
            options.Version = true;
        else if (option == "--device")
            s.DevicePath = value();
        else if (option == "--link")
            options.LinkPath = value();
        else if (option == "--memory")
            s.MemoryFile = value();
        else if (option == "--log")
            options.LogPath = value();
        else if (option == "--pace")
            s.Baud = 115200;
        else if (option == "--baud")
            s.Baud = number(option, value(), 4'000'000);
        else if (option == "--adapter-latency")
            s.AdapterLatency = std::chrono::milliseconds(number(option, value(), maxAdapterLatencyMs));
        else if (option == "--hand-on")
            s.HandOn = number(option, value(), 4096);
        else if (option == "--read-lead")
            s.ReadLead = unescaped(option, value());
        else if (option == "--read-tail")
            s.ReadTail = unescaped(option, value());
        else if (option == "--read-separator")
            s.ReadSeparator = unescaped(option, value());
        else if (option == "--program-delay")
            s.ProgramDelay = std::chrono::milliseconds(number(option, value(), maxMs));
        else if (option == "--no-boot")
            s.BootReply = false;
        else if (option == "--protection")
            s.ProtectionWord = number(option, value(), maxCount);
        else if (option == "--drop-ack")
            s.DropAckEvery = number(option, value(), maxCount);
        else if (option == "--corrupt-read")
            s.CorruptReadEvery = number(option, value(), maxCount);
        else if (option == "--split-ack")
            s.SplitAckEvery = number(option, value(), maxCount);
        else if (option == "--split-gap")
            s.SplitAckGap = std::chrono::milliseconds(number(option, value(), maxMs));
        else if (option == "--bad-cell")
            s.BadCell = number(option, value(), SimMap::MemorySize - 1);
        else if (option == "--hang-up")
            s.HangUpAfterBlocks = number(option, value(), maxCount);
        else if (option == "--hang-up-reads")
            s.HangUpAfterReads = number(option, value(), maxCount);
        else if (option == "--silent-after")
            s.SilentAfterBlocks = number(option, value(), maxCount);
        else if (option == "--garbage")
            s.GarbageReplyEvery = number(option, value(), maxCount);
        else if (option == "--overlong")
            s.OverlongReplyEvery = number(option, value(), maxCount);
        else
            throw std::invalid_argument("unknown option '" + option + "'");
    }
    return options;
}
