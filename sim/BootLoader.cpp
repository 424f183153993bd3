#include "BootLoader.h"

#include <cstdio>

namespace {

// Three characters ahead of "O.K.", since the PC looks for it at the 4th to 7th character.
constexpr std::string_view AckText = "\r\n>O.K.\r\n";
constexpr size_t AckSplitAt = 3;
// What a rejected request gets: anything without "O.K." in that place fails on the PC's side.
constexpr std::string_view ErrorText = "\r\n>ERR\r\n";
// How much of a rejected line the log repeats.
constexpr size_t LoggedLineLength = 48;

std::string hex(uint32_t Value, int Width)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", Width, Value);
    return text;
}

bool isEvery(unsigned Count, unsigned Every) { return Every != 0 && Count % Every == 0; }

std::string printable(std::string_view Text)
{
    std::string result;
    for (unsigned char c : Text.substr(0, LoggedLineLength)) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\')
            result.push_back(static_cast<char>(c));
        else
            result += "\\x" + hex(c, 2);
    }
    return Text.size() > LoggedLineLength ? result + "..." : result;
}

std::string describe(const TRequest& Request)
{
    switch (Request.Kind) {
    case TRequestKind::rkRead:
        return "READ " + hex(Request.Address, 6) + " " + hex(Request.Length, 4);
    case TRequestKind::rkWrite:
        return "WRITE " + hex(Request.Command, 2) + " " + hex(Request.Address, 6) + " " + hex(Request.Length, 4);
    case TRequestKind::rkBootQuery:
        return "BOOT";
    default:
        return "INVALID";
    }
}

} // namespace

TBootLoader::TBootLoader(const TSimSettings& Settings, TSimMemory& Memory) : FSettings(Settings), FMemory(Memory) {}

TAnswer TBootLoader::Answer(const TRequestLine& Line)
{
    TRequest request;
    request.Error = TFrameError::feOverlong;
    if (!Line.Overlong)
        request = ParseRequest(Line.Text, SimMap::MemorySize);
    TAnswer answer;
    if ((FSettings.HangUpAfterBlocks && FBlocksStored >= *FSettings.HangUpAfterBlocks) ||
        (FSettings.HangUpAfterReads && request.Kind == TRequestKind::rkRead &&
         FReadsAnswered >= *FSettings.HangUpAfterReads)) {
        answer.HangUp = true;
        answer.LogLine = describe(request) + " hang-up";
        return answer;
    }
    if (FSettings.SilentAfterBlocks && FBlocksStored >= *FSettings.SilentAfterBlocks) {
        answer.LogLine = describe(request) + " unanswered";
        return answer;
    }
    if (request.Kind == TRequestKind::rkInvalid || request.Error != TFrameError::feNone) {
        answer.Parts.push_back({{}, std::string(ErrorText)});
        answer.LogLine = describe(request) + " " + std::string(FrameErrorName(request.Error));
        if (request.Kind == TRequestKind::rkInvalid)
            answer.LogLine += " \"" + printable(Line.Text) + "\"";
        return answer;
    }
    switch (request.Kind) {
    case TRequestKind::rkRead:
        answer = AnswerRead(request);
        break;
    case TRequestKind::rkWrite:
        answer = AnswerWrite(request);
        break;
    default:
        return AnswerBootQuery();
    }
    Spoil(answer);
    return answer;
}

void TBootLoader::Spoil(TAnswer& Answer)
{
    if (Answer.Parts.empty())
        return;
    ++FRepliesSent;
    if (isEvery(FRepliesSent, FSettings.GarbageReplyEvery)) {
        for (TReplyPart& part : Answer.Parts)
            for (size_t i = 0; i < part.Text.size(); ++i)
                part.Text[i] = static_cast<char>(0x80 | ((i * 37 + 11) & 0x7F));
        Answer.LogLine += " garbled";
    } else if (isEvery(FRepliesSent, FSettings.OverlongReplyEvery)) {
        for (size_t i = 0; i < OverlongTail; ++i)
            Answer.Parts.back().Text.push_back("0123456789ABCDEF"[i % 16]);
        Answer.LogLine += " overlong";
    }
}

TAnswer TBootLoader::AnswerRead(const TRequest& Request)
{
    std::vector<std::string> pairs;
    uint8_t sum = 0;
    for (uint8_t byte : FMemory.Read(Request.Address, Request.Length)) {
        pairs.push_back(hex(byte, 2));
        sum ^= byte;
    }
    pairs.push_back(hex(sum, 2));

    TAnswer answer;
    answer.LogLine = describe(Request);
    if (isEvery(++FReadsAnswered, FSettings.CorruptReadEvery)) {
        // One digit changed and the checksum left alone: still well-formed, but it no longer adds up.
        pairs[0][0] = pairs[0][0] == '0' ? '1' : '0';
        answer.LogLine += " corrupted";
    } else {
        answer.LogLine += " sent";
    }
    std::string text = FSettings.ReadLead;
    for (size_t i = 0; i < pairs.size(); ++i)
        text += (i == 0 ? "" : FSettings.ReadSeparator) + pairs[i];
    answer.Parts.push_back({{}, text + FSettings.ReadTail});
    return answer;
}

TAnswer TBootLoader::AnswerWrite(const TRequest& Request)
{
    std::vector<uint8_t> stored = Request.Data;
    if (FSettings.BadCell && *FSettings.BadCell >= Request.Address && *FSettings.BadCell - Request.Address < stored.size())
        stored[*FSettings.BadCell - Request.Address] ^= 0x01;
    FMemory.Write(Request.Address, stored);
    ++FBlocksStored;

    TAnswer answer;
    answer.LogLine = describe(Request);
    if (isEvery(FBlocksStored, FSettings.DropAckEvery)) {
        answer.LogLine += " ack-dropped";
    } else if (isEvery(FBlocksStored, FSettings.SplitAckEvery)) {
        answer.Parts.push_back({FSettings.ProgramDelay, std::string(AckText.substr(0, AckSplitAt))});
        answer.Parts.push_back({FSettings.SplitAckGap, std::string(AckText.substr(AckSplitAt))});
        answer.LogLine += " ack-split";
    } else {
        answer.Parts.push_back({FSettings.ProgramDelay, std::string(AckText)});
        answer.LogLine += " acked";
    }
    return answer;
}

TAnswer TBootLoader::AnswerBootQuery()
{
    TAnswer answer;
    if (FSettings.BootReply) {
        answer.Parts.push_back({{}, FSettings.BootText});
        answer.LogLine = "BOOT answered";
    } else {
        answer.LogLine = "BOOT silent";
    }
    return answer;
}
