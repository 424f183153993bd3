#include "FirmwareUpdate.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>

#include "AwaitDone.h"
#include "FirmwareFiles.h"
#include "FrameCodec.h"
#include "OutputFile.h"
#include "PathText.h"
#include "ReadBackClaim.h"
#include "RunFile.h"
#include "arm_ser.h"

namespace {

constexpr char TextNotInBootMode[] = "The device isn't on Boot Mode";
constexpr char TextWrongDevice[] = "You cannot use this software for this device";
// No reply to the protection read checked out: the device may well be one of ours.
constexpr char TextTypeNotRead[] = "The device's type could not be read";
// Not the wrong-device text, which would send the operator looking for the wrong fault.
constexpr char TextLinkLostInCheck[] = "The link to the device was lost during the device check";
constexpr char TextNoImage[] = "The Firmware file isn't in MASTER folder";
constexpr char TextWriting[] = "Write Firmware";
constexpr char TextWriteNotStarted[] = "Error in Write Firmware";
constexpr char TextReading[] = "Read Firmware";
constexpr char TextReadFailed[] = "Error in Read Firmware";
constexpr char TextErrorAfterRead[] = "Error after read";
constexpr char TextDone[] = "Update Done";
constexpr char TextVerified[] = "Verify Done";
constexpr char TextRead[] = "Read Done";
// A read into a file compares nothing, so it says what stopped it.
constexpr char TextReadStalled[] = "The device stopped answering during the read";
constexpr char TextReadLinkLost[] = "The link to the device was lost during the read";

// Tries of the protection read, as a run asks for a spoilt block again; bounded, since the check
// has no stall limit.
constexpr int ProtectionReadTries = 3;

// Deletes the read-back file when the update leaves, however it leaves.
class TRemoveOnExit {
public:
    explicit TRemoveOnExit(std::string Path) : FPath(std::move(Path)) {}
    ~TRemoveOnExit()
    {
        std::error_code Ignored;
        if (!FPath.empty())
            std::filesystem::remove(PathFromText(FPath), Ignored);
    }
    TRemoveOnExit(const TRemoveOnExit&) = delete;
    TRemoveOnExit& operator=(const TRemoveOnExit&) = delete;

private:
    const std::string FPath;
};

} // namespace

TFirmwareUpdate::TFirmwareUpdate(Tarm_SER& Worker, TUpdateHooks Hooks) : FWorker(Worker), FHooks(std::move(Hooks)) {}

template <class TJob>
TUpdateOutcome TFirmwareUpdate::Exclusive(const TJob& Job)
{
    if (FRunning.exchange(true, std::memory_order_acq_rel))
        return TUpdateOutcome::Abandoned;
    FAbandon.store(false, std::memory_order_release);
    FFacts = {};
    // Over also when a hook raises.
    const std::unique_ptr<std::atomic<bool>, void (*)(std::atomic<bool>*)> Over(
        &FRunning, [](std::atomic<bool>* Running) { Running->store(false, std::memory_order_release); });
    return Job();
}

TUpdateOutcome TFirmwareUpdate::Run(bool ReadBack)
{
    return Exclusive([&] { return Update(ReadBack); });
}

TUpdateOutcome TFirmwareUpdate::RunVerify()
{
    return Exclusive([&] { return Verify(); });
}

TUpdateOutcome TFirmwareUpdate::RunRead(const std::string& Path, uint32_t Size, bool Replace)
{
    return Exclusive([&] { return Read(Path, Size, Replace); });
}

TUpdateOutcome TFirmwareUpdate::CheckTarget()
{
    if (!CheckBootMode()) {
        if (Abandoned())
            return TUpdateOutcome::Abandoned;
        FHooks.Show(TextNotInBootMode);
        return TUpdateOutcome::NotInBootMode;
    }
    const TDeviceCheck Device = CheckDevice();
    if (Abandoned())
        return TUpdateOutcome::Abandoned;
    FFacts.Device = Device;
    const TUpdateOutcome Outcome = DeviceOutcome(Device, FWorker.LinkOpen());
    if (Outcome == TUpdateOutcome::LinkLost)
        FHooks.Show(TextLinkLostInCheck);
    if (Outcome == TUpdateOutcome::TypeNotRead)
        FHooks.Show(TextTypeNotRead);
    if (Outcome == TUpdateOutcome::WrongDevice)
        FHooks.Show(TextWrongDevice);
    return Outcome;
}

