// The rooms of a project as the sheet lines of its file, for tests that
// build or check rooms line by line.
#ifndef VELTRANO_TESTS_SUPPORT_ROOM_LINES_H_
#define VELTRANO_TESTS_SUPPORT_ROOM_LINES_H_

#include <string>
#include <vector>

#include "project/project.h"

namespace veltrano::testing {

// The sheet lines of a side, as the project file holds them.
std::vector<std::string> SideLines(const Project& t, int side);
// Appends the rooms of a side's sheet lines.
void AppendRoomLines(Project* t, int side, const std::vector<std::string>& lines);

}  // namespace veltrano::testing

#endif  // VELTRANO_TESTS_SUPPORT_ROOM_LINES_H_
