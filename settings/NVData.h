// SPDX-License-Identifier: MIT
#pragma once
// The settings file "NV-Data.kqn" in DataDir, with the read-only fallback
// "NV-Data.kqx" in ProgramDir.
//
// The bytes are the same on every platform: lines end in CR LF, the one byte
// above 127 is 0xF6; on reading, CR bytes are dropped and a 0x1A byte ends the
// data. Numbers are written and read with "." whatever the process locale.
//
// Reading numbers: decimal notation only (white space, sign, digits, ".",
// exponent; the longest such prefix counts), so "inf", "nan" and hexadecimal
// text read as 0 like any other text that is not a number. An entry whose
// number overflows to infinity (such as 1e999) is ignored, so no infinity or
// NaN ever reaches FeedParams from the file. Tags 29 and 900 read an integer
// (white space, sign, digits) that saturates at the 32-bit bounds.
//
// A stored number that the window would refuse if it were typed into its box
// (outside the input ranges of calc/FeedParams.h, in the window's units) is
// not taken, and the field keeps what it had: {020} feed length, {021} stroke
// rate (which must besides lie strictly between 9 and 2001), {022}
// acceleration, {023} maximum speed (with the speed limit), {024} aperture
// angle, {025} and {028} maximum acceleration, {030} speed limit. The
// settling time {027} has no input range and takes any finite number;
// {029} and {900} are integers and are taken as read.

#include <cstdint>
#include <string>

struct TFeedParams;

// Process-wide values shared by the settings file, the start-up and the
// window. Both directories end with a path separator.
extern std::u16string ProgramDir;
extern std::u16string DataDir;
extern int32_t Language;  // 0 German, 1 English, anything else shows German

// Applies the entries of "NV-Data.kqn" (else of "NV-Data.kqx") to FeedParams
// and Language in file order; with neither file nothing changes. Only a
// regular file counts (links followed), opened without blocking, and only
// its first MiB is read: a FIFO, a device or a directory in a file's place
// counts as missing.
void LoadNVData();
// The same for any record, language and folders.
void LoadNVData(TFeedParams& params, int32_t& language, const std::u16string& dataDir,
                const std::u16string& programDir);

// Writes Language and the inputs and limits of FeedParams to "NV-Data.kqn".
// The new content goes to a temporary file beside it, under a random name
// created exclusively, that replaces the old file only once it is completely
// written, flushed and closed; on any failure the temporary file is removed
// and the old file stays as it was. Temporary files that killed saves left
// (older than a minute) are removed first. Where the folder takes no new file
// or no replacement but the file itself may be written, the file is
// rewritten in place. Nothing is written over something that is not a
// regular file, nor over a file that cannot be read (it may hold figures the
// start could not take), nor over a file that cannot be written.
void SaveNVData();
// The same for any record, language and folder.
void SaveNVData(const TFeedParams& params, int32_t language, const std::u16string& dataDir);