TUpdateOutcome DeviceOutcome(const TDeviceCheck& Device, bool LinkOpen)
{
    // A lost link before the word that was not read, since it tells what to look at.
    if (!LinkOpen)
        return TUpdateOutcome::LinkLost;
    if (!Device.ProtectionWord)
        return TUpdateOutcome::TypeNotRead;
    return Device.Accepted ? TUpdateOutcome::Done : TUpdateOutcome::WrongDevice;
}

TUpdateOutcome TFirmwareUpdate::CheckImage()
{
    ImagePath = FImageFile.empty() ? MasterImagePath() : FImageFile;
    std::error_code Ignored;
    if (!FOpenImage && !std::filesystem::exists(PathFromText(ImagePath), Ignored)) {
        FHooks.Show(TextNoImage);
        return TUpdateOutcome::NoImage;
    }
    return TUpdateOutcome::Done;
}

void TFirmwareUpdate::OpenImage(TRunFile& Image) const
{
    if (FOpenImage)
        Image.OpenSame(*FOpenImage);
    else
        Image.OpenForReading(ImagePath);
}

bool TFirmwareUpdate::NoteFileFault()
{
    const int Code = FWorker.RunFileError();
    if (Code != 0)
        FFacts.FileFault = TRunFile::ErrorText(Code);
    return Code != 0;
}

TUpdateOutcome TFirmwareUpdate::Update(bool ReadBack)
{
    if (const TUpdateOutcome Checked = CheckTarget(); Checked != TUpdateOutcome::Done)
        return Checked;
    if (const TUpdateOutcome Checked = CheckImage(); Checked != TUpdateOutcome::Done)
        return Checked;

    // One open image for the write and the comparison, whatever takes its name meanwhile; a file
    // that does not open fails the write run's start.
    TRunFile Image;
    OpenImage(Image);
    BeforeRuns();
    TUpdateOutcome Outcome = TUpdateOutcome::Done;
    uint32_t Size = 0;
    const bool WriteStarted = FWorker.StartFirmwareWrite(Image, false, Size) == srArmed;
    if (WriteStarted) {
        FHooks.Show(TextWriting);
        StartRunTimer();
    } else {
        FHooks.Show(TextWriteNotStarted);
        Size = 0;
        Outcome = TUpdateOutcome::WriteNotStarted;
    }
    if (const TRunEnd End = WaitForRun(WriteStarted, FFacts.Write); End != TRunEnd::Ended)
        return GiveUpRun(End, TextErrorAfterRead);
    const bool Written = WriteStarted && RunReachedItsEnd();

    if (ReadBack)
        return ReadAndCompare(Image, Size, Written, Outcome, TextDone);
    if (!Written) {
        // Without a read-back only a write that went to its end can be called done; one that did
        // not is said as one that did not start, as the window says it.
        if (WriteStarted)
            FHooks.Show(TextWriteNotStarted);
        return TUpdateOutcome::WriteNotStarted;
    }
    FHooks.Show(TextDone);
    return TUpdateOutcome::Done;
}

TUpdateOutcome TFirmwareUpdate::Verify()
{
    if (const TUpdateOutcome Checked = CheckTarget(); Checked != TUpdateOutcome::Done)
        return Checked;
    if (const TUpdateOutcome Checked = CheckImage(); Checked != TUpdateOutcome::Done)
        return Checked;
    TRunFile Image;
    OpenImage(Image);
    const int64_t Size = Image.Size();
    // A read run of size 0 would read the whole area, and an empty image compares equal to anything.
    if (!ImageFits(Size)) {
        FHooks.Show(TextReadFailed);
        return TUpdateOutcome::ReadFileFailed;
    }
    BeforeRuns();
    return ReadAndCompare(Image, static_cast<uint32_t>(Size), true, TUpdateOutcome::Done, TextVerified);
}

