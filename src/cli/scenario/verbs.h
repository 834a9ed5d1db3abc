#ifndef VELTRANO_CLI_SCENARIO_VERBS_H_
#define VELTRANO_CLI_SCENARIO_VERBS_H_

// The verbs of the scenario language, one function per subsystem; each adds
// its verbs to the runner's table. docs/scenarios.md describes them.

namespace veltrano::scenario {

class Runner;

// mode, the takeoff sheet, the cell editor, parameters, places box, done
// mark, parts and scrolling.
void DefineSheetVerbs(Runner& r);
// The room list and the rooms dialog.
void DefineRoomVerbs(Runner& r);
// new, open, save, print, close, backup and the name dialog.
void DefineProjectVerbs(Runner& r);
// The settings panel: settings and import.
void DefineSettingsVerbs(Runner& r);
// Queued answers and files outside the program.
void DefineFileVerbs(Runner& r);
// The fittings register (mode 3) and the fittings takeoff (mode 1).
void DefineFittingsVerbs(Runner& r);
// The aggregation panel (mode 2), its selection dialog and the clipboard.
void DefineAggregationVerbs(Runner& r);
// The editing buttons beside the sheet, item copy and the template dialog.
void DefineEditingVerbs(Runner& r);
// The drawings and their measurements (plan ...).
void DefinePlanVerbs(Runner& r);
// The expectations.
void DefineExpectVerbs(Runner& r);

}  // namespace veltrano::scenario

#endif  // VELTRANO_CLI_SCENARIO_VERBS_H_
