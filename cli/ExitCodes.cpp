#include "ExitCodes.h"

const char* const ExitCodeHelp = "Exit codes:\n"
                                 "  0    Update Done (check: boot loader found, device accepted;\n"
                                 "       a parameter read answered, a parameter write read back as written)\n"
                                 "  2    bad arguments\n"
                                 "  3    the port could not be opened\n"
                                 "  4    the device isn't in boot mode\n"
                                 "  5    wrong device (protection word neither 78 nor 0)\n"
                                 "  6    no image file\n"
                                 "  7    the image is not a readable regular file of 1 to 114688 bytes,\n"
                                 "       or the write run did not start\n"
                                 "  8    the read run did not start\n"
                                 "  9    the read-back differs from the image (verify failed)\n"
                                 "  10   the run stalled or the link was lost\n"
                                 "  11   a parameter read failed (its failure text is printed)\n"
                                 "  12   a parameter write was not acknowledged or reads back otherwise\n"
                                 "  130  interrupted (SIGINT or SIGTERM)\n";

TExitCode ExitCodeOf(TUpdateOutcome Outcome)
{
    switch (Outcome) {
    case TUpdateOutcome::Done: return ecDone;
    case TUpdateOutcome::NotInBootMode: return ecNotInBootMode;
    case TUpdateOutcome::WrongDevice: return ecWrongDevice;
    case TUpdateOutcome::NoImage: return ecNoImage;
    case TUpdateOutcome::WriteNotStarted: return ecWriteNotStarted;
    case TUpdateOutcome::ReadNotStarted: return ecReadNotStarted;
    case TUpdateOutcome::VerifyFailed: return ecVerifyFailed;
    case TUpdateOutcome::Stalled:
    case TUpdateOutcome::LinkLost: return ecStalledOrLinkLost;
    case TUpdateOutcome::Abandoned: return ecInterrupted;
    }
    return ecVerifyFailed;
}
