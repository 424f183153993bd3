// The firmware update: boot check, device check, image check, write run, read run into a read-back
// file, comparison, one status text per outcome. Written once, without a window: the host (the main
// window, the command-line program) drives it through TUpdateHooks and its T_Auto timer calls
// T_AutoTimer. Each instance works with the worker it is given, so several can run side by side.
//
// Beyond the plain procedure:
// - a run in which no block was acknowledged or read for StallLimit is abandoned, and one whose link
//   was lost ends at once; both end in "Error after read", never in "Update Done" (a read into a
//   file, which compares nothing, says which of them happened);
// - a protection read whose reply does not check out is asked for again, a few times; a word never
//   read is no sign of another device, and is said as such;
// - "Update Done" needs a write run and a read run that both went to their end and a passing
//   comparison;
// - Abandon ends the update at its next wait (the host's close or Ctrl-C); Running tells the host to
//   keep its controls disabled;
// - the read-back file is deleted whatever the outcome, and only a file this update created is
//   compared or deleted.
//
// The same steps serve two jobs without the write run: RunVerify (checks, read-back, comparison)
// and RunRead (checks, read run into a file that is kept).
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "LocalTime.h"
#include "Thread.h"

class Tarm_SER;
class TRunFile;

struct TUpdateHooks {
    // Shows a status text at once: the window sets Label22 and processes its messages once.
    std::function<void(const std::string& Text)> Show;
    // Processes the host's pending messages once (its T_Auto ticks among them).
    std::function<void()> ProcessMessages;
    // Enables and disables the 500 ms timer whose handler calls T_AutoTimer.
    std::function<void()> StartTimer;
    std::function<void()> StopTimer;
    // The progress bar's position, 0 to 100.
    std::function<void(int Position)> SetProgress;
    std::function<TLocalTime()> Now = LocalNow;
    // The command line takes a run's end as soon as the worker publishes it, and the boot reply as
    // soon as its first line has ended (BootReplyWait at most); the window learns the one at its
    // timer's next tick and takes the other after the whole wait.
    bool TakeEndsAtOnce = false;
    std::function<void(unsigned Milliseconds)> Sleep = TThread::Sleep;
};

// How an update ended; the first failure decides when several stages failed.
enum class TUpdateOutcome {
    Done,
    NotInBootMode,
    WrongDevice,
    TypeNotRead,
    NoImage,
    WriteNotStarted,
    ImageRefused, // not a readable regular file of 1 byte up to the firmware area's size
    ReadFileFailed, // the read run did not start, or its file failed or could not be put in place
    VerifyFailed,
    Stalled,
    LinkLost,
    Abandoned,
};

struct TDeviceCheck {
    bool Accepted = false;
    // None when no reply checked out: the link was lost, or every reply asked for was spoilt.
    std::optional<uint32_t> ProtectionWord;
    // The protection read ended with a complete reply (without one within the wait the word is
    // taken as it stands).
    bool Answered = false;
};

// What a device check makes of the device, LinkOpen: the link after it. Done when it is one this
// tool serves; else LinkLost, TypeNotRead or WrongDevice.
TUpdateOutcome DeviceOutcome(const TDeviceCheck& Device, bool LinkOpen);

// One firmware run of an update, as far as it went.
struct TRunFacts {
    std::chrono::milliseconds Time{0}; // from its start to its end, or to its giving up
    int32_t Repeats = 0;               // blocks sent or asked for again
};

// What an update learnt on its way, for a record of it: each part only when that stage was reached.
struct TUpdateFacts {
    std::optional<TDeviceCheck> Device;
    std::optional<TRunFacts> Write;
    std::optional<TRunFacts> Read;
    // Why the read run's file could not be created or written, in the system's words; empty when
    // it could.
    std::string FileFault;
};

