#pragma once
#include <string>
#include <vector>

namespace qs {

// The tick labels of a value axis, for ticks in ascending order: each in the
// axis' format "#,##0.#######" when that tells every tick from its
// neighbours and states it exactly, else with as few more decimals as that
// takes (ticks 0.99999995, 1 and 1.00000005 read so, not "1, 1, 1"). The
// labels never follow the user's locale.
std::vector<std::string> ValueAxisLabels(const std::vector<double>& ticks);

// The title of the value axis of command 1 or 2: the command it plots, or
// "Command 1" / "Command 2" while that box is empty.
std::string ValueAxisTitle(int command, const std::string& commandText);

}  // namespace qs