TUpdateOutcome TFirmwareUpdate::Read(const std::string& Path, uint32_t Size, bool Replace)
{
    if (const TUpdateOutcome Checked = CheckTarget(); Checked != TUpdateOutcome::Done)
        return Checked;
    BeforeRuns();
    const std::string Temporary = TemporaryBeside(Path);
    const bool ReadStarted = FWorker.StartFirmwareRead(Temporary, false, Size) == srArmed;
    // Gone once placed; otherwise with whatever the run wrote.
    const TRemoveOnExit Remove(ReadStarted ? Temporary : std::string());
    if (!ReadStarted) {
        NoteFileFault();
        FHooks.Show(TextReadFailed);
        return TUpdateOutcome::ReadFileFailed;
    }
    FHooks.Show(TextReading);
    StartRunTimer();
    // Interrupted, it shows nothing more: the host says so.
    if (const TRunEnd End = WaitForRun(true, FFacts.Read); End != TRunEnd::Ended)
        return GiveUpRun(End, End == TRunEnd::Stalled    ? TextReadStalled
                              : End == TRunEnd::LinkLost ? TextReadLinkLost
                                                         : nullptr);
    bool Kept = RunReachedItsEnd();
    if (Kept) {
        // The run reads whole blocks; the file holds the bytes asked for.
        std::error_code Error;
        std::filesystem::resize_file(PathFromText(Temporary), Size, Error);
        Kept = !Error && PlaceFile(Temporary, Path, Replace);
    }
    if (!Kept) {
        NoteFileFault();
        FHooks.Show(TextReadFailed);
        return TUpdateOutcome::ReadFileFailed;
    }
    FHooks.Show(TextRead);
    return TUpdateOutcome::Done;
}

TUpdateOutcome TFirmwareUpdate::ReadAndCompare(const TRunFile& Image, uint32_t Size, bool Written,
                                               TUpdateOutcome Outcome, const char* DoneText)
{
    // Held until the file is deleted, so that no other update of this process takes the name.
    const TReadBackClaim Claim(ReadBackName(ImagePath, FHooks.Now()));
    const std::string& ReadBackPath = Claim.Path();
    const bool ReadStarted = FWorker.StartFirmwareRead(ReadBackPath, false, Size) == srArmed;
    // Only a file this update created is ours to compare and delete: a read run that did not start
    // may have met someone else's file under that name.
    const TRemoveOnExit Remove(ReadStarted ? ReadBackPath : std::string());
    if (ReadStarted) {
        FHooks.Show(TextReading);
        StartRunTimer();
    } else {
        NoteFileFault();
        FHooks.Show(TextReadFailed);
        if (Outcome == TUpdateOutcome::Done)
            Outcome = TUpdateOutcome::ReadFileFailed;
    }
    if (const TRunEnd End = WaitForRun(ReadStarted, FFacts.Read); End != TRunEnd::Ended)
        return GiveUpRun(End, TextErrorAfterRead);

    const bool ReadAll = ReadStarted && RunReachedItsEnd();
    // A read-back that could not be stored says nothing about the device.
    if (ReadStarted && !ReadAll && NoteFileFault()) {
        FHooks.Show(TextReadFailed);
        return Outcome == TUpdateOutcome::Done ? TUpdateOutcome::ReadFileFailed : Outcome;
    }
    const bool Same = ReadStarted && CompareAndDeleteReadBack(Image, ReadBackPath);
    if (Written && ReadAll && Same) {
        FHooks.Show(DoneText);
        return TUpdateOutcome::Done;
    }
    FHooks.Show(TextErrorAfterRead);
    return Outcome == TUpdateOutcome::Done ? TUpdateOutcome::VerifyFailed : Outcome;
}

void TFirmwareUpdate::BeforeRuns() const
{
    if (FBeforeRuns)
        FBeforeRuns();
}

bool TFirmwareUpdate::CheckBootMode()
{
    FBootReply.clear();
    if (FWorker.StartBootQuery(BootQueryFrame) != srArmed)
        return false;
    const std::string Reply = AwaitBootReply();
    if (Reply.empty())
        return false;
    FBootReply = Reply.substr(0, Reply.find_first_of("\r\n"));
    return IsBootReply(Reply.data(), static_cast<int>(Reply.size()));
}

