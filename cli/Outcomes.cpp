#include "Outcomes.h"

#include "MemoryMap.h"
#include "arm_ser.h"

const std::string ExitCodeHelp = std::string("Exit codes, with the commands they come from:\n"
                                 "  0    Update Done (check: boot loader found, device accepted;\n"
                                 "       read: Read Done, the file in place; verify: Verify Done;\n"
                                 "       a parameter read answered, a parameter write read back as written)\n"
                                 "  2    bad arguments (all)\n"
                                 "  3    the port could not be opened (all but ports)\n"
                                 "  4    the device isn't in boot mode (update, check, read, verify)\n"
                                 "  5    wrong device, protection word neither 78 nor 0 (update, check, read, verify)\n"
                                 "  6    no image file (update, verify; before any port opens)\n"
                                 "  7    the image is not a readable regular file of 1 to ") +
                                 std::to_string(FirmwareAreaSize) + " bytes\n"
                                 "       (update, verify; before any port opens), or the write run did not\n"
                                 "       start (update)\n"
                                 "  8    the read run did not start, or its file could not be created or\n"
                                 "       written (update, verify; read: also not put in place)\n"
                                 "  9    the read-back differs from the image, verify failed (update, verify)\n"
                                 "  10   the run stalled or the link was lost (update, read, verify)\n"
                                 "  11   a parameter read failed, its failure text is printed (parameter commands);\n"
                                 "       the device's type could not be read, no reply to the protection read\n"
                                 "       checked out (update, check, read, verify)\n"
                                 "  12   a parameter write was not acknowledged or reads back otherwise\n"
                                 "       (parameter commands)\n"
                                 "  13   the run ended well but its --record line could not be written\n"
                                 "       (update, read, verify)\n"
                                 "  130  interrupted (SIGINT, SIGTERM or SIGHUP; on Windows also the console closed)\n";

TExitCode ExitCodeOf(TUpdateOutcome Outcome)
{
    switch (Outcome) {
    case TUpdateOutcome::Done: return ecDone;
    case TUpdateOutcome::NotInBootMode: return ecNotInBootMode;
    case TUpdateOutcome::WrongDevice: return ecWrongDevice;
    case TUpdateOutcome::TypeNotRead: return ecReadFailed;
    case TUpdateOutcome::NoImage: return ecNoImage;
    case TUpdateOutcome::WriteNotStarted:
    case TUpdateOutcome::ImageRefused: return ecWriteRefused;
    case TUpdateOutcome::ReadFileFailed: return ecReadFileFailed;
    case TUpdateOutcome::VerifyFailed: return ecVerifyFailed;
    case TUpdateOutcome::Stalled:
    case TUpdateOutcome::LinkLost: return ecStalledOrLinkLost;
    case TUpdateOutcome::Abandoned: return ecInterrupted;
    }
    return ecVerifyFailed;
}

namespace {

const char* RefusalName(TOpenRefusal Kind)
{
    switch (Kind) {
    case TOpenRefusal::Busy: return "busy";
    case TOpenRefusal::Permission: return "permission denied";
    case TOpenRefusal::Missing: return "not there";
    case TOpenRefusal::Other: break;
    }
    return "failed";
}

} // namespace

TPortEnd RunEnd(TUpdateOutcome Outcome, const std::string& LastText, std::string Advice)
{
    std::string Text = LastText;
    if (Outcome == TUpdateOutcome::Abandoned)
        Text = LastText.empty() ? "interrupted" : LastText + " (interrupted)";
    return {Text, std::move(Advice), ExitCodeOf(Outcome), true};
}

TPortEnd RefusedOpen(const TOpenFailure& Failure, bool Interrupted)
{
    if (Interrupted)
        return {"interrupted", {}, ecInterrupted, false};
    return {std::string("cannot open the port: ") + RefusalName(Failure.Kind), Failure.Advice, ecPortNotOpened, false};
}

TPortEnd ReadEnd(const std::optional<TReadText>& Read)
{
    if (!Read)
        return {{}, "the link closed before the read", ecReadFailed, true};
    return {Read->Text, {}, Read->Ok ? ecDone : ecReadFailed, true};
}

TPortEnd WriteEnd(TWriteCheck Check)
{
    if (Check == wcWritten)
        return {WriteCheckText(Check), {}, ecDone, true};
    return {{}, WriteCheckText(Check), ecNotWritten, true};
}

TPortEnd DeviceEnd(TUpdateOutcome Outcome)
{
    const char* Text = "SW30415, ready for an update";
    if (Outcome == TUpdateOutcome::LinkLost)
        Text = "the link to the device was lost during the check";
    if (Outcome == TUpdateOutcome::TypeNotRead)
        Text = "its type could not be read, no reply to the protection read checked out";
    if (Outcome == TUpdateOutcome::WrongDevice)
        Text = "not one this tool serves";
    return {Text, {}, ExitCodeOf(Outcome), true};
}

std::string ProbeText(const TProbeResult& Result)
{
    switch (Result.State) {
    case TProbeState::Console: return "skipped (system console)";
    case TProbeState::Busy: return "busy (held by another program)";
    case TProbeState::NotOpened: return "cannot be opened: " + Result.Advice;
    case TProbeState::NoAnswer: return "no answer";
    case TProbeState::OtherReply: return "answered \"" + Result.Reply + "\", not in boot mode";
    case TProbeState::BootMode: return "boot mode: \"" + Result.Reply + "\"";
    }
    return {};
}
