// The port settings, protection word and MAC address jobs, as the window's buttons and the command
// line run them on a worker (any worker: a production line may drive several).
//
// Writes arm one block write and return at once; they neither wait nor show anything. Values come
// parsed (NumberParse.h): a text that does not parse is the caller's to drop.
// Reads start the worker's read, wait for it as the window does and give what the window's labels
// show. Without an open link a job does nothing: writes answer false, reads none.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "ParamRecords.h"

// What a read shows. Ok is false when the read failed (Text is the failure text) or did not end
// within the wait (Text shows the fields as they stood).
struct TReadText {
    bool Ok = false;
    std::string Text;
};

// The four results: USB baud rate and parity, meter-bus baud rate and parity (Label15, Label16,
// Label18, Label20). A failed read puts its failure text first and leaves the others empty.
struct TSettingsText {
    bool Ok = false;
    std::array<std::string, 4> Texts;
};

// False when nothing was armed (link not open, worker busy: the worker's buffer untouched).
bool WriteSettings(Tarm_SER& Worker, const TPortSettings& Settings);
bool WriteProtection(Tarm_SER& Worker, uint32_t Word);
// Bits 63..48 of Mac are ignored.
bool WriteMacAddress(Tarm_SER& Worker, uint64_t Mac);
// The protection word and the MAC address as one ten-byte record.
bool WriteAll(Tarm_SER& Worker, uint32_t Word, uint64_t Mac);

// "0000004E", or "Error in Read Protection!".
std::optional<TReadText> ReadProtection(Tarm_SER& Worker, const TProcessEvents& ProcessEvents = {});
// "0x 00 11 22 33 AA BB", or "Error in Read Data!".
std::optional<TReadText> ReadMacAddress(Tarm_SER& Worker, const TProcessEvents& ProcessEvents = {});
// "115200", "ODD", "38400", "NONE"; "Error" for a code outside its list.
std::optional<TSettingsText> ReadSettings(Tarm_SER& Worker, const TProcessEvents& ProcessEvents = {});