std::string TFirmwareUpdate::AwaitBootReply()
{
    char Buffer[BootReplyBufferSize];
    if (!FHooks.TakeEndsAtOnce) {
        FHooks.Sleep(static_cast<unsigned>(BootReplyWait.count()));
        const int Count = FWorker.ReadBootReply(Buffer, BootReplyBufferSize);
        return std::string(Buffer, static_cast<size_t>(std::max(Count, 0)));
    }
    std::string Reply;
    const auto Limit = std::chrono::steady_clock::now() + BootReplyWait;
    while (Reply.find_first_of("\r\n") == std::string::npos && Reply.size() < size_t{BootReplyBufferSize} &&
           std::chrono::steady_clock::now() < Limit) {
        FHooks.Sleep(static_cast<unsigned>(PollPause.count()));
        // The port is read once the worker has sent the query.
        if (!FWorker.Idle())
            continue;
        const int Count = FWorker.ReadBootReply(Buffer, BootReplyBufferSize - static_cast<int>(Reply.size()));
        if (Count < 0)
            break;
        Reply.append(Buffer, static_cast<size_t>(Count));
    }
    return Reply;
}

TDeviceCheck TFirmwareUpdate::CheckDevice()
{
    TDeviceCheck Check;
    for (int Try = 0; Try < ProtectionReadTries && FWorker.LinkOpen() && !Abandoned(); ++Try) {
        FWorker.StartProtectionRead();
        const bool Done = AwaitDone(FWorker, FHooks.Sleep, FHooks.ProcessMessages, [this] { return !Abandoned(); });
        if (Abandoned() || (Done && FWorker.Failed()))
            continue;
        // Without a reply within the wait the word is taken as it stands, as the window takes it.
        Check.Answered = Done;
        Check.ProtectionWord = FWorker.ProtectionWord();
        break;
    }
    Check.Accepted = Check.ProtectionWord && (*Check.ProtectionWord == DeviceCode || *Check.ProtectionWord == 0);
    return Check;
}

void TFirmwareUpdate::T_AutoTimer()
{
    FHooks.SetProgress(FWorker.Progress().Share());
    FHooks.ProcessMessages();
    if (FWorker.Idle() && FTimerEnabled) {
        FTimerEnabled = false;
        FHooks.StopTimer();
    }
}

void TFirmwareUpdate::StartRunTimer()
{
    FTimerEnabled = true;
    FHooks.StartTimer();
}

TFirmwareUpdate::TRunEnd TFirmwareUpdate::WaitForRun(bool Started, std::optional<TRunFacts>& Facts)
{
    const auto Start = std::chrono::steady_clock::now();
    const TRunEnd End = WaitForRun();
    if (Started)
        Facts = TRunFacts{std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - Start),
                          FWorker.RepeatCount()};
    return End;
}

TFirmwareUpdate::TRunEnd TFirmwareUpdate::WaitForRun()
{
    using TClock = std::chrono::steady_clock;
    int32_t LastCount = FWorker.BlockCount();
    TClock::time_point LastProgress = TClock::now();
    do {
        FHooks.ProcessMessages();
        FHooks.Sleep(static_cast<unsigned>(PollPause.count()));
        if (Abandoned())
            return TRunEnd::Abandoned;
        if (!FWorker.LinkOpen())
            return TRunEnd::LinkLost;
        if (const int32_t Count = FWorker.BlockCount(); Count != LastCount) {
            LastCount = Count;
            LastProgress = TClock::now();
        } else if (FTimerEnabled && TClock::now() - LastProgress >= FStallLimit) {
            return TRunEnd::Stalled;
        }
        // The tick that would have seen the worker idle, at once.
        if (FHooks.TakeEndsAtOnce && FTimerEnabled && FWorker.Idle())
            T_AutoTimer();
    } while (FTimerEnabled);
    return TRunEnd::Ended;
}

TUpdateOutcome TFirmwareUpdate::GiveUpRun(TRunEnd End, const char* Text)
{
    if (FTimerEnabled) {
        FTimerEnabled = false;
        FHooks.StopTimer();
        FWorker.Abandon();
    }
    if (Text)
        FHooks.Show(Text);
    switch (End) {
    case TRunEnd::Stalled: return TUpdateOutcome::Stalled;
    case TRunEnd::LinkLost: return TUpdateOutcome::LinkLost;
    default: return TUpdateOutcome::Abandoned;
    }
}

bool TFirmwareUpdate::RunReachedItsEnd() const
{
    return FWorker.Progress().ReachedEnd();
}
