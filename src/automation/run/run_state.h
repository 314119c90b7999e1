// A run's inputs and its continue point, kept in the working folder while the run is unfinished,
// so that the program closing, being killed or the machine restarting costs at most the value under
// way. Three files: the inputs (barcode_run_inputs.cfg), the list (barcode_run_list.txt, list mode
// only) and the point (barcode_run_state.cfg), which names the SHA-256 of the other two so that it
// is never applied to other inputs. Every write replaces its file atomically and a failed write
// only means less to go on from.
#pragma once
#include "automation/run/run_plan.h"
#include "automation/run/run_record.h"

#include <optional>
#include <string>

extern const char* const kRunInputsFileName;
extern const char* const kRunListFileName;
extern const char* const kRunStateFileName;
// Beside the point while a page key went out and its turn was not seen (barcode_run_turn.cfg): a
// file of its own, so that the point stays as earlier versions read it (they take the turn as done).
extern const char* const kRunTurnFileName;

// The inputs file: one "name=value" line each, CR LF, with '\' and line breaks in a value escaped;
// the positions as "position=x,y" lines. The list is not in it.
std::string RunInputsText(const RunInputs& inputs);
// False for anything damaged, truncated or unknown. The list text is left as it was.
bool ParseRunInputs(const std::string& text, RunInputs& inputs);
std::string RunPointText(const ContinuePoint& point, const std::string& inputsHash);
bool ParseRunPoint(const std::string& text, ContinuePoint& point, std::string& inputsHash);
// The turn file: `next`, the regions the key turned away from, the inputs' hash.
std::string RunTurnText(const ContinuePoint& point, const std::string& inputsHash);
// Takes the unseen turn into `point` when the file is whole and belongs to it (same inputs, same
// next barcode, no turn due); false otherwise, `point` unchanged.
bool ParseRunTurn(const std::string& text, const std::string& inputsHash, ContinuePoint& point);

// A run that was interrupted: its inputs and where it goes on.
struct SavedRun {
    RunInputs inputs;
    ContinuePoint point;
};

class RunStateFiles {
public:
    // `folder` is empty for the working folder, or ends with a separator.
    explicit RunStateFiles(std::string folder) : folder_(std::move(folder)) {}
    // A run begins: its inputs are written and the point, once written, belongs to them.
    void Begin(const RunInputs& inputs);
    // The point on disk is this one, or none: a write that fails removes the old one. False when it
    // could not be written; StaleLeft() then says whether the old one could not be removed either.
    bool Keep(const ContinuePoint& point);
    bool StaleLeft() const { return staleLeft_; }
    // The folder the files are in, as a message names it.
    std::string FolderName() const;
    // The run is complete: nothing to go on from.
    void Forget();
    // The interrupted run the files describe, when they are whole and agree with each other;
    // otherwise none, and the files are removed.
    std::optional<SavedRun> Load();

private:
    std::string folder_;
    std::string hash_;  // of the inputs written by Begin
    bool staleLeft_ = false;  // the last Keep could neither write the point nor remove the old one
    bool turnKept_ = true;  // a turn file may lie in the folder (one left by an earlier run too)
};
