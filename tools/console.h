// What the program tells its user. Notes go to standard output and --quiet
// silences them; warnings and errors go to standard error, always. A progress
// line left open (see progress_line.h) is ended before anything else is
// printed, so no message runs into it.
#pragma once

#include <string>
#include <vector>

namespace zanhost::cli {

void SetQuiet(bool quiet);
bool Quiet();
// With --strict, Caution fails instead of warning.
void SetStrict(bool strict);

// Once a picture went into a stream (a FIFO, a device: perhaps "-o
// /dev/stdout"), notes go to standard error, so they cannot mix into it.
void KeepStandardOutputForData();
// A line on standard output, unless quiet.
void Say(const std::string &line);
// "zanhost: warning: TEXT" on standard error.
void Warn(const std::string &text);
// Values the module did not take as given: each a warning, or with --strict
// all of them errors, the last thrown as a StrictError.
void Caution(const std::vector<std::string> &texts);
// "zanhost: TEXT" on standard error.
void SayError(const std::string &text);

// The progress line's side: a line rewritten in place on standard error.
void ShowProgress(const std::string &text);
void EndProgress();

}  // namespace zanhost::cli
