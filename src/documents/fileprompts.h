#pragma once

#include "platform/fileio.h"
#include "platform/prompts.h"

#include <QString>

#include <functional>

// The Abort/Retry/Ignore questions every file reader and writer asks when a
// step fails. Retry runs the step again; Ignore goes on with the next step;
// Abort ends the operation.
namespace fileprompts {

enum class Wording {
    Read,           // opening a file by its path, the snip tool, the quick scan
    ReadWithNumber, // the open dialog and templates: the error number leads
    Save,           // Save, Save As, Save Binary
    InsertFile,     // a file dropped into a document
};

enum class StepResult { Done, Ignored, Aborted };

QString questionText(Wording wording, const platform::FileError &err);

// Asks the question for a failed step: Abort, Retry or Ignore.
platform::Answer ask(Wording wording, const platform::FileError &err);

// Runs step until it succeeds or the user stops asking for a retry.
StepResult runStep(Wording wording, const std::function<bool(platform::FileError *)> &step);

} // namespace fileprompts