// No block acknowledged or read for this long: the run is given up.
inline constexpr std::chrono::milliseconds RunStallLimit{30'000};

class TFirmwareUpdate {
public:
    TFirmwareUpdate(Tarm_SER& Worker, TUpdateHooks Hooks);

    // The whole update (the window's Button6Click). ReadBack: the window's CB_Read. Refused, as
    // Abandoned, while an update is in progress.
    TUpdateOutcome Run(bool ReadBack = true);
    // The checks, then the read-back of the image's range and the comparison: the device hears no
    // write request. An empty image or one larger than the firmware area gives nothing to read back.
    TUpdateOutcome RunVerify();
    // The checks, then the read run of Size bytes (1 to FirmwareAreaSize) from FirmwareStart into
    // Path (see OutputFile.h); Replace lets it take the place of a file already there.
    TUpdateOutcome RunRead(const std::string& Path, uint32_t Size, bool Replace);

    // True when the device's boot loader answered the boot query. BootReply then holds the first
    // line of what it answered.
    bool CheckBootMode();
    // Reads the protection word, asking again for a reply that does not check out; a device of this
    // type holds DeviceCode or 0.
    TDeviceCheck CheckDevice();
    // The handler of the host's 500 ms timer while a run is in progress.
    void T_AutoTimer();

    bool Running() const { return FRunning.load(std::memory_order_acquire); }
    // Ends the update at its next wait; safe from a signal handler and from another thread.
    void Abandon() { FAbandon.store(true, std::memory_order_release); }

    // The image to write; empty (the default): MasterImagePath. Open: the image already open (checked
    // and hashed by the host), written and compared in place of what is under Path when the run
    // starts; none: the file under Path then.
    void SetImageFile(std::string Path, std::shared_ptr<const TRunFile> Open = nullptr)
    {
        FImageFile = std::move(Path);
        FOpenImage = std::move(Open);
    }
    void SetStallLimit(std::chrono::milliseconds Limit) { FStallLimit = Limit; }
    // Runs once the checks have passed, right before the first run: an update's write run, the read
    // run of RunVerify and RunRead.
    void SetBeforeRuns(std::function<void()> Hook) { FBeforeRuns = std::move(Hook); }

    const std::string& BootReply() const { return FBootReply; }
    // Of the last update, kept after it.
    const TUpdateFacts& Facts() const { return FFacts; }
    // The image path of the last update, kept after it.
    std::string ImagePath;

private:
    enum class TRunEnd { Ended, Stalled, LinkLost, Abandoned };

    // Runs Job unless an update is in progress already.
    template <class TJob>
    TUpdateOutcome Exclusive(const TJob& Job);
    TUpdateOutcome Update(bool ReadBack);
    TUpdateOutcome Verify();
    TUpdateOutcome Read(const std::string& Path, uint32_t Size, bool Replace);
    // The boot and device checks; Done when both passed.
    TUpdateOutcome CheckTarget();
    // What the port holds of the boot query's reply, as far as the host waits for it.
    std::string AwaitBootReply();
    // Sets ImagePath; Done when a file is there.
    TUpdateOutcome CheckImage();
    // The image handed over, else the one under ImagePath; closed when it can't be opened.
    void OpenImage(TRunFile& Image) const;
    TUpdateOutcome ReadAndCompare(const TRunFile& Image, uint32_t Size, bool Written, TUpdateOutcome Outcome,
                                  const char* DoneText);
    // True, with the system's reason in the facts, when the last run's file failed.
    bool NoteFileFault();
    void BeforeRuns() const;
    void StartRunTimer();
    // Waits, processing messages every 10 ms, until the tick has seen the worker idle (at least one
    // pause), the run stalled or lost its link, or the update was abandoned.
    TRunEnd WaitForRun();
    // WaitForRun for a run that started (Facts: where its time and repeats go) or did not.
    TRunEnd WaitForRun(bool Started, std::optional<TRunFacts>& Facts);
    // Abandons the worker's run and ends the wait, showing Text unless it is null; the outcome of a
    // run that did not end.
    TUpdateOutcome GiveUpRun(TRunEnd End, const char* Text);
    bool RunReachedItsEnd() const;
    bool Abandoned() const { return FAbandon.load(std::memory_order_acquire); }

    Tarm_SER& FWorker;
    TUpdateHooks FHooks;
    std::string FImageFile;
    std::shared_ptr<const TRunFile> FOpenImage;
    std::chrono::milliseconds FStallLimit = RunStallLimit;
    std::string FBootReply;
    std::function<void()> FBeforeRuns;
    TUpdateFacts FFacts;
    bool FTimerEnabled = false;
    std::atomic<bool> FRunning{false};
    std::atomic<bool> FAbandon{false};
};
